// The machine's clock and its wait, the clock that stands still for tests
// moving it between passes, and the tick count read from whichever is in use.
#include "platform/tick_clock.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "platform/sdl_internal.h"
#include "platform/win32.h"

namespace pomlets {

namespace {

using Steady = std::chrono::steady_clock;
const Steady::time_point programStart = Steady::now();

// The steady clock of the machine, since the program started, plus what
// tests moved it on by.
class MachineClock final : public TickClock {
public:
    int64_t now() override {
        return std::chrono::duration_cast<std::chrono::microseconds>(Steady::now() - programStart).count() + offset;
    }

    bool waitForEvents(int64_t until) override {
        const int64_t left = until - now();
        if (left <= 0) return false;
        // SDL waits in whole milliseconds; what is left below one is slept
        // through, and without SDL's event queue there is nothing to wake on.
        const int64_t wholeMs = left / 1000;
        if (wholeMs >= 1 && SDL_WasInit(SDL_INIT_EVENTS))
            return SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<int64_t>(wholeMs, 1000))) == 1;
        std::this_thread::sleep_for(std::chrono::microseconds(std::min<int64_t>(left, 1000)));
        return false;
    }

    void sleepUntil(int64_t until) override {
        for (int64_t left = until - now(); left > 0; left = until - now())
            std::this_thread::sleep_for(std::chrono::microseconds(left));
    }

    void moveOn(int64_t microseconds) override { offset += microseconds; }

    int64_t offset = 0;
};

// A clock that stands still: a test sets it and moves it on between passes
// itself, so its wait has nothing to wait for.
class StillClock final : public TickClock {
public:
    int64_t now() override { return at; }
    bool waitForEvents(int64_t /*until*/) override { return false; }
    void sleepUntil(int64_t /*until*/) override {}
    void moveOn(int64_t microseconds) override { at += microseconds; }

    int64_t at = 0;
};

MachineClock machineClock;
StillClock stillClock;
TickClock* clockInUse = &machineClock;

} // namespace

TickClock& tickClock() { return *clockInUse; }

void useTickClock(TickClock* clock) { clockInUse = clock ? clock : &machineClock; }

void resetTickClock() {
    machineClock.offset = 0;
    clockInUse = &machineClock;
}

// --- the tick count -----------------------------------------------------------------

int32_t GetTickCount() {
    const int64_t us = tickClock().now();
    const int64_t ms = us >= 0 ? us / 1000 : -((999 - us) / 1000);  // whole milliseconds, rounded down
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(ms)));
}

void setTickCount(std::optional<int32_t> ms) {
    if (ms) {
        stillClock.at = int64_t{*ms} * 1000;
        clockInUse = &stillClock;
        return;
    }
    if (clockInUse != &stillClock) return;
    // Running again from the value it stood at, without a jump.
    machineClock.offset = 0;
    machineClock.offset = stillClock.at - machineClock.now();
    clockInUse = &machineClock;
}

void advanceTickCount(int32_t ms) { tickClock().moveOn(int64_t{ms} * 1000); }

} // namespace pomlets

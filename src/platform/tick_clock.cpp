// The machine's clock and its wait, and the tick count read from the clock in
// use.
#include "platform/tick_clock.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "platform/sdl_internal.h"
#include "platform/start_values.h"
#include "platform/win32.h"

namespace pomlets {

namespace {

using Steady = std::chrono::steady_clock;
const Steady::time_point programStart = Steady::now();
POMLETS_NOT_RESTORED(programStart, "the moment the program started");

// The steady clock of the machine, since the program started.
class MachineClock final : public TickClock {
public:
    int64_t now() override {
        return std::chrono::duration_cast<std::chrono::microseconds>(Steady::now() - programStart).count();
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

    void waitForAnyEvents() override {
        // What SDL has read already is no longer on its connection: look
        // first, so that the connection is watched with nothing left unread.
        const bool events = SDL_WasInit(SDL_INIT_EVENTS);
        if (events) {
            SDL_PumpEvents();
            if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
        }
        if (!QCoreApplication::instance()) {
            if (events) SDL_WaitEventTimeout(nullptr, 1000);
            else std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return;
        }
        // Qt's wait watches its own windows, its queue and the signals' pipe;
        // the game window's connection is watched beside them meanwhile.
        std::optional<QSocketNotifier> gameWindow;
        if (const int connection = sdl::eventConnection(); connection >= 0)
            gameWindow.emplace(connection, QSocketNotifier::Read);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    void sleepUntil(int64_t until) override {
        for (int64_t left = until - now(); left > 0; left = until - now())
            std::this_thread::sleep_for(std::chrono::microseconds(left));
    }
};

MachineClock theMachineClock;
POMLETS_NOT_RESTORED(theMachineClock, "the machine's clock keeps nothing of its own");
TickClock* clockInUse = &theMachineClock;
POMLETS_RESTORED(clockInUse);

} // namespace

TickClock& tickClock() { return *clockInUse; }

TickClock& machineClock() { return theMachineClock; }

void useTickClock(TickClock* clock) { clockInUse = clock ? clock : &theMachineClock; }

// --- the tick count -----------------------------------------------------------------

int32_t GetTickCount() {
    const int64_t us = tickClock().now();
    const int64_t ms = us >= 0 ? us / 1000 : -((999 - us) / 1000);  // whole milliseconds, rounded down
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(ms)));
}

} // namespace pomlets

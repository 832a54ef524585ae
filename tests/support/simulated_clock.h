// A tick clock in simulated time for whole games: only a wait moves it, so a
// game runs through minutes of its time in a moment and every due time can be
// checked to the microsecond, on any machine.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <random>

#include "support/settable_clock.h"

namespace pomlets::testing {

// Put in place of the machine's clock while it lives. A wait moves the clock
// to the moment waited for, woken late by a random amount up to the set
// lateness, or to the next happening scheduled with at(), whichever comes
// first; a happening (a key pressed, say) ends the wait as a window event
// does. Each wait first adds the set cost of one pass, the work the loop did
// before it came to wait, so polling before a due time moves the clock on too.
// A sleep moves the clock to its end, as late as a wait may wake; what is
// scheduled in between happens there.
class SimulatedClock final : public MovableClock {
public:
    explicit SimulatedClock(int64_t startMicroseconds, uint32_t seed = 1);
    ~SimulatedClock() override;
    SimulatedClock(const SimulatedClock&) = delete;
    SimulatedClock& operator=(const SimulatedClock&) = delete;

    int64_t now() override { return now_; }
    bool waitForEvents(int64_t until) override;
    // Moves the clock to the next happening, which ends the wait; with none
    // scheduled it returns after the pass's cost, as a wait may.
    void waitForAnyEvents() override;
    void sleepUntil(int64_t until) override;
    void moveOn(int64_t microseconds) override;

    // Runs the happening once the clock reaches the moment.
    void at(int64_t when, std::function<void()> happening);
    // A pass costs a random time from low to high microseconds.
    void setPassCost(int64_t low, int64_t high);
    // A wait that runs to its end wakes up to this many microseconds late.
    void setWakeLateness(int64_t most) { lateness_ = most; }
    // Called at every wait (of either kind) with the moment it was called at:
    // the moment every reading of the clock in the pass that came to wait
    // returned.
    std::function<void(int64_t calledAt)> onWait;
    // Called at every sleep that moved the clock, with where it began and ended.
    std::function<void(int64_t from, int64_t to)> onSleep;

private:
    void runHappeningsUntil(int64_t moment);

    int64_t now_;
    int64_t costLow_ = 0, costHigh_ = 0, lateness_ = 0;
    std::mt19937 random_;
    std::multimap<int64_t, std::function<void()>> happenings_;
};

} // namespace pomlets::testing

// The game clock and the loops' wait; the main loops themselves live in
// main_loops.cpp.
#include "engine/game_clock.h"

#include "common/brains.h"
#include "platform/runtime.h"
#include "platform/tick_clock.h"
#include "platform/win32.h"

namespace pomlets {

int32_t gameTime() {
    return add32(GetTickCount(), -static_cast<int64_t>(pausedTotal));
}

int64_t tickWhenPassed(int32_t t) { return (int64_t{t} + 1 + pausedTotal) * 1000; }

void waitUntilPassed(int32_t due) {
    TickClock& clock = tickClock();
    const int64_t passed = tickWhenPassed(due);
    // An event that ended the wait has its pass first. The span itself is
    // slept through rather than polled: polling it took a pass every few
    // microseconds, and the work due is late by the wake-up alone.
    if (!clock.waitForEvents(passed - pollSpan) && clock.now() >= passed - pollSpan) clock.sleepUntil(passed);
}

void waitForSomething() { tickClock().waitForAnyEvents(); }

} // namespace pomlets

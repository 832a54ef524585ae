// The clock under the tick count, and the ways the game gives the processor
// back: waiting for a window event until a moment of that clock or for
// anything to happen at all, and sleeping to a moment close ahead.
// The program runs on the machine's steady clock; another clock may be put in
// its place, one whose wait moves its time on instead of sleeping, say.
#pragma once

#include <cstdint>

namespace pomlets {

class TickClock {
public:
    virtual ~TickClock() = default;
    // Microseconds since the program started.
    virtual int64_t now() = 0;
    // Returns once a window event is pending or now() has reached until,
    // whichever comes first; at once when until is not ahead. It may return
    // earlier (the caller then waits again) and a little later, by the
    // machine's wake-up latency. True when it saw an event pending.
    virtual bool waitForEvents(int64_t until) = 0;
    // Returns once a window event is pending or something else may want the
    // loop: work queued for the program's own thread (a sound that ended, a
    // signal noted), an event of the program's other windows, the display's
    // connection closing. There is no time limit: a loop with nothing due
    // gives the processor back until something happens. It may return
    // earlier; the caller then waits again.
    virtual void waitForAnyEvents() = 0;
    // Returns once now() has reached until, whatever comes in between; at
    // once when until is not ahead. It may return a little later, by the
    // machine's wake-up latency.
    virtual void sleepUntil(int64_t until) = 0;
};

// The clock in use: the machine's, unless another was put in its place.
TickClock& tickClock();
// The machine's steady clock, counting from the program's start.
TickClock& machineClock();
// Puts a clock in place of the machine's; nullptr gives the machine's back.
// The clock must live until it is replaced.
void useTickClock(TickClock* clock);

} // namespace pomlets

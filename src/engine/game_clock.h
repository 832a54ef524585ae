// The game clock and the pace of the loops, in one place: game time against
// the tick count, the frame pace, and the wait that gives the processor back
// between due times.
#pragma once

#include <cstdint>

namespace pomlets {

// The game clock in milliseconds: the system tick count minus the total time
// spent paused. Raises Overflow (6) when the subtraction leaves 32 bits.
int32_t gameTime();

// A frame is due this long after the previous frame's flip; it runs once that
// time has strictly passed, so at the earliest one millisecond later.
constexpr int32_t framePace = 25;
// The wait for events wakes this many microseconds before a due time and
// sleeps the rest: the wait counts in whole milliseconds and wakes late by up
// to about this much, the sleep counts in microseconds, so work starts within
// the span after its due time rather than a wait's wake-up late.
constexpr int64_t pollSpan = 500;

// The moment of the tick clock (microseconds) from which the game time t has
// strictly passed: game time is whole milliseconds of the tick count, less
// the paused total.
int64_t tickWhenPassed(int32_t t);

// The main loops: waits for window events until the poll span before game
// time due has strictly passed, then sleeps until it has; returns at once when
// that is already so, and after an event that came before the span.
void waitUntilPassed(int32_t due);
// The pause loop and the wait for a lost display, in which game time stands
// still and nothing falls due: waits until something happens (a window event,
// a signal, work queued for the program's thread), however long that takes.
void waitForSomething();

} // namespace pomlets

// The main loops of a game and the game clock.
#pragma once

#include <cstdint>

namespace pomlets {

// The game clock in milliseconds: the system tick count minus the total time
// spent paused. Raises Overflow (6) when the subtraction leaves 32 bits.
int32_t gameTime();

// One game of each mode; each returns when endGame is True at the top of a pass.
// Freestyle: a run-time error inside the loop ends the game; it is logged and
// passed on to the caller, which tears the display down and reports it.
void playFreestyle();
// Arcade: a failure in any step of a pass abandons that step and the pass goes on.
void playArcade();

} // namespace pomlets

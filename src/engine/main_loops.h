// The main loops of a game; the game clock is in game_clock.h.
#pragma once

#include "engine/game_clock.h"

namespace pomlets {

// One game of each mode; each returns when endGame is True at the top of a pass.
// Freestyle: a run-time error inside the loop ends the game; it is logged and
// passed on to the caller, which tears the display down and reports it.
void playFreestyle();
// Arcade: a failure in any step of a pass abandons that step and the pass goes on.
void playArcade();

} // namespace pomlets

// The piece timer: when a Bomb, Bauble, Gorgon, Shifter or Calculator fires.
#pragma once

#include <cstdint>

#include "common/brains.h"

namespace pomlets {

// gameTime + timerMin + Int(Rnd x (timerMax - timerMin)): one draw of the
// generator; the difference is formed in 32 bits, the product in double
// precision, the sum stored in 32 bits (Overflow when it does not fit).
int32_t timerDeadline(const PieceDef& piece);
// Sets the piece's deadline to a fresh timerDeadline.
void armTimer(PieceDef& piece);
// True when the deadline is earlier than the game time, read afresh.
bool timerPassed(const PieceDef& piece);

} // namespace pomlets

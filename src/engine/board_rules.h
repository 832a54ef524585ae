// The timed rules of the pieces lying in the field, and bombs.
#pragma once

#include <cstdint>

namespace pomlets {

// One rules pass over the field (bottom row first, left to right), then the
// Slammer check, then the row shifts of the Shifters that fired.
void updateBoardRules();
// One bomb: its removal, explosion, its 3 x 3 blast and the Fruit cocktail bonus.
void explodeBomb(int16_t row, int16_t column);

} // namespace pomlets

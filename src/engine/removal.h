// Removal of a lying piece with all its consequences.
#pragma once

#include <cstdint>

namespace pomlets {

// Removes the piece in cell (row, column): goal counters, the reactions of
// special pieces, its points and, for a blasting piece, its blast. An empty
// cell is ignored. Unsupported pieces are not dropped here; callers do that.
void killPiece(int16_t row, int16_t column);

} // namespace pomlets

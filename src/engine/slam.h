// The Slammer check: runs of identical pieces between two Slammers.
#pragma once

#include <cstdint>
#include <vector>

#include "common/brains.h"

namespace pomlets {

// Two Slammers in one row (low/high columns, line = the row) or one column
// (low/high rows, line = the column).
struct SlamPair {
    int16_t low = 0;
    int16_t high = 0;
    int16_t line = 0;
};

// slammers holds one record per Slammer noted by the rules pass, with column =
// its column and y = its row (0 to 6). Removes every qualifying run with both
// its Slammers, pays the Slam bonus, and lets unsupported pieces fall.
void slamCheck(const std::vector<PieceDef>& slammers, int16_t lastSlammer);

} // namespace pomlets

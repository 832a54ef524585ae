#include "engine/piece_timer.h"

#include "engine/main_loops.h"
#include "platform/runtime.h"

namespace pomlets {

int32_t timerDeadline(const PieceDef& piece) {
    const int32_t range = add32(piece.timerMax, -static_cast<int64_t>(piece.timerMin));
    const double part = vbInt(static_cast<double>(rnd()) * range);
    return toInt32(part + static_cast<double>(gameTime()) + piece.timerMin);
}

void armTimer(PieceDef& piece) {
    piece.deadline = timerDeadline(piece);
}

bool timerPassed(const PieceDef& piece) {
    return piece.deadline < gameTime();
}

} // namespace pomlets

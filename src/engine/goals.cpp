#include "engine/goals.h"

#include "common/brains.h"

namespace pomlets {

bool levelGoalsMet() {
    const LevelInfo& level = currentLevel;
    bool met = true;
    // Elimination goal still open.
    if (level.goalPieceName != "-1" && level.goalPieceName != "Nothing" && level.goalPiecesLeft > 0)
        met = false;
    // The countdowns fail the test only for the seconds value of the file taken
    // as loaded: minutes count down, seconds never change during play.
    if (level.limitTimerOn && level.limitSeconds < 0 && level.limitMinutes < 1) met = false;
    if (level.settleGoalOn && level.settlePiecesLeft > 0) met = false;
    if (level.targetScore != -1 && level.targetScore > score) met = false;
    if (level.survivalTimerOn && level.survivalSeconds < 0 && level.survivalMinutes < 1) met = false;
    // A used-up protection allowance fails whatever the rest gave.
    if (level.protectGoalOn && level.protectPiecesLeft < 1) return false;
    return met;
}

} // namespace pomlets

// The Arcade goal test, case by case.
#include <gtest/gtest.h>

#include <functional>

#include "common/brains.h"
#include "engine/goals.h"

namespace pomlets {
namespace {

// The level as the per-game reset leaves it: every goal off.
LevelInfo noGoals() {
    LevelInfo level;
    level.goalPiecesLeft = -1;
    level.goalPieceName = "-1";
    level.targetScore = -1;
    level.limitMinutes = level.limitSeconds = -1;
    level.survivalMinutes = level.survivalSeconds = -1;
    level.protectPiecesLeft = -1;
    level.protectPieceName = "-1";
    level.settlePiecesLeft = -1;
    level.settlePieceName = "-1";
    return level;
}

struct GoalCase {
    const char* name;
    std::function<void(LevelInfo&)> setUp;
    int32_t score;
    bool expected;
};

class LevelGoals : public ::testing::TestWithParam<GoalCase> {};

TEST_P(LevelGoals, Decides) {
    const GoalCase& c = GetParam();
    currentLevel = noGoals();
    c.setUp(currentLevel);
    score = c.score;
    const LevelInfo before = currentLevel;
    EXPECT_EQ(levelGoalsMet(), c.expected);
    // The test changes nothing.
    EXPECT_EQ(currentLevel.goalPiecesLeft, before.goalPiecesLeft);
    EXPECT_EQ(currentLevel.limitMinutes, before.limitMinutes);
    EXPECT_EQ(currentLevel.survivalMinutes, before.survivalMinutes);
    EXPECT_EQ(score, c.score);
}

const GoalCase goalCases[] = {
    {"NoGoalsAtAll", [](LevelInfo&) {}, 0, true},
    {"NothingIsNoEliminationGoal", [](LevelInfo& l) { l.goalPieceName = "Nothing"; l.goalPiecesLeft = 5; }, 0, true},
    {"NothingInOtherCaseIsAPieceName", [](LevelInfo& l) { l.goalPieceName = "nothing"; l.goalPiecesLeft = 5; }, 0, false},
    {"MinusOneNameIsNoEliminationGoal", [](LevelInfo& l) { l.goalPiecesLeft = 5; }, 0, true},
    {"EliminationOpen", [](LevelInfo& l) { l.goalPieceName = "Gorgon"; l.goalPiecesLeft = 1; }, 0, false},
    {"EliminationDone", [](LevelInfo& l) { l.goalPieceName = "Gorgon"; l.goalPiecesLeft = 0; }, 0, true},
    {"TargetReachedExactly", [](LevelInfo& l) { l.targetScore = 5000; }, 5000, true},
    {"TargetMissedByOne", [](LevelInfo& l) { l.targetScore = 5000; }, 4999, false},
    {"SettleOpen", [](LevelInfo& l) { l.settleGoalOn = true; l.settlePiecesLeft = 2; }, 0, false},
    {"SettleDone", [](LevelInfo& l) { l.settleGoalOn = true; l.settlePiecesLeft = 0; }, 0, true},
    {"SettleOffIgnoresCount", [](LevelInfo& l) { l.settlePiecesLeft = 2; }, 0, true},
    {"ProtectionUsedUpBeatsAllMet", [](LevelInfo& l) { l.protectGoalOn = true; l.protectPiecesLeft = 0; }, 0, false},
    {"ProtectionAllowanceLeft", [](LevelInfo& l) { l.protectGoalOn = true; l.protectPiecesLeft = 1; }, 0, true},
    {"ProtectionOffIgnoresCount", [](LevelInfo& l) { l.protectPiecesLeft = 0; }, 0, true},
    {"LimitWithPositiveSecondsNeverFails",
     [](LevelInfo& l) { l.limitTimerOn = true; l.limitSeconds = 30; l.limitMinutes = 0; }, 0, true},
    {"LimitWithNegativeSecondsFailsInLastMinute",
     [](LevelInfo& l) { l.limitTimerOn = true; l.limitSeconds = -1; l.limitMinutes = 0; }, 0, false},
    {"LimitWithNegativeSecondsEarlier",
     [](LevelInfo& l) { l.limitTimerOn = true; l.limitSeconds = -1; l.limitMinutes = 1; }, 0, true},
    {"LimitOffIgnoresValues", [](LevelInfo& l) { l.limitSeconds = -1; l.limitMinutes = 0; }, 0, true},
    {"SurvivalAloneWithSecondsZero",
     [](LevelInfo& l) { l.survivalTimerOn = true; l.survivalSeconds = 0; l.survivalMinutes = 0; }, 0, true},
    {"SurvivalNegativeSecondsLastMinute",
     [](LevelInfo& l) { l.survivalTimerOn = true; l.survivalSeconds = -1; l.survivalMinutes = 0; }, 0, false},
    {"EveryGoalMet",
     [](LevelInfo& l) {
         l.goalPieceName = "Bomb"; l.goalPiecesLeft = 0; l.targetScore = 100;
         l.settleGoalOn = true; l.settlePiecesLeft = 0; l.protectGoalOn = true; l.protectPiecesLeft = 2;
     },
     100, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, LevelGoals, ::testing::ValuesIn(goalCases),
                         [](const ::testing::TestParamInfo<GoalCase>& info) { return info.param.name; });

} // namespace
} // namespace pomlets

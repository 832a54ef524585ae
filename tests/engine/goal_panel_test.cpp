// The Arcade goal panel: its lines read back from the back buffer, the
// countdowns, and the level ends it decides.
#include <gtest/gtest.h>

#include "common/brains.h"
#include "display/game_window.h"
#include "display/goal_panel.h"
#include "engine/main_loops.h"
#include "game_session.h"
#include "platform/win32.h"
#include "support/settable_clock.h"
#include "support/platform_port.h"
#include "support/sound_watch.h"

namespace pomlets {
namespace {

using testing::advanceTickCount;
using testing::bannerText;
using testing::drewText;
using testing::GameSession;

class GoalPanel : public ::testing::Test {
protected:
    GameSession game{"Arcade"};

    // Each test sets the time into the current countdown minute.
    void secondsIntoMinute(double seconds) {
        currentLevel.timerMinuteStart = gameTime() - static_cast<int32_t>(seconds * 1000);
    }
    void draw() {
        clearDrawnTexts(*backBuffer);
        drawGoalPanel();
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> all;
        for (const auto& drawn : drawnTexts(*backBuffer)) {
            EXPECT_EQ(drawn.x, 85);
            all.push_back(std::to_string(drawn.y) + " " + drawn.text);
        }
        return all;
    }
    int applause() const {
        int started = 0;
        for (const SoundRef& clap : sndClapping)
            if (clap) started += testing::timesStarted(clap);
        return started;
    }
};

TEST_F(GoalPanel, DrawsNothingWithoutGoals) {
    draw();
    EXPECT_TRUE(drawnTexts(*backBuffer).empty());
    EXPECT_FALSE(levelOver);
}

TEST_F(GoalPanel, GoalLinesAndTheirSignedForms) {
    currentLevel.settleGoalOn = true;
    currentLevel.settlePieceName = "Gorgon";
    currentLevel.settlePiecesLeft = 3;
    currentLevel.goalPieceName = "Bomb";
    currentLevel.goalPiecesLeft = 0;
    currentLevel.targetScore = 5000;
    score = 1200;
    draw();
    // The settle line leaves the line position where it was.
    EXPECT_EQ(lines(), (std::vector<std::string>{"26 Gorgons:   3", "26 Bombs:   0", "41 Score:  1200/ 5000"}));

    currentLevel.settlePiecesLeft = -1;
    currentLevel.protectGoalOn = true;
    currentLevel.protectPieceName = "Diamond";
    currentLevel.protectPiecesLeft = 2;
    score = -40;
    draw();
    // The protection line is drawn over the settle line and moves the others down.
    EXPECT_EQ(lines(), (std::vector<std::string>{"26 Gorgons:  -1", "26 Diamonds:   2", "41 Bombs:   0",
                                                 "56 Score: -40/ 5000"}));
    EXPECT_FALSE(levelOver);
}

TEST_F(GoalPanel, TimeLineReadsMinutesAndSeconds) {
    currentLevel.limitTimerOn = true;
    currentLevel.limitMinutes = 2;
    currentLevel.goalPieceName = "Bomb";
    currentLevel.goalPiecesLeft = 4;
    currentLevel.targetScore = 100;
    struct Case {
        double secondsIn;
        const char* line;
    };
    for (const Case& c : {Case{0, "Time: 2:59"}, Case{9.5, "Time: 2:50"}, Case{49.999, "Time: 2:10"},
                          Case{50, "Time: 2:09"}, Case{55.2, "Time: 2:04"}, Case{59.5, "Time: 2:00"}}) {
        secondsIntoMinute(c.secondsIn);
        draw();
        EXPECT_EQ(lines().back(), std::string("56 ") + c.line) << c.secondsIn;
    }
    EXPECT_EQ(currentLevel.limitMinutes, 2);
    EXPECT_FALSE(levelOver);
}

TEST_F(GoalPanel, NewMinuteStartsAtTheFirstFrameAfterTheLast) {
    currentLevel.survivalTimerOn = true;
    currentLevel.survivalMinutes = 2;
    secondsIntoMinute(60.3);
    draw();
    EXPECT_EQ(currentLevel.survivalMinutes, 1);
    EXPECT_EQ(currentLevel.timerMinuteStart, gameTime());
    EXPECT_EQ(lines(), std::vector<std::string>{"26 Time: 1:59"});
}

TEST_F(GoalPanel, TimeLimitExpiresAtZeroZero) {
    currentLevel.limitTimerOn = true;
    currentLevel.limitMinutes = 0;
    secondsIntoMinute(58.9);
    draw();
    EXPECT_FALSE(levelOver);
    EXPECT_EQ(lines(), std::vector<std::string>{"26 Time: 0:01"});

    secondsIntoMinute(59.2);
    draw();
    EXPECT_TRUE(levelOver);
    EXPECT_FALSE(levelWon);
    EXPECT_EQ(bannerText(), "TIME EXPIRED");
    EXPECT_EQ(lines(), std::vector<std::string>{"26 Time: 0:00"});

    // From the next frame on no time line, and no countdown.
    advanceTickCount(2000);
    draw();
    EXPECT_TRUE(drawnTexts(*backBuffer).empty());
    EXPECT_EQ(currentLevel.limitMinutes, 0);
}

TEST_F(GoalPanel, CountdownWithoutAFrameInItsLastSecondStillEnds) {
    currentLevel.limitTimerOn = true;
    currentLevel.limitMinutes = 0;
    secondsIntoMinute(60.5);
    draw();
    EXPECT_TRUE(levelOver);
    EXPECT_EQ(bannerText(), "TIME EXPIRED");
    EXPECT_EQ(currentLevel.limitMinutes, 0);
    EXPECT_EQ(lines(), std::vector<std::string>{"26 Time: 0:00"});
}

TEST_F(GoalPanel, ProtectionFailsOnce) {
    currentLevel.protectGoalOn = true;
    currentLevel.protectPieceName = "Gorgon";
    currentLevel.protectPiecesLeft = 0;
    currentLevel.limitTimerOn = true;
    currentLevel.limitMinutes = 3;
    draw();
    EXPECT_TRUE(levelOver);
    EXPECT_FALSE(levelWon);
    EXPECT_EQ(bannerText(), "FAILED!");
    // Once the level is decided the countdown line is gone.
    EXPECT_EQ(lines(), std::vector<std::string>{"26 Gorgons:   0"});

    // A later frame shows no second message: the running banner goes on.
    for (auto& glyph : messageGlyphs) glyph.x = static_cast<int16_t>(glyph.x - 300);
    const int16_t x = messageGlyphs[0].x;
    draw();
    EXPECT_EQ(messageGlyphs[0].x, x);
}

TEST_F(GoalPanel, SurvivalEndsInVictoryWithApplause) {
    currentLevel.survivalTimerOn = true;
    currentLevel.survivalMinutes = 0;
    secondsIntoMinute(10);
    draw();
    EXPECT_FALSE(levelOver);
    EXPECT_EQ(lines(), std::vector<std::string>{"26 Time: 0:49"});
    EXPECT_EQ(applause(), 0);

    secondsIntoMinute(59.01);
    draw();
    EXPECT_TRUE(levelOver);
    EXPECT_TRUE(levelWon);
    EXPECT_EQ(bannerText(), "VICTORY!");
    EXPECT_GT(applause(), 0);
    EXPECT_EQ(lines(), std::vector<std::string>{"26 Time: 0:00"});
}

TEST_F(GoalPanel, BothCountdownsShareTheTimeLimitsMinute) {
    currentLevel.limitTimerOn = true;
    currentLevel.limitMinutes = 2;
    currentLevel.survivalTimerOn = true;
    currentLevel.survivalMinutes = 1;
    secondsIntoMinute(61);
    draw();
    EXPECT_EQ(currentLevel.limitMinutes, 1);
    EXPECT_EQ(currentLevel.survivalMinutes, 1);
    EXPECT_EQ(lines(), (std::vector<std::string>{"26 Time: 1:59", "26 Time: 1:59"}));
}

} // namespace
} // namespace pomlets

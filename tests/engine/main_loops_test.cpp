// Whole games played headless: a frozen clock moved on by the test at every
// pass of the loop, a seeded generator, key-downs through the game window.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <vector>

#include "common/brains.h"
#include "display/game_window.h"
#include "engine/field.h"
#include "engine/main_loops.h"
#include "engine/messages.h"
#include "game_session.h"
#include "platform/directx.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

using testing::bannerText;
using testing::drewText;
using testing::EveryPass;
using testing::GameSession;
using testing::advanceClock;
using testing::tapKey;

constexpr int32_t start = GameSession::startTime;

// Freestyle draws the score at (83, 45) once a frame.
bool frameDrawn() { return drewText(83, 45); }

TEST(FreestyleLoop, TimingOfSpawnsFramesAndScoreTick) {
    GameSession game;
    std::vector<int32_t> frames;
    int32_t firstSpawn = -1;
    int32_t tickAt = -1;
    EveryPass pass([&] {
        const int32_t now = gameTime();
        if (frameDrawn()) frames.push_back(now);
        clearDrawnTexts(*backBuffer);
        if (firstSpawn < 0 && lastFalling >= 0) firstSpawn = now;
        if (tickAt < 0 && nextScoreTick != start + 10000) {
            tickAt = now;
            EXPECT_EQ(nextScoreTick, now + 10000);
        }
        if (now >= start + 10200) endGame = true;
        advanceClock(1);
    });
    playFreestyle();

    EXPECT_EQ(firstSpawn, start + 501);
    EXPECT_EQ(tickAt, start + 10001);
    ASSERT_GT(frames.size(), 100u);
    // The first frame at the first pass in which the clock has moved on, then
    // one frame 26 ms after the previous one.
    EXPECT_EQ(frames[0], start + 1);
    for (size_t i = 1; i < frames.size(); ++i) ASSERT_EQ(frames[i] - frames[i - 1], 26) << i;
    EXPECT_TRUE(endGame);
}

TEST(FreestyleLoop, ScoreTicksAlsoWithNothingFalling) {
    GameSession game;
    spawnInterval = 100000000;
    int32_t scoreBefore = 0;
    EveryPass pass([&] {
        const int32_t now = gameTime();
        if (now == start + 10000) scoreBefore = score;
        if (now == start + 10001) {
            EXPECT_EQ(score, scoreBefore + 3);
            endGame = true;
        }
        advanceClock(1);
    });
    playFreestyle();
}

TEST(FreestyleLoop, ShortIntervalSpawnsSeveralTimesBetweenFrames) {
    GameSession game;
    spawnInterval = 1;
    std::vector<int> spawnsPerFrame;
    int spawns = 0;
    int16_t lastSeen = -1;
    EveryPass pass([&] {
        if (gameTime() <= start + 500) {
            advanceClock(1);
            return;
        }
        if (frameDrawn()) {
            spawnsPerFrame.push_back(spawns);
            spawns = 0;
        } else if (lastFalling > lastSeen) {
            ++spawns;
        }
        lastSeen = lastFalling;
        clearDrawnTexts(*backBuffer);
        if (spawnsPerFrame.size() == 4) endGame = true;
        advanceClock(1);
    });
    playFreestyle();
    ASSERT_EQ(spawnsPerFrame.size(), 4u);
    // Every other pass is due to spawn: the spawn time is 1 ms after the spawn,
    // due once the clock is past it (a spawn draw outside every piece's range
    // spawns nothing).
    for (size_t i = 1; i < spawnsPerFrame.size(); ++i) EXPECT_GE(spawnsPerFrame[i], 5) << i;
}

// Just before the first spawn the generator is put where its next draw is 1
// of 0 to 1999: the Music drop, unless nine Music Notes are in.
class MusicDrop : public ::testing::TestWithParam<int32_t> {};

TEST_P(MusicDrop, Rules) {
    // After the drop draw, the Note's column is the one draw it makes.
    setRndState(15007377);
    rnd();
    const int column = static_cast<int>(vbInt(static_cast<double>(rnd()) * 10));
    GameSession game;
    musicNotes = GetParam();
    bool checked = false;
    EveryPass pass([&] {
        // The next state is then 10000, and 10000 / 2^24 x 2000 = 1.19.
        if (gameTime() == start + 500) setRndState(15007377);
        if (gameTime() == start + 501) {
            ASSERT_EQ(lastFalling, 0);
            const PieceDef& piece = fallingPieces[0];
            if (musicNotes < 9) {
                EXPECT_EQ(piece.typeName, "Music");
                EXPECT_EQ(piece.column, column);
                EXPECT_EQ(piece.deadline, pieceDefs[static_cast<size_t>(firstSlotNamed("Music"))].deadline);
                EXPECT_EQ(piece.speed, 1);
                EXPECT_TRUE(piece.active);
            } else {
                EXPECT_NE(piece.typeName, "Music");
            }
            checked = true;
            endGame = true;
        }
        advanceClock(1);
    });
    playFreestyle();
    EXPECT_TRUE(checked);
}

INSTANTIATE_TEST_SUITE_P(NotesCollected, MusicDrop, ::testing::Values(0, 8, 9, 12));

TEST(FreestyleLoop, FrogBonusOncePayingNothing) {
    GameSession game;
    spawnInterval = 100000000;
    int shown = 0;
    int32_t awardedAt = -1;
    EveryPass pass([&] {
        const int32_t now = gameTime();
        if (now == start + 1000) score = 60000;  // not above: no bonus
        if (now == start + 1100) {
            EXPECT_FALSE(frogGiven);
            score = 60001;
        }
        if (frogGiven && awardedAt < 0) {
            awardedAt = now;
            ++shown;
            EXPECT_EQ(bannerText(), "FROG BONUS!");
            EXPECT_EQ(score, 60001);
            EXPECT_EQ(frogUntil, now + 60000);
        }
        if (now == start + 3000) {
            score = 70000;
            showMessage("x");  // a banner of its own, to tell a second award apart
        }
        if (now == start + 3100) {
            EXPECT_EQ(bannerText(), "X");
            EXPECT_EQ(frogUntil, awardedAt + 60000);
            endGame = true;
        }
        advanceClock(1);
    });
    playFreestyle();
    EXPECT_EQ(shown, 1);
    EXPECT_GE(awardedAt, start + 1101);
    EXPECT_LE(awardedAt, start + 1127);
}

TEST(FreestyleLoop, KeysReachTheEngineAndEscapeEndsTheGame) {
    GameSession game;
    EveryPass pass([&] {
        const int32_t now = gameTime();
        if (now == start + 200) tapKey(dik::UP);
        if (now == start + 300) tapKey(dik::UP);   // within 150 ms of the last: ignored
        if (now == start + 400) tapKey(dik::UP);
        if (now == start + 600) tapKey(dik::ESCAPE);
        if (now > start + 5000) FAIL() << "Escape did not end the game";
        advanceClock(1);
    });
    playFreestyle();
    EXPECT_EQ(currentRow, 2);
    EXPECT_TRUE(endGame);
}

// A pause in the middle of a game: the clock runs on for 20 s outside the
// game, and every timer is where it was once the game resumes.
TEST(FreestyleLoop, PauseLeavesEveryTimerWhereItWas) {
    GameSession game;
    int32_t tickBefore = 0;
    int16_t fallingBefore = 0;
    int32_t scoreBefore = 0;
    int pausePasses = 0;
    bool resumeSeen = false, resumed = false;
    EveryPass pass([&] {
        if (paused) {
            if (++pausePasses == 1) {
                tickBefore = nextScoreTick;
                fallingBefore = lastFalling;
                scoreBefore = score;
            }
            EXPECT_EQ(lastFalling, fallingBefore);
            EXPECT_EQ(score, scoreBefore);
            advanceClock(100);
            if (pausePasses == 200) tapKey(dik::P);
            return;
        }
        const int32_t now = gameTime();
        if (now == start + 2000) {
            tapKey(dik::P);
        }
        if (pausePasses > 0 && !resumed) {
            // The first call after the resume comes from inside the pause's
            // own event processing, before the paused span is taken out.
            if (!resumeSeen) {
                resumeSeen = true;
                return;
            }
            resumed = true;
            EXPECT_EQ(now, start + 2001);
            EXPECT_EQ(nextScoreTick, tickBefore);
        }
        if (now == start + 10000) {
            EXPECT_EQ(nextScoreTick, start + 10000) << "the tick has not come early";
        }
        if (now == start + 10001) {
            EXPECT_EQ(nextScoreTick, start + 20001);
            endGame = true;
        }
        advanceClock(1);
    });
    playFreestyle();
    EXPECT_GE(pausePasses, 200);
    EXPECT_TRUE(resumed);
    EXPECT_GE(pausedTotal, 20000);
}

// Losing the display (another window has the focus, or the window manager
// minimised the game window) pauses the game. The game does not put its window
// out of the way itself, and a click or a key in the program's other windows
// (the main window, greyed out) brings a minimised one back; once it has the
// focus again the pause screen shows.
TEST(FreestyleLoop, LostDisplayPausesUntilAClickOrAKeyBringsTheWindowBack) {
    const struct {
        const char* what;
        bool minimised, key;
    } cases[] = {
        {"focus lost, a click", false, false},
        {"focus lost, a key", false, true},
        {"minimised, a click", true, false},
        {"minimised, a key", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GameSession game;
        GameWindow* window = fConsole().window();
        ASSERT_NE(window, nullptr);
        simulateFocus(*window, true);
        QWidget other;
        enum { playing, lost, back, done } phase = playing;
        int waitPasses = 0;
        bool movedByTheGame = false, broughtBack = false, pauseScreenAfter = false;
        EveryPass pass([&] {
            switch (phase) {
            case playing:
                if (gameTime() == start + 1000) {
                    simulateFocus(*window, false);
                    if (c.minimised) simulateMinimised(*window, true);
                    phase = lost;
                }
                advanceClock(1);
                break;
            case lost:
                if (!paused) break;
                if (window->isMinimised() != c.minimised) movedByTheGame = true;
                if (++waitPasses < 20) break;
                if (c.key) {
                    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
                    QCoreApplication::sendEvent(&other, &press);
                } else {
                    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                                      Qt::LeftButton, Qt::NoModifier);
                    QCoreApplication::sendEvent(&other, &press);
                }
                broughtBack = !window->isMinimised();
                simulateFocus(*window, true);
                clearDrawnTexts(*backBuffer);
                phase = back;
                break;
            case back:
                if (drewText(10, 20, "Paused...  Press the P key to resume.")) {
                    pauseScreenAfter = true;
                    tapKey(dik::P);
                    phase = done;
                }
                break;
            case done:
                if (!paused) endGame = true;
                break;
            }
        });
        playFreestyle();
        EXPECT_EQ(waitPasses, 20);
        EXPECT_FALSE(movedByTheGame);
        EXPECT_TRUE(broughtBack);
        EXPECT_TRUE(pauseScreenAfter);
        EXPECT_FALSE(paused);
        EXPECT_EQ(ddraw->TestCooperativeLevel(), 0);
    }
}

// An Arcade level whose goals all hold at once (here: none at all) is won at
// the first frame; the game ends only once "victory!" has scrolled away.
TEST(ArcadeLoop, WonLevelEndsAfterTheBanner) {
    GameSession game("Arcade");
    currentLevel.levelCaption = "Level One";
    int32_t wonAt = -1;
    int framesUnderBanner = 0;
    EveryPass pass([&] {
        const int32_t now = gameTime();
        if (drewText(315, 33, "Level One")) {
            if (levelOver) ++framesUnderBanner;
        }
        clearDrawnTexts(*backBuffer);
        if (levelWon && wonAt < 0) {
            wonAt = now;
            EXPECT_TRUE(levelOver);
            EXPECT_EQ(bannerText(), "VICTORY!");
        }
        if (endGame) {
            EXPECT_LT(lastMessageGlyph, 0) << "ended under the banner";
        }
        if (now > start + 60000) FAIL() << "the game did not end";
        advanceClock(1);
    });
    playArcade();
    EXPECT_EQ(wonAt, start + 1);
    EXPECT_TRUE(levelWon);
    EXPECT_GT(framesUnderBanner, 30);
    EXPECT_LT(lastMessageGlyph, 0);
}

TEST(ArcadeLoop, SurvivalLevelIsWonWhenTheGoalTestFails) {
    GameSession game("Arcade");
    spawnInterval = 100000000;
    currentLevel.survivalTimerOn = true;
    currentLevel.survivalMinutes = 1;
    currentLevel.survivalSeconds = -1;
    currentLevel.timerMinuteStart = start;
    EveryPass pass([&] {
        if (gameTime() > start + 300000) FAIL() << "the game did not end";
        advanceClock(26);
    });
    playArcade();
    EXPECT_TRUE(levelWon);
    // Won by the loop as the last minute begins, before the panel's 0:00.
    EXPECT_EQ(currentLevel.survivalMinutes, 0);
}

TEST(ArcadeLoop, FailedLevelEndsWithoutAWin) {
    GameSession game("Arcade");
    currentLevel.protectGoalOn = true;
    currentLevel.protectPieceName = "Gorgon";
    currentLevel.protectPiecesLeft = 0;
    EveryPass pass([&] {
        if (gameTime() > start + 60000) FAIL() << "the game did not end";
        advanceClock(1);
    });
    playArcade();
    EXPECT_TRUE(levelOver);
    EXPECT_FALSE(levelWon);
}

// A failing step of an Arcade pass is abandoned and the game goes on: here
// the score tick overflows once.
TEST(ArcadeLoop, GoesOnAfterAFailingStep) {
    GameSession game("Arcade");
    spawnInterval = 100000000;
    currentLevel.targetScore = 3;
    bool overflowed = false;
    EveryPass pass([&] {
        const int32_t now = gameTime();
        if (now == start + 10000) score = 2147483647;
        if (now == start + 10001) {
            overflowed = true;
            EXPECT_EQ(score, 2147483647);
            EXPECT_EQ(nextScoreTick, start + 20001);
            score = 0;
        }
        if (now > start + 60000) FAIL() << "the game did not end";
        advanceClock(1);
    });
    playArcade();
    EXPECT_TRUE(overflowed);
    EXPECT_TRUE(levelWon);
    EXPECT_GE(score, 3);
}

TEST(FreestyleLoop, FailureEndsTheGameAndIsPassedOn) {
    GameSession game;
    EveryPass pass([&] {
        if (gameTime() == start + 100) nextScoreTick = start;  // due now...
        if (gameTime() == start + 99) score = 2147483647;      // ...and it overflows
        advanceClock(1);
    });
    try {
        playFreestyle();
        FAIL() << "no error passed on";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), err::Overflow);
    }
    EXPECT_TRUE(endGame);
    EXPECT_FALSE(paused);
}

} // namespace
} // namespace pomlets

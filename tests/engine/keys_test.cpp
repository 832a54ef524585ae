// The keyboard commands: precedence, the 150 ms gate, store keys, the
// Detonator, the row pointer, and N, P and Escape around a pause.
#include <gtest/gtest.h>

#include "common/brains.h"
#include "display/game_window.h"
#include "engine/keys.h"
#include "engine/main_loops.h"
#include "frontend/fmain.h"
#include "game_session.h"
#include "platform/bass.h"
#include "platform/win32.h"
#include "support/settable_clock.h"
#include "support/platform_port.h"
#include "support/sound_watch.h"

namespace pomlets {
namespace {

using testing::advanceTickCount;
using testing::EveryPass;
using testing::GameSession;

constexpr int keyA = 30;

class Keys : public ::testing::Test {
protected:
    GameSession game;

    void SetUp() override {
        // The last accepted key long ago: the gate is open.
        lastKeyTime = gameTime() - 1000;
    }
    // One key-down message with exactly these keys held.
    void keyDown(std::initializer_list<int> held) {
        keyboardState().fill(0);
        for (int code : held) keyboardState()[static_cast<size_t>(code)] = 0x80;
        readKeys();
        keyboardState().fill(0);
    }
    void putPiece(int row, int column, const std::string& typeName, bool isBomb = false) {
        FieldCell& cell = field.rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
        cell.occupied = true;
        cell.piece = PieceDef{};
        cell.piece.typeName = typeName;
        cell.piece.isBomb = isBomb;
        cell.piece.deadline = 999999;
        cell.piece.column = static_cast<int16_t>(column);
        cell.piece.y = static_cast<int16_t>(520 - 85 * row);
    }
    bool occupied(int row, int column) const {
        return field.rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)].occupied;
    }
    void fillPlaylist() {
        fMain().songs->clear();
        for (const char* title : {"Varnock - Iron Lanterns", "Pellandry - Orchard at Noon"})
            fMain().songs->addItem(QString::fromLatin1(title));
        lastSongIndex = -1;
        nowPlaying.clear();
    }
};

TEST_F(Keys, LaterKeysOfTheTableWin) {
    putPiece(0, 0, "Pomlet");
    keyDown({dik::RIGHT, dik::LEFT});
    EXPECT_TRUE(occupied(0, 1)) << "Right wins over Left";

    advanceTickCount(151);
    keyDown({dik::LEFT});
    advanceTickCount(151);
    keyDown({dik::LEFT});
    EXPECT_TRUE(occupied(0, 9)) << "Left shifts the pointed row, wrapping around";

    advanceTickCount(151);
    keyDown({dik::LEFT, dik::UP});
    EXPECT_EQ(currentRow, 1);
    EXPECT_TRUE(occupied(0, 9)) << "the row was shifted although Up wins";
}

TEST_F(Keys, EscapeWinsOverAllButNAndP) {
    fillPlaylist();
    items[0] = 3;
    keyDown({dik::ESCAPE, dik::DOWN, dik::UP, dik::K1, dik::N});
    EXPECT_TRUE(endGame);
    EXPECT_EQ(currentRow, 0);
    EXPECT_EQ(items[0], 3);
    EXPECT_FALSE(nowPlaying.empty()) << "N acts beside Escape";
}

TEST_F(Keys, GateOf150Milliseconds) {
    lastKeyTime = gameTime() - 150;
    keyDown({dik::UP});
    EXPECT_EQ(currentRow, 0);
    EXPECT_EQ(lastKeyTime, gameTime() - 150) << "a gated key does not stamp";

    advanceTickCount(1);
    keyDown({dik::UP});
    EXPECT_EQ(currentRow, 1);
    EXPECT_EQ(lastKeyTime, gameTime());
}

TEST_F(Keys, UnknownKeyStampsTheGate) {
    keyDown({keyA});
    EXPECT_EQ(lastKeyTime, gameTime());
    advanceTickCount(100);
    keyDown({dik::UP});
    EXPECT_EQ(currentRow, 0);
    advanceTickCount(51);
    keyDown({dik::UP});
    EXPECT_EQ(currentRow, 1);
}

TEST_F(Keys, StoreKeysNeedFreestyleAndStock) {
    struct Case {
        int key;
        size_t item;
        const char* typeName;
    };
    for (const Case& c : {Case{dik::K1, 0, "Slammer"}, Case{dik::K2, 1, "Bomb"}, Case{dik::K4, 3, "Bowling Ball"}}) {
        SCOPED_TRACE(c.typeName);
        items = {};
        items[c.item] = 1;
        gameMode = "freestyle";
        const int16_t before = lastFalling;
        advanceTickCount(200);
        keyDown({c.key});
        EXPECT_EQ(items[c.item], 1) << "only the exact mode name lets the store keys act";
        EXPECT_EQ(lastKeyTime, gameTime());
        EXPECT_EQ(lastFalling, before);

        gameMode = "Freestyle";
        advanceTickCount(200);
        keyDown({c.key});
        EXPECT_EQ(items[c.item], 0);
        ASSERT_GE(lastFalling, 0);
        if (c.item != 3) {
            // A dropped Bowling Ball may strike at once; the others fall.
            EXPECT_EQ(lastFalling, before + 1);
            EXPECT_EQ(fallingPieces[static_cast<size_t>(lastFalling)].typeName, c.typeName);
        }

        const int16_t after = lastFalling;
        advanceTickCount(200);
        keyDown({c.key});
        EXPECT_EQ(items[c.item], 0);
        EXPECT_EQ(lastFalling, after) << "nothing in stock, nothing dropped";
        fallingPieces.clear();
        lastFalling = -1;
    }
}

TEST_F(Keys, DetonatorSetsOffLyingBombsOnly) {
    putPiece(0, 3, "Bomb", true);
    putPiece(4, 7, "Bomb", true);
    putPiece(1, 3, "Pomlet");
    PieceDef& falling = appendTo(fallingPieces, lastFalling);
    falling.typeName = "Bomb";
    falling.isBomb = true;
    falling.active = true;
    falling.deadline = 999999;
    items[2] = 2;
    const int played = testing::timesStarted(sndDetonate);

    keyDown({dik::K3});
    EXPECT_EQ(items[2], 1);
    EXPECT_EQ(testing::timesStarted(sndDetonate), played + 1);
    EXPECT_EQ(field.rows[0].cells[3].piece.deadline, 0);
    EXPECT_EQ(field.rows[4].cells[7].piece.deadline, 0);
    EXPECT_EQ(field.rows[1].cells[3].piece.deadline, 999999);
    EXPECT_EQ(fallingPieces[0].deadline, 999999);

    // Without a Bomb in the field a Detonator is still spent and heard.
    field = PlayField{};
    sndDetonate->Stop();
    advanceTickCount(200);
    keyDown({dik::K3});
    EXPECT_EQ(items[2], 0);
    EXPECT_EQ(testing::timesStarted(sndDetonate), played + 2);
}

TEST_F(Keys, RowPointerStopsAtTopAndBottom) {
    const int moved = testing::timesStarted(sndMoveRow);
    keyDown({dik::DOWN});
    EXPECT_EQ(currentRow, 0);
    EXPECT_EQ(testing::timesStarted(sndMoveRow), moved);
    for (int step = 1; step <= 7; ++step) {
        advanceTickCount(151);
        keyDown({dik::UP});
    }
    EXPECT_EQ(currentRow, 6);
    EXPECT_EQ(testing::timesStarted(sndMoveRow), moved + 6);
    advanceTickCount(151);
    keyDown({dik::DOWN});
    EXPECT_EQ(currentRow, 5);
    EXPECT_EQ(testing::timesStarted(sndMoveRow), moved + 7);
}

TEST_F(Keys, WhilePausedOnlyNAndPAct) {
    fillPlaylist();
    paused = true;
    keyDown({dik::ESCAPE});
    EXPECT_FALSE(endGame);
    EXPECT_TRUE(paused);
    keyDown({dik::UP});
    EXPECT_EQ(currentRow, 0);
    keyDown({dik::N});
    EXPECT_FALSE(nowPlaying.empty());
    const std::string first = nowPlaying;
    keyDown({dik::N});
    EXPECT_NE(nowPlaying, first) << "N skips to another track";
    keyDown({dik::P});
    EXPECT_FALSE(paused) << "P resumes";
    EXPECT_FALSE(cursorVisible());
}

// A real pause: P pressed during play; the pause loop shows its screen, the
// clock moves on outside the game, a second P resumes it.
TEST_F(Keys, PauseTakesItsSpanOutOfTheClock) {
    fillPlaylist();
    const int32_t before = gameTime();
    const int32_t totalBefore = pausedTotal;
    bool sawPauseScreen = false, cursorShown = false, musicPaused = false;
    int passes = 0;
    EveryPass during([&] {
        ++passes;
        sawPauseScreen |= testing::drewText(10, 20, "Paused...  Press the P key to resume.");
        cursorShown |= cursorVisible();
        musicPaused |= musicOutputState().paused || !musicOutputState().open;
        if (passes == 1) keyboardState().fill(0);
        advanceTickCount(100);
        if (passes == 50) {
            injectKey(dik::N, true);
            injectKey(dik::N, false);
        }
        if (passes == 60) testing::tapKey(dik::P);
    });
    keyDown({dik::P});
    during.stop();
    EXPECT_FALSE(paused);
    EXPECT_TRUE(sawPauseScreen);
    EXPECT_TRUE(cursorShown);
    EXPECT_TRUE(musicPaused);
    EXPECT_FALSE(cursorVisible());
    EXPECT_FALSE(nowPlaying.empty()) << "N works while paused";
    EXPECT_GE(passes, 60);
    EXPECT_EQ(gameTime(), before);
    EXPECT_EQ(pausedTotal - totalBefore, 100 * passes);
}

// A long pause must not shut the gate for its own length: the key-down that
// resumes starts one ordinary 150 ms gate, measured in game time.
TEST_F(Keys, KeysWorkAgainSoonAfterALongPause) {
    int passes = 0;
    EveryPass during([&] {
        if (++passes == 1) keyboardState().fill(0);
        if (passes == 2) advanceTickCount(35000);  // focus lost for half a minute
        if (passes == 3) testing::tapKey(dik::P);
    });
    const int32_t before = gameTime();
    keyDown({dik::P});
    during.stop();
    ASSERT_FALSE(paused);
    EXPECT_EQ(gameTime(), before);
    EXPECT_LE(lastKeyTime, gameTime());

    advanceTickCount(150);
    keyDown({dik::UP});
    EXPECT_EQ(currentRow, 0) << "the resuming key-down starts a gate of its own";
    advanceTickCount(1);
    keyDown({dik::UP});
    EXPECT_EQ(currentRow, 1);

    items[1] = 1;
    advanceTickCount(151);
    keyDown({dik::K2});
    EXPECT_EQ(items[1], 0) << "a store key works";

    advanceTickCount(151);
    keyDown({dik::ESCAPE});
    EXPECT_TRUE(endGame);
}

} // namespace
} // namespace pomlets

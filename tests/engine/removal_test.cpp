// killPiece: every reaction, and the blast with its edges and reach-back.
#include <gtest/gtest.h>

#include <functional>

#include "common/brains.h"
#include "engine/chance.h"
#include "engine/removal.h"
#include "field_picture.h"
#include "platform/runtime.h"

namespace pomlets::testing {
namespace {

using Picture = std::vector<std::string>;

struct Reaction {
    const char* name;
    char letter;
    std::function<void()> prepare;  // after the field is laid, before the removal
    // What must change.
    int protectDelta = 0, goalDelta = 0, pendingDumps = 0, bTypeDelta = 0, credits = 0, musicNotes = 0;
    int popup = -1;  // points of the one popup, -1 for none
    const char* message = nullptr;
    std::function<int()> sounds;  // plays of the reaction's sound(s)
    int expectedSounds = 0;
};

TEST_F(EngineTest, KillPieceReactions) {
    const std::vector<Reaction> cases = {
        {"plain piece", '1', [] {}, 0, 0, 0, 0, 0, 0, 10, nullptr, [] { return 0; }, 0},
        {"money: a credit, no popup", 'M', [] {}, 0, 0, 0, 0, 1, 0, -1, nullptr, [] { return plays(sndCoin); }, 1},
        {"music note: counted, no popup", 'N', [] {}, 0, 0, 0, 0, 0, 1, -1, nullptr,
         [] { return plays(sndMusic); }, 1},
        {"gorgon leaves", 'G', [] {}, 0, 0, 0, 0, 0, 0, 40, nullptr, [] { return plays(sndGorgonLeave); }, 1},
        {"bauble before its time", 'U',
         [] {
             currentLevel.goalPieceName = "Bauble";
             field.rows[0].cells[4].piece.deadline = 100001;
         },
         0, -1, 3, 0, 0, 0, 15, nullptr, [] { return plays(sndBauble1); }, 1},
        {"bauble after its time", 'U',
         [] {
             currentLevel.goalPieceName = "Bauble";
             field.rows[0].cells[4].piece.deadline = 99999;
         },
         0, 0, 3, 0, 0, 0, 15, nullptr, [] { return plays(sndBauble1); }, 1},
        {"negative calculator pays its magnitude", 'K', [] { field.rows[0].cells[4].piece.points = -40; }, 0, 0, 0,
         0, 0, 0, 40, nullptr, [] { return plays(sndCalculatePlus) + plays(sndCalculateMinus); }, 0},
        {"protect and goal name the same type", '2',
         [] {
             currentLevel.goalPieceName = "Pomlet";
             currentLevel.protectPieceName = "Pomlet";
         },
         -1, -1, 0, 0, 0, 0, 10, nullptr, [] { return 0; }, 0},
        {"last b-type piece", 'T', [] { bTypeCount = 1; }, 0, 0, 0, -1, 0, 0, 20, "victory!",
         [] { return plays(sndClapping[0]) + plays(sndClapping[1]) + plays(sndClapping[2]) > 0 ? 1 : 0; }, 1},
        {"b-type piece with more left", 'T', [] { bTypeCount = 3; }, 0, 0, 0, -1, 0, 0, 20, nullptr,
         [] { return plays(sndClapping[0]) + plays(sndClapping[1]) + plays(sndClapping[2]); }, 0},
        {"b-type count goes below zero", 'T', [] { bTypeCount = 0; }, 0, 0, 0, -1, 0, 0, 20, nullptr,
         [] { return 0; }, 0},
    };
    for (const Reaction& c : cases) {
        SetUp();
        currentLevel.goalPiecesLeft = 5;
        currentLevel.protectPiecesLeft = 5;
        setField({std::string("....") + c.letter + "....."});
        c.prepare();
        const int16_t bTypes = bTypeCount;
        killPiece(0, 4);
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(field.rows[0].cells[4].occupied);
        EXPECT_EQ(field.rows[0].cells[4].piece.typeName, "");
        EXPECT_EQ(field.rows[0].cells[4].piece.column, 4);  // the rest of the record stays
        EXPECT_EQ(field.rows[0].cells[4].piece.y, 520);
        EXPECT_EQ(currentLevel.protectPiecesLeft, 5 + c.protectDelta);
        EXPECT_EQ(currentLevel.goalPiecesLeft, 5 + c.goalDelta);
        EXPECT_EQ(pendingDumps, c.pendingDumps);
        EXPECT_EQ(bTypeCount, bTypes + c.bTypeDelta);
        EXPECT_EQ(credits, c.credits);
        EXPECT_EQ(musicNotes, c.musicNotes);
        if (c.popup < 0) {
            EXPECT_EQ(lastPointPopup, -1);
        } else {
            ASSERT_EQ(lastPointPopup, 0);
            EXPECT_EQ(pointPopups[0].points, c.popup);
            EXPECT_EQ(pointPopups[0].x, 85 * 4 - 70);
            EXPECT_EQ(pointPopups[0].y, 520 - 70);
        }
        EXPECT_EQ(lastMessageGlyph, c.message ? static_cast<int>(std::string(c.message).size()) - 1 : -1);
        EXPECT_EQ(c.sounds(), c.expectedSounds);
        EXPECT_EQ(lastExplosion, -1);
    }
}

TEST_F(EngineTest, KillingAnEmptyCellChangesNothing) {
    setField({"1........."});
    currentLevel.goalPieceName = "";  // an empty cell's record has an empty type name
    currentLevel.goalPiecesLeft = 5;
    const uint32_t state = rndState();
    killPiece(0, 5);
    EXPECT_EQ(currentLevel.goalPiecesLeft, 5);
    EXPECT_EQ(lastPointPopup, -1);
    EXPECT_EQ(rndState(), state);
    EXPECT_THROW(killPiece(7, 0), RuntimeError);
    EXPECT_THROW(killPiece(0, -1), RuntimeError);
}

TEST_F(EngineTest, ABlastTakesTheRowBelowAndEachSideByChance) {
    struct Case {
        std::vector<int> draws;  // left, right
        Picture before, after;
        int drawsUsed;
    };
    const std::vector<Case> cases = {
        {{1, 1}, {"....1.....", "...1X1....", "..11111..."}, {"....1.....", "..........", "..1...1..."}, 2},
        {{0, 1}, {"....1.....", "...1X1....", "..11111..."}, {"....1.....", "...1......", "..1...1..."}, 2},
        {{1, 0}, {"..........", "...1X1....", "..11111..."}, {"..........", ".....1....", "..1...1..."}, 2},
        // The draw is used even when the neighbour's cell is empty.
        {{1, 1}, {"..........", "....X.....", ".........."}, {"..........", "..........", ".........."}, 2},
        // Row 0: nothing below. Column 0: no left draw. Column 9: no right draw.
        {{1, 1}, {"..........", "..........", "1X1......."}, {"..........", "..........", ".........."}, 2},
        {{1}, {"..........", "X1........", "11........"}, {"..........", "..........", ".........."}, 1},
        {{1}, {"..........", "........1X", "........11"}, {"..........", "..........", ".........."}, 1},
    };
    for (const Case& c : cases) {
        SetUp();
        setField(c.before);
        int row = -1, column = -1;
        for (int r = 0; r < 3; ++r)
            for (int col = 0; col < 10; ++col)
                if (c.before[static_cast<size_t>(2 - r)][static_cast<size_t>(col)] == 'X') row = r, column = col;
        const uint32_t start = stateForDraws(2, c.draws);
        killPiece(static_cast<int16_t>(row), static_cast<int16_t>(column));
        const auto now = fieldPicture();
        EXPECT_EQ((Picture{now[4], now[5], now[6]}), c.after) << c.before[1];
        const uint32_t after = rndState();
        setRndState(start);
        for (int i = 0; i < c.drawsUsed; ++i) rnd();
        EXPECT_EQ(after, rndState()) << "draws used";
        ASSERT_EQ(lastExplosion, 0);
        EXPECT_EQ(explosions[0].x, 85 * column - 70);
        EXPECT_EQ(plays(sndPop), 1);
    }
}

TEST_F(EngineTest, ChainedBlastsRemoveEachPieceWithItsOwnReactions) {
    // A blasting neighbour below is removed with its own blast.
    setField({"....X.....", "...1X1....", "..111....."});
    stateForDraws(2, {0, 0, 0, 0});
    killPiece(2, 4);
    EXPECT_EQ(fieldPicture()[4], "..........");
    EXPECT_EQ(fieldPicture()[5], "..........");
    EXPECT_EQ(fieldPicture()[6], "..1.......");
    EXPECT_EQ(lastExplosion, 1);
}

TEST_F(EngineTest, ABlastMayReachBackToThePieceThatStartedIt) {
    // X at 4 blasts right into X at 5, whose blast reaches back to 4, which
    // is still occupied while its own removal runs: it is removed once more.
    setField({"....XX...."});
    // Draws: 4 left (0), 4 right (1) -> 5: left (1) -> 4 again: left (0),
    // right (0); back in 5: right (0).
    stateForDraws(2, {0, 1, 1, 0, 0, 0});
    killPiece(0, 4);
    EXPECT_EQ(fieldPicture()[6], "..........");
    ASSERT_EQ(lastPointPopup, 2);
    EXPECT_EQ(pointPopups[0].x, 85 * 4 - 70);
    EXPECT_EQ(pointPopups[1].x, 85 * 5 - 70);
    EXPECT_EQ(pointPopups[2].x, 85 * 4 - 70);
    EXPECT_EQ(lastExplosion, 2);
    EXPECT_EQ(plays(sndPop), 3);
}

} // namespace
} // namespace pomlets::testing

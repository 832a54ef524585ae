// The rules pass over the lying pieces, and bombs.
#include <gtest/gtest.h>

#include "common/brains.h"
#include "engine/board_rules.h"
#include "field_picture.h"
#include "platform/runtime.h"

namespace pomlets::testing {
namespace {

using Picture = std::vector<std::string>;

PieceDef& at(int row, int column) {
    return field.rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)].piece;
}

TEST_F(EngineTest, AfterTheDetonatorBombsExplodeInPassOrder) {
    setField({"......B...", "......1...", "1BB1..1..."});
    for (auto [r, c] : {std::pair{0, 1}, {0, 2}, {2, 6}}) at(r, c).deadline = 0;
    updateBoardRules();
    // The bomb at (0, 1) goes first; its blast takes the bomb at (0, 2),
    // which therefore does not explode. The bomb in row 2 explodes too.
    EXPECT_EQ(fieldPicture()[6], "...1..1...");
    EXPECT_EQ(fieldPicture()[5], "..........");
    EXPECT_EQ(fieldPicture()[4], "..........");
    ASSERT_EQ(lastExplosion, 1);
    EXPECT_EQ(explosions[0].x, 85 * 1 - 70);
    EXPECT_EQ(explosions[1].x, 85 * 6 - 70);
    EXPECT_EQ(explosions[1].y, 520 - 170 - 70);
    EXPECT_EQ(plays(sndPop), 2);
    // Bomb 1: its own popup and the second one of its signed points, then
    // the 1 and the bomb of its blast; bomb 2: its two popups.
    ASSERT_EQ(lastPointPopup, 6);
    EXPECT_EQ(pointPopups[0].points, 25);
    EXPECT_EQ(pointPopups[1].points, 25);
    EXPECT_EQ(pointPopups[2].points, 10);
    EXPECT_EQ(pointPopups[3].points, 25);
}

TEST_F(EngineTest, ABombOnTheEdgeBlastsOnlyInsideTheField) {
    setField({"11........", "B1........"});
    at(0, 0).deadline = 0;
    at(0, 0).points = -30;
    updateBoardRules();
    EXPECT_EQ(fieldPicture()[5], "..........");
    EXPECT_EQ(fieldPicture()[6], "..........");
    // The bomb's own popup pays its magnitude, the second one its signed value.
    EXPECT_EQ(pointPopups[0].points, 30);
    EXPECT_EQ(pointPopups[1].points, -30);
}

TEST_F(EngineTest, ABlastSparesUnbombablePieces) {
    setField({"R.1.......", "RBR......."});
    at(1, 0).bombable = false;
    at(0, 0).bombable = false;
    at(0, 1).deadline = 0;
    updateBoardRules();
    EXPECT_EQ(fieldPicture()[5], "R.........");
    EXPECT_EQ(fieldPicture()[6], "R.........");
}

TEST_F(EngineTest, AllFourPomletVariantsInOneBlastGiveTheFruitCocktail) {
    setField({"12........", "B3........", "4........."});
    at(1, 0).deadline = 0;
    updateBoardRules();
    EXPECT_EQ(score, 5000);
    EXPECT_EQ(lastMessageGlyph, static_cast<int>(std::string("Fruit cocktail bonus!  5000 points").size()) - 1);
}

TEST_F(EngineTest, ThreeVariantsGiveNoFruitCocktail) {
    setField({"12........", "B3........", "3........."});
    at(1, 0).deadline = 0;
    updateBoardRules();
    EXPECT_EQ(score, 0);
    EXPECT_EQ(lastMessageGlyph, -1);
}

TEST_F(EngineTest, TheBombsOwnCellNeverCountsForTheFruitCocktail) {
    // A Pomlet that is also a bomb: its own variant is not counted.
    setField({"12........", "43........", ".........."});
    PieceDef& bomb = at(1, 0);
    bomb.isBomb = true;
    bomb.deadline = 0;
    at(0, 0) = pieceOf('R');
    field.rows[0].cells[0].occupied = true;
    updateBoardRules();
    EXPECT_EQ(score, 0);
}

TEST_F(EngineTest, ADiamondPaysOnceAfterItsTimer) {
    setField({"D........."});
    at(0, 0).deadline = 0;
    updateBoardRules();
    ASSERT_EQ(lastPointPopup, 0);
    EXPECT_EQ(pointPopups[0].points, 100);
    EXPECT_EQ(at(0, 0).deadline, -1);
    updateBoardRules();
    EXPECT_EQ(lastPointPopup, 0);
    at(0, 0).deadline = 100000;  // not earlier than the game time: not yet
    updateBoardRules();
    EXPECT_EQ(lastPointPopup, 0);
}

TEST_F(EngineTest, AMaturedBaubleLeavesWithoutItsRemovalReactions) {
    setField({"2.........", "U........."});
    at(0, 0).deadline = 99999;
    currentLevel.goalPieceName = "Bauble";
    currentLevel.goalPiecesLeft = 3;
    updateBoardRules();
    EXPECT_FALSE(field.rows[0].cells[0].occupied);
    EXPECT_EQ(at(0, 0).typeName, "Bauble");
    EXPECT_EQ(plays(sndBauble2), 1);
    EXPECT_EQ(plays(sndBauble1), 0);
    ASSERT_EQ(lastPointPopup, 0);
    EXPECT_EQ(pointPopups[0].points, 500);
    EXPECT_EQ(pendingDumps, 0);
    EXPECT_EQ(currentLevel.goalPiecesLeft, 3);
    ASSERT_EQ(lastFalling, 0);  // the piece above falls
    EXPECT_EQ(fallingPieces[0].variant, 2);
}

TEST_F(EngineTest, CalculatorsPayTheirValueAndFeedThePythagoreanBonus) {
    setField({"KK........"});
    at(0, 0).deadline = 0;
    at(0, 0).points = 40;
    at(0, 1).deadline = 0;
    at(0, 1).points = 0;  // not above 0: the minus sound
    calculatorSum = 1420;
    updateBoardRules();
    EXPECT_EQ(plays(sndCalculatePlus), 1);
    EXPECT_EQ(plays(sndCalculateMinus), 1);
    EXPECT_EQ(calculatorSum, 1460);
    EXPECT_FALSE(pythagoreanGiven);
    ASSERT_EQ(lastPointPopup, 1);
    EXPECT_EQ(pointPopups[0].points, 40);
    EXPECT_EQ(pointPopups[1].points, 0);
    // Both re-armed from the game time.
    for (int c = 0; c < 2; ++c) {
        EXPECT_GE(at(0, c).deadline, 101000);
        EXPECT_LT(at(0, c).deadline, 105000);
    }

    at(0, 0).deadline = 0;
    updateBoardRules();
    EXPECT_EQ(calculatorSum, 1500);
    EXPECT_TRUE(pythagoreanGiven);
    EXPECT_EQ(score, 2500);
    EXPECT_EQ(lastMessageGlyph, static_cast<int>(std::string("Pythagorean Bonus!  2500 points").size()) - 1);

    at(0, 0).deadline = 0;
    updateBoardRules();
    EXPECT_EQ(calculatorSum, 1500);
    EXPECT_EQ(score, 2500);
}

TEST_F(EngineTest, NegativeCalculatorsLowerTheSumToTheEndOfItsRange) {
    setField({"K........."});
    at(0, 0).points = -100;
    calculatorSum = -32700;
    for (int i = 0; i < 2; ++i) {
        at(0, 0).deadline = 0;
        updateBoardRules();
    }
    EXPECT_EQ(calculatorSum, -32768);
    EXPECT_EQ(plays(sndCalculateMinus), 2);
}

TEST_F(EngineTest, AGorgonDropsAnotherAndIsRearmed) {
    setField({"G........."});
    at(0, 0).deadline = 0;
    updateBoardRules();
    ASSERT_EQ(lastFalling, 0);
    EXPECT_EQ(fallingPieces[0].typeName, "Gorgon");
    EXPECT_EQ(plays(sndGorgonArrive), 1);
    EXPECT_GE(at(0, 0).deadline, 101000);
}

TEST_F(EngineTest, ShiftersShiftTheirRowsAfterThePass) {
    setField({"..........", "1H.......2", "1111111111"});
    at(1, 1).deadline = 0;
    at(1, 1).shiftDirection = 1;  // left
    currentRow = 5;
    updateBoardRules();
    EXPECT_EQ(fieldPicture()[5], "H.......21");
    EXPECT_EQ(currentRow, 5);
    EXPECT_GE(at(1, 0).deadline, 101000);  // re-armed, and moved with its row

    // Two Shifters of opposite directions in one row cancel.
    setField({"H..H......", "1111111111"});
    at(1, 0).deadline = 0;
    at(1, 0).shiftDirection = 1;
    at(1, 3).deadline = 0;
    at(1, 3).shiftDirection = -1;
    updateBoardRules();
    EXPECT_EQ(fieldPicture()[5], "H..H......");
    EXPECT_EQ(plays(sndChangeRow), 3);
}

TEST_F(EngineTest, RowShiftsComeAfterTheSlammerCheck) {
    // The Shifter's shift would bring the two Slammers together; they are
    // tested where they lay during the pass.
    setField({"S.HS......", "1111111111"});
    at(1, 2).deadline = 0;
    at(1, 2).shiftDirection = -1;  // right
    updateBoardRules();
    EXPECT_EQ(lastZap, -1);
    EXPECT_EQ(fieldPicture()[5], ".S.HS.....");
}

TEST_F(EngineTest, APieceWithSeveralFlagsGoesThroughEveryMatchingRule) {
    // A bomb that is also a Slammer and a Gorgon: after the bomb has gone,
    // the Slammer rule sees an empty cell, the Gorgon rule still fires.
    setField({"B........."});
    PieceDef& p = at(0, 0);
    p.isSlammer = true;
    p.isGorgon = true;
    p.deadline = 0;
    updateBoardRules();
    EXPECT_FALSE(field.rows[0].cells[0].occupied);
    EXPECT_EQ(lastZap, -1);
    EXPECT_EQ(lastFalling, 0);  // the Gorgon rule dropped a Gorgon
    EXPECT_EQ(plays(sndGorgonArrive), 1);
}

} // namespace
} // namespace pomlets::testing

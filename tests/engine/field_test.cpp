// Spawning, falling, settling, row shifts and lost support.
#include <gtest/gtest.h>

#include <functional>

#include "common/brains.h"
#include "engine/chance.h"
#include "engine/field.h"
#include "field_picture.h"
#include "platform/runtime.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

using Picture = std::vector<std::string>;

// A piece of the given letter falling from the top of column.
PieceDef& addFalling(char letter, int16_t column) {
    PieceDef& p = appendTo(fallingPieces, lastFalling);
    p = pieceOf(letter);
    p.active = true;
    p.column = column;
    p.y = 0;
    p.speed = 1;
    return p;
}

// Runs frames as the main loop does (fall, then compact) until the piece has
// settled, noting the frames of its touch-downs. Returns the settling frame.
int fallAndNote(std::vector<int>& touchDowns) {
    int lastBounces = fallingPieces[0].bounces;
    for (int frame = 1; frame <= 400; ++frame) {
        updateFallingPieces();
        const PieceDef& p = fallingPieces[0];
        if (p.bounces != lastBounces) {
            touchDowns.push_back(frame);
            lastBounces = p.bounces;
        }
        const bool settled = !p.active;
        compactFallingList();
        if (settled) return frame;
    }
    return -1;
}

TEST_F(EngineTest, APieceFallsIntoAnEmptyColumnAndSettlesOnItsFifthTouchDown) {
    setField({});
    addFalling('1', 3);
    std::vector<int> touchDowns;
    EXPECT_EQ(fallAndNote(touchDowns), 163);
    EXPECT_EQ(touchDowns, (std::vector<int>{31, 79, 115, 143, 163}));
    EXPECT_EQ(lastFalling, -1);
    EXPECT_TRUE(field.rows[0].cells[3].occupied);
    EXPECT_EQ(field.rows[0].cells[3].piece.y, 520);
    EXPECT_EQ(field.rows[0].cells[3].piece.bounces, 5);
    EXPECT_TRUE(field.rows[0].cells[3].piece.counted);
    int connects = 0;
    for (const SoundRef& s : sndConnect) connects += plays(s);
    EXPECT_EQ(connects, 5);
}

TEST_F(EngineTest, APieceFallingOntoSixPiecesSettlesInTheTopRow) {
    setField({"..2.......", "..2.......", "..2.......", "..2.......", "..2.......", "..2......."});
    addFalling('1', 2);
    std::vector<int> touchDowns;
    EXPECT_EQ(fallAndNote(touchDowns), 26);
    EXPECT_EQ(touchDowns, (std::vector<int>{4, 12, 18, 22, 26}));
    EXPECT_EQ(fieldPicture()[0], "..1.......");
    EXPECT_EQ(field.rows[6].cells[2].piece.y, 10);
    EXPECT_FALSE(endGame);
}

TEST_F(EngineTest, ReboundsRoundHalvesToEven) {
    // Touch-down speeds 10, 18 and 14 give -7.5, -13.5 and -10.5.
    for (auto [speed, rebound] : {std::pair{10, -8}, {18, -14}, {14, -10}, {5, -4}, {2, -2}}) {
        setField({});
        lastFalling = -1;
        fallingPieces.clear();
        PieceDef& p = addFalling('1', 0);
        p.y = static_cast<int16_t>(520 - (speed - 1));
        p.speed = static_cast<int16_t>(speed - 1);
        updateFallingPieces();
        EXPECT_EQ(fallingPieces[0].speed, rebound) << "touch-down at speed " << speed;
        EXPECT_EQ(fallingPieces[0].y, 520);
    }
}

TEST_F(EngineTest, SettlingIntoAFullColumnEndsTheGame) {
    setField({"1.........", "1.........", "1.........", "1.........", "1.........", "1.........",
              "1........."});
    addFalling('2', 0);
    std::vector<int> touchDowns;
    fallAndNote(touchDowns);
    // A full column lands on the bottom line: the piece falls through the stack.
    EXPECT_EQ(touchDowns, (std::vector<int>{31, 79, 115, 143, 163}));
    EXPECT_TRUE(endGame);
    EXPECT_EQ(plays(sndGameOver), 1);
    EXPECT_EQ(fieldPicture()[0], "1.........");
}

TEST_F(EngineTest, ColumnHeightIsTheFirstFreeRowAndZeroForAFullColumn) {
    setField({"1.........", "1.........", "1.........", "1.........", "1.........", "1...1.....",
              "1..11...1."});
    EXPECT_EQ(columnHeight(0), 0);
    EXPECT_EQ(columnHeight(1), 0);
    EXPECT_EQ(columnHeight(3), 1);
    EXPECT_EQ(columnHeight(4), 2);
    EXPECT_EQ(columnHeight(8), 1);
    EXPECT_THROW(columnHeight(10), RuntimeError);
}

TEST_F(EngineTest, TheSettleGoalCountsEachPieceOnce) {
    currentLevel.settleGoalOn = true;
    currentLevel.settlePieceName = "Pomlet";
    currentLevel.settlePiecesLeft = 5;
    setField({});
    addFalling('1', 4).bounces = 4;
    addFalling('S', 5).bounces = 4;
    PieceDef& again = addFalling('2', 6);
    again.bounces = 4;
    again.counted = true;  // a piece that lost its support and falls again
    for (int i = 0; i < 40 && lastFalling >= 0; ++i) {
        updateFallingPieces();
        compactFallingList();
    }
    EXPECT_EQ(fieldPicture()[6], "....1S2...");
    EXPECT_EQ(currentLevel.settlePiecesLeft, 4);
}

TEST_F(EngineTest, ShiftingARowWrapsAroundAndDropsWhatLostItsSupport) {
    setField({"......3...", "1.....4..2", "11111.1111"});
    currentRow = 1;
    shiftRow(true);  // left: column 0 goes to column 9
    EXPECT_EQ(fieldPicture(), (Picture{"..........", "..........", "..........", "..........",
                                       "..........", "........21", "11111.1111"}));
    // The 4 now stands over the gap of row 0, and the 3 lost the 4 below it.
    ASSERT_EQ(lastFalling, 1);
    EXPECT_EQ(fallingPieces[0].variant, 4);
    EXPECT_EQ(fallingPieces[0].column, 5);
    EXPECT_EQ(fallingPieces[0].y, 520 - 85);
    EXPECT_EQ(fallingPieces[1].variant, 3);
    EXPECT_EQ(fallingPieces[1].column, 6);
    EXPECT_EQ(fallingPieces[1].y, 520 - 170);
    for (const PieceDef& p : fallingPieces) {
        EXPECT_EQ(p.bounces, 4);
        EXPECT_TRUE(p.active);
    }
    EXPECT_EQ(plays(sndChangeRow), 1);
    for (const FieldCell& cell : field.rows[1].cells) EXPECT_TRUE(cell.extraFlag1);
    EXPECT_EQ(field.rows[1].cells[9].piece.column, 9);

    shiftRow(false);  // right: column 9 goes back to column 0
    EXPECT_EQ(fieldPicture()[5], "1........2");
    EXPECT_EQ(lastFalling, 1);  // pieces still falling keep their columns
    EXPECT_EQ(fallingPieces[0].column, 5);
}

TEST_F(EngineTest, APieceShiftedOverAGapFallsWithItsWholeStackAndSettlesAtOnce) {
    setField({"...2......", "...3......", "...4......", "1111.11111"});
    currentRow = 1;
    shiftRow(false);
    EXPECT_EQ(fieldPicture(), (Picture{"..........", "..........", "..........", "..........",
                                       "..........", "..........", "1111.11111"}));
    ASSERT_EQ(lastFalling, 2);
    EXPECT_EQ(fallingPieces[0].variant, 4);
    EXPECT_EQ(fallingPieces[0].column, 4);
    EXPECT_EQ(fallingPieces[1].variant, 3);
    EXPECT_EQ(fallingPieces[2].variant, 2);
    int frames = 0;
    while (lastFalling >= 0 && frames < 60) {
        updateFallingPieces();
        compactFallingList();
        ++frames;
    }
    EXPECT_EQ(fieldPicture(), (Picture{"..........", "..........", "..........", "..........",
                                       "...2......", "...3......", "1111411111"}));
    int plays3 = 0;
    for (const SoundRef& s : sndConnect) plays3 += plays(s);
    EXPECT_EQ(plays3, 3);  // one touch-down each
}

TEST_F(EngineTest, DropUnsupportedLiftsEveryStackAboveAGap) {
    setField({"..........", "..........", "2.........", "3......1..", "..........", "1.....1..."});
    dropUnsupported();
    EXPECT_EQ(fieldPicture(), (Picture{"..........", "..........", "..........", "..........",
                                       "..........", "..........", "1.....1..."}));
    ASSERT_EQ(lastFalling, 2);
    // Upward scan, row by row and left to right.
    EXPECT_EQ(fallingPieces[0].variant, 3);
    EXPECT_EQ(fallingPieces[1].variant, 1);
    EXPECT_EQ(fallingPieces[1].column, 7);
    EXPECT_EQ(fallingPieces[2].variant, 2);
    EXPECT_FALSE(field.rows[2].cells[0].piece.active);
}

TEST_F(EngineTest, CompactionKeepsActiveElementsInOrder) {
    addFalling('1', 0);
    addFalling('2', 1).active = false;
    addFalling('3', 2);
    addFalling('4', 3).active = false;
    compactFallingList();
    ASSERT_EQ(lastFalling, 1);
    EXPECT_EQ(fallingPieces[0].variant, 1);
    EXPECT_EQ(fallingPieces[1].variant, 3);
    fallingPieces[0].active = fallingPieces[1].active = false;
    compactFallingList();
    EXPECT_EQ(lastFalling, -1);
}

// --- spawning -----------------------------------------------------------------

// A seeding clock value from which a spawn's draws (after the list has
// grown) satisfy the test. The generator starts each try from the same state.
double seedClockFor(const std::function<bool(const std::vector<int>&)>& wanted, int draws = 6) {
    for (int k = 0; k < 200000; ++k) {
        const double seconds = k * 0.5;
        setRndState(0x123456);
        randomize(static_cast<double>(static_cast<float>(seconds)));
        std::vector<int> values;
        for (int i = 0; i < draws; ++i) values.push_back(static_cast<int>(vbInt(static_cast<double>(rnd()) * 1000000)));
        if (wanted(values)) {
            setRndState(0x123456);
            setRandomizeClock(seconds);
            return seconds;
        }
    }
    ADD_FAILURE() << "no seeding clock value gives the wanted draws";
    return -1;
}

// Draw i of the sequence as Int(Rnd x n): values are kept to a millionth.
int as(const std::vector<int>& values, size_t i, int n) { return static_cast<int>(int64_t{values[i]} * n / 1000000); }

TEST_F(EngineTest, SpawnRangesAreInclusiveAndTheLastMatchWins) {
    pieceDefs[3].spawnLow = 0;
    pieceDefs[3].spawnHigh = 499;
    pieceDefs[7].spawnLow = 400;  // the Blaster's slot
    pieceDefs[7].spawnHigh = 999;
    for (auto [draw, slot] : {std::pair{450, 7}, {400, 7}, {499, 7}, {399, 3}, {0, 3}, {999, 7}}) {
        lastFalling = -1;
        fallingPieces.clear();
        seedClockFor([draw = draw](const std::vector<int>& v) { return as(v, 0, 1000) == draw; });
        spawnPiece();
        ASSERT_EQ(lastFalling, 0) << "draw " << draw;
        EXPECT_EQ(fallingPieces[0].typeName, pieceDefs[static_cast<size_t>(slot)].typeName) << "draw " << draw;
        EXPECT_TRUE(fallingPieces[0].active);
        EXPECT_EQ(fallingPieces[0].y, 0);
        EXPECT_EQ(fallingPieces[0].speed, 1);
    }
}

TEST_F(EngineTest, ASpawnDrawInNoRangeSpawnsNothing) {
    pieceDefs[0].spawnLow = 0;
    pieceDefs[0].spawnHigh = 499;
    seedClockFor([](const std::vector<int>& v) { return as(v, 0, 1000) == 700; });
    spawnPiece();
    EXPECT_EQ(lastFalling, -1);
    EXPECT_TRUE(fallingPieces.empty());
}

TEST_F(EngineTest, ASpawnedPieceTakesItsColumnAndTimerFromTheNextDraws) {
    const int slot = slotOf('B');
    pieceDefs[static_cast<size_t>(slot)].spawnLow = 0;
    pieceDefs[static_cast<size_t>(slot)].spawnHigh = 999;
    seedClockFor([](const std::vector<int>& v) { return as(v, 1, 10) == 6; });
    const uint32_t afterSeed = [] {
        setRndState(0x123456);
        randomizeFromClock();
        return rndState();
    }();
    setRndState(0x123456);
    spawnPiece();
    // Draws: the spawn draw, the column, the timer.
    setRndState(afterSeed);
    rnd();
    rnd();
    const double t = rnd();
    ASSERT_EQ(lastFalling, 0);
    EXPECT_EQ(fallingPieces[0].column, 6);
    EXPECT_EQ(fallingPieces[0].deadline, static_cast<int32_t>(vbInt(t * 4000)) + 100000 + 1000);
}

TEST_F(EngineTest, CalculatorValuesAndPictures) {
    const size_t slot = static_cast<size_t>(slotOf('K'));
    pieceDefs[slot].spawnLow = 0;
    pieceDefs[slot].spawnHigh = 999;
    // Draws: spawn, column, timer, value.
    struct Case {
        bool pythagorean;
        int valueDraw;
        int32_t points;
        int16_t imageIndex;
        int16_t variant;
    };
    for (const Case& c : {Case{false, 100, 1, static_cast<int16_t>(slot), 0}, Case{false, 60, -40, 19, -1},
                          Case{false, 0, -100, 19, -1}, Case{false, 199, 99, static_cast<int16_t>(slot), 0},
                          Case{true, 0, 1, static_cast<int16_t>(slot), 0}, Case{true, 30, 30, static_cast<int16_t>(slot), 0},
                          Case{true, 199, 199, static_cast<int16_t>(slot), 0}}) {
        lastFalling = -1;
        fallingPieces.clear();
        pythagoreanGiven = c.pythagorean;
        seedClockFor([&](const std::vector<int>& v) { return as(v, 3, 200) == c.valueDraw; });
        spawnPiece();
        ASSERT_EQ(lastFalling, 0);
        EXPECT_EQ(fallingPieces[0].points, c.points) << "draw " << c.valueDraw;
        EXPECT_EQ(fallingPieces[0].imageIndex, c.imageIndex) << "draw " << c.valueDraw;
        EXPECT_EQ(fallingPieces[0].variant, c.variant) << "draw " << c.valueDraw;
    }
}

TEST_F(EngineTest, ASpawnedShifterDrawsItsDirection) {
    const size_t slot = static_cast<size_t>(slotOf('H'));
    pieceDefs[slot].spawnLow = 0;
    pieceDefs[slot].spawnHigh = 999;
    for (auto [draw, direction] : {std::pair{1, 1}, {0, -1}}) {
        lastFalling = -1;
        fallingPieces.clear();
        seedClockFor([draw = draw](const std::vector<int>& v) { return as(v, 3, 2) == draw; });
        spawnPiece();
        EXPECT_EQ(fallingPieces[0].shiftDirection, direction);
    }
}

TEST_F(EngineTest, ABowlingBallSpawnedUnderAnOccupiedTopCellStrikesAtOnce) {
    const size_t slot = static_cast<size_t>(slotOf('W'));
    pieceDefs[slot].spawnLow = 0;
    pieceDefs[slot].spawnHigh = 999;
    setField({"1111111111", "..........", "..........", "..........", "..........", "..........",
              ".........."});
    seedClockFor([](const std::vector<int>& v) { return as(v, 1, 10) == 4; });
    spawnPiece();
    EXPECT_EQ(fieldPicture()[0], "1111.11111");
    EXPECT_EQ(plays(sndBowling), 1);
    ASSERT_EQ(lastExplosion, 0);
    EXPECT_EQ(explosions[0].x, 85 * 4 - 70);
    EXPECT_EQ(explosions[0].y, 10 - 70);
    EXPECT_EQ(plays(sndPop), 0);  // silent
    ASSERT_EQ(lastPointPopup, 0);
    EXPECT_EQ(pointPopups[0].points, 10);
}

TEST_F(EngineTest, AFallingBowlingBallSmashesOneTopPieceAFrame) {
    setField({"...1......", "...2......", "...3......"});
    addFalling('W', 3);
    int frames = 0;
    while (lastFalling >= 0 && frames < 100) {
        updateFallingPieces();
        compactFallingList();
        ++frames;
    }
    EXPECT_EQ(fieldPicture()[4], "..........");
    EXPECT_EQ(fieldPicture()[5], "..........");
    EXPECT_EQ(fieldPicture()[6], "..........");
    EXPECT_EQ(plays(sndBowling), 3);
    EXPECT_EQ(lastExplosion, 2);
    // Struck from the top down: the popups come in that order.
    ASSERT_EQ(lastPointPopup, 2);
    EXPECT_EQ(pointPopups[0].y, 520 - 85 * 2 - 70);
    EXPECT_EQ(pointPopups[2].y, 520 - 70);
}

TEST_F(EngineTest, ABowlingBallPassesEmptyAndFullColumns) {
    setField({"1.........", "1.........", "1.........", "1.........", "1.........", "1.........",
              "1........."});
    addFalling('W', 0);
    addFalling('W', 5);
    int frames = 0;
    while (lastFalling >= 0 && frames < 100) {
        updateFallingPieces();
        for (const PieceDef& p : fallingPieces)
            if (!p.active) {
                EXPECT_GT(p.y, 500);
            }
        compactFallingList();
        ++frames;
    }
    EXPECT_EQ(frames, 31);
    EXPECT_EQ(plays(sndBowling), 0);
    EXPECT_EQ(fieldPicture()[0], "1.........");
}

TEST_F(EngineTest, AGorgonDropsFromTheFirstGorgonSlot) {
    setRndState(stateForDraws(10, {7}));
    const uint32_t start = rndState();
    dropGorgon();
    ASSERT_EQ(lastFalling, 0);
    EXPECT_EQ(fallingPieces[0].typeName, "Gorgon");
    EXPECT_EQ(fallingPieces[0].column, 7);
    EXPECT_EQ(plays(sndGorgonArrive), 1);
    setRndState(start);
    rnd();
    const double t = rnd();
    EXPECT_EQ(fallingPieces[0].deadline, static_cast<int32_t>(vbInt(t * 4000)) + 101000);
}

TEST_F(EngineTest, WithoutAGorgonDefinitionNothingDrops) {
    pieceDefs[static_cast<size_t>(slotOf('G'))].typeName = "Medusa";
    const uint32_t start = rndState();
    dropGorgon();
    EXPECT_EQ(lastFalling, -1);
    EXPECT_EQ(plays(sndGorgonArrive), 0);
    EXPECT_EQ(rndState(), start);
}

} // namespace
} // namespace pomlets::testing

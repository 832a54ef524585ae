// The Slammer check, run through the rules pass that notes the Slammers.
#include <gtest/gtest.h>

#include "common/brains.h"
#include "engine/board_rules.h"
#include "engine/slam.h"
#include "field_picture.h"

namespace pomlets::testing {
namespace {

using Picture = std::vector<std::string>;

std::string messageText() {
    // The running message's length is all a test needs besides its glyphs.
    return std::string(static_cast<size_t>(lastMessageGlyph + 1), '#');
}

struct SlamCase {
    const char* name;
    Picture before;
    Picture after;
    int zaps;
    int32_t bonus;
};

TEST_F(EngineTest, SlammerPairs) {
    const std::vector<SlamCase> cases = {
        {"one Slammer alone", {"...S......"}, {"...S......"}, 0, 0},
        {"neighbours in a row", {"..SS......"}, {".........."}, 2, 0},
        {"neighbours in a column", {"..S.......", "..S......."}, {"..........", ".........."}, 2, 0},
        {"one piece between", {"S1S......."}, {".........."}, 3, 0},
        {"two between pay 1200", {"S11S......"}, {".........."}, 4, 1200},
        {"three between pay 1600", {"S111S....."}, {".........."}, 5, 1600},
        {"the widest row pays 3600", {"S22222222S"}, {".........."}, 10, 3600},
        {"two in a column pay 1200", {"S.........", "3.........", "3.........", "S........."},
         {"..........", "..........", "..........", ".........."}, 4, 1200},
        {"a gap", {"S1.1S....."}, {"S1.1S....."}, 0, 0},
        {"another variant", {"S12S......"}, {"S12S......"}, 0, 0},
        {"another type", {"S1Q1S....."}, {"S1Q1S....."}, 0, 0},
        {"not slammable", {"SRRS......"}, {"SRRS......"}, 0, 0},
        {"three in a row", {"S11S11S..."}, {".........."}, 7, 2800},
        {"two separate neighbour pairs", {"SS....SS.."}, {".........."}, 4, 1200},
        {"a Slammer shared by a row and a column pair",
         {"S11S......", "1.........", "S........."}, {"..........", "..........", ".........."}, 6, 2400},
    };
    for (const SlamCase& c : cases) {
        SetUp();
        setField(c.before);
        updateBoardRules();
        SCOPED_TRACE(c.name);
        const Picture now = fieldPicture();
        EXPECT_EQ(Picture(now.end() - static_cast<long>(c.after.size()), now.end()), c.after);
        EXPECT_EQ(lastZap + 1, c.zaps);
        EXPECT_EQ(plays(sndSlam), c.zaps);
        EXPECT_EQ(score, c.bonus);
        if (c.bonus > 0) {
            const std::string text = "Slam bonus!  " + signedText(c.bonus) + " points";
            EXPECT_EQ(messageText().size(), text.size());
        } else {
            EXPECT_EQ(lastMessageGlyph, -1);
        }
        EXPECT_EQ(lastFalling, -1);
    }
}

TEST_F(EngineTest, SlammedPiecesPayAndZapWhereTheyLay) {
    setField({"..S.......", "..1.......", "..S1S....."});
    updateBoardRules();
    // The row pair goes first: the 1 between, then both ends; then the column
    // pair: its 1, its lower end (gone already: no zap) and its upper end.
    ASSERT_EQ(lastZap, 4);
    EXPECT_TRUE(zaps[0].horizontal);
    EXPECT_EQ(zaps[0].x, 85 * 3 + 100);
    EXPECT_EQ(zaps[0].y, 520 + 80);
    EXPECT_EQ(zaps[1].x, 85 * 2 + 100);
    EXPECT_EQ(zaps[2].x, 85 * 4 + 100);
    EXPECT_FALSE(zaps[3].horizontal);
    EXPECT_EQ(zaps[3].y, 520 - 85 + 80);
    EXPECT_FALSE(zaps[4].horizontal);
    EXPECT_EQ(zaps[4].y, 520 - 170 + 80);
    EXPECT_EQ(zaps[0].thickness, 5);
    // Each removed piece pays its points through its popup, the Slammers too.
    ASSERT_EQ(lastPointPopup, 4);
    EXPECT_EQ(pointPopups[0].points, 10);
    EXPECT_EQ(pointPopups[1].points, 50);
}

TEST_F(EngineTest, TheSlamBonusIsPaidBeforeAnyRemoval) {
    // The last B-Type piece's "victory!" comes with its removal and replaces
    // the bonus message, which therefore started first.
    setField({"STTS......"});
    field.rows[0].cells[1].piece.slammable = true;
    field.rows[0].cells[2].piece.slammable = true;
    bTypeCount = 1;
    updateBoardRules();
    EXPECT_EQ(score, 1200);
    EXPECT_EQ(lastMessageGlyph, 7);
    EXPECT_EQ(bTypeCount, -1);
    EXPECT_EQ(lastPointPopup, 3);
}

TEST_F(EngineTest, PiecesAboveASlammedRunFall) {
    setField({".2.3......", "S11S......"});
    updateBoardRules();
    EXPECT_EQ(fieldPicture()[6], "..........");
    ASSERT_EQ(lastFalling, 1);
    EXPECT_EQ(fallingPieces[0].variant, 2);
    EXPECT_EQ(fallingPieces[1].variant, 3);
}

TEST_F(EngineTest, ASlammerRemovedLaterInThePassStillEndsItsPair) {
    // The Slammer at (1, 0) is noted, then the bomb at (2, 0) takes it; the
    // unbombable run beside it still goes with the Slammer at (1, 3).
    setField({"B.........", "SQQS......", "1111......"});
    for (int c = 1; c <= 2; ++c) field.rows[1].cells[static_cast<size_t>(c)].piece.bombable = false;
    field.rows[2].cells[0].piece.deadline = 0;
    updateBoardRules();
    EXPECT_EQ(fieldPicture()[4], "..........");
    EXPECT_EQ(fieldPicture()[5], "..........");
    EXPECT_EQ(fieldPicture()[6], "1111......");
    EXPECT_EQ(score, 1200);
    EXPECT_EQ(lastZap, 2);  // the run and the right-hand Slammer; the left one's cell was empty
}

TEST_F(EngineTest, SlamCheckWithOnlyDistantSlammersDoesNotDrop) {
    setField({"S.........", "1.........", "3........S"});
    field.rows[0].cells[0].occupied = false;  // a piece hanging over a gap stays until someone drops it
    std::vector<PieceDef> slammers(2);
    slammers[0].column = 9;
    slammers[0].y = 0;
    slammers[1].column = 0;
    slammers[1].y = 2;
    slamCheck(slammers, 1);
    EXPECT_EQ(lastFalling, -1);
    EXPECT_EQ(fieldPicture()[5], "1.........");
}

} // namespace
} // namespace pomlets::testing

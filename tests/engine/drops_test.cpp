// Store drops and the change of Pomlets into fruit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/brains.h"
#include "datafiles/log.h"
#include "display/game_window.h"
#include "engine/drops.h"
#include "field_picture.h"
#include "platform/runtime.h"
#include "support/program_folder.h"

namespace pomlets::testing {
namespace {

using Picture = std::vector<std::string>;

TEST_F(EngineTest, ADroppedPieceFallsFromTheTopOfARandomColumnWithItsTimerArmed) {
    const uint32_t start = stateForDraws(10, {3});
    dropPiece("Bomb");
    ASSERT_EQ(lastFalling, 0);
    const PieceDef& p = fallingPieces[0];
    EXPECT_EQ(p.typeName, "Bomb");
    EXPECT_TRUE(p.active);
    EXPECT_EQ(p.column, 3);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(p.speed, 1);
    setRndState(start);
    rnd();
    const double t = rnd();
    EXPECT_EQ(p.deadline, 100000 + 1000 + static_cast<int32_t>(vbInt(t * 4000)));
}

TEST_F(EngineTest, ADroppedBowlingBallStrikesAnOccupiedTopCellAtOnce) {
    setField({"....1.....", "....1.....", "....1.....", "....1.....", "....1.....", "....1.....",
              "....1....."});
    stateForDraws(10, {4});
    dropPiece("Bowling Ball");
    EXPECT_EQ(fieldPicture()[0], "..........");
    EXPECT_EQ(fieldPicture()[1], "....1.....");
    EXPECT_EQ(plays(sndBowling), 1);
    ASSERT_EQ(lastExplosion, 0);
    EXPECT_EQ(explosions[0].x, 85 * 4 - 70);
    EXPECT_EQ(explosions[0].y, 10 - 70);
    EXPECT_EQ(plays(sndPop), 0);
    ASSERT_EQ(lastPointPopup, 0);
    EXPECT_EQ(pointPopups[0].points, 10);
    EXPECT_EQ(lastFalling, 0);  // the ball falls on
}

TEST_F(EngineTest, ADroppedBowlingBallOverAnEmptyTopCellRemovesNothing) {
    setField({"..........", "....1....."});
    stateForDraws(10, {4});
    dropPiece("Bowling Ball");
    EXPECT_EQ(fieldPicture()[6], "....1.....");
    EXPECT_EQ(plays(sndBowling), 0);
    EXPECT_EQ(lastExplosion, -1);
}

// A program folder of its own with an open run log, and the display objects
// that fruitize loads its pictures with.
class FruitTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        previous_ = programFolder();
        folder_ = scratchBase() /
                  ("pomlets-fruit-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "images");
        setProgramFolder(folder_.string());
        logEnabled = true;
        openLog();
        ddraw = std::make_shared<DirectDraw7>();
        colorKey = DDCOLORKEY{0xFFFFFF, 0xFFFFFF};
    }
    void TearDown() override {
        closeLog();
        logEnabled = false;
        ddraw.reset();
        colorKey = DDCOLORKEY{};
        setProgramFolder(previous_);
        std::filesystem::remove_all(folder_);
        EngineTest::TearDown();
    }
    // The fruit pictures of the built program folder.
    void copyFruit() {
        for (const char* name : {"apple.bmp", "orange.bmp", "cherry.bmp", "grapes.bmp"})
            std::filesystem::copy_file(std::filesystem::path(previous_) / "images" / name, folder_ / "images" / name);
    }
    std::string logText() {
        std::ifstream in(folder_ / "log.txt", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::filesystem::path folder_;
    std::string previous_;
};

TEST_F(FruitTest, PomletsBecomeFruitWorthAHundredMore) {
    copyFruit();
    const size_t two = static_cast<size_t>(slotOf('2'));
    const SurfaceRef rockPicture = pieceDefs[static_cast<size_t>(slotOf('R'))].surface =
        std::make_shared<DirectDrawSurface7>(90, 90);
    pieceDefs[static_cast<size_t>(slotOf('Q'))].typeName = "Pomlet";  // a Pomlet of variant 1 ...
    pieceDefs[static_cast<size_t>(slotOf('Q'))].variant = 7;            // ... now of a variant without fruit
    const SurfaceRef oddPicture = pieceDefs[static_cast<size_t>(slotOf('Q'))].surface =
        std::make_shared<DirectDrawSurface7>(90, 90);
    setField({"2R........"});
    PieceDef& falling = appendTo(fallingPieces, lastFalling);
    falling = pieceOf('3');
    fruitize();
    EXPECT_FALSE(endGame);

    DDSURFACEDESC2 desc;
    const SurfaceRef orange = ddraw->CreateSurfaceFromFile(appPath("\\images\\orange.bmp"), desc);
    const SurfaceRef& fruit = pieceDefs[two].surface;
    ASSERT_TRUE(fruit);
    EXPECT_EQ(fruit->width(), orange->width());
    for (auto [x, y] : {std::pair{45, 45}, {30, 50}, {60, 40}})
        EXPECT_EQ(fruit->pixelRGB(x, y), orange->pixelRGB(x, y));
    EXPECT_EQ(pieceDefs[two].points, 110);
    EXPECT_EQ(pieceDefs[two].typeName, "Pomlet");
    EXPECT_EQ(pieceDefs[two].variant, 2);
    EXPECT_EQ(pieceDefs[two].imageIndex, static_cast<int16_t>(two));
    // A variant without fruit keeps its picture and still gains 100.
    EXPECT_EQ(pieceDefs[static_cast<size_t>(slotOf('Q'))].surface, oddPicture);
    EXPECT_EQ(pieceDefs[static_cast<size_t>(slotOf('Q'))].points, 110);
    // Other pieces are untouched.
    EXPECT_EQ(pieceDefs[static_cast<size_t>(slotOf('R'))].surface, rockPicture);
    EXPECT_EQ(pieceDefs[static_cast<size_t>(slotOf('R'))].points, 5);
    // The pieces in play change too.
    EXPECT_EQ(field.rows[0].cells[0].piece.points, 110);
    EXPECT_TRUE(field.rows[0].cells[0].piece.surface);
    EXPECT_EQ(field.rows[0].cells[1].piece.points, 5);
    EXPECT_EQ(fallingPieces[0].points, 110);
    EXPECT_TRUE(fallingPieces[0].surface);

    fruitize();  // once more: another 100
    EXPECT_EQ(pieceDefs[two].points, 210);
}

TEST_F(FruitTest, AFruitPictureThatCannotBeLoadedEndsTheGame) {
    setField({"2R........"});
    fruitize();
    EXPECT_TRUE(endGame);
    EXPECT_FALSE(ddraw);  // the display was torn down
    closeLog();
    const std::string text = logText();
    // Two lines without indent or prefix, then the tear-down's own line.
    const auto first = text.find(" :: error occured in fruitize function.\r\n");
    const auto second = text.find(" :: 53, File not found");
    const auto teardown = text.find("destroy - shutting down directx");
    ASSERT_NE(first, std::string::npos) << text;
    ASSERT_NE(second, std::string::npos) << text;
    EXPECT_LT(first, second);
    EXPECT_LT(second, teardown) << text;
    for (auto at : {first, second}) {
        const auto lineStart = text.rfind('\n', at) + 1;
        EXPECT_NE(text[lineStart], ' ') << "indented: " << text;
    }
    // The failure came at the first fruit picture: that definition is as it was.
    EXPECT_EQ(pieceDefs[0].points, 10);
}

TEST_F(FruitTest, DroppingAnUnknownPieceDropsNothingAndSaysSoInTheLog) {
    dropPiece("Anvil");
    EXPECT_EQ(lastFalling, -1);
    closeLog();
    EXPECT_NE(logText().find("dropPiece - no piece definition named Anvil"), std::string::npos);
}

} // namespace
} // namespace pomlets::testing

// The per-game reset and the loading of every sound and picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "common/brains.h"
#include "display/assets.h"
#include "display/game_window.h"
#include "display_game.h"
#include "frontend/fmain.h"
#include "platform/bass.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "support/hostile_media.h"
#include "support/sound_watch.h"

namespace fs = std::filesystem;

namespace pomlets::testing {
namespace {

class AssetsTest : public DisplayGameTest {
protected:
    void SetUp() override {
        DisplayGameTest::SetUp();
        fMain().tMode->clear();
        fMain().tMode->addItems({"Freestyle", "Arcade", "B-Type", "Midnight Bowling", "Something else"});
        fMain().tMode->setCurrentIndex(0);
        themeName = "Cells";
    }
    void TearDown() override {
        fMain().tMode->clear();
        DisplayGameTest::TearDown();
    }
};

// Draws the picture with its source key over a surface filled with a marker
// colour and checks every pixel: the key's pixels let the marker through,
// every other one is copied. Returns how many pixels were keyed out.
int checkKeyedBlit(const SurfaceRef& picture, const std::string& what) {
    const int w = picture->width(), h = picture->height();
    auto target = std::make_shared<DirectDrawSurface7>(w, h);
    const int32_t marker = 0x0000FF;  // red as &HBBGGRR
    target->BltColorFill(RECT{}, marker);
    const uint16_t markerPixel = target->pixel565(0, 0);
    target->Blt(RECT{0, 0, w, h}, picture, RECT{0, 0, w, h}, DDBLT_KEYSRC | DDBLT_WAIT);
    int keyed = 0, wrong = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint16_t source = picture->pixel565(x, y);
            const uint16_t expected = source == 0xFFFF ? markerPixel : source;
            if (source == 0xFFFF) ++keyed;
            if (target->pixel565(x, y) != expected) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0) << what;
    return keyed;
}

TEST_F(AssetsTest, ResetPutsEveryTableVariableBackAfterADirtyGame) {
    startGame();
    // A previous game left everything dirty.
    pieceDefs[3].typeName = "Bomb";
    pieceDefs[19].points = 7;
    fallingPieces.resize(4);
    lastPieceType = 18;
    lastFalling = 3;
    lastExplosion = lastPointPopup = lastZap = lastMessageGlyph = lastFrog = 2;
    explosions.resize(3);
    score = 12345;
    for (FieldRow& row : field.rows)
        for (FieldCell& cell : row.cells) {
            cell.occupied = true;
            cell.extraFlag1 = false;
            cell.piece.typeName = "Rock";
        }
    currentRow = 5;
    frogGiven = pythagoreanGiven = true;
    calculatorSum = 40;
    currentLevel.awardLevelName = "Next";
    currentLevel.awardLevelNumber = 9;
    currentLevel.goalPiecesLeft = 4;
    currentLevel.goalPieceName = "Gorgon";
    currentLevel.limitTimerOn = true;
    currentLevel.limitMinutes = currentLevel.limitSeconds = 3;
    currentLevel.protectGoalOn = true;
    currentLevel.protectPiecesLeft = 2;
    currentLevel.protectPieceName = "Diamond";
    currentLevel.targetScore = 5000;
    currentLevel.settleGoalOn = true;
    currentLevel.settlePiecesLeft = 6;
    currentLevel.settlePieceName = "Bomb";
    currentLevel.survivalTimerOn = true;
    currentLevel.survivalMinutes = currentLevel.survivalSeconds = 2;
    currentLevel.levelCaption = "Level 3";
    currentLevel.timerMinuteStart = 999;
    // ... and some that the reset must leave alone.
    levelOver = levelWon = true;
    spawnInterval = 800;
    pendingDumps = 2;
    nextScoreTick = 5;
    frogUntil = 6;
    pausedTotal = 7;
    lastKeyCode = 8;
    lastKeyTime = 9;
    musicNotes = 10;
    credits = 11;
    items = {1, 2, 3, 4, 5, 6};
    bTypeCount = -3;

    initVariables();

    for (const PieceDef& def : pieceDefs) {
        EXPECT_TRUE(def.typeName.empty());
        EXPECT_EQ(def.points, 0);
        EXPECT_FALSE(def.surface);
    }
    EXPECT_TRUE(fallingPieces.empty());
    EXPECT_EQ(fallingPieces.capacity(), 0u);
    for (int16_t last : {lastPieceType, lastFalling, lastExplosion, lastPointPopup, lastZap, lastMessageGlyph, lastFrog})
        EXPECT_EQ(last, -1);
    EXPECT_EQ(explosions.size(), 3u);  // the effect arrays are left for the next append
    EXPECT_EQ(score, 0);
    for (const FieldRow& row : field.rows)
        for (const FieldCell& cell : row.cells) {
            EXPECT_FALSE(cell.occupied);
            EXPECT_TRUE(cell.extraFlag1);
            EXPECT_EQ(cell.piece.typeName, "Rock");  // the record itself stays
        }
    EXPECT_EQ(currentRow, 0);
    EXPECT_FALSE(frogGiven);
    EXPECT_FALSE(pythagoreanGiven);
    EXPECT_EQ(calculatorSum, 0);

    const LevelInfo& level = currentLevel;
    EXPECT_EQ(level.awardLevelName, "");
    EXPECT_EQ(level.awardLevelNumber, 0);
    EXPECT_EQ(level.goalPiecesLeft, -1);
    EXPECT_EQ(level.goalPieceName, "-1");
    EXPECT_FALSE(level.limitTimerOn);
    EXPECT_EQ(level.limitMinutes, -1);
    EXPECT_EQ(level.limitSeconds, -1);
    EXPECT_FALSE(level.protectGoalOn);
    EXPECT_EQ(level.protectPiecesLeft, -1);
    EXPECT_EQ(level.protectPieceName, "-1");
    EXPECT_EQ(level.targetScore, -1);
    EXPECT_FALSE(level.settleGoalOn);
    EXPECT_EQ(level.settlePiecesLeft, -1);
    EXPECT_EQ(level.settlePieceName, "-1");
    EXPECT_FALSE(level.survivalTimerOn);
    EXPECT_EQ(level.survivalMinutes, -1);
    EXPECT_EQ(level.survivalSeconds, -1);
    EXPECT_EQ(level.levelCaption, "");
    EXPECT_EQ(level.timerMinuteStart, 0);

    EXPECT_TRUE(levelOver);
    EXPECT_TRUE(levelWon);
    EXPECT_EQ(spawnInterval, 800);
    EXPECT_EQ(pendingDumps, 2);
    EXPECT_EQ(nextScoreTick, 5);
    EXPECT_EQ(frogUntil, 6);
    EXPECT_EQ(pausedTotal, 7);
    EXPECT_EQ(lastKeyCode, 8);
    EXPECT_EQ(lastKeyTime, 9);
    EXPECT_EQ(musicNotes, 10);
    EXPECT_EQ(credits, 11);
    EXPECT_EQ(items[5], 6);
    EXPECT_EQ(bTypeCount, -3);

    std::vector<std::string> expected = initDXLines();
    expected.push_back("initVariables - erasing old variables");
    expected.push_back("initVariables - resetting counters");
    EXPECT_EQ(logTexts(), expected);
    endTheGame();
}

TEST_F(AssetsTest, EverySoundAndPictureIsLoadedWithTheKeyedOnesTransparent) {
    startGame();
    initVariables();

    const std::vector<std::pair<SoundRef, std::string>> sounds = {
        {sndChangeRow, "_changerow.wav"}, {sndMoveRow, "_moverow.wav"},       {sndGameOver, "_gameover.wav"},
        {sndConnect[0], "_connect01.wav"}, {sndConnect[1], "_connect02.wav"}, {sndConnect[2], "_connect03.wav"},
        {sndPop, "_pop01.wav"},            {sndSlam, "_slam01.wav"},          {sndGorgonArrive, "_gorgon01.wav"},
        {sndCoin, "_coin01.wav"},          {sndGorgonLeave, "_gorgon02.wav"}, {sndCalculateMinus, "_calculate01.wav"},
        {sndCalculatePlus, "_calculate02.wav"}, {sndBowling, "_bowling01.wav"}, {sndFrog[0], "_frog01.wav"},
        {sndFrog[1], "_frog02.wav"},       {sndFrog[2], "_frog03.wav"},       {sndDetonate, "_detonate.wav"},
        {sndMusic, "_music01.wav"},        {sndBauble1, "_bauble01.wav"},     {sndBauble2, "_bauble02.wav"},
        {sndClapping[0], "_clapping01.wav"}, {sndClapping[1], "_clapping02.wav"}, {sndClapping[2], "_clapping03.wav"},
    };
    for (const auto& [sound, file] : sounds) {
        ASSERT_TRUE(sound) << file;
        EXPECT_EQ(fs::path(loadedFrom(sound)).filename().string(), file);
        EXPECT_EQ(fs::path(loadedFrom(sound)).parent_path().filename().string(), "sounds");
    }

    std::vector<std::pair<SurfaceRef, std::string>> keyed = {
        {pointerImage, "pointer"}, {zapVImage, "zap_v"}, {zapHImage, "zap_h"},
        {frameOverlay, "frame"},   {explosionImage, "explosion"},
    };
    for (size_t i = 0; i < glyphSurfaces.size(); ++i) keyed.push_back({glyphSurfaces[i], "glyph " + std::to_string(i)});
    for (int frame = 1; frame <= 5; ++frame) keyed.push_back({frogFrames[frame], "frog " + std::to_string(frame)});
    for (const auto& [picture, what] : keyed) {
        ASSERT_TRUE(picture) << what;
        checkKeyedBlit(picture, what);
    }
    // Pictures with a see-through surround really have white to key out.
    for (const SurfaceRef& picture : {pointerImage, frameOverlay, explosionImage, frogFrames[1], glyphSurfaces[0]})
        EXPECT_GT(checkKeyedBlit(picture, "surround"), 0);

    // The plate is opaque: even a pure white pixel would be copied.
    ASSERT_TRUE(themePlate);
    const int w = themePlate->width(), h = themePlate->height();
    auto target = std::make_shared<DirectDrawSurface7>(w, h);
    target->BltColorFill(RECT{}, 0x0000FF);
    target->Blt(RECT{0, 0, w, h}, themePlate, RECT{0, 0, w, h}, DDBLT_KEYSRC | DDBLT_WAIT);
    int differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) differing += target->pixel565(x, y) != themePlate->pixel565(x, y);
    EXPECT_EQ(differing, 0);
    endTheGame();
}

bool samePicture(const SurfaceRef& a, const SurfaceRef& b) {
    if (a->width() != b->width() || a->height() != b->height()) return false;
    for (int y = 0; y < a->height(); y += 3)
        for (int x = 0; x < a->width(); x += 3)
            if (a->pixel565(x, y) != b->pixel565(x, y)) return false;
    return true;
}

TEST_F(AssetsTest, TheFrameOverlayFollowsTheModeBox) {
    startGame();
    struct Case {
        const char* mode;
        const char* file;
    };
    const Case cases[] = {{"Arcade", "frameA.bmp"}, {"Freestyle", "frame.bmp"},
                          {"B-Type", "frameB.bmp"}, {"Midnight Bowling", "frameM.bmp"}};
    std::set<const DirectDrawSurface7*> seen;
    for (const Case& c : cases) {
        fMain().tMode->setCurrentText(c.mode);
        ASSERT_EQ(fMain().tMode->currentText().toStdString(), c.mode);
        initVariables();
        DDSURFACEDESC2 desc;
        const SurfaceRef direct = ddraw->CreateSurfaceFromFile(appPath(std::string("\\images\\") + c.file), desc);
        EXPECT_TRUE(samePicture(frameOverlay, direct)) << c.mode;
        seen.insert(frameOverlay.get());
    }
    EXPECT_EQ(seen.size(), 4u);
    // Another text loads no frame: the overlay keeps what it held.
    const SurfaceRef before = frameOverlay;
    fMain().tMode->setCurrentText("Something else");
    initVariables();
    EXPECT_EQ(frameOverlay, before);
    endTheGame();
}

TEST_F(AssetsTest, OverManyGamesEveryPlateOneToFiveIsChosenAndNoOther) {
    // A theme whose five plates tell themselves apart by colour; asking for any
    // other plate would fail on the missing file.
    const std::string themes = ownFolder("themes", false);
    const uint32_t colours[5] = {0xF80000, 0x00FC00, 0x0000F8, 0xF8FC00, 0x00FCF8};
    for (int n = 1; n <= 5; ++n)
        writeSolidBmp(themes + "/Probe/plate_0" + std::to_string(n) + ".bmp", 8, 8, colours[n - 1]);
    themeName = "Probe";
    startGame();
    std::vector<uint16_t> plateColours;
    for (int n = 1; n <= 5; ++n) {
        DDSURFACEDESC2 desc;
        plateColours.push_back(
            ddraw->CreateSurfaceFromFile(appPath("\\themes\\Probe\\plate_0" + std::to_string(n) + ".bmp"), desc)
                ->pixel565(4, 4));
    }
    ASSERT_EQ(std::set<uint16_t>(plateColours.begin(), plateColours.end()).size(), 5u);
    int counts[5] = {};
    for (int game = 0; game < 60; ++game) {
        initVariables();
        const auto found = std::find(plateColours.begin(), plateColours.end(), themePlate->pixel565(4, 4));
        ASSERT_NE(found, plateColours.end()) << "an unknown plate";
        ++counts[found - plateColours.begin()];
    }
    for (int n = 0; n < 5; ++n) EXPECT_GT(counts[n], 0) << "plate " << n + 1;
    endTheGame();
}

TEST_F(AssetsTest, AMissingFileIsLoggedTheDisplayGivenBackAndThePlayerTold) {
    struct Case {
        const char* folderName;
        const char* file;
    };
    for (const Case& c : {Case{"sounds", "_pop01.wav"}, Case{"images", "Q.bmp"}}) {
        const std::string own = ownFolder(c.folderName);
        fs::remove(fs::path(own) / c.file);
        startGame();
        try {
            initVariables();
            ADD_FAILURE() << c.file << " missing raised nothing";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), 53);
            EXPECT_NE(std::string(e.what()).find(c.file), std::string::npos) << e.what();
        }
        EXPECT_FALSE(ddraw);
        EXPECT_TRUE(cursorVisible());
        EXPECT_FALSE(musicOutputState().open);
        EXPECT_FALSE(fConsole().loaded());
        const std::vector<std::string> texts = logTexts();
        ASSERT_GE(texts.size(), 2u);
        EXPECT_NE(texts[texts.size() - 2].find(std::string("initVariables - cannot load \\") + c.folderName + "\\" + c.file),
                  std::string::npos)
            << texts[texts.size() - 2];
        EXPECT_EQ(texts.back(), "destroy - shutting down directx");
        // The Play command's own destroy after it changes nothing.
        destroy();
        EXPECT_EQ(logTexts().size(), texts.size());
        fs::copy_file(fs::path(POMLETS_PROGRAM_DIR) / c.folderName / c.file, fs::path(own) / c.file);
    }
}

TEST_F(AssetsTest, HostileFilesAndThemeNamesAreRefusedAsUnloadable) {
    struct Case {
        const char* folderName;
        const char* file;
        std::string bytes;
    };
    const Case cases[] = {
        {"sounds", "_pop01.wav", runLengthBombBmp()},  // not a sound at all
        {"sounds", "_slam01.wav", oneHertzWav()},
        {"sounds", "_coin01.wav", overflowingWav()},
        {"images", "Q.bmp", runLengthBombBmp()},
        {"images", "pointer.bmp", bitFieldBombBmp()},
    };
    const std::string sounds = ownFolder("sounds"), images = ownFolder("images");
    for (const Case& c : cases) {
        const std::string own = std::string(c.folderName) == "sounds" ? sounds : images;
        std::ofstream(fs::path(own) / c.file, std::ios::binary | std::ios::trunc) << c.bytes;
        startGame();
        try {
            initVariables();
            ADD_FAILURE() << c.file << " raised nothing";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), err::InvalidProperty) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.file), std::string::npos) << e.what();
        }
        EXPECT_FALSE(ddraw);
        fs::remove(fs::path(own) / c.file);
        fs::copy_file(fs::path(POMLETS_PROGRAM_DIR) / c.folderName / c.file, fs::path(own) / c.file);
    }

    // A theme name from the profile never leads out of the themes folder.
    for (const char* name : {"../themes/Cells", "..", "Cells/../Cells", ""}) {
        themeName = name;
        startGame();
        int error = 0;
        try {
            initVariables();
        } catch (const RuntimeError& e) {
            error = e.number();
        }
        EXPECT_EQ(error, err::BadFileName) << name;
        EXPECT_FALSE(ddraw);
    }
    themeName = "Cells";
}

} // namespace
} // namespace pomlets::testing

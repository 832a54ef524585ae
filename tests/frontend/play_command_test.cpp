// The Play command with the real engine and display, headless: a whole game
// from the main window back to it, and the failures that give the window back.
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "datafiles/player_files.h"
#include "display/game_window.h"
#include "engine/high_scores.h"
#include "platform/bass.h"
#include "frontend_fixture.h"
#include "support/text_lines.h"
#include "support/platform_port.h"
#include "support/sound_watch.h"

namespace pomlets::testing {
namespace {

namespace fs = std::filesystem;

class PlayCommandTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        typedName = "Tess";
        // Ten zero scores: any finished Freestyle game enters at the top.
        for (auto& entry : highScores) entry = {"Nobody", 0};
        saveHighScores();
    }

    FMain& chooseMode(const char* mode) {
        FMain& w = start();
        w.mNew->trigger();
        w.tMode->setCurrentIndex(w.tMode->findText(mode));
        clearShownBoxes();
        return w;
    }

    std::vector<std::string> logTexts() {
        std::vector<std::string> texts;
        for (const std::string& line : testing::linesOfFile(folder->file("log.txt"))) {
            const size_t stamp = line.find(" :: ");
            texts.push_back(stamp == std::string::npos ? line : line.substr(stamp + 4));
        }
        return texts;
    }
};

TEST_F(PlayCommandTest, FreestyleGameRunsAndGivesTheWindowBack) {
    FMain& w = chooseMode("Freestyle");
    w.tLevels->clearSelection();  // Freestyle needs no level
    gameMode.clear();
    std::vector<std::string> stagesSeen;
    playUntilEscape(w, [&] {
        fs::remove(folder->file("init/6702"));
        if (!stagesSeen.empty()) return;  // the first pass sees what the loading screen drew
        for (const auto& drawn : drawnTexts(*backBuffer))
            if (drawn.x == 10 && drawn.y == 10) stagesSeen.push_back(drawn.text);
    });

    EXPECT_TRUE(sawGameRunning) << "the main window was in use during the game";
    EXPECT_TRUE(w.isEnabled());
    EXPECT_FALSE(w.gameRunning());
    EXPECT_EQ(gameMode, "Freestyle");
    EXPECT_EQ(ddraw, nullptr);  // the display is torn down
    EXPECT_FALSE(audioDeviceOpen());  // and the music output closed, device and all

    // The loading screen's four stages, each at (10, 10), in order.
    EXPECT_EQ(stagesSeen, (std::vector<std::string>{"Initializing variables...", "Initializing pieces...",
                                                     "Initializing music...", "Playing..."}));

    // The score entered the table and the high-score panel shows it.
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_TRUE(shownBoxes()[0].input);
    EXPECT_EQ(highScores[0].name, "Tess");
    EXPECT_EQ(highScores[1].name, "Nobody");
    EXPECT_EQ(shownPanels(), std::vector<int>{1});
    EXPECT_TRUE(w.scores_freestyle->item(0)->text().contains("Tess"));

    // The profile was saved after the game.
    EXPECT_TRUE(fs::exists(folder->file("init/6702")));
    EXPECT_FALSE(fileExists(folder->file("temp")));

    // The run log: opening line, the game's lines, and at exit the closing line.
    w.close();
    const auto log = logTexts();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.front().rfind("LOG OPENED ON ", 0), 0u);
    EXPECT_EQ(log.back().rfind("LOG CLOSED ON ", 0), 0u);
    const std::vector<std::string> game(log.begin() + 1, log.end() - 1);
    EXPECT_EQ(game, (std::vector<std::string>{
                        "initDX - getting screen resolution", "initDX - initializing directdraw",
                        "initDX - setting up the primary surface", "initDX - setting up the back buffer",
                        "initDX - test flipping...", "initDX - setting up directinput",
                        "initDX - setting up the keyboard", "initDX - setting up the mouse",
                        "initDX - setting up the source color key", "initDX - setting up sound system",
                        "initVariables - erasing old variables", "initVariables - resetting counters",
                        "play - initializing variables", "play - entering main loop",
                        "destroy - shutting down directx"}));
}

TEST_F(PlayCommandTest, LowScoreKeepsTheTableAndThePanel) {
    FMain& w = chooseMode("Freestyle");
    playUntilEscape(w);  // a first game, so the second sets everything up again
    for (auto& entry : highScores) entry = {"Champion", 1000000};
    saveHighScores();
    const std::string table = folder->readText("init/6095");
    w.mCredits->trigger();
    clearShownBoxes();
    sawGameRunning = false;
    playUntilEscape(w);
    EXPECT_TRUE(sawGameRunning);
    EXPECT_TRUE(shownBoxes().empty());
    EXPECT_EQ(folder->readText("init/6095"), table);
    EXPECT_EQ(shownPanels(), std::vector<int>{2});
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(w.tMode->currentText(), "Freestyle");
}

TEST_F(PlayCommandTest, ArcadeLoadsTheChosenLevelFileWithItsHeader) {
    // Level file 7 is a copy of the first Arcade level of the shipped list.
    decryptFile(folder->file("init/6537"), folder->file("plain.txt"));
    std::string firstLevel;
    {
        TextFile list(folder->file("plain.txt"), TextFile::Mode::Input);
        list.readLine();
        firstLevel = std::to_string(toInt32(lenientNumber(list.readLine())));
    }
    deleteFile(folder->file("plain.txt"));
    fs::copy_file(folder->file("levels/" + firstLevel), folder->file("levels/7"));
    writeScrambled("init/6537", {"Lucky Seven", "7"});
    FMain& w = chooseMode("Arcade");
    ASSERT_EQ(w.tLevels->count(), 1);
    w.tLevels->setCurrentRow(0);
    const std::string listBefore = folder->readText("init/6537");
    gameMode.clear();
    playUntilEscape(w);

    EXPECT_TRUE(sawGameRunning);
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(gameMode, "Freestyle");  // the store keys work in Arcade games too
    EXPECT_FALSE(currentLevel.levelCaption.empty()) << "the level's header was read";
    EXPECT_FALSE(levelWon);
    EXPECT_EQ(folder->readText("init/6537"), listBefore);  // a lost level awards nothing
    EXPECT_TRUE(shownBoxes().empty());
    EXPECT_EQ(w.tLevels->currentRow(), 0);
    EXPECT_EQ(shownPanels(), std::vector<int>{0});
}

TEST_F(PlayCommandTest, MissingLevelFileGivesTheWindowBackWithAMessage) {
    writeScrambled("init/6537", {"Nowhere", "999"});
    FMain& w = chooseMode("Arcade");
    w.tLevels->setCurrentRow(0);
    fs::remove(folder->file("init/6702"));
    w.main_BtnRun->click();
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_FALSE(shownBoxes()[0].input);
    EXPECT_NE(shownBoxes()[0].text.find("File not found: the level file \"levels/999\""), std::string::npos)
        << shownBoxes()[0].text;
    EXPECT_TRUE(w.isEnabled());
    EXPECT_FALSE(w.gameRunning());
    EXPECT_EQ(ddraw, nullptr);
    EXPECT_TRUE(fs::exists(folder->file("init/6702"))) << "the profile is saved";
    EXPECT_EQ(shownPanels(), std::vector<int>{0});
    EXPECT_FALSE(fileExists(folder->file("temp")));
}

TEST_F(PlayCommandTest, MissingLoadingPictureGivesTheWindowBackWithAMessage) {
    // The copy's pictures without the loading picture.
    const fs::path images = folder->file("images");
    const fs::path built = fs::read_symlink(images);
    fs::remove(images);
    fs::create_directories(images);
    for (const auto& entry : fs::directory_iterator(built))
        if (entry.path().filename() != "loading.bmp") fs::create_symlink(entry.path(), images / entry.path().filename());
    FMain& w = chooseMode("Freestyle");
    w.main_BtnRun->click();
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].text.find("53"), std::string::npos) << shownBoxes()[0].text;
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(ddraw, nullptr);
    EXPECT_TRUE(cursorVisible());
    EXPECT_EQ(highScores[0].name, "Nobody");
}

TEST_F(PlayCommandTest, AwardedLevelIsListedOnceAndChosenAtOnce) {
    FMain& w = chooseMode("Arcade");
    const int before = w.tLevels->count();
    currentLevel.awardLevelName = "Bonus Round";
    currentLevel.awardLevelNumber = 42;
    awardArcadeLevel();
    ASSERT_EQ(boxTexts(), std::vector<std::string>{
                              "Congratulations!  You have been awarded a new level for Arcade mode!"});
    ASSERT_EQ(w.tLevels->count(), before + 1);
    EXPECT_EQ(w.tLevels->item(before)->text(), "Bonus Round");
    EXPECT_EQ(w.tLevels->item(before)->data(Qt::UserRole).toInt(), 42);

    // Choosing Arcade again reads the level from the list file, once.
    w.tMode->setCurrentIndex(0);
    w.tMode->setCurrentIndex(1);
    ASSERT_EQ(w.tLevels->count(), before + 1);
    EXPECT_EQ(w.tLevels->item(before)->data(Qt::UserRole).toInt(), 42);
    const std::string list = folder->readText("init/6537");
    clearShownBoxes();
    awardArcadeLevel();
    EXPECT_TRUE(shownBoxes().empty());
    EXPECT_EQ(folder->readText("init/6537"), list);
    EXPECT_EQ(w.tLevels->count(), before + 1);
}

// Without a sound device the games play silent, and the player is told so
// once, after the first of them (with a device, the test above shows no such
// box). Run in a child process whose audio driver does not exist.
TEST_F(PlayCommandTest, NoSoundDeviceIsToldOnceAfterTheFirstSilentGame) {
    if (!std::getenv("POMLETS_NO_SOUND_CHILD")) {
        const std::string command = "SDL_AUDIODRIVER=no-such-audio POMLETS_NO_SOUND_CHILD=1 '" +
                                    std::string(program_invocation_name) +
                                    "' --gtest_filter=PlayCommandTest.NoSoundDeviceIsToldOnceAfterTheFirstSilentGame";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return;
    }
    FMain& w = chooseMode("Freestyle");
    for (int game = 0; game < 2; ++game) {
        playUntilEscape(w);
        EXPECT_TRUE(gameRanSilent);
    }
    const std::vector<std::string> texts = boxTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string(noSoundNotice)), 1);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[1], noSoundNotice);  // after the first game's name box
}

} // namespace
} // namespace pomlets::testing

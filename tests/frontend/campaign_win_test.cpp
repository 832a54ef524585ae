// A won Arcade level through the Play command: the first level of the shipped
// list, played by the scripted player on a settable clock, then the award.
#include <QTimer>
#include <filesystem>

#include "datafiles/player_files.h"
#include "display/game_window.h"
#include "engine/main_loops.h"
#include "frontend_fixture.h"
#include "support/scripted_player.h"
#include "support/settable_clock.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

namespace fs = std::filesystem;

using CampaignWinTest = StillClockGameTest;

TEST_F(CampaignWinTest, WonFirstLevelAwardsTheSecondAtOnce) {
    setTickCount(100000);
    setRandomizeClock(36100);
    FMain& w = start();
    w.mNew->trigger();
    w.tMode->setCurrentIndex(w.tMode->findText("Arcade"));
    ASSERT_EQ(w.tLevels->count(), 1) << "the shipped list offers level 1 only";
    const std::string firstName = w.tLevels->item(0)->text().toStdString();
    const int firstNumber = w.tLevels->item(0)->data(Qt::UserRole).toInt();
    w.tLevels->setCurrentRow(0);
    clearShownBoxes();
    fs::remove(folder->file("init/6702"));
    setRndState(0x3A61C5);

    ScriptedPlayer player;
    int32_t begin = -1;
    QTimer pass;
    pass.setInterval(0);
    QObject::connect(&pass, &QTimer::timeout, [&] {
        if (!w.gameRunning() || !ddraw) return;
        if (begin < 0) begin = gameTime();
        if (gameTime() - begin > 15 * 60 * 1000) injectKey(dik::ESCAPE, true);
        player.onPass(gameTime());
        advanceTickCount(26);
        setRandomizeClock(36000 + GetTickCount() / 1000.0);
    });
    pass.start();
    w.main_BtnRun->click();
    pass.stop();

    ASSERT_TRUE(levelWon) << "the scripted player lost level 1 after " << (gameTime() - begin) << " ms with "
                          << currentLevel.goalPiecesLeft << " to go";
    EXPECT_GT(player.keysTapped(), 0);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{
                              "Congratulations!  You have been awarded a new level for Arcade mode!"});
    const std::string secondName = currentLevel.awardLevelName;
    const int secondNumber = currentLevel.awardLevelNumber;
    EXPECT_NE(secondName, firstName);
    EXPECT_TRUE(fs::exists(folder->file("levels/" + std::to_string(secondNumber))));

    // The list file on disk holds the shipped pair and then the new one.
    decryptFile(folder->file("init/6537"), folder->file("plain.txt"));
    EXPECT_EQ(folder->readText("plain.txt"), firstName + "\r\n" + std::to_string(firstNumber) + "\r\n" + secondName +
                                                 "\r\n" + std::to_string(secondNumber) + "\r\n");
    deleteFile(folder->file("plain.txt"));

    // The level list offers level 2 at once.
    ASSERT_EQ(w.tLevels->count(), 2);
    EXPECT_EQ(w.tLevels->item(1)->text().toStdString(), secondName);
    EXPECT_EQ(w.tLevels->item(1)->data(Qt::UserRole).toInt(), secondNumber);

    // The game is over and the player's profile saved.
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(ddraw, nullptr);
    EXPECT_TRUE(fs::exists(folder->file("init/6702")));
    EXPECT_FALSE(fileExists(folder->file("temp")));
}

} // namespace
} // namespace pomlets::testing

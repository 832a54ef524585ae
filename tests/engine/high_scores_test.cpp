// A Freestyle score entering the high-score table, and the award of an
// Arcade level.
#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

#include "common/brains.h"
#include "datafiles/level_list.h"
#include "datafiles/player_files.h"
#include "datafiles/save_notices.h"
#include "datafiles/scrambler.h"
#include "engine/high_scores.h"
#include "frontend/fmain.h"
#include "frontend/message_box.h"
#include "platform/runtime.h"
#include "support/file_faults.h"
#include "support/program_folder.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

class HighScores : public ::testing::Test {
protected:
    void SetUp() override {
        initCipherTables(79, 94, 709);
        setInputBoxResponder([this](const ShownBox&) { return typedName; });
        setMessageBoxResponder([](const ShownBox&) { return MsgResult::Ok; });
        // A table of 1000, 900, ... 100 saved as the file.
        for (size_t i = 0; i < highScores.size(); ++i)
            highScores[i] = {"P" + std::to_string(i), static_cast<int32_t>(1000 - 100 * i)};
        saveHighScores();
        fMain().showPanel(0);
        // The score modes as start-up fills them, with another choice made.
        QComboBox* modes = fMain().scoreModes;
        modes->clear();
        modes->addItem(QStringLiteral("Freestyle"));
        modes->addItem(QStringLiteral("Arcade"));
        modes->setCurrentIndex(1);
    }
    void TearDown() override {
        setInputBoxResponder(nullptr);
        setMessageBoxResponder(nullptr);
    }
    std::vector<std::string> table() const {
        std::vector<std::string> all;
        for (const auto& entry : highScores) all.push_back(std::to_string(entry.score) + " " + entry.name);
        return all;
    }

    testing::TempProgramFolder folder;
    std::string typedName = "Ann";
};

TEST_F(HighScores, EqualScoreEntersAboveTheOldEntry) {
    score = 700;
    enterHighScore();
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_TRUE(shownBoxes()[0].input);
    EXPECT_EQ(shownBoxes()[0].text, "Congratulations!  700 is a new high score!  Please enter your name.");
    EXPECT_EQ(shownBoxes()[0].title, "");
    EXPECT_EQ(table(), (std::vector<std::string>{"1000 P0", "900 P1", "800 P2", "700 Ann", "700 P3", "600 P4",
                                                 "500 P5", "400 P6", "300 P7", "200 P8"}));
    // Saved and read back: the file holds the new table, the panel shows it.
    highScores = {};
    loadHighScores();
    EXPECT_EQ(highScores[3].name, "Ann");
    EXPECT_EQ(highScores[9].name, "P8");
    EXPECT_FALSE(fMain().frame[1]->isHidden());
    EXPECT_EQ(fMain().scoreModes->currentText(), QStringLiteral("Freestyle"));
    EXPECT_TRUE(fMain().scores_freestyle->item(3)->text().contains(QStringLiteral("Ann")));
}

TEST_F(HighScores, EqualToTheTenthReplacesIt) {
    score = 100;
    enterHighScore();
    EXPECT_EQ(highScores[8].name, "P8");
    EXPECT_EQ(highScores[9].name, "Ann");
    EXPECT_EQ(highScores[9].score, 100);
}

TEST_F(HighScores, CancelEntersAnEmptyName) {
    typedName = "";
    score = 5000;
    enterHighScore();
    EXPECT_EQ(highScores[0].score, 5000);
    EXPECT_EQ(highScores[0].name, "");
    EXPECT_EQ(highScores[1].name, "P0");
    highScores = {};
    loadHighScores();
    EXPECT_EQ(highScores[0].score, 5000);
    EXPECT_EQ(highScores[0].name, "");
}

TEST_F(HighScores, TooLowAsksNothingAndSavesNothing) {
    const std::string saved = folder.readText("\\init\\6095");
    score = 99;
    enterHighScore();
    EXPECT_TRUE(shownBoxes().empty());
    EXPECT_EQ(folder.readText("\\init\\6095"), saved);
    EXPECT_EQ(highScores[9].name, "P9");
    EXPECT_TRUE(fMain().frame[1]->isHidden());
}

TEST_F(HighScores, ZeroTableTakesAnyScoreAtTheTop) {
    highScores = {};
    score = 0;
    enterHighScore();
    EXPECT_EQ(highScores[0].name, "Ann");
    EXPECT_EQ(shownBoxes().size(), 1u);
}

// A saved table is read back as the file holds it: a name typed with leading
// blanks loses them, on the panel, in memory and at the next save. A table
// that could not be saved shows as it stands in memory.
TEST_F(HighScores, SavedNameShowsAsItReadsBack) {
    for (const bool saveFails : {false, true}) {
        SCOPED_TRACE(saveFails ? "save fails" : "save works");
        for (size_t i = 0; i < highScores.size(); ++i)
            highScores[i] = {"P" + std::to_string(i), static_cast<int32_t>(1000 - 100 * i)};
        saveHighScores();
        typedName = "  Bob";
        score = 700;
        {
            std::optional<testing::FileFaults> full;
            if (saveFails) full.emplace(testing::Fault{testing::FaultKind::Error, ENOSPC, 1, true, ""});
            enterHighScore();
        }
        const std::string shown = saveFails ? "  Bob" : "Bob";
        EXPECT_EQ(highScores[3].name, shown);
        EXPECT_EQ(fMain().scores_freestyle->item(3)->text().toStdString(), "04.    700   \t" + shown);
        EXPECT_EQ(highScores[4].name, "P3");
        // The next save writes what the panel shows.
        forgetSaveNotices();
        saveHighScores();
        highScores = {};
        loadHighScores();
        EXPECT_EQ(highScores[3].name, "Bob");
        EXPECT_EQ(highScores[3].score, 700);
    }
}

class Award : public ::testing::Test {
protected:
    void SetUp() override {
        initCipherTables(79, 94, 709);
        setMessageBoxResponder([](const ShownBox&) { return MsgResult::Ok; });
        folder.writeText("\\temp", "First Steps\r\n1\r\nSecond Wind\r\n2\r\n");
        encryptFile(folder.file("\\temp"), folder.file("\\init\\6537"));
        deleteFile(folder.file("\\temp"));
        QListWidget* levels = fMain().tLevels;
        levels->clear();
        for (auto [name, number] : {std::pair{"First Steps", 1}, std::pair{"Second Wind", 2}}) {
            levels->addItem(QString::fromLatin1(name));
            levels->item(levels->count() - 1)->setData(Qt::UserRole, number);
        }
        currentLevel.awardLevelName = "Deep Pond";
        currentLevel.awardLevelNumber = 14;
    }
    void TearDown() override { setMessageBoxResponder(nullptr); }
    std::string plainList() {
        decryptFile(folder.file("\\init\\6537"), folder.file("\\temp"));
        std::string text = folder.readText("\\temp");
        deleteFile(folder.file("\\temp"));
        return text;
    }
    testing::TempProgramFolder folder;
};

TEST_F(Award, AppendsTheLevelOnce) {
    awardArcadeLevel();
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_FALSE(shownBoxes()[0].input);
    EXPECT_EQ(shownBoxes()[0].text, "Congratulations!  You have been awarded a new level for Arcade mode!");
    EXPECT_EQ(shownBoxes()[0].buttons, MsgButtons::OkOnly);
    EXPECT_EQ(plainList(), "First Steps\r\n1\r\nSecond Wind\r\n2\r\nDeep Pond\r\n14\r\n");
    QListWidget* levels = fMain().tLevels;
    ASSERT_EQ(levels->count(), 3);
    EXPECT_EQ(levels->item(2)->text(), QStringLiteral("Deep Pond"));
    EXPECT_EQ(levels->item(2)->data(Qt::UserRole).toInt(), 14);
    EXPECT_FALSE(fileExists(folder.file("\\temp")));

    // Winning the same level again awards nothing.
    clearShownBoxes();
    awardArcadeLevel();
    EXPECT_TRUE(shownBoxes().empty());
    EXPECT_EQ(levels->count(), 3);
    EXPECT_EQ(plainList(), "First Steps\r\n1\r\nSecond Wind\r\n2\r\nDeep Pond\r\n14\r\n");
}

TEST_F(Award, AlreadyListedOnlyByExactName) {
    currentLevel.awardLevelName = "Second Wind";
    awardArcadeLevel();
    EXPECT_TRUE(shownBoxes().empty());

    currentLevel.awardLevelName = "second wind";
    currentLevel.awardLevelNumber = 3;
    awardArcadeLevel();
    EXPECT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(fMain().tLevels->count(), 3);
}

// A won level awards whatever its file names, an empty name too, once; the
// entry leads to the level its number names, also after a new start.
TEST_F(Award, AnEmptyNameIsAwardedOnce) {
    currentLevel.awardLevelName = "";
    awardArcadeLevel();
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(shownBoxes()[0].text, "Congratulations!  You have been awarded a new level for Arcade mode!");
    EXPECT_EQ(plainList(), "First Steps\r\n1\r\nSecond Wind\r\n2\r\n\r\n14\r\n");
    QListWidget* levels = fMain().tLevels;
    ASSERT_EQ(levels->count(), 3);
    EXPECT_EQ(levels->item(2)->text(), QString());
    EXPECT_EQ(levels->item(2)->data(Qt::UserRole).toInt(), 14);
    const LevelList list = readLevelList();
    EXPECT_FALSE(list.damaged);
    ASSERT_EQ(list.levels.size(), 3u);
    EXPECT_EQ(list.levels[2].name, "");
    EXPECT_EQ(list.levels[2].number, 14);

    clearShownBoxes();
    awardArcadeLevel();
    EXPECT_TRUE(shownBoxes().empty());
    EXPECT_EQ(levels->count(), 3);
}

} // namespace
} // namespace pomlets

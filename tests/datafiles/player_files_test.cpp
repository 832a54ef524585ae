// The high-score table and the player profile: their plain forms, round
// trips, the high-score list lines, damaged files and the scratch file; and
// the shipped list files.
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

#include "data_helpers.h"
#include "datafiles/player_files.h"
#include "frontend/fmain.h"

namespace pomlets {
namespace {

using testing::errorOf;
using testing::plainOf;
using testing::putScrambled;
using testing::scratchFileExists;

class PlayerFilesTest : public testing::DataFileTest {
protected:
    std::vector<std::string> listLines() {
        std::vector<std::string> lines;
        for (int i = 0; i < fMain().scores_freestyle->count(); ++i)
            lines.push_back(fMain().scores_freestyle->item(i)->text().toStdString());
        return lines;
    }
};

// A test's folder holds the player's files as the build made them from data/,
// whatever a player changed in the built program folder.
TEST_F(PlayerFilesTest, TestFoldersHoldTheFilesAsBuilt) {
    const auto withoutCr = [](std::string text) {
        std::erase(text, '\r');
        return text;
    };
    for (const std::string name : {"init/6095", "init/6702", "init/6537"}) {
        EXPECT_EQ(withoutCr(testing::plainOf(folder, name)),
                  withoutCr(testing::readBytes(std::string(POMLETS_SOURCE_DIR) + "/data/" + name)))
            << name;
    }
}

TEST_F(PlayerFilesTest, ShippedFilesLoad) {
    loadHighScores();
    EXPECT_EQ(highScores[0].score, 5000);
    EXPECT_EQ(highScores[0].name, "Varnock");
    EXPECT_EQ(highScores[9].score, 500);
    EXPECT_EQ(fMain().scores_freestyle->count(), 10);
    loadProfile();
    EXPECT_EQ(themeName, "Cells");
    EXPECT_EQ(musicVolume, 25);
    EXPECT_EQ(fMain().HScroll2->value(), 25);
    EXPECT_EQ(credits, 0);
    EXPECT_EQ(items, (std::array<int16_t, 6>{}));
    EXPECT_EQ(plainOf(folder, "\\init\\6537"), "Level 1 - First Steps\r\n3741\r\n");
    // The four bands of the playlist, each with an address on an example domain.
    EXPECT_EQ(plainOf(folder, "\\init\\6859"),
              "Varnock,https://varnock.example.com/\r\n"
              "Pellandry,https://pellandry.example.org/\r\n"
              "Quillo,https://quillo.example.net/\r\n"
              "Brackwater,https://www.example.com/brackwater/\r\n");
    EXPECT_FALSE(scratchFileExists(folder));
}

TEST_F(PlayerFilesTest, HighScoreFormAndListLines) {
    const std::pair<int32_t, std::string> table[10] = {
        {5200, "Bob"}, {5200, "Ann"}, {-3, ""}, {0, "two words"}, {7, "tab\there"},
        {6, "x"}, {5, "y"}, {4, "z"}, {3, "nine"}, {-40000, "ten"},
    };
    for (int i = 0; i < 10; ++i) highScores[static_cast<size_t>(i)] = {table[i].second, table[i].first};
    saveHighScores();
    EXPECT_FALSE(scratchFileExists(folder));
    EXPECT_EQ(plainOf(folder, "\\init\\6095"),
              "5200,Bob\r\n5200,Ann\r\n-3,\r\n0,two words\r\n7,tab\there\r\n"
              "6,x\r\n5,y\r\n4,z\r\n3,nine\r\n-40000,ten\r\n");

    highScores = {};
    fMain().scores_freestyle->addItem("left over");
    loadHighScores();
    EXPECT_FALSE(scratchFileExists(folder));
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(highScores[static_cast<size_t>(i)].score, table[i].first) << i;
        EXPECT_EQ(highScores[static_cast<size_t>(i)].name, table[i].second) << i;
    }
    const auto lines = listLines();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "01.    5200   \tBob");
    EXPECT_EQ(lines[2], "03.    -3   \t");
    EXPECT_EQ(lines[8], "09.    3   \tnine");
    EXPECT_EQ(lines[9], "10.    -40000   \tten");
}

TEST_F(PlayerFilesTest, NamesWithCommasAndQuotesSurvive) {
    const struct {
        std::string name;
        std::string written;  // as it stands after "1," in the file
        std::string readBack;
    } cases[] = {
        {"plain", "plain", "plain"},
        {"  leading blanks", "  leading blanks", "leading blanks"},  // the plain form loses them
        {"Smith, John", "\"Smith, John\"", "Smith, John"},
        {"say \"hi\"", "\"say \"\"hi\"\"\"", "say \"hi\""},
        {"\"", "\"\"\"\"", "\""},
        {",", "\",\"", ","},
        {"  a,b", "\"  a,b\"", "  a,b"},
        {"two\r\nlines", "two  lines", "two  lines"},
    };
    for (const auto& c : cases) {
        for (auto& entry : highScores) entry = {c.name, 1};
        saveHighScores();
        const std::string plain = plainOf(folder, "\\init\\6095");
        EXPECT_EQ(plain.substr(0, plain.find("\r\n")), "1," + c.written) << c.name;
        highScores = {};
        loadHighScores();
        for (const auto& entry : highScores) {
            EXPECT_EQ(entry.name, c.readBack) << c.name;
            EXPECT_EQ(entry.score, 1);
        }
        themeName = c.name;
        saveProfile();
        themeName.clear();
        loadProfile();
        EXPECT_EQ(themeName, c.readBack) << c.name;
    }
}

TEST_F(PlayerFilesTest, ProfileFormAndRoundTrip) {
    credits = 12;
    items = {1, 2, 3, 4, 5, 6};
    profileFlag1 = true;
    profileFlag3 = true;
    musicNotes = 70000;
    themeName = "Tessellane #1 - Pelvaro";
    musicVolume = 100;
    saveProfile();
    EXPECT_FALSE(scratchFileExists(folder));
    // The Detonators (index 2) come after index 5.
    EXPECT_EQ(plainOf(folder, "\\init\\6702"),
              "12\r\n1\r\n2\r\n4\r\n5\r\n6\r\n3\r\n1\r\n0\r\n1\r\n70000\r\nTessellane #1 - Pelvaro\r\n100\r\n");
    resetSharedState();
    loadProfile();
    EXPECT_EQ(credits, 12);
    EXPECT_EQ(items, (std::array<int16_t, 6>{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(profileFlag1);
    EXPECT_FALSE(profileFlag2);
    EXPECT_TRUE(profileFlag3);
    EXPECT_EQ(musicNotes, 70000);
    EXPECT_EQ(themeName, "Tessellane #1 - Pelvaro");
    EXPECT_EQ(musicVolume, 100);
    EXPECT_EQ(fMain().HScroll2->value(), 100);
}

TEST_F(PlayerFilesTest, ProfileReadsLeniently) {
    // Flags true from any non-zero number; numbers rounded half to even; text
    // that is not a number reads 0.
    putScrambled(folder, "\\init\\6702", "2.5\r\n3.5\r\nnone\r\n-1\r\n 7 \r\n0\r\n1e2\r\n7\r\n0\r\n-0.2\r\n12abc\r\n   Cells\r\n49.5\r\n");
    loadProfile();
    EXPECT_EQ(credits, 2);
    EXPECT_EQ(items, (std::array<int16_t, 6>{4, 0, 100, -1, 7, 0}));
    EXPECT_TRUE(profileFlag1);
    EXPECT_FALSE(profileFlag2);
    EXPECT_TRUE(profileFlag3);
    EXPECT_EQ(musicNotes, 12);
    EXPECT_EQ(themeName, "Cells");
    EXPECT_EQ(musicVolume, 50);
    saveProfile();
    EXPECT_EQ(plainOf(folder, "\\init\\6702"), "2\r\n4\r\n0\r\n-1\r\n7\r\n0\r\n100\r\n1\r\n0\r\n1\r\n12\r\nCells\r\n50\r\n");
}

TEST_F(PlayerFilesTest, DamagedFilesRaiseTheirErrors) {
    const std::string profile13 = "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\nCells\r\n";
    const struct {
        const char* file;
        std::string plain;  // scrambled into the file; "<missing>" deletes it
        void (*load)();
        int error;
    } cases[] = {
        {"\\init\\6095", "<missing>", loadHighScores, err::FileNotFound},
        {"\\init\\6095", "1,a\r\n2,b\r\n", loadHighScores, err::PastEndOfFile},
        {"\\init\\6095", "", loadHighScores, err::PastEndOfFile},
        {"\\init\\6095", "99999999999,a\r\n", loadHighScores, err::Overflow},
        {"\\init\\6702", "<missing>", loadProfile, err::FileNotFound},
        {"\\init\\6702", profile13.substr(0, 20), loadProfile, err::PastEndOfFile},
        {"\\init\\6702", "40000\r\n" + profile13.substr(3) + "25\r\n", loadProfile, err::Overflow},
        {"\\init\\6702", profile13 + "101\r\n", loadProfile, err::InvalidProperty},
        {"\\init\\6702", profile13 + "-1\r\n", loadProfile, err::InvalidProperty},
    };
    for (const auto& c : cases) {
        if (c.plain == "<missing>")
            std::filesystem::remove(folder.file(c.file));
        else
            putScrambled(folder, c.file, c.plain);
        EXPECT_EQ(errorOf(c.load), c.error) << c.file << " " << c.plain;
        EXPECT_FALSE(scratchFileExists(folder)) << c.file << " " << c.plain;
    }
    // A refused volume is not kept, so the next save writes a valid profile.
    musicVolume = 30;
    putScrambled(folder, "\\init\\6702", profile13 + "250\r\n");
    EXPECT_EQ(errorOf(loadProfile), err::InvalidProperty);
    EXPECT_EQ(musicVolume, 30);
    // A code outside 0 to 255 in the scrambled form.
    testing::writeBytes(folder.file("init/6095"), "12.300.\r\n");
    EXPECT_EQ(errorOf(loadHighScores), err::InvalidCall);
    EXPECT_FALSE(scratchFileExists(folder));
}

TEST_F(PlayerFilesTest, FailedSaveKeepsTheOldFile) {
    loadHighScores();
    const std::string before = testing::readBytes(folder.file("init/6095"));
    // The folder cannot take the new file: the save fails and the old one stays.
    std::filesystem::create_directory(folder.file("init/6095.new"));
    highScores[0].name = "changed";
    EXPECT_NE(errorOf(saveHighScores), 0);
    EXPECT_EQ(testing::readBytes(folder.file("init/6095")), before);
    EXPECT_FALSE(scratchFileExists(folder));
}

} // namespace
} // namespace pomlets

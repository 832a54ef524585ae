// Files that could not be read whole at start-up are never written over with
// what was not read; saves write only into the program folder.
#include <filesystem>
#include <gtest/gtest.h>

#include "data_helpers.h"
#include "datafiles/damaged_files.h"
#include "datafiles/log.h"
#include "datafiles/player_files.h"
#include "support/full_disk.h"
#include "support/text_lines.h"

namespace pomlets {
namespace {

namespace fs = std::filesystem;
using testing::errorOf;
using testing::plainOf;
using testing::readBytes;

const std::string profilePlain =
    "12\r\n1\r\n2\r\n4\r\n5\r\n6\r\n3\r\n1\r\n0\r\n1\r\n70000\r\nTessellane #1 - Pelvaro\r\n100\r\n";

class UnreadFilesTest : public testing::DataFileTest {
protected:
    explicit UnreadFilesTest(testing::Storage storage = testing::Storage::Memory) : DataFileTest(storage) {
        testing::putScrambled(folder, "\\init\\6702", profilePlain);
        loadHighScores();
        shipped = highScores;
        resetSharedState();
    }

    // Makes the first code of one scrambled line impossible (above 255).
    void damageLine(const std::string& relative, size_t line) {
        std::string bytes = readBytes(folder.file(relative));
        size_t at = 0;
        for (size_t i = 0; i < line; ++i) at = bytes.find("\r\n", at) + 2;
        bytes.replace(at, bytes.find('.', at) - at, "999");
        testing::writeBytes(folder.file(relative), bytes);
    }

    // The error a load raises, with the copy it kept ("" when none).
    template <typename Load>
    std::pair<int, std::string> loadFault(Load load) {
        try {
            load();
        } catch (const DamagedFileError& e) {
            return {e.number(), e.copy()};
        } catch (const RuntimeError& e) {
            return {e.number(), ""};
        }
        return {0, ""};
    }

    std::string plainScores(const std::array<HighScoreEntry, 10>& table) {
        std::string plain;
        for (const auto& entry : table) plain += std::to_string(entry.score) + "," + entry.name + "\r\n";
        return plain;
    }

    std::array<HighScoreEntry, 10> shipped;
};

TEST_F(UnreadFilesTest, DamagedHighScoreLineKeepsTheOtherEntries) {
    damageLine("init/6095", 9);
    const std::string damaged = readBytes(folder.file("init/6095"));
    EXPECT_EQ(loadFault(loadHighScores), std::make_pair(err::InvalidCall, std::string("init/6095.damaged")));
    EXPECT_EQ(readBytes(folder.file("init/6095.damaged")), damaged);
    for (size_t i = 0; i < 9; ++i) EXPECT_EQ(highScores[i].name, shipped[i].name) << i;
    EXPECT_EQ(highScores[9].name, "");
    EXPECT_FALSE(testing::scratchFileExists(folder));

    // Saving with nothing new leaves the file as it is.
    saveHighScores();
    EXPECT_EQ(readBytes(folder.file("init/6095")), damaged);

    // A new entry takes the place of the unread line, and is saved with the
    // entries that were read; the damaged line is in the copy.
    EXPECT_EQ(highScoresInUse(), 9u);
    for (size_t j = 9; j > 0; --j) highScores[j] = highScores[j - 1];
    highScores[0] = {"New", shipped[0].score};
    saveHighScores();
    auto expected = shipped;
    for (size_t j = 9; j > 0; --j) expected[j] = expected[j - 1];
    expected[0] = {"New", shipped[0].score};
    EXPECT_EQ(plainOf(folder, "\\init\\6095"), plainScores(expected));
    EXPECT_EQ(highScoresInUse(), 10u);
}

TEST_F(UnreadFilesTest, DamagedProfileLineKeepsTheOtherValues) {
    damageLine("init/6702", 4);  // the bonus song's count
    const std::string damaged = readBytes(folder.file("init/6702"));
    EXPECT_EQ(loadFault(loadProfile), std::make_pair(err::InvalidCall, std::string("init/6702.damaged")));
    EXPECT_EQ(credits, 12);
    EXPECT_EQ(items, (std::array<int16_t, 6>{1, 2, 3, 4, 0, 6}));
    EXPECT_EQ(musicNotes, 70000);
    EXPECT_EQ(themeName, "Tessellane #1 - Pelvaro");
    EXPECT_EQ(musicVolume, 100);

    saveProfile();  // as the theme choice at start-up does
    EXPECT_EQ(readBytes(folder.file("init/6702")), damaged);

    credits = 13;
    saveProfile();
    // The change is saved; the line that could not be read stays as it was,
    // never a 0 the player did not give.
    const std::vector<DamagedLine> kept = decryptReadable(folder.file("init/6702"), folder.file("plain"));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].index, 4u);
    EXPECT_EQ(kept[0].scrambled, testing::linesOfText(damaged)[4]);
    EXPECT_EQ(readBytes(folder.file("plain")),
              "13\r\n1\r\n2\r\n4\r\n\r\n6\r\n3\r\n1\r\n0\r\n1\r\n70000\r\nTessellane #1 - Pelvaro\r\n100\r\n");
    EXPECT_EQ(readBytes(folder.file("init/6702.damaged")), damaged);
}

TEST_F(UnreadFilesTest, ShortAndOverflowingProfilesKeepWhatWasRead) {
    const struct {
        std::string plain;
        int error;
        int16_t credits;
        int16_t volume;
    } cases[] = {
        {profilePlain.substr(0, profilePlain.find("Tessellane")), err::PastEndOfFile, 12, 0},
        {"40000" + profilePlain.substr(2), err::Overflow, 0, 100},
        {profilePlain.substr(0, profilePlain.rfind("100")) + "250\r\n", err::InvalidProperty, 12, 0},
    };
    int copy = 1;
    for (const auto& c : cases) {
        resetSharedState();
        testing::putScrambled(folder, "\\init\\6702", c.plain);
        // Each damage keeps its own copy; none is written over.
        const std::string name = "init/6702.damaged" + (copy > 1 ? "." + std::to_string(copy) : std::string());
        EXPECT_EQ(loadFault(loadProfile), std::make_pair(c.error, name)) << c.plain;
        EXPECT_EQ(readBytes(folder.file(name)), testing::scrambledText(c.plain));
        ++copy;
        EXPECT_EQ(credits, c.credits) << c.plain;
        EXPECT_EQ(musicVolume, c.volume) << c.plain;
        saveProfile();
        EXPECT_EQ(plainOf(folder, "\\init\\6702"), c.plain);
    }
}

TEST_F(UnreadFilesTest, ScratchFolderAtStartUpLosesNothing) {
    // A folder named "temp" keeps both files from being read.
    fs::create_directory(folder.file("temp"));
    const std::string scores = readBytes(folder.file("init/6095"));
    const std::string profile = readBytes(folder.file("init/6702"));
    EXPECT_EQ(loadFault(loadHighScores), std::make_pair(err::PathAccess, std::string()));
    EXPECT_EQ(loadFault(loadProfile), std::make_pair(err::PathAccess, std::string()));
    EXPECT_TRUE(fs::is_directory(folder.file("temp")));
    EXPECT_FALSE(fs::exists(folder.file("init/6095.damaged")));  // the file itself is whole
    EXPECT_EQ(highScores[0].name, "");

    // At exit nothing was changed: nothing is written.
    saveHighScores();
    saveProfile();
    EXPECT_EQ(readBytes(folder.file("init/6095")), scores);
    EXPECT_EQ(readBytes(folder.file("init/6702")), profile);

    // Once the folder is gone, the player's changes go into what the files hold.
    fs::remove(folder.file("temp"));
    putHighScore(highScorePlace(shipped[0].score + 1), {"Top", shipped[0].score + 1});
    saveHighScores();
    auto expected = shipped;
    for (size_t j = 9; j > 0; --j) expected[j] = expected[j - 1];
    expected[0] = {"Top", shipped[0].score + 1};
    EXPECT_EQ(plainOf(folder, "\\init\\6095"), plainScores(expected));
    credits = 2;  // two Money pieces in a game
    musicVolume = 40;
    saveProfile();
    EXPECT_EQ(plainOf(folder, "\\init\\6702"),
              "14\r\n1\r\n2\r\n4\r\n5\r\n6\r\n3\r\n1\r\n0\r\n1\r\n70000\r\nTessellane #1 - Pelvaro\r\n40\r\n");
    EXPECT_FALSE(testing::scratchFileExists(folder));
}

// A full disk on a real file system.
class UnreadFilesOnDiskTest : public UnreadFilesTest {
protected:
    UnreadFilesOnDiskTest() : UnreadFilesTest(testing::Storage::Disk) {}
};

TEST_F(UnreadFilesOnDiskTest, FullDiskAtStartUpLosesNothing) {
    const std::string profile = readBytes(folder.file("init/6702"));
    {
        testing::FullDisk full;
        EXPECT_EQ(loadFault(loadProfile).first, err::PathAccess);
        EXPECT_EQ(loadFault(loadHighScores).first, err::PathAccess);
        saveProfile();
        EXPECT_EQ(readBytes(folder.file("init/6702")), profile);
        items[1] = 1;  // a Bomb bought while the disk is full: the save fails, the file stays
        EXPECT_EQ(errorOf(saveProfile), err::PathAccess);
        EXPECT_EQ(readBytes(folder.file("init/6702")), profile);
    }
    // The disk has room again: the bought Bomb is added to those of the file.
    saveProfile();
    EXPECT_EQ(plainOf(folder, "\\init\\6702"),
              "12\r\n1\r\n3\r\n4\r\n5\r\n6\r\n3\r\n1\r\n0\r\n1\r\n70000\r\nTessellane #1 - Pelvaro\r\n100\r\n");
    EXPECT_FALSE(testing::scratchFileExists(folder));
}

TEST_F(UnreadFilesTest, SavesDoNotFollowPlantedLinks) {
    const std::string outside = folder.path() + "-outside";
    testing::writeBytes(outside, "keep me");
    for (const char* planted : {"temp", "init/6095.new", "init/6702.new", "log.txt"})
        fs::create_symlink(outside, folder.file(planted));

    loadHighScores();
    saveHighScores();  // nothing changed: nothing is written
    loadProfile();
    credits = 7;       // a change: the profile is written
    saveProfile();
    logEnabled = true;
    openLog();
    closeLog();
    logEnabled = false;

    EXPECT_EQ(readBytes(outside), "keep me");
    EXPECT_EQ(plainOf(folder, "\\init\\6095"), plainScores(shipped));
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.file("temp"))));
    EXPECT_TRUE(fs::is_symlink(folder.file("init/6095.new")));  // left alone, not followed
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.file("init/6702.new"))));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder.file("init/6702"))));
    EXPECT_EQ(plainOf(folder, "\\init\\6702").substr(0, 3), "7\r\n");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder.file("log.txt"))));
    fs::remove(outside);
}

} // namespace
} // namespace pomlets

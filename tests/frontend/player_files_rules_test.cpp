// The player's files through whole runs of the main window: a file that cannot
// be read is left as it is, one damaged or overflowing line costs nothing
// else, an unread high-score line takes no place, a damaged file is written
// only after a checked copy, and a save that fails is told once with its file
// and its cause.
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <sys/stat.h>

#include "datafiles/damaged_files.h"
#include "datafiles/player_files.h"
#include "datafiles/save_notices.h"
#include "datafiles/scrambler.h"
#include "platform/file_calls.h"
#include "engine/high_scores.h"
#include "frontend_fixture.h"
#include "support/file_faults.h"
#include "support/text_lines.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

namespace fs = std::filesystem;


const std::vector<std::string> profileLines = {"5000", "3", "2", "4", "1", "1", "1", "1", "0", "0", "9",
                                               "Tessellane #1 - Pelvaro", "60"};
const std::vector<std::string> scoreLines = {"10000,Ann", "9000,Bob", "7000,Carol", "6000,Dave", "5000,Eve",
                                             "4000,Fay",  "3000,Gus", "2000,Hal",   "1000,Ida",  "500,Jay"};

class PlayerFilesRulesTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        writeScrambled("init/6702", profileLines);
        writeScrambled("init/6095", scoreLines);
    }

    // Puts text in place of the first code of one scrambled line.
    void replaceFirstCode(const std::string& relative, size_t line, const std::string& code) {
        std::string bytes = bytesOfFile(folder->file(relative));
        size_t at = 0;
        for (size_t i = 0; i < line; ++i) at = bytes.find("\r\n", at) + 2;
        bytes.replace(at, bytes.find('.', at) - at, code);
        std::ofstream(folder->file(relative), std::ios::binary) << bytes;
    }

    // The plain lines of a data file, the damaged ones empty, and how many
    // are damaged.
    std::pair<std::vector<std::string>, size_t> linesOf(const std::string& relative) {
        const auto damaged = decryptReadable(folder->file(relative), folder->file("plain.txt"));
        auto lines = linesOfText(folder->readText("plain.txt"));
        fs::remove(folder->file("plain.txt"));
        return {lines, damaged.size()};
    }

    std::string profileCredits() { return linesOf("init/6702").first.at(0); }
};

TEST_F(PlayerFilesRulesTest, AProfileThatCannotBeReadIsLeftAsItIs) {
    for (int error : {EACCES, EIO}) {
        SCOPED_TRACE(errorName(error));
        const std::string before = bytesOfFile(folder->file("init/6702"));
        resetSharedState();
        forgetPlayerFileReadings();
        forgetSaveNotices();
        clearShownBoxes();
        {
            // The profile cannot be read at all while the program runs.
            FileFaults unreadable({FaultKind::Error, error, 1, true, "init/6702"});
            FMain& w = start();
            EXPECT_EQ(credits, 0);
            EXPECT_EQ(themeName, "Cells");  // the program's own pick, not saved
            w.HScroll2->setValue(25);        // a change that cannot be saved yet
            w.Form_Unload();
        }
        logEnabled = false;
        releaseFMain();
        EXPECT_EQ(bytesOfFile(folder->file("init/6702")), before);
        EXPECT_FALSE(fs::exists(folder->file("init/6702.damaged")));
        const std::string cause = systemCause(error);
        ASSERT_EQ(shownBoxes().size(), 2u) << boxTexts()[0];
        EXPECT_NE(shownBoxes()[0].text.find("\"init/6702\""), std::string::npos) << shownBoxes()[0].text;
        EXPECT_NE(shownBoxes()[0].text.find(cause), std::string::npos) << shownBoxes()[0].text;
        EXPECT_NE(shownBoxes()[1].text.find("could not save the player profile \"init/6702\": " + cause),
                  std::string::npos)
            << shownBoxes()[1].text;
    }
}

TEST_F(PlayerFilesRulesTest, TheChangesOfARunGoIntoTheFileOnceItCanBeReadAgain) {
    {
        // Only the reading at start-up fails.
        FileFaults once({FaultKind::Error, EIO, 1, false, "init/6702"});
        FMain& w = start();
        credits = 2;  // two Money pieces in a game
        w.HScroll2->setValue(40);
        w.Form_Unload();
    }
    auto expected = profileLines;
    expected[0] = "5002";
    expected[12] = "40";
    EXPECT_EQ(linesOf("init/6702"), std::make_pair(expected, size_t{0}));
}

TEST_F(PlayerFilesRulesTest, AnOverflowingCodeCostsOnlyItsLine) {
    replaceFirstCode("init/6702", 4, "1e999");
    replaceFirstCode("init/6095", 9, "1e999");
    const std::string profile = bytesOfFile(folder->file("init/6702"));
    const std::string scores = bytesOfFile(folder->file("init/6095"));
    FMain& w = start();
    ASSERT_EQ(shownBoxes().size(), 2u);
    for (const auto& box : shownBoxes()) EXPECT_NE(box.text.find(".damaged\""), std::string::npos) << box.text;
    EXPECT_EQ(bytesOfFile(folder->file("init/6702.damaged")), profile);
    EXPECT_EQ(bytesOfFile(folder->file("init/6095.damaged")), scores);
    EXPECT_EQ(credits, 5000);
    EXPECT_EQ(highScoresInUse(), 9u);

    answer = MsgResult::Yes;
    w.purchase_Click(0);  // a Slammer, 2 credits
    score = 450;
    typedName = "Driver";
    enterHighScore();
    w.Form_Unload();

    auto expected = profileLines;
    expected[0] = "4998";
    expected[1] = "4";
    expected[4] = "";  // the damaged line, kept as it stood
    EXPECT_EQ(linesOf("init/6702"), std::make_pair(expected, size_t{1}));
    auto table = scoreLines;
    table[9] = "450,Driver";
    EXPECT_EQ(linesOf("init/6095"), std::make_pair(table, size_t{0}));
}

TEST_F(PlayerFilesRulesTest, AnUnreadHighScoreLineTakesNoPlace) {
    replaceFirstCode("init/6095", 2, "999");  // "7000,Carol"
    const std::string damaged = bytesOfFile(folder->file("init/6095"));
    start();
    score = 0;
    typedName = "Driver";
    enterHighScore();
    EXPECT_EQ(highScores[2].name, "Dave");
    EXPECT_EQ(highScores[8].name, "Jay");
    EXPECT_EQ(highScores[9].name, "Driver");
    std::vector<std::string> expected = scoreLines;
    expected.erase(expected.begin() + 2);
    expected.push_back("0,Driver");
    EXPECT_EQ(linesOf("init/6095"), std::make_pair(expected, size_t{0}));
    EXPECT_EQ(bytesOfFile(folder->file("init/6095.damaged")), damaged);
}

TEST_F(PlayerFilesRulesTest, ADamagedFileIsWrittenOnlyAfterACheckedCopy) {
    replaceFirstCode("init/6702", 4, "999");
    const std::string damaged = bytesOfFile(folder->file("init/6702"));
    // An older copy of another damage is never written over.
    std::ofstream(folder->file("init/6702.damaged"), std::ios::binary) << "an older damage";
    {
        // No copy can be made: the first new copy cannot be created.
        FileFaults noCopy({FaultKind::Error, ENOSPC, 1, true, "6702.damaged.2"});
        FMain& w = start();
        answer = MsgResult::Yes;
        w.purchase_Click(0);
        EXPECT_EQ(credits, 4998);  // kept in memory
    }
    EXPECT_EQ(bytesOfFile(folder->file("init/6702")), damaged);
    EXPECT_EQ(bytesOfFile(folder->file("init/6702.damaged")), "an older damage");
    EXPECT_FALSE(fs::exists(folder->file("init/6702.damaged.2")));
    EXPECT_NE(boxTexts().back().find("could not save the player profile \"init/6702\": " + systemCause(ENOSPC)),
              std::string::npos)
        << boxTexts().back();

    // With room for the copy, the next save keeps it and then writes.
    fMain().Form_Unload();
    EXPECT_EQ(bytesOfFile(folder->file("init/6702.damaged.2")), damaged);
    EXPECT_EQ(profileCredits(), "4998");
}

TEST_F(PlayerFilesRulesTest, AFailedSaveAfterAGameIsToldOnceWithItsFileAndCause) {
    FMain& w = start();
    clearShownBoxes();
    const std::string scores = bytesOfFile(folder->file("init/6095"));
    const std::string profile = bytesOfFile(folder->file("init/6702"));
    {
        FileFaults full({FaultKind::Error, ENOSPC, 1, true, ""});  // a full disk
        score = 8000;
        typedName = "Driver";
        enterHighScore();
        credits = static_cast<int16_t>(credits + 1);
        saveTelling(PlayerFile::Profile, saveProfile);  // as after every game
        saveTelling(PlayerFile::Profile, saveProfile);  // told once for its cause
        answer = MsgResult::Quit;
        w.Form_Unload();  // Quit, without saving
    }
    EXPECT_EQ(bytesOfFile(folder->file("init/6095")), scores);
    EXPECT_EQ(bytesOfFile(folder->file("init/6702")), profile);
    EXPECT_EQ(highScores[2].name, "Driver");  // still shown
    const std::string cause = systemCause(ENOSPC);
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{
                              "Congratulations!  8000 is a new high score!  Please enter your name.",
                              "Pomlets could not save the high-score table \"init/6095\": " + cause +
                                  ".  The new score is not saved; Pomlets tries again when the table changes next "
                                  "and when you quit.",
                              "Pomlets could not save the player profile \"init/6702\": " + cause +
                                  ".  What changed since its last save (credits, items, theme or volume) is not "
                                  "saved; Pomlets tries again at the next save and when you quit.",
                              "Pomlets could not save the high-score table \"init/6095\": " + cause +
                                  ".  Quitting now loses the scores entered since it was last saved.  Free some "
                                  "disk space or mend the cause, then choose Try Again; or choose Quit Without "
                                  "Saving.",
                              "Pomlets could not save the player profile \"init/6702\": " + cause +
                                  ".  Quitting now loses what changed since its last save (credits, items, theme "
                                  "or volume).  Free some disk space or mend the cause, then choose Try Again; or "
                                  "choose Quit Without Saving.",
                          }));
    EXPECT_EQ(shownBoxes()[3].buttons, MsgButtons::RetryQuit);
    EXPECT_EQ(shownBoxes()[4].buttons, MsgButtons::RetryQuit);
}

// At Quit a failed save is asked about: the player frees space and tries
// again, and the changes reach the disk.
TEST_F(PlayerFilesRulesTest, AtQuitAFailedSaveCanBeTriedAgainAfterFreeingSpace) {
    FMain& w = start();
    clearShownBoxes();
    // No room for the new profile beside the old one.
    auto full = std::make_unique<FileFaults>(Fault{FaultKind::Error, ENOSPC, 1, true, "6702.new"});
    credits = 1234;
    int asked = 0;
    setMessageBoxResponder([&](const ShownBox& box) {
        if (box.buttons != MsgButtons::RetryQuit) return MsgResult::Ok;
        if (++asked == 2) full.reset();  // the player frees some space
        return MsgResult::Retry;
    });
    w.Form_Unload();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(profileCredits(), "1234");
    ASSERT_EQ(boxTexts().size(), 2u);
    EXPECT_EQ(boxTexts()[0], boxTexts()[1]);  // asked again with the same file and cause
    EXPECT_NE(boxTexts()[0].find("\"init/6702\": " + systemCause(ENOSPC)), std::string::npos) << boxTexts()[0];
}

// A start and a Quit with nothing changed write nothing: every file keeps its
// inode and its time, and a folder that cannot be written tells nothing.
TEST_F(PlayerFilesRulesTest, AStartAndAQuitWithoutAChangeWriteNothing) {
    struct Stamp {
        ino_t inode;
        timespec time;
    };
    const auto stamp = [&](const char* relative) {
        struct stat info{};
        EXPECT_EQ(::stat(folder->file(relative).c_str(), &info), 0) << relative;
        return Stamp{info.st_ino, info.st_mtim};
    };
    for (const char* refused : {"", "6702.new", "6095.new"}) {
        SCOPED_TRACE(refused);
        resetSharedState();
        forgetPlayerFileReadings();
        forgetSaveNotices();
        clearShownBoxes();
        const Stamp before[] = {stamp("init/6702"), stamp("init/6095"), stamp("init/6537")};
        {
            // A folder that refuses new files there (read-only init/).
            std::unique_ptr<FileFaults> readOnly;
            if (*refused) readOnly = std::make_unique<FileFaults>(Fault{FaultKind::Error, EACCES, 1, true, refused});
            FMain& w = start();
            w.Form_Unload();
        }
        logEnabled = false;
        releaseFMain();
        const Stamp after[] = {stamp("init/6702"), stamp("init/6095"), stamp("init/6537")};
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(after[i].inode, before[i].inode) << i;
            EXPECT_EQ(after[i].time.tv_sec, before[i].time.tv_sec) << i;
            EXPECT_EQ(after[i].time.tv_nsec, before[i].time.tv_nsec) << i;
        }
        EXPECT_EQ(boxTexts(), std::vector<std::string>{});
        EXPECT_FALSE(fs::exists(folder->file("init/6702.new")));
    }
}

// With every name for a kept copy taken, a save of the damaged file says so
// and what lets saving go on.
TEST_F(PlayerFilesRulesTest, NinetyNineKeptCopiesAreToldWithWhatHelps) {
    replaceFirstCode("init/6702", 4, "999");
    const std::string damaged = bytesOfFile(folder->file("init/6702"));
    for (int n = 1; n <= keptCopiesMost; ++n)
        std::ofstream(folder->file("init/6702.damaged" + (n == 1 ? std::string() : "." + std::to_string(n))),
                      std::ios::binary)
            << "another damage " << n;
    FMain& w = start();
    clearShownBoxes();
    answer = MsgResult::Yes;
    w.purchase_Click(0);
    EXPECT_EQ(bytesOfFile(folder->file("init/6702")), damaged);
    ASSERT_FALSE(boxTexts().empty());
    EXPECT_EQ(boxTexts().back().find("File exists"), std::string::npos) << boxTexts().back();
    EXPECT_NE(boxTexts().back().find("could not save the player profile \"init/6702\": its folder holds 99 kept "
                                     "copies of the damaged file already, \"init/6702.damaged\" to "
                                     "\"init/6702.damaged.99\"; moving them away lets saving go on."),
              std::string::npos)
        << boxTexts().back();
    // Moved away: the next save keeps its copy and writes.
    for (int n = 2; n <= keptCopiesMost; ++n) fs::remove(folder->file("init/6702.damaged." + std::to_string(n)));
    answer = MsgResult::Retry;
    w.Form_Unload();
    EXPECT_EQ(bytesOfFile(folder->file("init/6702.damaged.2")), damaged);
    EXPECT_EQ(profileCredits(), "4998");
}

} // namespace
} // namespace pomlets::testing

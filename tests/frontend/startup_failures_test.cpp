// Start-up with damaged lists and an unwritable program folder: the player is
// told, what could be read is kept, and nothing unread is written back.
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "datafiles/damaged_files.h"
#include "engine/high_scores.h"
#include "frontend_fixture.h"
#include "support/text_lines.h"
#include "support/full_disk.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

namespace fs = std::filesystem;


class StartupFailuresTest : public FrontendTest {
protected:
    // Makes the first code of one scrambled line impossible (above 255).
    void damageLine(const std::string& relative, size_t line) {
        std::string bytes = bytesOfFile(folder->file(relative));
        size_t at = 0;
        for (size_t i = 0; i < line; ++i) at = bytes.find("\r\n", at) + 2;
        bytes.replace(at, bytes.find('.', at) - at, "999");
        std::ofstream(folder->file(relative), std::ios::binary) << bytes;
    }
};

TEST_F(StartupFailuresTest, DamagedFilesAreToldOnceAndNeverWrittenOver) {
    const struct {
        const char* file;
        size_t line;
    } cases[] = {{"init/6095", 9}, {"init/6702", 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        folder.reset();
        folder = std::make_unique<TempProgramFolder>();
        resetSharedState();
        clearShownBoxes();
        damageLine(c.file, c.line);
        const std::string damaged = bytesOfFile(folder->file(c.file));
        FMain& w = start();
        ASSERT_EQ(shownBoxes().size(), 1u);
        EXPECT_NE(shownBoxes()[0].text.find("\"" + std::string(c.file) + ".damaged\""), std::string::npos)
            << shownBoxes()[0].text;
        EXPECT_EQ(bytesOfFile(folder->file(std::string(c.file) + ".damaged")), damaged);
        w.Form_Unload();
        logEnabled = false;
        EXPECT_EQ(bytesOfFile(folder->file(c.file)), damaged) << "written over at start-up or exit";
        EXPECT_EQ(shownBoxes().size(), 1u);
        releaseFMain();
    }
}

TEST_F(StartupFailuresTest, DamagedBandListKeepsTheBandsBeforeTheDamage) {
    damageLine("init/6859", 2);
    start();
    EXPECT_EQ(lastBandIndex, 1);
    EXPECT_EQ(bandNames, (std::vector<std::string>{"Varnock", "Pellandry"}));
    EXPECT_EQ(bandUrls[1], "https://pellandry.example.org/");
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].text.find("the list of bands"), std::string::npos);
    EXPECT_FALSE(fileExists(folder->file("temp")));
}

TEST_F(StartupFailuresTest, UnwritableFolderEndsTheStartWithItsNameAndCause) {
    // A full disk and a read-only folder on a real file system.
    folder.reset();
    folder = std::make_unique<TempProgramFolder>(Storage::Disk);
    std::vector<std::pair<std::string, std::function<void()>>> cases;
    cases.push_back({"File too large", [this] {
                         FullDisk full;
                         EXPECT_FALSE(loadFMain());
                     }});
    if (geteuid() != 0) {  // the superuser writes into a read-only folder all the same
        cases.push_back({"Permission denied", [this] {
                             chmod(folder->path().c_str(), 0555);
                             EXPECT_FALSE(loadFMain());
                             chmod(folder->path().c_str(), 0755);
                         }});
    }
    for (const auto& [cause, run] : cases) {
        clearShownBoxes();
        fs::remove(folder->file("log.txt"));
        run();
        ASSERT_EQ(shownBoxes().size(), 1u) << cause;
        const std::string& text = shownBoxes()[0].text;
        EXPECT_NE(text.find("\"" + folder->path() + "\""), std::string::npos) << text;
        EXPECT_NE(text.find(cause), std::string::npos) << text;
        EXPECT_FALSE(logEnabled);
        releaseFMain();
    }
}

TEST_F(StartupFailuresTest, LevelListShowsOnlyWholeReadablePairs) {
    writeScrambled("init/6537", {"First Steps", "12", "Dangling"});
    FMain& w = start();
    w.tMode->setCurrentIndex(1);
    ASSERT_EQ(w.tLevels->count(), 1);
    EXPECT_EQ(w.tLevels->item(0)->text(), "First Steps");
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].text.find("init/6537"), std::string::npos);

    // An award keeps every line of the list as it was, the damaged one too,
    // after a copy of the damaged list.
    writeScrambled("init/6537", {"First Steps", "12", "Second Wind", "14"});
    damageLine("init/6537", 2);
    const std::string damaged = bytesOfFile(folder->file("init/6537"));
    clearShownBoxes();
    currentLevel.awardLevelName = "Deep Pond";
    currentLevel.awardLevelNumber = 15;
    awardArcadeLevel();
    EXPECT_EQ(shownBoxes().size(), 2u);
    EXPECT_EQ(bytesOfFile(folder->file("init/6537.damaged")), damaged);
    const std::vector<DamagedLine> kept = decryptReadable(folder->file("init/6537"), folder->file("plain.txt"));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].index, 2u);
    EXPECT_EQ(folder->readText("plain.txt"), "First Steps\r\n12\r\n\r\n14\r\nDeep Pond\r\n15\r\n");
    EXPECT_EQ(damaged.substr(0, damaged.rfind("\r\n") + 2), bytesOfFile(folder->file("init/6537")).substr(0, damaged.size()));
    EXPECT_FALSE(fileExists(folder->file("temp")));
}

// A level list that cannot be read whole is told of once a run, at the first
// choice of Arcade; later choices list what could be read without a box.
TEST_F(StartupFailuresTest, LevelListProblemIsToldOnceARun) {
    const struct {
        const char* problem;
        std::function<void()> make;
        int levels;
    } cases[] = {
        {"damaged", [this] { writeScrambled("init/6537", {"First Steps", "12", "Dangling"}); }, 1},
        {"could not be read", [this] { fs::remove(folder->file("init/6537")); }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        c.make();
        clearShownBoxes();
        FMain& w = start();
        for (int choice = 0; choice < 4; ++choice) {
            w.tMode->setCurrentIndex(0);
            w.tMode->setCurrentIndex(1);
            ASSERT_EQ(w.tMode->currentText(), "Arcade");
            EXPECT_EQ(w.tLevels->count(), c.levels);
        }
        ASSERT_EQ(shownBoxes().size(), 1u);
        EXPECT_NE(shownBoxes()[0].text.find(c.problem), std::string::npos) << shownBoxes()[0].text;
        releaseFMain();
    }
}

} // namespace
} // namespace pomlets::testing

// A save killed at any moment leaves the old file or the new one, whole.
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "data_helpers.h"
#include "datafiles/player_files.h"

namespace pomlets {
namespace {

// On a real file system: what a kill leaves depends on what reached the disk.
class InterruptedSaveTest : public testing::DataFileTest {
protected:
    InterruptedSaveTest() : DataFileTest(testing::Storage::Disk) {}
};

void setTable(int which) {
    for (int i = 0; i < 10; ++i)
        highScores[static_cast<size_t>(i)] = {(which ? "second, table " : "first table ") + std::to_string(i),
                                              (which ? 9000 : 100) - i};
    credits = static_cast<int16_t>(which ? 77 : 5);
    themeName = which ? "Tessellane #1 - Pelvaro" : "Cells";
    musicVolume = static_cast<int16_t>(which ? 90 : 10);
}

TEST_F(InterruptedSaveTest, KilledSavesLeaveOldOrNewWhole) {
    std::string scores[2], profiles[2];
    for (int which = 0; which < 2; ++which) {
        setTable(which);
        saveHighScores();
        saveProfile();
        scores[which] = testing::plainOf(folder, "\\init\\6095");
        profiles[which] = testing::plainOf(folder, "\\init\\6702");
    }
    std::mt19937 random(2024);
    int seen[2][2] = {};
    const int runs = 200;
    for (int run = 0; run < runs; ++run) {
        // The child reports each completed pair of saves on a pipe; the kill
        // falls at a random moment after the first report, whatever the
        // disk's speed.
        int reports[2];
        ASSERT_EQ(pipe(reports), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(reports[0]);
            // Saves the two tables in turn until it is killed.
            for (int which = run % 2;; which = 1 - which) {
                setTable(which);
                saveHighScores();
                saveProfile();
                const char done = 1;
                if (write(reports[1], &done, 1) != 1) _exit(1);
            }
        }
        close(reports[1]);
        const int pairsToWait = 1 + std::uniform_int_distribution<int>(0, 2)(random);
        for (int pair = 0; pair < pairsToWait; ++pair) {
            char done = 0;
            ASSERT_EQ(read(reports[0], &done, 1), 1) << "the saving child stopped";
        }
        // Further into the next save by a random span; any moment is a valid
        // kill, so the span only spreads the kills over the save.
        usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
        kill(child, SIGKILL);
        close(reports[0]);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended on its own";

        const std::string score = testing::plainOf(folder, "\\init\\6095");
        const std::string profile = testing::plainOf(folder, "\\init\\6702");
        const int s = score == scores[0] ? 0 : score == scores[1] ? 1 : -1;
        const int p = profile == profiles[0] ? 0 : profile == profiles[1] ? 1 : -1;
        ASSERT_NE(s, -1) << "run " << run << ": high scores damaged:\n" << score;
        ASSERT_NE(p, -1) << "run " << run << ": profile damaged:\n" << profile;
        ++seen[0][s];
        ++seen[1][p];
    }
    // Both tables were found, so the kills fell at different points of the
    // loop: each run starts with the other table.
    EXPECT_GT(seen[0][0], 0);
    EXPECT_GT(seen[0][1], 0);

    // A killed save may leave its scratch file; the next operation removes it.
    loadHighScores();
    EXPECT_FALSE(testing::scratchFileExists(folder));
}

} // namespace
} // namespace pomlets

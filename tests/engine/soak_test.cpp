// The soak: at least an hour of game time over many games, played by a
// scripted random player. Disabled by default (it runs for many minutes);
// run it by hand, preferably in a sanitizer build:
//   test_engine --gtest_also_run_disabled_tests --gtest_filter='*Soak*'
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <unistd.h>

#include "common/brains.h"
#include "display/game_window.h"
#include "engine/main_loops.h"
#include "game_session.h"
#include "platform/win32.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

using testing::EveryPass;
using testing::GameSession;
using testing::advanceClock;
using testing::tapKey;

// Resident memory of this process in kB.
long residentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// One game under the random player; returns the game time it lasted.
int64_t playOneGame(std::mt19937& chance, bool arcade) {
    GameSession game(arcade ? "Arcade" : "Freestyle", chance() & 0xFFFFFF);
    items = {5, 5, 5, 5, 0, 0};
    musicNotes = static_cast<int32_t>(chance() % 12);
    if (arcade) {
        currentLevel.targetScore = static_cast<int32_t>(chance() % 3000);
        currentLevel.survivalTimerOn = chance() % 2 == 0;
        currentLevel.survivalMinutes = static_cast<int16_t>(1 + chance() % 3);
        currentLevel.timerMinuteStart = gameTime();
    }
    GameWindow* window = fConsole().window();
    simulateFocus(*window, true);
    const int32_t begin = gameTime();
    const int32_t giveUpAfter = 30000 + static_cast<int32_t>(chance() % 300000);
    static constexpr int keys[] = {dik::LEFT, dik::RIGHT, dik::UP, dik::DOWN, dik::K1, dik::K2, dik::K3, dik::K4};
    int pauseFor = 0;
    bool lost = false;
    EveryPass pass([&] {
        if (lost) {
            if (chance() % 50 == 0) {
                simulateMinimised(*window, false);
                simulateFocus(*window, true);
                lost = false;
                pauseFor = 3;
            }
            return;
        }
        if (paused) {
            advanceClock(50);
            if (--pauseFor == 0) tapKey(dik::P);
            return;
        }
        const unsigned roll = chance() % 1000;
        if (roll < 60)
            tapKey(keys[chance() % 8]);
        else if (roll == 60)
            tapKey(dik::N);
        else if (roll == 61) {
            tapKey(dik::P);
            pauseFor = 2 + static_cast<int>(chance() % 20);
        } else if (roll == 62 && chance() % 10 == 0) {
            simulateFocus(*window, false);
            lost = true;
        }
        if (gameTime() - begin > giveUpAfter) tapKey(dik::ESCAPE);
        advanceClock(static_cast<int32_t>(1 + chance() % 13));
    });
    if (arcade)
        playArcade();
    else
        playFreestyle();
    return gameTime() - begin;
}

TEST(Soak, DISABLED_AnHourOfRandomPlay) {
    std::mt19937 chance(20261210);
    int64_t played = 0;
    int games = 0;
    long afterWarmUp = 0;
    const long atStart = residentKilobytes();
    while (played < 3600 * 1000LL || games < 20) {
        played += playOneGame(chance, games % 3 == 2);
        ++games;
        if (games == 5) afterWarmUp = residentKilobytes();
        if (games % 10 == 0)
            std::printf("soak: %d games, %.1f min of game time, resident %ld kB\n", games, played / 60000.0,
                        residentKilobytes());
    }
    const long atEnd = residentKilobytes();
    std::printf("soak: %d games, %.1f min of game time; resident %ld kB at start, %ld kB after 5 games, %ld kB at end\n",
                games, played / 60000.0, atStart, afterWarmUp, atEnd);
    EXPECT_GE(played, 3600 * 1000LL);
}

} // namespace
} // namespace pomlets

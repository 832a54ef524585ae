// The set-up of one game, as the Play command runs it: the display, the
// per-game reset with every sound and picture, the piece table, the first
// track and the Freestyle level; then the tear-down (not timed). Also reports the resident memory of a running game.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "common/brains.h"
#include "datafiles/level_files.h"
#include "datafiles/music_list.h"
#include "datafiles/scrambler.h"
#include "display/assets.h"
#include "display/game_window.h"
#include "display/piece_table.h"
#include "display/playlist.h"
#include "frontend/fmain.h"
#include "platform/runtime.h"
#include "headless_main.h"

namespace {

using namespace pomlets;

// Kilobytes of a /proc/self/status field ("VmRSS", "VmHWM").
double statusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0) return std::atof(line.c_str() + field.size() + 1);
    return 0;
}

void prepareMainWindow() {
    fMain().tMode->clear();
    fMain().tMode->addItems({"Freestyle", "Arcade", "B-Type"});
    fMain().tMode->setCurrentIndex(0);
    fillMusicList();
    themeName = "Cells";
    musicVolume = 50;
}

void setUpGame() {
    endGame = false;
    fConsole().Show();
    initDX();
    initVariables();
    initPieces();
    nextSong();
    loadLevel(appPath("\\levels\\2193"), false);
}

void BM_GameSetUp(benchmark::State& state) {
    initCipherTables(79, 94, 709);  // once per program, as at start-up
    prepareMainWindow();
    double rssKb = 0;
    for (auto _ : state) {
        setUpGame();
        state.PauseTiming();
        rssKb = std::max(rssKb, statusKilobytes("VmRSS"));
        endGame = true;
        destroy();
        state.ResumeTiming();
    }
    state.counters["running_game_rss_MB"] = rssKb / 1024.0;
    state.counters["peak_rss_MB"] = statusKilobytes("VmHWM") / 1024.0;
}
BENCHMARK(BM_GameSetUp)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3)->ReportAggregatesOnly(false);

} // namespace

int main(int argc, char** argv) {
    return pomlets::bench::runHeadless(argc, argv);
}

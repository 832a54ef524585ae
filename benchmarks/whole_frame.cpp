// One whole frame of a busy Freestyle game: falling pieces, the rules of a
// well-filled field, every drawing step and the present on the (dummy)
// display. The clock is frozen and moved on by one frame at every pass, so
// every pass of the main loop computes and draws a frame; the time between
// two passes is the frame's cost. Reports the median and 99th percentile.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/brains.h"
#include "datafiles/level_files.h"
#include "datafiles/scrambler.h"
#include "display/assets.h"
#include "display/game_window.h"
#include "display/piece_table.h"
#include "engine/main_loops.h"
#include "engine/messages.h"
#include "frontend/fmain.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "headless_main.h"
#include "support/settable_clock.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

using testing::setTickCount;
using testing::advanceTickCount;

using Clock = std::chrono::steady_clock;

std::string firstTheme() {
    std::string best;
    for (const auto& entry : std::filesystem::directory_iterator(appPath("\\themes")))
        if (entry.is_directory() && (best.empty() || entry.path().filename().string() < best))
            best = entry.path().filename().string();
    return best;
}

void setUpGame() {
    resetSharedState();
    resetDisplayObjects();
    initCipherTables(79, 94, 709);
    setTickCount(100000);
    QComboBox* modes = fMain().tMode;
    if (modes->findText("Freestyle") < 0) modes->addItem("Freestyle");
    modes->setCurrentIndex(modes->findText("Freestyle"));
    themeName = firstTheme();
    gameMode = "Freestyle";
    fConsole().Show();
    initDX();
    initVariables();
    initPieces();
    loadLevel(appPath("\\levels\\2193"), false);
}

// Rows 0 to 3 filled with pieces of every kind, their timers running.
void fillField() {
    int kind = 0;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < fieldColumns; ++column) {
            FieldCell& cell = field.rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
            cell.piece = pieceDefs[static_cast<size_t>(kind++ % (lastPieceType + 1))];
            cell.piece.column = static_cast<int16_t>(column);
            cell.piece.y = static_cast<int16_t>(520 - 85 * row);
            cell.piece.deadline = gameTime() + 1000 + 97 * kind;
            cell.occupied = true;
        }
    }
}

void BM_WholeFrame(benchmark::State& state) {
    std::vector<double> frameMs;
    for (auto _ : state) {
        frameMs.clear();
        while (frameMs.size() < 20000) {
            setUpGame();
            spawnInterval = 150;
            fillField();
            showMessage("busy busy busy");
            Clock::time_point last{};
            int frames = 0;
            QTimer pass;
            pass.setInterval(0);
            QObject::connect(&pass, &QTimer::timeout, [&] {
                const Clock::time_point now = Clock::now();
                if (frames++ > 0) frameMs.push_back(std::chrono::duration<double, std::milli>(now - last).count());
                clearDrawnTexts(*backBuffer);
                if (frames % 200 == 0) showMessage("busy busy busy");
                if (frames > 4000) endGame = true;
                advanceTickCount(26);
                last = Clock::now();
            });
            pass.start();
            playFreestyle();
            pass.stop();
            endGame = true;
            destroy();
        }
    }
    std::sort(frameMs.begin(), frameMs.end());
    state.counters["frames"] = static_cast<double>(frameMs.size());
    state.counters["median_ms"] = frameMs[frameMs.size() / 2];
    state.counters["p99_ms"] = frameMs[frameMs.size() * 99 / 100];
    state.counters["max_ms"] = frameMs.back();
}
BENCHMARK(BM_WholeFrame)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pomlets

int main(int argc, char** argv) {
    return pomlets::bench::runHeadless(argc, argv);
}

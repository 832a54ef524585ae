// How long the player waits: from the program start to the main window shown,
// and from Play to the first frame of the game. Runs headless (Qt offscreen,
// SDL dummy drivers) on a scratch copy of the built program folder.
#include <QApplication>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/brains.h"
#include "datafiles/log.h"
#include "display/game_window.h"
#include "frontend/fmain.h"
#include "frontend/message_box.h"
#include "frontend/startup.h"
#include "platform/runtime.h"
#include "headless_main.h"
#include "support/platform_port.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// A scratch program folder: data files copied (start-up and games write
// them), asset folders linked.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "pomlets-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
        const fs::path source = POMLETS_PROGRAM_DIR;
        for (const char* copied : {"init", "levels"})
            if (fs::exists(source / copied)) fs::copy(source / copied, fs::path(path_) / copied, fs::copy_options::recursive);
        for (const char* linked : {"images", "sounds", "music", "themes"})
            if (fs::exists(source / linked)) fs::create_directory_symlink(source / linked, fs::path(path_) / linked);
        pomlets::setProgramFolder(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }

private:
    std::string path_;
};

void endRun() {
    pomlets::releaseFMain();
    QCoreApplication::processEvents();
    pomlets::closeLog();
    pomlets::logEnabled = false;
    pomlets::resetSharedState();
}

// The program start: key tables, the main window loaded, then shown.
void BM_StartupToMainWindowShown(benchmark::State& state) {
    ScratchFolder folder;
    for (auto _ : state) {
        const auto begin = Clock::now();
        pomlets::buildKeyTables();
        pomlets::loadFMain();
        pomlets::fMain().show();
        QCoreApplication::processEvents();
        const auto end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
        endRun();
    }
}
BENCHMARK(BM_StartupToMainWindowShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3)->ReportAggregatesOnly(true);

// Play with Freestyle chosen, up to the first frame that the main loop draws;
// the game is then ended at once.
void BM_PlayToFirstFrame(benchmark::State& state) {
    ScratchFolder folder;
    pomlets::setMessageBoxResponder([](const pomlets::ShownBox&) { return pomlets::MsgResult::Ok; });
    pomlets::setInputBoxResponder([](const pomlets::ShownBox&) { return std::string("Bench"); });
    pomlets::buildKeyTables();
    pomlets::loadFMain();
    pomlets::FMain& w = pomlets::fMain();
    w.show();
    w.mNew_Click();
    w.tMode->setCurrentIndex(w.tMode->findText("Freestyle"));
    bool failed = false;
    for (auto _ : state) {
        Clock::time_point firstFrame{};
        // Runs whenever pending events are processed; the first time the back
        // buffer holds a text other than the loading screen's, a frame is drawn.
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (firstFrame != Clock::time_point{} || !pomlets::backBuffer) return;
            for (const auto& drawn : drawnTexts(*pomlets::backBuffer)) {
                if (drawn.text.rfind("Initializing", 0) == 0 || drawn.text == "Playing...") continue;
                firstFrame = Clock::now();
                pomlets::endGame = true;
                return;
            }
        });
        if (pomlets::backBuffer) clearDrawnTexts(*pomlets::backBuffer);
        watch.start();
        const auto begin = Clock::now();
        w.main_BtnRun_Click();
        watch.stop();
        if (firstFrame == Clock::time_point{}) {
            failed = true;
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(firstFrame - begin).count());
    }
    if (failed) state.SkipWithError("the game drew no frame");
    pomlets::setMessageBoxResponder(nullptr);
    pomlets::setInputBoxResponder(nullptr);
    endRun();
}
BENCHMARK(BM_PlayToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    // The first frame is found in the record of drawn texts.
    pomlets::installPlatformPort();
    return pomlets::bench::runHeadless(argc, argv);
}

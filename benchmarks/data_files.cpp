// The data files a game reads and writes: scrambling, the per-game piece
// table and level, and a save of the high scores (written beside the old file,
// synced and renamed over it).
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/brains.h"
#include "datafiles/level_files.h"
#include "datafiles/player_files.h"
#include "datafiles/scrambler.h"
#include "display/game_window.h"
#include "display/piece_table.h"
#include "platform/runtime.h"

namespace fs = std::filesystem;
using namespace pomlets;

namespace {

// A scratch copy of the built program folder, so that saving changes nothing of the build.
struct ScratchFolder {
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "pomlets-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path = pattern;
        const fs::path source = POMLETS_PROGRAM_DIR;
        fs::copy(source / "init", path / "init", fs::copy_options::recursive);
        fs::copy(source / "levels", path / "levels", fs::copy_options::recursive);
        fs::create_directory_symlink(source / "images", path / "images");
        setProgramFolder(path.string());
        initCipherTables(79, 94, 709);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

ScratchFolder& folder() {
    static ScratchFolder scratch;
    return scratch;
}

void BM_DecryptLevel(benchmark::State& state) {
    folder();
    const std::string source = appPath("\\levels\\9462");
    const std::string plain = appPath("\\bench-plain");
    for (auto _ : state) decryptFile(source, plain);
}
BENCHMARK(BM_DecryptLevel)->Unit(benchmark::kMicrosecond);

void BM_PieceTableAndLevel(benchmark::State& state) {
    folder();
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    ddraw = std::make_shared<DirectDraw7>();
    colorKey = {0xFFFFFF, 0xFFFFFF};
    for (auto _ : state) {
        initPieces();
        loadLevel(appPath("\\levels\\9462"), true);
    }
    ddraw.reset();
}
BENCHMARK(BM_PieceTableAndLevel)->Unit(benchmark::kMillisecond);

void BM_SaveHighScores(benchmark::State& state) {
    folder();
    for (auto _ : state) saveHighScores();
}
BENCHMARK(BM_SaveHighScores)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

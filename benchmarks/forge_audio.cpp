// Time of one whole run of the sound forge (every sound effect and all four
// music tracks, rendered and encoded), which the build pays on every change
// of the forge; the goal is well under 30 s.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void BM_ForgeAudioRun(benchmark::State& state) {
    const fs::path forge = fs::path(POMLETS_PROGRAM_DIR) / ".." / "tools" / "forge" / "audio" / "forge_audio";
    const fs::path out = fs::temp_directory_path() / ("pomlets-bench-forge-audio-" + std::to_string(::getpid()));
    const std::string command = "\"" + forge.string() + "\" \"" + out.string() + "\" > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("forge_audio failed");
            break;
        }
    }
    fs::remove_all(out);
}
BENCHMARK(BM_ForgeAudioRun)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

// forge_audio: writes the game's sound effects (sounds/) and music tracks
// (music/) into the program folder given on the command line.
//
//   forge_audio <program folder>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "audio_files.h"
#include "composer.h"
#include "sound_effects.h"
#include "tracks.h"

namespace fs = std::filesystem;
using namespace pomlets::forge;

namespace {

constexpr int kMusicRate = 44100;
constexpr float kMusicQuality = 0.3f;

void writeTrack(const fs::path& folder, const SongPlan& plan, int serial, std::string& error) {
    try {
        const Arrangement arrangement = compose(plan);
        const Stereo music = renderArrangement(arrangement, kMusicRate, plan.seed);
        writeOggVorbis((folder / playlistEntry(plan)).string(), music, kMusicQuality, serial, plan.artist, plan.title);
    } catch (const std::exception& e) {
        error = e.what();
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: forge_audio <program folder>\n");
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    try {
        const fs::path root(argv[1]);
        const fs::path sounds = root / "sounds";
        const fs::path music = root / "music";
        fs::create_directories(sounds);
        fs::create_directories(music);

        // Each track renders and encodes on its own thread; the sound effects
        // are made meanwhile. Every job works on its own data only, so the
        // output does not depend on the scheduling.
        const auto& tracks = builtInTracks();
        std::vector<std::string> errors(tracks.size());
        std::vector<std::thread> workers;
        for (std::size_t i = 0; i < tracks.size(); ++i)
            workers.emplace_back(writeTrack, music, std::cref(tracks[i]), 0x504F4D00 + static_cast<int>(i),
                                 std::ref(errors[i]));

        std::string effectError;
        try {
            const std::vector<Stereo> effects = effectsForTheMix();
            for (std::size_t i = 0; i < effects.size(); ++i)
                writeWav((sounds / soundEffects()[i].fileName).string(), effects[i]);
        } catch (const std::exception& e) {
            effectError = e.what();
        }
        for (std::thread& t : workers) t.join();

        bool failed = false;
        if (!effectError.empty()) {
            std::fprintf(stderr, "forge_audio: %s\n", effectError.c_str());
            failed = true;
        }
        for (const std::string& e : errors)
            if (!e.empty()) {
                std::fprintf(stderr, "forge_audio: %s\n", e.c_str());
                failed = true;
            }
        if (failed) return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "forge_audio: %s\n", e.what());
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("forge_audio: %zu sounds and %zu tracks written in %.1f s\n", soundEffects().size(),
                builtInTracks().size(), seconds);
    return 0;
}

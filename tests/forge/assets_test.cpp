// Every file the game loads from images/, themes/, sounds/ and music/, checked
// in the built program folder against one table: present, of its size and
// format, keyed pictures white around the shape and nowhere near white
// inside, sound effects in the wave format the game's buffers take, music
// tracks Ogg Vorbis of a playable length.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include "support/program_folder.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "datafiles/music_list.h"
#include "platform/bass.h"
#include "platform/directx.h"

namespace {

namespace fs = std::filesystem;

const fs::path kProgramFolder = POMLETS_PROGRAM_DIR;

enum class Form {
    KeyedPicture,   // white is transparent; white all round the shape
    FramePicture,   // keyed; the border is drawn, the field inside is white
    BlankPicture,   // keyed and wholly white (the space between words)
    OpaquePicture,  // drawn without a key
    Sound,          // PCM WAV, 22050 Hz, 16-bit, stereo
    Music,          // Ogg Vorbis, 90 s to 3 min
};

struct Asset {
    std::string file;  // relative to the program folder
    Form form;
    int width = 0;
    int height = 0;
};

// The game's own playlist: each entry is also its track's file name.
const std::vector<std::string> kTracks(pomlets::builtInTracks.begin(), pomlets::builtInTracks.end());

std::vector<Asset> gameAssets() {
    std::vector<Asset> all;
    // Sound effects, in the order the per-game reset loads them.
    for (const char* name :
         {"_changerow", "_moverow", "_gameover", "_connect01", "_connect02", "_connect03", "_pop01", "_slam01",
          "_gorgon01", "_coin01", "_gorgon02", "_calculate01", "_calculate02", "_bowling01", "_frog01", "_frog02",
          "_frog03", "_detonate", "_music01", "_bauble01", "_bauble02", "_clapping01", "_clapping02",
          "_clapping03"})
        all.push_back({std::string("sounds/") + name + ".wav", Form::Sound});
    for (const std::string& track : kTracks) all.push_back({"music/" + track, Form::Music});
    // Piece pictures (the piece table and the negative Calculator) and fruit.
    for (const char* name : {"pomlet1", "pomlet2", "pomlet3", "pomlet4", "rock1", "rock2", "rock3", "slammer", "bomb",
                             "bauble", "diamond", "calculator", "calculator_02", "gorgon", "shifter", "bowlingball",
                             "money", "music", "btype", "pin", "apple", "orange", "cherry", "grapes"})
        all.push_back({std::string("images/") + name + ".bmp", Form::KeyedPicture, 90, 90});
    // The per-game pictures: pointer, beams, mode frames, letters, frogs, explosion.
    all.push_back({"images/pointer.bmp", Form::KeyedPicture, 70, 45});
    all.push_back({"images/zap_v.bmp", Form::KeyedPicture, 80, 80});
    all.push_back({"images/zap_h.bmp", Form::KeyedPicture, 80, 80});
    for (const char* name : {"frame", "frameA", "frameB", "frameM"})
        all.push_back({std::string("images/") + name + ".bmp", Form::FramePicture, 1024, 768});
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        all.push_back({std::string("images/") + letter + ".bmp", Form::KeyedPicture, 50, 50});
    all.push_back({"images/!.bmp", Form::KeyedPicture, 50, 50});
    all.push_back({"images/Space.bmp", Form::BlankPicture, 50, 50});
    for (char digit = '0'; digit <= '9'; ++digit)
        all.push_back({std::string("images/") + digit + ".bmp", Form::KeyedPicture, 50, 50});
    for (int frame = 1; frame <= 5; ++frame)
        all.push_back({"images/frog0" + std::to_string(frame) + ".bmp", Form::KeyedPicture, 100, 100});
    all.push_back({"images/explosion.bmp", Form::KeyedPicture, 300, 300});
    // The loading screen and the theme plates, drawn without a key.
    all.push_back({"images/loading.bmp", Form::OpaquePicture, 1024, 768});
    for (const char* theme : {"Cells", "Tessellane #1 - Pelvaro"})
        for (int plate = 1; plate <= 5; ++plate)
            all.push_back({std::string("themes/") + theme + "/plate_0" + std::to_string(plate) + ".bmp",
                           Form::OpaquePicture, 500, 350});
    return all;
}

// Failures name the file rather than dumping the record's bytes.
void PrintTo(const Asset& a, std::ostream* os) { *os << a.file; }

std::string testName(const ::testing::TestParamInfo<Asset>& info) {
    std::string name;
    for (char c : info.param.file) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

std::vector<unsigned char> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t le(const std::vector<unsigned char>& b, std::size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

// --- pictures --------------------------------------------------------------

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, top row first
    uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

constexpr uint32_t kWhite = 0xFFFFFF;

// What the 16-bit display turns into the white key as well.
bool keyedOnDisplay(uint32_t c) {
    return ((c >> 16) & 0xFF) >= 248 && ((c >> 8) & 0xFF) >= 252 && (c & 0xFF) >= 248;
}

// Reads an uncompressed 24-bit BMP; reports what is wrong otherwise.
::testing::AssertionResult readPicture(const fs::path& path, Picture& out) {
    const std::vector<unsigned char> b = readFile(path);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return ::testing::AssertionFailure() << "not a BMP";
    if (le(b, 14, 4) < 40) return ::testing::AssertionFailure() << "old-style BMP header";
    if (le(b, 28, 2) != 24) return ::testing::AssertionFailure() << le(b, 28, 2) << " bits per pixel, not 24";
    if (le(b, 30, 4) != 0) return ::testing::AssertionFailure() << "compressed BMP";
    const int32_t h = static_cast<int32_t>(le(b, 22, 4));
    out.width = static_cast<int32_t>(le(b, 18, 4));
    out.height = h < 0 ? -h : h;
    const std::size_t stride = (static_cast<std::size_t>(out.width) * 3 + 3) & ~std::size_t{3};
    const std::size_t offset = le(b, 10, 4);
    if (out.width <= 0 || offset + stride * static_cast<std::size_t>(out.height) > b.size())
        return ::testing::AssertionFailure() << "truncated BMP";
    out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    for (int y = 0; y < out.height; ++y) {
        const std::size_t row = offset + stride * static_cast<std::size_t>(h < 0 ? y : out.height - 1 - y);
        for (int x = 0; x < out.width; ++x) {
            const std::size_t p = row + static_cast<std::size_t>(x) * 3;
            out.pixels[static_cast<std::size_t>(y * out.width + x)] =
                uint32_t{b[p + 2]} << 16 | uint32_t{b[p + 1]} << 8 | b[p];
        }
    }
    return ::testing::AssertionSuccess();
}

void checkPicture(const Asset& a, const Picture& pic) {
    EXPECT_EQ(pic.width, a.width);
    EXPECT_EQ(pic.height, a.height);
    if (a.form == Form::OpaquePicture || pic.width != a.width || pic.height != a.height) return;

    int nearWhite = 0;
    for (uint32_t c : pic.pixels) nearWhite += c != kWhite && keyedOnDisplay(c);
    EXPECT_EQ(nearWhite, 0) << "pixels inside the shape that the display would key out";

    if (a.form == Form::BlankPicture) {
        for (uint32_t c : pic.pixels) ASSERT_EQ(c, kWhite) << "a blank letter shows something";
    } else if (a.form == Form::KeyedPicture) {
        const int w = pic.width - 1, h = pic.height - 1;
        EXPECT_EQ(pic.at(0, 0), kWhite) << "top-left corner";
        EXPECT_EQ(pic.at(w, 0), kWhite) << "top-right corner";
        EXPECT_EQ(pic.at(0, h), kWhite) << "bottom-left corner";
        EXPECT_EQ(pic.at(w, h), kWhite) << "bottom-right corner";
        int shape = 0;
        for (uint32_t c : pic.pixels) shape += c != kWhite;
        EXPECT_GT(shape, 0) << "nothing drawn";
    } else {
        // The frame lies over the field every frame: the field (81, 80) to
        // (934, 690) must let the plate and the pieces through, the border not.
        int covered = 0;
        for (int y = 84; y < 686; ++y)
            for (int x = 85; x < 930; ++x) covered += pic.at(x, y) != kWhite;
        EXPECT_EQ(covered, 0) << "non-white pixels over the field";
        EXPECT_NE(pic.at(20, 20), kWhite) << "the border is transparent";
    }
}

// --- sounds ----------------------------------------------------------------

void checkSound(const fs::path& path) {
    const std::vector<unsigned char> b = readFile(path);
    ASSERT_GE(b.size(), 44u);
    ASSERT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    ASSERT_EQ(std::string(b.begin() + 8, b.begin() + 12), "WAVE");
    bool haveFormat = false;
    std::size_t dataAt = 0, dataSize = 0;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + 4));
        const std::size_t size = le(b, at + 4, 4);
        ASSERT_LE(at + 8 + size, b.size()) << "chunk " << id << " runs past the end";
        if (id == "fmt ") {
            ASSERT_GE(size, 16u);
            EXPECT_EQ(le(b, at + 8, 2), 1u) << "not PCM";
            EXPECT_EQ(le(b, at + 10, 2), 2u) << "channels";
            EXPECT_EQ(le(b, at + 12, 4), 22050u) << "sample rate";
            EXPECT_EQ(le(b, at + 22, 2), 16u) << "bits per sample";
            haveFormat = true;
        } else if (id == "data") {
            dataAt = at + 8;
            dataSize = size;
        }
        at += 8 + size + (size & 1);
    }
    ASSERT_TRUE(haveFormat);
    ASSERT_GT(dataSize, 0u);
    const double seconds = static_cast<double>(dataSize) / (22050.0 * 4.0);
    EXPECT_GE(seconds, 0.03);
    EXPECT_LE(seconds, 4.0) << "an effect, not a track";
    int peak = 0;
    for (std::size_t i = 0; i + 1 < dataSize; i += 2)
        peak = std::max(peak, std::abs(static_cast<int>(static_cast<int16_t>(le(b, dataAt + i, 2)))));
    // Each effect takes a small share of the mix's headroom (the test below).
    EXPECT_GT(peak, 32768 / 128) << "hardly audible";
    EXPECT_LT(peak, 32767) << "clipped";
}

// --- music -----------------------------------------------------------------

void checkMusic(const fs::path& path) {
    OggVorbis_File vf;
    ASSERT_EQ(ov_fopen(path.string().c_str(), &vf), 0) << "not an Ogg Vorbis stream";
    const vorbis_info* info = ov_info(&vf, -1);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->channels, 2);
    EXPECT_GE(info->rate, 22050);
    const double seconds = ov_time_total(&vf, -1);
    EXPECT_GE(seconds, 90.0);
    EXPECT_LE(seconds, 180.0);
    // The opening is music, not silence.
    char buffer[4096];
    int section = 0;
    long loudest = 0;
    for (long got = 0; got < 44100L * 4 * 10;) {
        const long n = ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &section);
        if (n <= 0) break;
        for (long i = 0; i + 1 < n; i += 2) {
            const int16_t s = static_cast<int16_t>(static_cast<unsigned char>(buffer[i]) |
                                                   static_cast<unsigned char>(buffer[i + 1]) << 8);
            loudest = std::max(loudest, static_cast<long>(std::abs(static_cast<int>(s))));
        }
        got += n;
    }
    EXPECT_GT(loudest, 32768 / 32) << "silent opening";
    ov_clear(&vf);
}

class GameAsset : public ::testing::TestWithParam<Asset> {};

TEST_P(GameAsset, ExistsWithItsSizeAndFormat) {
    const Asset& a = GetParam();
    const fs::path path = kProgramFolder / a.file;
    ASSERT_TRUE(fs::is_regular_file(path)) << path << " is missing";
    switch (a.form) {
    case Form::KeyedPicture:
    case Form::FramePicture:
    case Form::BlankPicture:
    case Form::OpaquePicture: {
        Picture pic;
        ASSERT_TRUE(readPicture(path, pic));
        checkPicture(a, pic);
        break;
    }
    case Form::Sound: checkSound(path); break;
    case Form::Music: checkMusic(path); break;
    }
}

INSTANTIATE_TEST_SUITE_P(ProgramFolder, GameAsset, ::testing::ValuesIn(gameAssets()), testName);

// Each playlist entry names its file exactly, with nothing added, and the
// music folder holds nothing the playlist does not name.
TEST(GameMusic, FolderHoldsExactlyThePlaylistTracks) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(kProgramFolder / "music")) found.push_back(entry.path().filename());
    std::sort(found.begin(), found.end());
    std::vector<std::string> expected = kTracks;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
}

// The opening seconds of a track, decoded.
std::vector<char> opening(const fs::path& path, long bytes) {
    std::vector<char> pcm;
    OggVorbis_File vf;
    if (ov_fopen(path.string().c_str(), &vf) != 0) return pcm;
    char buffer[4096];
    int section = 0;
    while (static_cast<long>(pcm.size()) < bytes) {
        const long n = ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &section);
        if (n <= 0) break;
        pcm.insert(pcm.end(), buffer, buffer + n);
    }
    ov_clear(&vf);
    pcm.resize(std::min<std::size_t>(pcm.size(), static_cast<std::size_t>(bytes)));
    return pcm;
}

// Four pieces of music, not one four times.
TEST(GameMusic, TracksAreDistinct) {
    std::vector<std::vector<char>> openings;
    for (const std::string& track : kTracks) openings.push_back(opening(kProgramFolder / "music" / track, 44100L * 4 * 8));
    for (std::size_t i = 0; i < kTracks.size(); ++i)
        for (std::size_t j = i + 1; j < kTracks.size(); ++j)
            EXPECT_NE(openings[i], openings[j]) << kTracks[i] << " and " << kTracks[j];
}

// The game's own sound and music services take every forged file.
TEST(GameSounds, PlatformOpensEveryEffectAndTrack) {
    pomlets::DirectX7 dx;
    auto dsound = dx.DirectSoundCreate("");
    ASSERT_TRUE(dsound->hasAudio());
    pomlets::DSBUFFERDESC desc;
    pomlets::WAVEFORMATEX format;
    for (const Asset& a : gameAssets()) {
        if (a.form != Form::Sound) continue;
        const std::string path = (kProgramFolder / a.file).string();
        EXPECT_NO_THROW(EXPECT_TRUE(dsound->CreateSoundBufferFromFile(path, desc, format))) << a.file;
    }
    ASSERT_TRUE(pomlets::BASS_Init(1, 44100, 0, nullptr, 0));
    for (const std::string& track : kTracks) {
        const auto stream = pomlets::BASS_StreamCreateFile(false, (kProgramFolder / "music" / track).string(), 0, 0, 0);
        EXPECT_NE(stream, 0u) << track;
        pomlets::BASS_StreamFree(stream);
    }
    pomlets::BASS_Free();
}

// The loudest sample a clip holds once the mixer has it: decoded and brought
// to the output's rate and format, as the game plays it.
int mixedPeak(const fs::path& path) {
    Mix_Chunk* chunk = Mix_LoadWAV(path.string().c_str());
    if (!chunk) {
        ADD_FAILURE() << "the mixer does not take " << path << ": " << Mix_GetError();
        return 32767;
    }
    int peak = 0;
    const auto* samples = reinterpret_cast<const int16_t*>(chunk->abuf);
    for (Uint32 i = 0; i < chunk->alen / 2; ++i) peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    Mix_FreeChunk(chunk);
    return peak;
}

// One track plays at a time, each effect at most once at a time, the effects
// at full channel volume and the music at most at full volume. So when the
// loudest track's peak and every effect's peak added up stay below full
// scale, no sample of a game can reach it, at any volume the slider allows.
TEST(GameSounds, TheLoudestTrackWithEveryEffectAtOnceStaysBelowFullScale) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    Mix_Init(MIX_INIT_OGG);
    const bool weOpen = Mix_QuerySpec(nullptr, nullptr, nullptr) == 0;
    if (weOpen) {
        ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
    }
    Uint16 format = 0;
    ASSERT_NE(Mix_QuerySpec(nullptr, &format, nullptr), 0);
    ASSERT_EQ(format, AUDIO_S16SYS);
    int effects = 0;
    for (const Asset& a : gameAssets())
        if (a.form == Form::Sound) effects += mixedPeak(kProgramFolder / a.file);
    int loudestTrack = 0;
    for (const std::string& track : kTracks) loudestTrack = std::max(loudestTrack, mixedPeak(kProgramFolder / "music" / track));
    ::testing::Test::RecordProperty("effect_peaks_added_up", effects);
    ::testing::Test::RecordProperty("loudest_track_peak", loudestTrack);
    EXPECT_LT(effects + loudestTrack, 32767) << "effects " << effects << ", loudest track " << loudestTrack;
    if (weOpen) Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// A second run of the sound forge gives exactly the bytes of the program folder.
TEST(GameSounds, ForgeIsDeterministic) {
    const fs::path forge = kProgramFolder / ".." / "tools" / "forge" / "audio" / "forge_audio";
    ASSERT_TRUE(fs::exists(forge)) << forge;
    const fs::path out = pomlets::testing::scratchBase() / ("pomlets-forge-audio-" + std::to_string(::getpid()));
    fs::remove_all(out);
    const std::string command = "\"" + forge.string() + "\" \"" + out.string() + "\" > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    int compared = 0;
    for (const char* folder : {"sounds", "music"})
        for (const auto& entry : fs::directory_iterator(out / folder)) {
            const fs::path built = kProgramFolder / folder / entry.path().filename();
            EXPECT_TRUE(readFile(entry.path()) == readFile(built)) << built;
            ++compared;
        }
    fs::remove_all(out);
    EXPECT_EQ(compared, 24 + 4);
}

} // namespace

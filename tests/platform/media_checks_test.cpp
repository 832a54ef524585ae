// Picture, sound and music headers are checked before a decoder sees them:
// small files claiming huge pictures or absurd sample rates are refused with
// the loaders' usual "cannot load" error, and the game's own files pass.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "error_of.h"
#include "media_files.h"
#include "platform/bass.h"
#include "platform/directx.h"
#include "platform/media_checks.h"
#include "platform/runtime.h"
#include "support/hostile_media.h"
#include "support/program_folder.h"

namespace pomlets {
namespace {

namespace fs = std::filesystem;
using testing::errorOf;

std::string readAll(const fs::path& path) {
    std::string bytes(fs::file_size(path), '\0');
    std::ifstream(path, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// Replaces the little-endian 16- or 32-bit field at `at`.
std::string patched(std::string bytes, size_t at, uint32_t value, int width = 4) {
    std::string field;
    for (int i = 0; i < width; ++i) field += static_cast<char>(value >> (8 * i));
    return bytes.replace(at, field.size(), field);
}

// The Ogg page at the start of the file with its checksum made right again,
// so that only the header check can refuse it.
std::string withOggChecksum(std::string file) {
    size_t length = 27 + static_cast<uint8_t>(file[26]);
    for (size_t s = 0; s < static_cast<uint8_t>(file[26]); ++s) length += static_cast<uint8_t>(file[27 + s]);
    file = patched(file, 22, 0);
    uint32_t crc = 0;
    for (size_t i = 0; i < length; ++i) {
        crc ^= static_cast<uint32_t>(static_cast<uint8_t>(file[i])) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return patched(file, 22, crc);
}

TEST(MediaChecksTest, TheGamesOwnFilesPass) {
    const fs::path folder = POMLETS_PROGRAM_DIR;
    int pictures = 0, sounds = 0, tracks = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string bytes = entry.is_regular_file() ? readAll(entry.path()) : std::string();
        const std::string name = entry.path().string();
        if (entry.path().extension() == ".bmp") {
            EXPECT_EQ(bitmapFault(bytes, bytes.size()), "") << name;
            ++pictures;
        } else if (entry.path().extension() == ".wav") {
            EXPECT_EQ(waveFault(bytes), "") << name;
            ++sounds;
        } else if (entry.path().parent_path().filename() == "music") {
            EXPECT_EQ(oggVorbisFault(bytes, bytes.size()), "") << name;
            ++tracks;
        }
    }
    EXPECT_GT(pictures, 50);
    EXPECT_GT(sounds, 20);
    EXPECT_EQ(tracks, 4);
}

TEST(MediaChecksTest, PictureHeadersThatClaimTooMuchAreRefused) {
    std::string good;
    {
        testing::TempProgramFolder folder;
        testing::writeBmp(folder.file("good.bmp"), 5, 3, [](int, int) { return 0x123456u; });
        good = readAll(folder.file("good.bmp"));
    }
    ASSERT_EQ(bitmapFault(good, good.size()), "");
    const std::string rle = testing::runLengthBombBmp();
    const std::string fields = testing::bitFieldBombBmp();
    ASSERT_EQ(rle.size(), 1080u);
    ASSERT_EQ(fields.size(), 98u);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"run-length picture of 30000 x 30000", rle},
        {"bit-field picture of 4 x 1090519044", fields},
        {"a picture of 2049 pixels across", patched(good, 18, 2049)},
        {"the tallest negative height", patched(good, 22, 0x80000000u)},
        {"rows missing from the file", good.substr(0, good.size() - 16)},
        {"two planes", patched(good, 26, 2, 2)},
        {"7 bits a pixel", patched(good, 28, 7, 2)},
        {"compression 4 (JPEG)", patched(good, 30, 4)},
        {"pixels beyond the end", patched(good, 10, static_cast<uint32_t>(good.size()))},
        {"a 64-byte header", patched(good, 14, 64)},
        {"not a BMP", "GIF89a" + good.substr(6)},
    };
    for (const Case& c : cases) EXPECT_NE(bitmapFault(c.bytes, c.bytes.size()), "") << c.what;
    // A picture larger than the display but within the limit still loads.
    EXPECT_EQ(bitmapFault(patched(patched(good, 18, 1), 22, 2048), 54 + 4 * 2048), "");
}

TEST(MediaChecksTest, SoundAndMusicHeadersOutOfRangeAreRefused) {
    EXPECT_EQ(waveFault(testing::pcmWav(22050, 2, 400)), "");
    const std::string good = testing::pcmWav(22050, 2, 400);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"an 8 KB sound at 1 Hz", testing::oneHertzWav()},
        {"169 channels at 536,881,937 Hz", testing::overflowingWav()},
        {"nine channels", testing::pcmWav(22050, 9, 400)},
        {"a sample rate of 500 kHz", testing::pcmWav(500000, 2, 400)},
        {"two minutes of samples", testing::pcmWav(8000, 1, 8000 * 2 * 120)},
        {"a data chunk longer than the file", patched(good, 40, 4000)},
        {"a RIFF size beyond the file", patched(good, 4, 9000)},
        {"a block size that does not fit the samples", patched(good, 32, 6, 2)},
        {"a format of its own", patched(good, 20, 0x55, 2)},
        {"no samples", good.substr(0, 36)},
    };
    ASSERT_EQ(testing::oneHertzWav().size(), 8192u);
    ASSERT_EQ(testing::overflowingWav().size(), 36u);
    for (const Case& c : cases) EXPECT_NE(waveFault(c.bytes), "") << c.what;

    testing::TempProgramFolder folder;
    testing::writeOgg(folder.file("track"), 200);
    const std::string track = readAll(folder.file("track"));
    ASSERT_EQ(oggVorbisFault(track, track.size()), "");
    const size_t id = track.find("\x01vorbis");
    ASSERT_NE(id, std::string::npos);
    EXPECT_NE(oggVorbisFault(patched(track, id + 12, 1), track.size()), "") << "1 Hz";
    EXPECT_NE(oggVorbisFault(patched(track, id + 11, 200, 1), track.size()), "") << "200 channels";
    EXPECT_NE(oggVorbisFault(patched(track, id + 28, 0xF6, 1), track.size()), "") << "block size 2^15";
    const std::string wave = testing::pcmWav(22050, 2, 400);
    EXPECT_NE(oggVorbisFault(wave, wave.size()), "") << "a wave file is no Ogg stream";
}

// Through the loaders: the usual failure of a file that cannot be loaded.
TEST(MediaChecksTest, LoadersRefuseHostileFilesAsUnloadable) {
    testing::TempProgramFolder folder;
    DirectX7 dx;
    auto ddraw = dx.DirectDrawCreate("");
    auto dsound = dx.DirectSoundCreate("");
    for (const auto& [file, bytes] : {std::pair{"rle.bmp", testing::runLengthBombBmp()},
                                      std::pair{"fields.bmp", testing::bitFieldBombBmp()}}) {
        const std::string name = file;
        testing::writeBytes(folder.file(name), bytes);
        DDSURFACEDESC2 desc;
        EXPECT_EQ(errorOf([&] { ddraw->CreateSurfaceFromFile(folder.file(name), desc); }), err::InvalidProperty)
            << name;
    }
    DSBUFFERDESC desc;
    WAVEFORMATEX format;
    for (const auto& [file, bytes] : {std::pair{"slow.wav", testing::oneHertzWav()},
                                      std::pair{"wide.wav", testing::overflowingWav()}}) {
        const std::string name = file;
        testing::writeBytes(folder.file(name), bytes);
        EXPECT_EQ(errorOf([&] { dsound->CreateSoundBufferFromFile(folder.file(name), desc, format); }),
                  err::InvalidProperty)
            << name;
    }
    try {
        dsound->CreateSoundBufferFromFile(folder.file("slow.wav"), desc, format);
    } catch (const RuntimeError& e) {
        EXPECT_NE(e.description().find("slow.wav"), std::string::npos) << e.description();
    }

    if (!BASS_Init(1, 44100, 0, nullptr, 0)) GTEST_SKIP() << "no music output";
    testing::writeOgg(folder.file("track"), 200);
    std::string slow = readAll(folder.file("track"));
    slow = withOggChecksum(patched(slow, slow.find("\x01vorbis") + 12, 1));
    testing::writeBytes(folder.file("slow track"), slow);
    testing::writeBytes(folder.file("wave track"), testing::oneHertzWav());
    testing::writeBytes(folder.file("same track"), withOggChecksum(readAll(folder.file("track"))));
    const HSTREAM good = BASS_StreamCreateFile(false, folder.file("same track"), 0, 0, 0);
    EXPECT_NE(good, 0u);
    BASS_StreamFree(good);
    EXPECT_EQ(BASS_StreamCreateFile(false, folder.file("slow track"), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(false, folder.file("wave track"), 0, 0, 0), 0u);
    BASS_Free();
}

} // namespace
} // namespace pomlets

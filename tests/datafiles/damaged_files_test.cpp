// Seeded mutation test: damaged bytes fed to the unscrambler and to every
// loader must end in success or in a run-time error, never in a crash, an
// out-of-bounds read (the sanitizer builds run this too) or another kind of
// exception, and must never leave the scratch file behind.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <typeinfo>
#include <vector>

#include "data_helpers.h"
#include "datafiles/level_files.h"
#include "datafiles/player_files.h"
#include "display/game_window.h"
#include "display/piece_table.h"

namespace pomlets {
namespace {

using testing::readBytes;
using testing::writeBytes;

class Mutator {
public:
    explicit Mutator(uint32_t seed) : random_(seed) {}

    std::string mutate(std::string bytes) {
        const int edits = 1 + pick(4);
        for (int i = 0; i < edits; ++i) edit(bytes);
        return bytes;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    char interesting() {
        static const char chars[] = ".0123456789\r\n,\"- e&H\t";
        return pick(3) == 0 ? static_cast<char>(pick(256)) : chars[pick(sizeof chars - 1)];
    }
    void edit(std::string& bytes) {
        const size_t at = bytes.empty() ? 0 : static_cast<size_t>(pick(static_cast<int>(bytes.size())));
        switch (pick(8)) {
        case 0:
            if (!bytes.empty()) bytes[at] = static_cast<char>(bytes[at] ^ (1 << pick(8)));
            break;
        case 1:
            if (!bytes.empty()) bytes[at] = interesting();
            break;
        case 2:
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), interesting());
            break;
        case 3:
            if (!bytes.empty()) bytes.erase(at, 1 + static_cast<size_t>(pick(8)));
            break;
        case 4:
            bytes.resize(at);
            break;
        case 5: {
            const std::string span = bytes.substr(at, static_cast<size_t>(pick(40)));
            bytes.insert(static_cast<size_t>(pick(static_cast<int>(bytes.size()) + 1)), span);
            break;
        }
        case 6: {
            static const char* const numbers[] = {"99999999999999999999", "-32769", "32768", "2147483648",
                                                  "1e308", "1e309", "&HFFFFFFFF", "-0.5", "65535"};
            bytes.insert(at, numbers[pick(static_cast<int>(std::size(numbers)))]);
            break;
        }
        default:
            bytes.insert(at, std::string(static_cast<size_t>(1 + pick(300)), interesting()));
            break;
        }
    }
    std::mt19937 random_;
};

struct Target {
    const char* name;
    const char* file;
    std::function<void()> load;
};

class DamagedFilesTest : public testing::DataFileTest {
protected:
    // Feeds damaged forms of one file to its loader: half of them damaged in
    // the scrambled form, half damaged in the plain form and then scrambled.
    // Returns how many inputs were run.
    int run(const Target& target, uint32_t seed, int count) {
        const std::string path = folder.file(target.file);
        const std::string scrambled = readBytes(path);
        const std::string plain = testing::plainOf(folder, target.file);
        Mutator mutator(seed);
        int failures = 0;
        for (int i = 0; i < count; ++i) {
            if (i % 2 == 0)
                writeBytes(path, mutator.mutate(scrambled));
            else
                testing::putScrambled(folder, target.file, mutator.mutate(plain));
            try {
                target.load();
            } catch (const RuntimeError&) {
                ++failures;
            } catch (const std::exception& e) {
                ADD_FAILURE() << target.name << " input " << i << ": " << typeid(e).name() << " " << e.what();
            }
            EXPECT_FALSE(testing::scratchFileExists(folder)) << target.name << " input " << i;
        }
        // Most damaged inputs are refused; some still read.
        EXPECT_GT(failures, 0) << target.name;
        writeBytes(path, scrambled);
        return count;
    }
};

TEST_F(DamagedFilesTest, UnscramblerAndPlayerFiles) {
    const std::string plainCopy = folder.file("plain-out");
    const std::vector<Target> targets = {
        {"decryptFile", "\\init\\6095", [&] { decryptFile(appPath("\\init\\6095"), plainCopy); }},
        {"loadHighScores", "\\init\\6095", [] { loadHighScores(); }},
        {"loadProfile", "\\init\\6702",
         [] {
             loadProfile();
             EXPECT_TRUE(musicVolume >= 0 && musicVolume <= 100);
         }},
    };
    int inputs = 0;
    uint32_t seed = 4;
    for (const auto& target : targets) inputs += run(target, seed++, 3000);
    std::printf("[ inputs   ] %d damaged files fed\n", inputs);
}

TEST_F(DamagedFilesTest, LevelAndDefinitionLoaders) {
    ddraw = std::make_shared<DirectDraw7>();
    colorKey = {0xFFFFFF, 0xFFFFFF};
    initPieces();
    const std::vector<Target> targets = {
        {"loadPieceDef", "\\init\\1980", [] { loadPieceDef("1980"); }},
        {"loadPieceDef", "\\init\\8752", [] { loadPieceDef("8752"); }},
        {"loadLevel without header", "\\levels\\2193", [] { loadLevel(appPath("\\levels\\2193"), false); }},
        {"loadLevel with header", "\\levels\\9462", [] { loadLevel(appPath("\\levels\\9462"), true); }},
    };
    int inputs = 0;
    uint32_t seed = 40;
    for (const auto& target : targets) inputs += run(target, seed++, 3000);
    std::printf("[ inputs   ] %d damaged files fed\n", inputs);
    ddraw.reset();
}

} // namespace
} // namespace pomlets

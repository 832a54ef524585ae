// The line scrambler: its key tables, its file form, round trips and the
// quirks of reading damaged code lines.
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

#include "data_helpers.h"
#include "datafiles/scrambler.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

using testing::DataFileTest;
using testing::errorOf;
using testing::readBytes;
using testing::writeBytes;

class ScramblerTest : public DataFileTest {
protected:
    std::string scramble(const std::string& plain) {
        writeBytes(folder.file("in"), plain);
        encryptFile(folder.file("in"), folder.file("out"));
        return readBytes(folder.file("out"));
    }
    std::string unscramble(const std::string& scrambled) {
        writeBytes(folder.file("in"), scrambled);
        decryptFile(folder.file("in"), folder.file("out"));
        return readBytes(folder.file("out"));
    }
};

TEST_F(ScramblerTest, TablesComeFromTheSeededGenerator) {
    // Built from a generator that was used before: the tables do not depend on it.
    resetCipherTables();
    for (int i = 0; i < 17; ++i) rnd();
    initCipherTables(79, 94, 709);
    EXPECT_EQ(std::vector<int16_t>(cipherTableB.begin(), cipherTableB.begin() + 5),
              (std::vector<int16_t>{218, 417, 595, 176, 160}));
    EXPECT_EQ(cipherTableB[98], 151);
    EXPECT_EQ(std::vector<int16_t>(cipherTableA.begin(), cipherTableA.begin() + 5),
              (std::vector<int16_t>{476, 228, 165, 73, 84}));
    EXPECT_EQ(cipherTableA[99], 704);
    for (int16_t entry : cipherTableA) EXPECT_TRUE(entry >= 1 && entry <= 709);
    for (int16_t entry : cipherTableB) EXPECT_TRUE(entry >= 1 && entry <= 709);
    EXPECT_TRUE(cipherReady);

    // A second call with other constants changes nothing.
    const auto a = cipherTableA;
    const auto b = cipherTableB;
    initCipherTables(3, 94, 10);
    EXPECT_EQ(cipherTableA, a);
    EXPECT_EQ(cipherTableB, b);
}

TEST_F(ScramblerTest, KnownFileForm) {
    EXPECT_EQ(scramble("Hello, World\r\n\r\nabc\r\n"),
              "26.241.106.104.75.65.100.222.12.118.238.6.\r\n\r\n193.23.46.\r\n");
    // LF line ends and a last line without its end read the same.
    EXPECT_EQ(scramble("Hello, World\n\nabc"), "26.241.106.104.75.65.100.222.12.118.238.6.\r\n\r\n193.23.46.\r\n");
    EXPECT_EQ(scramble(""), "");
    EXPECT_EQ(unscramble("26.241.106.104.75.65.100.222.12.118.238.6.\r\n\r\n193.23.46.\r\n"),
              "Hello, World\r\n\r\nabc\r\n");
}

TEST_F(ScramblerTest, RoundTrips) {
    std::string everyByte;
    for (int c = 0; c < 256; ++c)
        if (c != '\r' && c != '\n') everyByte += static_cast<char>(c);
    const std::vector<std::vector<std::string>> files = {
        {""},
        {"", "", ""},
        {"one line"},
        {"5200,Bob", "-3,", "\"quoted, name\""},
        {everyByte, everyByte},
        {std::string(250, 'x'), "", std::string(1, '.'), "0.1.2.3"},
    };
    for (const auto& lines : files) {
        std::string plain;
        for (const auto& line : lines) plain += line + "\r\n";
        const std::string scrambled = scramble(plain);
        size_t lineCount = 0;
        for (char c : scrambled) lineCount += c == '\n';
        EXPECT_EQ(lineCount, lines.size());
        EXPECT_EQ(unscramble(scrambled), plain);
        EXPECT_EQ(testing::scrambledText(plain), scrambled);
    }
}

TEST_F(ScramblerTest, LinesAreCodesOfTheReversedCharacters) {
    resetCipherCursors();
    const std::string codes = encodeLine(reverseText("ab"));
    // Two codes, the first one for "b", each followed by ".".
    resetCipherCursors();
    const int first = ('b' + cipherTableA[0] + cipherTableB[0]) % 256;
    const int second = ('a' + cipherTableA[1] + cipherTableB[1]) % 256;
    EXPECT_EQ(codes, std::to_string(first) + "." + std::to_string(second) + ".");
    EXPECT_EQ(reverseText(""), "");
    EXPECT_EQ(reverseText("abc"), "cba");
}

TEST_F(ScramblerTest, KeyPositionRunsOverTheWholeFile) {
    // 60 characters on line 1, none on line 2, 41 on line 3: characters 99
    // and 100 of the file lie on line 3.
    const std::string scrambled = scramble(std::string(60, 'x') + "\r\n\r\n" + std::string(41, 'x') + "\r\n");
    std::vector<int> codes;
    std::string number;
    for (char c : scrambled) {
        if (c == '.') {
            codes.push_back(std::stoi(number));
            number.clear();
        } else if (c >= '0' && c <= '9') {
            number += c;
        }
    }
    ASSERT_EQ(codes.size(), 101u);
    for (size_t k = 0; k < codes.size(); ++k)
        EXPECT_EQ(codes[k], ('x' + cipherTableA[k % 100] + cipherTableB[k % 99]) % 256) << "character " << k;
    // The 100th character (k = 99) already reuses table B's first entry, the
    // 101st (k = 100) table A's first.
    EXPECT_EQ(codes[99], ('x' + cipherTableA[99] + cipherTableB[0]) % 256);
    EXPECT_EQ(codes[100], ('x' + cipherTableA[0] + cipherTableB[1]) % 256);

    resetCipherCursors();
    for (int i = 0; i < 99; ++i) advanceCipherCursors();
    EXPECT_EQ(cipherCursorA, 99);
    EXPECT_EQ(cipherCursorB, 0);
    advanceCipherCursors();
    EXPECT_EQ(cipherCursorA, 0);
    EXPECT_EQ(cipherCursorB, 1);
}

TEST_F(ScramblerTest, ReadingDamagedCodeLines) {
    auto decodeFromStart = [](const std::string& line) {
        resetCipherCursors();
        return decodeLine(line);
    };
    auto charFor = [](int code, int k) {
        return static_cast<char>(((code - cipherTableA[k] - cipherTableB[k]) % 256 + 256 * 8) % 256);
    };
    resetCipherCursors();
    const std::string one = encodeLine("A");
    const std::string codeOfA = one.substr(0, one.size() - 1);
    EXPECT_EQ(decodeFromStart(one), "A");
    // Digits after the last "." are dropped.
    EXPECT_EQ(decodeFromStart(one + "123"), "A");
    EXPECT_EQ(decodeFromStart("77"), "");
    // ".." reads an empty code as 0.
    EXPECT_EQ(decodeFromStart(one + "."), std::string("A") + charFor(0, 1));
    EXPECT_EQ(decodeFromStart("."), std::string(1, charFor(0, 0)));
    // Blanks inside a code are ignored; text after a number ends it.
    EXPECT_EQ(decodeFromStart(" " + codeOfA.substr(0, 1) + " " + codeOfA.substr(1) + " ."), "A");
    EXPECT_EQ(decodeFromStart(codeOfA + "zz."), "A");
    // A code outside 0 to 255 is an invalid argument.
    for (const char* bad : {"256.", "-1.", "99999999999999999999.", "1e300.", "&HFFFF."})
        EXPECT_EQ(errorOf([&] { decodeFromStart(bad); }), err::InvalidCall) << bad;
    EXPECT_EQ(errorOf([&] { unscramble("12.300.\r\n"); }), err::InvalidCall);
}

TEST_F(ScramblerTest, ReplacesTheDestinationOnlyWhenWhole) {
    writeBytes(folder.file("out"), "old contents\r\n");
    // A source that cannot be read leaves the old file as it was.
    EXPECT_EQ(errorOf([&] { encryptFile(folder.file("missing"), folder.file("out")); }), err::FileNotFound);
    EXPECT_EQ(readBytes(folder.file("out")), "old contents\r\n");
    // A destination that cannot be replaced leaves nothing beside it.
    std::filesystem::create_directories(folder.file("dir/out"));
    writeBytes(folder.file("in"), "x\r\n");
    EXPECT_NE(errorOf([&] { encryptFile(folder.file("in"), folder.file("dir/out")); }), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.file("dir/out.new")));
    // A successful scramble leaves only the new file.
    EXPECT_EQ(scramble("Hello, World\r\n"), "26.241.106.104.75.65.100.222.12.118.238.6.\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.new")));
}

} // namespace
} // namespace pomlets

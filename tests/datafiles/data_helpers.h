// Helpers for the data-file tests: scrambled files written from plain text and
// read back as plain text, and the run-time error number of a call.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <gtest/gtest.h>
#include <string>

#include "common/brains.h"
#include "datafiles/scrambler.h"
#include "platform/runtime.h"
#include "support/program_folder.h"

namespace pomlets::testing {

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The plain text of a scrambled file of the folder ("\init\6095").
inline std::string plainOf(const TempProgramFolder& folder, const std::string& relative) {
    const std::string plain = folder.file("plain-copy");
    decryptFile(folder.file(relative), plain);
    std::string text = readBytes(plain);
    std::filesystem::remove(plain);
    return text;
}

// The scrambled form of plain text (lines ended by CR LF, LF or CR), made in
// memory as encryptFile makes it on disk.
inline std::string scrambledText(const std::string& plain) {
    resetCipherCursors();
    std::string scrambled, line;
    for (size_t i = 0; i < plain.size(); ++i) {
        const char c = plain[i];
        if (c != '\r' && c != '\n') {
            line += c;
            if (i + 1 < plain.size()) continue;
        } else if (c == '\r' && i + 1 < plain.size() && plain[i + 1] == '\n') {
            ++i;
        }
        scrambled += encodeLine(reverseText(line)) + "\r\n";
        line.clear();
    }
    return scrambled;
}

// Scrambles plain text into a data file of the folder.
inline void putScrambled(const TempProgramFolder& folder, const std::string& relative, const std::string& plain) {
    writeBytes(folder.file(relative), scrambledText(plain));
}

inline bool scratchFileExists(const TempProgramFolder& folder) {
    return std::filesystem::exists(folder.file("temp"));
}

// The error number a call raises, 0 when it raises none.
template <typename Call>
int errorOf(Call&& call) {
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// Fixtures of these tests: a scratch program folder and the start-up key
// tables (each test starts from the program-start state).
class DataFileTest : public ::testing::Test {
protected:
    explicit DataFileTest(Storage storage = Storage::Memory) : folder(storage) { initCipherTables(79, 94, 709); }
    TempProgramFolder folder;
};

} // namespace pomlets::testing

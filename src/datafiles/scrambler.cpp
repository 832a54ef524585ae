#include "datafiles/scrambler.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "platform/file_calls.h"
#include "platform/program_files.h"
#include "platform/runtime.h"
#include "platform/start_values.h"

namespace pomlets {

void initCipherTables(int16_t seed, int16_t randomArgument, int16_t range) {
    (void)randomArgument;  // positive: every draw takes the generator's next value
    if (cipherReady) return;
    resetCipherCursors();
    // The tables must come out the same in every run and every tool, so the
    // generator starts from its program-start state before it is seeded,
    // whatever was drawn from it before.
    resetRnd();
    randomize(seed);
    const double span = static_cast<float>(range);
    for (auto& entry : cipherTableB) entry = toInt16(vbInt(static_cast<double>(rnd()) * span) + 1);
    for (auto& entry : cipherTableA) entry = toInt16(vbInt(static_cast<double>(rnd()) * span) + 1);
    cipherReady = true;
}

StartValues& cipherState() {
    static StartValues group;
    POMLETS_LOCAL_NOT_RESTORED(group, "what is put back");
    return group;
}

void resetCipherCursors() {
    cipherCursorA = 0;
    cipherCursorB = 0;
}

void advanceCipherCursors() {
    ++cipherCursorA;
    ++cipherCursorB;
    if (cipherCursorA > 99) cipherCursorA = 0;
    if (cipherCursorB > 98) cipherCursorB = 0;
}

char encodeChar(char c) {
    int v = static_cast<unsigned char>(c) + cipherTableB[static_cast<size_t>(cipherCursorB)] +
            cipherTableA[static_cast<size_t>(cipherCursorA)];
    while (v >= 256) v -= 256;
    return static_cast<char>(v);
}

char decodeChar(char c) {
    int v = static_cast<unsigned char>(c) - cipherTableB[static_cast<size_t>(cipherCursorB)] -
            cipherTableA[static_cast<size_t>(cipherCursorA)];
    while (v < 0 || v > 255) {
        while (v < 0) v += 256;
        while (v > 255) v -= 256;
    }
    return static_cast<char>(v);
}

std::string encodeLine(const std::string& line) {
    std::string result;
    result.reserve(line.size() * 4);
    for (char c : line) {
        result += std::to_string(static_cast<unsigned char>(encodeChar(c)));
        result += '.';
        advanceCipherCursors();
    }
    return result;
}

std::string decodeLine(const std::string& line) {
    bool whole = true;
    std::string result = decodeLineChecked(line, whole);
    // A code names one character: anything outside 0 to 255 is an invalid argument.
    if (!whole) throw RuntimeError(err::InvalidCall);
    return result;
}

std::string decodeLineChecked(const std::string& line, bool& whole) {
    std::string result;
    std::string buffer;
    whole = true;
    for (char c : line) {
        if (c != '.') {
            buffer += c;
            continue;
        }
        // A bad code still stands for one character, so the key position
        // runs on and the lines after it decode as they should. A code too
        // large for any number is as bad as one above 255.
        double code = -1;
        try {
            code = roundHalfEven(lenientNumber(buffer));
        } catch (const RuntimeError&) {
        }
        if (code >= 0 && code <= 255) result += decodeChar(static_cast<char>(static_cast<int>(code)));
        else whole = false;
        advanceCipherCursors();
        buffer.clear();
    }
    return result;
}

std::string reverseText(const std::string& text) { return std::string(text.rbegin(), text.rend()); }

namespace {

// Forces a written file (or a folder's entries) onto the disk; false when
// the disk refuses.
bool syncPath(const std::string& path, int flags) {
    const int fd = fileCalls().open(path.c_str(), flags | O_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool synced = fileCalls().fsync(fd) == 0;
    const int cause = errno;
    const bool closed = fileCalls().close(fd) == 0;
    errno = synced ? errno : cause;
    return synced && closed;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

} // namespace

void encryptFile(const std::string& source, const std::string& destination) { encryptFile(source, destination, {}); }

void encryptFile(const std::string& source, const std::string& destination, const std::vector<DamagedLine>& keep) {
    resetCipherCursors();
    TextFile plain(source, TextFile::Mode::Input);
    std::string bytes;
    for (size_t index = 0; !plain.eof(); ++index) {
        const std::string line = plain.readLine();
        const auto kept = std::find_if(keep.begin(), keep.end(), [&](const auto& k) { return k.index == index; });
        if (kept == keep.end()) {
            bytes += encodeLine(reverseText(line));
        } else {
            // The line goes back as it stood; the key position runs on over
            // its codes as it does when the line is read.
            bytes += kept->scrambled;
            for (char c : kept->scrambled)
                if (c == '.') advanceCipherCursors();
        }
        bytes += "\r\n";
    }
    plain.close();
    // A file that holds these bytes already is left as it is: no new inode,
    // no new time, and nothing to fail in a folder that cannot be written.
    try {
        if (readProgramFile(destination, FileKind::DataFile) == bytes) return;
    } catch (const RuntimeError&) {
        // Missing or unreadable: it is replaced below.
    }
    const std::string beside = destination + ".new";
    try {
        TextFile scrambled(beside, TextFile::Mode::Replace);
        scrambled.write(bytes);
        scrambled.flush();
        scrambled.close();
        if (!syncPath(beside, O_RDONLY)) throw FileAccessError(err::PathAccess, errno);
        if (fileCalls().rename(beside.c_str(), destination.c_str()) != 0) throw FileAccessError(err::PathAccess, errno);
        syncPath(folderOf(destination), O_RDONLY | O_DIRECTORY);  // best effort: the file is in place
    } catch (...) {
        fileCalls().unlink(beside.c_str());
        throw;
    }
}

namespace {

// Unscrambles source into destination line by line. A line with a bad code
// is written empty and noted; with stopAtDamage nothing after it is written.
std::vector<DamagedLine> unscramble(const std::string& source, const std::string& destination, bool stopAtDamage) {
    resetCipherCursors();
    TextFile scrambled(source, TextFile::Mode::Input);
    TextFile plain(destination, TextFile::Mode::Replace);
    std::vector<DamagedLine> damaged;
    for (size_t index = 0; !scrambled.eof(); ++index) {
        bool whole = true;
        const std::string codes = scrambled.readLine();
        const std::string line = decodeLineChecked(codes, whole);
        if (!whole) {
            damaged.push_back({index, codes});
            if (stopAtDamage) break;
        }
        plain.writeLine(whole ? reverseText(line) : std::string());
    }
    scrambled.close();
    plain.flush();
    plain.close();
    return damaged;
}

} // namespace

void decryptFile(const std::string& source, const std::string& destination) {
    if (!unscramble(source, destination, true).empty()) throw RuntimeError(err::InvalidCall);
}

std::vector<DamagedLine> decryptReadable(const std::string& source, const std::string& destination) {
    return unscramble(source, destination, false);
}

} // namespace pomlets

// Things other than a regular file of a sane size, put where the game reads
// a file, as a hostile or unlucky program folder might hold them.
#pragma once

#include <string>
#include <vector>

namespace pomlets::testing {

enum class HostileFile {
    Fifo,           // a FIFO that nobody writes
    LinkToZero,     // a link to /dev/zero: endless zeros
    LinkToRandom,   // a link to /dev/urandom: endless noise
    Folder,         // a folder of the file's name
    Socket,         // a local socket
    Oversized,      // a regular file of 65 MB (sparse), above every kind's cap
    LyingSize,      // a link to a regular file of the system that says 0 bytes and holds far more
};

// Every kind above that this system can make.
std::vector<HostileFile> hostileFiles();
const char* nameOf(HostileFile kind);

// Puts the kind at path, in place of whatever was there. A FIFO gets a
// writer that waits for a reader and then ends the file at once, so that a
// read which opens it blocking finds an empty file instead of hanging the
// test.
void putHostile(const std::string& path, HostileFile kind);

} // namespace pomlets::testing

// Reading a file of the program folder. Everything there is untrusted: a
// FIFO must not hang the game, a link to an endless device must not fill the
// memory or the disk. So a file is opened without blocking, must be a regular
// file (checked on the opened descriptor), and is read whole up to a size
// that no real file of its kind comes near.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace pomlets {

enum class FileKind {
    // The scrambled data files and their plain forms in "\temp": the largest
    // real one is a few kilobytes; the Arcade level list grows by one pair of
    // lines for each level awarded. At most 1 MB.
    DataFile,
    // Pictures (BMP, and the windows' PNG icons): the largest real one is a
    // 1024 x 768 bitmap of 2.3 MB; the header check accepts 2048 x 2048 at
    // 32 bits, 16 MB. At most 24 MB.
    Picture,
    // Sound effects: the longest real one is 300 KB. At most 32 MB.
    Sound,
    // Music tracks: the real ones are Ogg files of about 2 MB; a track in a
    // wave file is accepted up to 64 MB. At most 64 MB.
    Music,
};

// The most bytes a file of the kind may hold.
uint64_t sizeCapOf(FileKind kind);

// The whole contents of the file at path. A missing file raises File not
// found (53); a file that is not a regular file (a FIFO, a folder, a device,
// a socket), one larger than its kind's cap, and one that cannot be opened or
// read raise Path/File access error (75). The description names the path and
// the reason: "Path/File access error: <path> (a FIFO, not a regular file)".
std::string readProgramFile(const std::string& path, FileKind kind);

// The same bytes as a read-only stream for the runtime's sequential files;
// closing the stream frees them.
std::FILE* openProgramFileStream(const std::string& path, FileKind kind);

} // namespace pomlets

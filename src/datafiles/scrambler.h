// The game's line scrambler for its data files. Each plain line becomes one
// line of decimal codes, the line's last character first, each code followed
// by "."; the key position runs on over all lines of a file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/start_values.h"

namespace pomlets {

// The group of the key tables and cursors; resetCipherTables() puts it back.
StartValues& cipherState();

inline std::array<int16_t, 100> cipherTableA{};
inline std::array<int16_t, 99> cipherTableB{};
inline int16_t cipherCursorA = 0;
inline int16_t cipherCursorB = 0;
inline bool cipherReady = false;
POMLETS_RESTORED_IN(cipherState(), cipherTableA, cipherTableB, cipherCursorA, cipherCursorB, cipherReady);

// Builds both key tables from the generator seeded with seed; every entry lies
// in 1 to range. Runs once per program: later calls change nothing.
void initCipherTables(int16_t seed, int16_t randomArgument, int16_t range);
void resetCipherCursors();
void advanceCipherCursors();
// One character with the current key pair; the cursors are not moved.
char encodeChar(char c);
char decodeChar(char c);
// A whole line, moving the cursors once per character.
std::string encodeLine(const std::string& line);
// Codes outside 0 to 255 raise Invalid procedure call (5); digits after the
// last "." are dropped; an empty code reads as 0.
std::string decodeLine(const std::string& line);
// The same without raising: whole is false when a code was bad; a bad code
// gives no character but moves the cursors like any other.
std::string decodeLineChecked(const std::string& line, bool& whole);
std::string reverseText(const std::string& text);

// Scrambles the plain file source into destination. The destination is
// replaced only once the whole new file is written: it is written beside the
// destination and then renamed over it, so a failure or an interrupted run
// leaves the old file whole. A destination that holds the same bytes already
// is not touched at all.
void encryptFile(const std::string& source, const std::string& destination);
// A line of a scrambled file that could not be unscrambled: its index (from
// 0) and its codes as they stand in the file.
struct DamagedLine {
    size_t index;
    std::string scrambled;
};
// The same, writing the lines in keep as they stood in place of the (empty)
// plain lines of those indexes, so that a damaged line goes back unchanged.
void encryptFile(const std::string& source, const std::string& destination, const std::vector<DamagedLine>& keep);
// Unscrambles source into the plain file destination. A line with a bad code
// raises Invalid procedure call (5); the lines before it are in destination.
void decryptFile(const std::string& source, const std::string& destination);
// Unscrambles every line that can be: a line with a bad code is written
// empty. Returns those lines.
std::vector<DamagedLine> decryptReadable(const std::string& source, const std::string& destination);

} // namespace pomlets

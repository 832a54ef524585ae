// The list of Arcade levels the player can choose, "\init\6537": pairs of
// lines, the level's name and the number of its level file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pomlets {

struct LevelListEntry {
    std::string name;
    int32_t number = 0;
};

// What could be read of the list: only whole pairs, and no pair with a
// damaged line. damaged is true when anything of the file was left out.
struct LevelList {
    std::vector<LevelListEntry> levels;
    bool damaged = false;
};

// Reads the list through "\temp". A missing file or a failure of the scratch
// file raises; damaged lines, a dangling name and a number too large for its
// field leave their pair out and set damaged.
LevelList readLevelList();

// Adds the level at the end of the list, every line of the list kept as it
// stood (a damaged one too, after a checked copy of the list is kept).
// Returns the name of the copy kept of a damaged list ("init/6537.damaged"),
// empty when the list was whole. Raises, leaving the file as it is, when the
// list cannot be read or the copy cannot be kept.
std::string appendLevel(const LevelListEntry& level);

} // namespace pomlets

// The files kept between games: the high-score table "\init\6095", the player
// profile "\init\6702", and the list files "\init\6537" (Arcade levels) and
// "\init\6859" (bands). All are stored scrambled and read and written through
// the scratch file "\temp".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pomlets {

// Reads the ten entries into highScores and refills fMain().scores_freestyle.
void loadHighScores();
// Writes highScores: one line "score,name" an entry.
void saveHighScores();
// Reads the thirteen profile values and sets the volume bar fMain().HScroll2.
// A volume outside 0 to 100 is refused by the bar: Invalid property value (380).
void loadProfile();
// Writes the thirteen profile values.
void saveProfile();

// The high-score list box line of entry i (0 to 9):
// "01.    5200   \tname" ... "10.    0   \tname".
std::string highScoreListLine(int i);

// A name or theme as it is written into a field: as it is, unless it holds a
// comma or a double quote; then in double quotes, its double quotes doubled.
std::string fieldText(const std::string& text);

// One pair of the Arcade level list.
struct LevelListEntry {
    std::string name;
    int32_t number = 0;
};
// Reads "\init\6537": pairs of whole lines, the level's name and its file number.
std::vector<LevelListEntry> readLevelList();
// Rewrites "\init\6537" with every line it holds followed by the pair name, number.
void appendLevelList(const std::string& name, int16_t number);

// One pair of the band list.
struct BandEntry {
    std::string name;
    std::string url;
};
// Reads "\init\6859": pairs of fields, a band's name and its web address.
std::vector<BandEntry> readBandList();

} // namespace pomlets

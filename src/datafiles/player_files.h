// The files kept between games: the high-score table "\init\6095" and the
// player profile "\init\6702", stored scrambled and read and written through
// the scratch file "\temp".
#pragma once

#include <cstdint>
#include <string>

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
// Forgets what the last loads of both files read, as at program start.
void forgetPlayerFileReadings();

// The high-score list box line of entry i (0 to 9):
// "01.    5200   \tname" ... "10.    0   \tname".
std::string highScoreListLine(int i);

// A name or theme as it is written into a field: as it is, unless it holds a
// comma or a double quote; then in double quotes, its double quotes doubled.
std::string fieldText(const std::string& text);

} // namespace pomlets

// The files kept between games: the high-score table "\init\6095" and the
// player profile "\init\6702", stored scrambled and read and written through
// the scratch file "\temp".
//
// Neither is ever written over with what was not read. A file whose bytes
// could not be read is left as it is, and a save that has changes to write
// raises the cause; the changes stay in memory and the next save tries again.
// A file with damaged lines is written only after a checked copy of it is
// kept; its damaged lines go back as they stood where the form allows.
#pragma once

#include <cstdint>
#include <string>

#include "common/brains.h"

namespace pomlets {

// Reads the ten entries into highScores and refills fMain().scores_freestyle.
// Only the entries that could be read take places in the table, best first.
void loadHighScores();
// Writes highScores: one line "score,name" an entry, merged with what the
// file holds where it could not be read before.
void saveHighScores();
// The places of highScores that hold an entry (10 unless lines of the file
// could not be read); a new score may take the first free place.
size_t highScoresInUse();
// The place a score enters: before the first entry it equals or beats, else
// the first free place; 10 when it enters nowhere.
size_t highScorePlace(int32_t score);
// Puts the entry at that place; the entries from there move down one place
// (into a free place where there is one, else the tenth entry is lost).
void putHighScore(size_t place, const HighScoreEntry& entry);
// After a save: reads the table back as the file holds it (a name loses its
// leading blanks, as at every load) and refills fMain().scores_freestyle. A
// file that does not read back whole leaves the table in memory as it is.
void reloadHighScores();
// Refills fMain().scores_freestyle from highScores.
void showHighScores();
// Reads the thirteen profile values and sets the volume bar fMain().HScroll2.
void loadProfile();
// Writes the thirteen profile values, merged with what the file holds.
void saveProfile();
// The theme that the program chose by itself in place of one it could not
// show: no change of the player's, so it is not written over the file's.
void keepThemeAsRead();
// Forgets what the last loads of both files read, as at program start.
void forgetPlayerFileReadings();

// The high-score list box line of entry i (0 to 9):
// "01.    5200   \tname" ... "10.    0   \tname"; a free place shows its label only.
std::string highScoreListLine(int i);

// A name or theme as it is written into a field: as it is, unless it holds a
// comma or a double quote; then in double quotes, its double quotes doubled.
std::string fieldText(const std::string& text);

} // namespace pomlets

// What a finished game leaves behind: a Freestyle high score, an Arcade award.
#pragma once

namespace pomlets {

// Enters the score into the high-score table when it is good enough, asking
// the player's name, saves the table and shows the high-score panel.
void enterHighScore();
// Gives the player the level that the won Arcade level names: appends it to
// the level list "\init\6537" and to the main window's level list.
void awardArcadeLevel();

} // namespace pomlets

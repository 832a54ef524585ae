// The Arcade goal panel: goal lines, the two countdowns and their level ends.
#pragma once

namespace pomlets {

// Draws the level's goal lines in the top left corner of the back buffer,
// counts the countdowns down, and decides "failed!", "Time expired" and the
// survival "Victory!". Called once a frame by the Arcade loop.
void drawGoalPanel();

} // namespace pomlets

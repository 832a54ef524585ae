// The per-game reset of the shared game state and the loading of every sound
// effect and picture a game uses (the piece pictures apart).
#pragma once

namespace pomlets {

// Resets the game state for a new game and loads every sound and picture from
// the program folder, replacing the previous game's. Needs initDX first. When a
// file cannot be loaded the failure is logged, the display given back, and a
// RuntimeError naming the file is raised.
void initVariables();

} // namespace pomlets

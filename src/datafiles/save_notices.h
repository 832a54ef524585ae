// Saving the player's files with the player told when a save fails: which
// file, the system's cause, and what becomes of the change. Between games
// each file's failure is told once for a cause; a save that succeeds ends it.
#pragma once

#include <functional>

namespace pomlets {

enum class PlayerFile { HighScores, Profile, LevelList };

// Runs the save of that file; returns whether it saved.
bool saveTelling(PlayerFile file, const std::function<void()>& save);
// The save at Quit: a failure is told every time, with its file and cause,
// and the player chooses to try again or to quit without saving. Returns
// whether it saved.
bool saveAtQuit(PlayerFile file, const std::function<void()>& save);
// Forgets what was told, as at program start.
void forgetSaveNotices();

} // namespace pomlets

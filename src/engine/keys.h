// The keyboard commands of a game, and pause and resume.
#pragma once

namespace pomlets {

// The game window's key-down handler: reads the whole keyboard state and acts
// on it. N and P act on every call; other keys at most once per 150 ms, and
// never while paused.
void readKeys();
// Pauses the game (and returns only once it has been resumed), or, called
// from inside a pause, resumes it.
void togglePause();

} // namespace pomlets

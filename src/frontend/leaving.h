// The ways out that the player did not choose: the system asking the program
// to end (SIGTERM, SIGHUP, SIGINT), and the display taken away (the X server
// gone, a window's client killed). Both leave as Quit leaves: the player's
// files saved, the log closed, the folder's lock let go.
#pragma once

namespace pomlets {

// Watches for the signals and for the display's loss; the application object
// exists already. A signal ends a game in progress as Escape does, closes
// every box without an answer, then closes the main window, which runs the
// exit steps; the program then ends with status 0.
void watchForLeaving();

// Whether the program is on its way out: no box is shown and none waits for
// an answer from then on.
bool leaving();

// The display is gone: saves the player's files as the exit steps do and
// closes the log, touching nothing of the display, then ends the program at
// once with status 1. Also what the loss of a window-system connection calls.
[[noreturn]] void leaveWithoutDisplay();

} // namespace pomlets

// The program start: the scrambler's key tables first, then the main window
// loaded (its load event runs to the end) and shown. The load and unload
// events themselves, boot, popModes and popThemes are members of FMain,
// implemented in startup.cpp.
#pragma once

namespace pomlets {

// Step 1: the scrambler's key tables, before any data file is read.
void buildKeyTables();
// Step 2: loads the main window without showing it; its load event runs to
// the end. False when the program folder cannot take the run log: the player
// has been told which folder and why, and the program must end.
bool loadFMain();

} // namespace pomlets

// The program start: the scrambler's key tables first, then the main window
// loaded (its load event runs to the end) and shown. The load and unload
// events themselves, boot, popModes and popThemes are members of FMain,
// implemented in startup.cpp.
#pragma once

#include <string>

namespace pomlets {

// Step 1: the scrambler's key tables, before any data file is read.
void buildKeyTables();
// Step 2: takes the program folder's lock, then loads the main window
// without showing it; its load event runs to the end. False when another
// game runs from the same folder (nothing has been touched then) or when the
// folder cannot take the lock or the run log: the player has been told which
// folder and why, and the program must end.
bool loadFMain();

// The message that ends a start whose folder cannot take the named file
// ("log.txt"): the folder, the system's reason for the error number cause,
// and advice that fits it.
std::string unwritableFolderMessage(int cause, const std::string& name);
// The message that ends a start whose lock file is there but cannot be
// opened (another user's, mode 600): the lock file, the system's reason and
// its owner.
std::string lockedOutMessage(int cause);

} // namespace pomlets

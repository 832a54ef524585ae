// What the running game asks of the system before it touches a file: one
// game per program folder, and writes past a file-size limit that fail
// instead of killing the program.
#pragma once

#include <string>

namespace pomlets {

// The lock file in the program folder. It stays there after the game ends;
// only the lock on it, held while the game runs, counts.
inline constexpr const char* folderLockName = "Pomlets.lock";

// Takes the lock of the program folder for the rest of the program's life;
// the system lets it go when the program ends, however it ends. Returns 0
// when this program holds it (also when it already did), EWOULDBLOCK when
// another running program holds it, and otherwise the system's error number
// for the lock file that could not be opened: EISDIR for a folder in its
// place, ELOOP for a link, EEXIST for anything else that is not a file,
// EACCES or EROFS for a folder that cannot take it. The lock file is created
// without following links and never written. On a file system that cannot
// lock at all the game goes on unguarded, as before.
int lockProgramFolder(const std::string& folder);
// Lets the folder go (tests; the program keeps its lock to the end).
void unlockProgramFolder();

// From here on a write past the process's file-size limit (ulimit -f) fails
// with EFBIG, which the file layer reports, instead of SIGXFSZ ending the
// program without a word.
void ignoreFileSizeSignal();

} // namespace pomlets

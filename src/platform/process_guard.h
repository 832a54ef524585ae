// What the running game asks of the system before it touches a file: one
// game per program folder, writes past a file-size limit that fail instead
// of killing the program, a display that can be reached, and an orderly way
// out when the system asks the program to end or takes its display away.
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
// Lets the folder go: before another folder's lock is taken, and when the
// program's state is put back (the program keeps its lock to the end).
void unlockProgramFolder();

// From here on a write past the process's file-size limit (ulimit -f) fails
// with EFBIG, which the file layer reports, instead of SIGXFSZ ending the
// program without a word.
void ignoreFileSizeSignal();

// Whether the X display that the windows would open on cannot be reached;
// false when it can, or when the windows do not go to an X server (another
// Qt platform is chosen, a Wayland session). `name` is the display's name,
// empty when none is set at all.
bool displayUnreachable(std::string& name);

// From here on SIGTERM, SIGHUP and SIGINT (what a log-out or a closed
// terminal sends) only note that the program is asked to end: the program
// leaves by its own way out, as Quit does. Returns a descriptor that turns
// readable at each such signal, for an event loop to watch; -1 when none
// could be made (the request is still noted).
int watchLeaveSignals();
// Whether one of those signals has come (or noteLeaveRequest was called).
bool leaveRequested();
// Empties the descriptor of watchLeaveSignals after it turned readable.
void drainLeaveSignals();

// What runs, in place of the X library's exit, when a connection to the X
// server breaks (the server gone, the client killed). It must not return
// and must not touch the display. Installed over the X library's handler
// when that library is loaded: call again once a new user of it has started
// (the windows' toolkit, the game display).
using DisplayLostHandler = void (*)();
void onDisplayLost(DisplayLostHandler leave);
void watchDisplayConnections();

} // namespace pomlets

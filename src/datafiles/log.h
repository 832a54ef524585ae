// The run log "\log.txt": one line an event, opened at start-up and closed at exit.
#pragma once

#include <string>

#include "platform/runtime.h"
#include "platform/start_values.h"

namespace pomlets {

// Logging is on; every operation below does nothing while it is false.
inline bool logEnabled = false;
POMLETS_RESTORED(logEnabled);
// The open log file; let go as it is, without a closing line.
inline TextFile logFile;
POMLETS_RESTORED_BY(logFile, [] {
    if (!logFile.isOpen()) return;
    try {
        logFile.close();
    } catch (const RuntimeError&) {
    }
});

// openLog's failure: the log could not be created or written in the program
// folder. causeNumber() is the system's error number, such as ENOSPC (0 when
// it gave none).
class LogOpenError : public RuntimeError {
public:
    LogOpenError(const RuntimeError& error, int causeNumber)
        : RuntimeError(error.number(), error.description()), causeNumber_(causeNumber) {}
    int causeNumber() const noexcept { return causeNumber_; }

private:
    int causeNumber_;
};

// Creates "\log.txt" anew (replacing an old one, never following a link) and
// writes "LOG OPENED ON <date> AT <time>". Raises LogOpenError.
void openLog();
// Writes one line: "<time> :: <message>" (no stamp for an empty message),
// with three blanks in front when indent is set. The message variable is
// rewritten to the line as written.
void writeLog(std::string& message, bool indent);
// The same for a message the caller does not keep.
void writeLog(const std::string& message, bool indent);
// Writes "LOG CLOSED ON <date> AT <time>" and closes the log; ignores every error.
void closeLog();

// The current date in the user's short date format and time in the long time format.
std::string logDateText();
std::string logTimeText();

} // namespace pomlets

#include "datafiles/log.h"

#include <cerrno>
#include <clocale>
#include <ctime>
#include <locale.h>
#include <sys/stat.h>

#include "platform/file_calls.h"
#include "platform/start_values.h"

namespace pomlets {

namespace {

// The user's time formats, taken from the environment once (LC_ALL, LC_TIME,
// LANG), the C formats when it names no installed locale.
locale_t userTimeLocale() {
    static locale_t locale = [] {
        locale_t chosen = newlocale(LC_TIME_MASK, "", nullptr);
        if (!chosen) chosen = newlocale(LC_TIME_MASK, "C", nullptr);
        return chosen;
    }();
    POMLETS_LOCAL_NOT_RESTORED(locale, "the user's time formats, taken once");
    return locale;
}

std::string nowText(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[128];
    const size_t length = strftime_l(text, sizeof text, format, &local, userTimeLocale());
    return std::string(text, length);
}

} // namespace

std::string logDateText() { return nowText("%x"); }
std::string logTimeText() { return nowText("%X"); }

void openLog() {
    if (!logEnabled) return;
    const std::string line = "LOG OPENED ON " + logDateText() + " AT " + logTimeText();
    try {
        errno = 0;
        logFile.open(appPath("\\log.txt"), TextFile::Mode::Replace);
        logFile.writeLine(line);
        logFile.flush();
    } catch (const RuntimeError& error) {
        int cause = errno;
        logFile = TextFile();
        // A folder of the log's name makes the creation fail with "File
        // exists"; what is in the way is a folder.
        struct stat info{};
        if (cause == EEXIST && fileCalls().lstat(appPath("\\log.txt").c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            cause = EISDIR;
        throw LogOpenError(error, cause);
    }
}

void writeLog(std::string& message, bool indent) {
    if (!logEnabled) return;
    if (!message.empty()) message = logTimeText() + " :: " + message;
    if (indent) message = "   " + message;
    // Each line reaches the disk at once, so a run that ends abruptly still
    // leaves its log readable up to the last event. A disk that refuses a
    // line of the log does not stop the game.
    try {
        logFile.writeLine(message);
        logFile.flush();
    } catch (const FileAccessError&) {
    }
}

void writeLog(const std::string& message, bool indent) {
    std::string line = message;
    writeLog(line, indent);
}

void closeLog() {
    if (!logEnabled) return;
    try {
        logFile.writeLine("LOG CLOSED ON " + logDateText() + " AT " + logTimeText());
    } catch (...) {
    }
    try {
        logFile.close();
    } catch (...) {
    }
}

} // namespace pomlets

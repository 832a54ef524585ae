#include "frontend/startup.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <string>

#include "common/brains.h"
#include "datafiles/damaged_files.h"
#include "datafiles/log.h"
#include "datafiles/music_list.h"
#include "datafiles/player_files.h"
#include "datafiles/save_notices.h"
#include "datafiles/scrambler.h"
#include "datafiles/scratch_file.h"
#include "frontend/fmain.h"
#include "frontend/message_box.h"
#include "platform/file_calls.h"
#include "platform/process_guard.h"
#include "platform/runtime.h"
#include "platform/windows1252.h"

namespace pomlets {

namespace {

// A data file that start-up cannot read whole is reported once; start-up
// goes on with what could be read.
void reportStartupFailure(const std::string& what, const RuntimeError& error) {
    std::string line = "error reading " + what + ": " + std::to_string(error.number()) + ", " + error.description();
    writeLog(line, false);
    // A refused file's description repeats its path and cause: the box names
    // the cause once, beside the error's own text.
    const auto* access = dynamic_cast<const FileAccessError*>(&error);
    const std::string fault = " (" + (access ? access->cause() + "; " : std::string()) +
                              std::to_string(error.number()) + ", " +
                              (access ? RuntimeError::textOf(error.number()) : error.description()) + ").";
    const auto* damaged = dynamic_cast<const DamagedFileError*>(&error);
    if (damaged && !damaged->copy().empty()) {
        msgBox("Pomlets could not read " + what + " completely" + fault + "  It keeps what it could read, and a copy of "
               "the damaged file is kept as \"" + damaged->copy() + "\".");
        return;
    }
    if (damaged) {
        msgBox("Pomlets could not read " + what + " completely" + fault + "  It keeps what it could read, and does "
               "not write over the file until a copy of it can be kept.");
        return;
    }
    msgBox("Pomlets could not read " + what + fault + "  It goes on without it" +
           (error.number() == err::FileNotFound ? "." : " and leaves the file as it is."));
}

} // namespace

void buildKeyTables() {
    int16_t seed = 79;
    int16_t randomArgument = 94;
    int16_t range = 709;
    initCipherTables(seed, randomArgument, range);
}

namespace {

// What the player can do about a file that cannot be written in the program
// folder, by the system's reason.
std::string adviceFor(int cause, const std::string& name) {
    switch (cause) {
    case EISDIR:
        return "A folder named \"" + name + "\" is in the way there: please move or rename it";
    case EEXIST:
    case ELOOP:
        return "Something named \"" + name + "\" that is not a plain file is in the way there: please move or "
               "rename it";
    case EACCES:
    case EPERM:
    case EROFS:
        return "Please make the folder writable, or copy Pomlets into a folder of your own";
    case ENOSPC:
    case EDQUOT:
        return "Please free some disk space";
    case EFBIG:
        return "A limit on the size of files (ulimit -f) is set for Pomlets: please lift it";
    default:
        return "Please make sure that Pomlets can write its files there";
    }
}

// Whether a plain file stands where the lock file belongs.
bool lockFileInPlace() {
    struct stat info{};
    const std::string path = programFolder() + "/" + folderLockName;
    return fileCalls().lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

std::string unwritableFolderMessage(int cause, const std::string& name) {
    return "Pomlets cannot write in its folder \"" + programFolder() + "\": " +
           (cause != 0 ? std::strerror(cause) : "it cannot be written") +
           ".  It keeps its log, high scores and profile there.  " + adviceFor(cause, name) +
           ", then start Pomlets again.";
}

std::string lockedOutMessage(int cause) {
    const std::string path = programFolder() + "/" + folderLockName;
    std::string owner;
    struct stat info{};
    if (fileCalls().lstat(path.c_str(), &info) == 0) {
        const passwd* user = ::getpwuid(info.st_uid);
        owner = user ? "the user \"" + std::string(user->pw_name) + "\"" : "the user number " + std::to_string(info.st_uid);
    }
    return "Pomlets cannot open its lock file \"" + path + "\": " + std::strerror(cause) + ".  " +
           (owner.empty() ? std::string() : "The file belongs to " + owner + " and does not let you read it.  ") +
           "Pomlets locks this file while it runs, so that two games never write over each other's files in one "
           "folder.  Please ask the file's owner to remove it, or copy Pomlets into a folder of your own, then "
           "start Pomlets again.";
}

bool loadFMain() {
    ignoreFileSizeSignal();
    // A second game in the same folder would write over the first one's
    // files: it stops before it opens the log or touches any other file.
    if (const int cause = lockProgramFolder(programFolder()); cause == EWOULDBLOCK) {
        msgBox("Pomlets is already running from its folder \"" + programFolder() + "\".  Two games in one folder "
               "would write over each other's high scores and profile, so this one does not start.  Please go on "
               "playing in the game that is running.");
        return false;
    } else if ((cause == EACCES || cause == EPERM) && lockFileInPlace()) {
        // The folder may be writable: it is the lock file that refuses.
        msgBox(lockedOutMessage(cause));
        return false;
    } else if (cause != 0) {
        msgBox(unwritableFolderMessage(cause, folderLockName));
        return false;
    }
    try {
        fMain().Form_Load();
    } catch (const LogOpenError& error) {
        // Without a writable folder the player's scores and profile could not
        // be kept either, so the program stops before anything is played.
        logEnabled = false;
        msgBox(unwritableFolderMessage(error.causeNumber(), "log.txt"));
        return false;
    }
    return true;
}

void FMain::Form_Load() {
    logEnabled = true;
    openLog();
    randomizeFromClock();
    for (QWidget* panel : frame) {
        panel->setVisible(false);
        panel->setEnabled(false);
    }
    boot();
    frame[7]->setEnabled(true);
    frame[7]->setVisible(true);
    loaded_ = true;
}

void FMain::boot() {
    try {
        loadHighScores();
    } catch (const RuntimeError& error) {
        reportStartupFailure("the high-score table \"init/6095\"", error);
    }
    try {
        loadProfile();
    } catch (const RuntimeError& error) {
        reportStartupFailure("the player profile \"init/6702\"", error);
    }
    popModes();
    popThemes();
    fillMusicList();
    frame[0]->setVisible(true);
    frame[0]->setEnabled(true);
    lastSongIndex = -1;
}

void FMain::popModes() {
    lastModeIndex = 3;
    modes.resize(4);
    modes[0] = {"Freestyle",
                "Freestyle is the ultimate Pomlet dance party.  Every piece makes an appearance, and your only "
                "goal is that elusive high score."};
    modes[1] = {"Arcade", "Every level challenges you with new situations and new goals.  How far can you go?"};
    modes[2] = {"B-Type",
                "B-Type begins with pieces already in play.  Your goal is to eliminate a given number of pieces "
                "before you bail."};
    {
        const QSignalBlocker quiet(tMode);
        tMode->clear();
        for (int i = 0; i <= 2; ++i) tMode->addItem(fromWindows1252(modes[static_cast<size_t>(i)].name));
        tMode->setCurrentIndex(-1);
    }
    {
        const QSignalBlocker quiet(scoreModes);
        scoreModes->clear();
        scoreModes->addItem(fromWindows1252(modes[0].name));
        scoreModes->setCurrentIndex(-1);
    }
    scoreModes->setCurrentIndex(0);
}

void FMain::popThemes() {
    {
        const QSignalBlocker quiet(theme);
        theme->clear();
        addSorted(theme, QStringLiteral("Cells"));
        addSorted(theme, QStringLiteral("Tessellane #1 - Pelvaro"));
        theme->setCurrentIndex(-1);
    }
    // A saved theme that is not in the list falls back to the first theme:
    // the program's own pick, shown but not saved over the player's.
    if (!setListText(theme, fromWindows1252(themeName))) {
        {
            const QSignalBlocker quiet(theme);
            theme->setCurrentIndex(0);
        }
        showChosenTheme();
        keepThemeAsRead();
    }

    lastBandIndex = -1;
    bandNames.clear();
    bandUrls.clear();
    try {
        ScratchFile temp;
        // A damaged line ends the list: the bands before it are kept.
        std::optional<RuntimeError> damage;
        try {
            decryptFile(appPath("\\init\\6859"), temp.path());
        } catch (const RuntimeError& error) {
            if (error.number() != err::InvalidCall) throw;
            damage = error;
        }
        TextFile file(temp.path(), TextFile::Mode::Input);
        while (!file.eof()) {
            appendTo(bandNames, lastBandIndex);
            bandUrls.resize(bandNames.size());
            const std::string name = file.readField();
            allBands->addItem(fromWindows1252(name));
            bandNames[static_cast<size_t>(lastBandIndex)] = name;
            // A name at the very end of the file keeps an empty address.
            if (!file.eof()) bandUrls[static_cast<size_t>(lastBandIndex)] = file.readField();
        }
        file.close();
        temp.remove();
        if (damage) throw *damage;
    } catch (const RuntimeError& error) {
        reportStartupFailure("the list of bands", error);
    }
}

void FMain::Form_Unload() {
    saveAtQuit(PlayerFile::HighScores, saveHighScores);
    saveAtQuit(PlayerFile::Profile, saveProfile);
    closeLog();
}

} // namespace pomlets

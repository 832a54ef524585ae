#include "datafiles/save_notices.h"

#include <map>
#include <string>

#include "datafiles/log.h"
#include "frontend/message_box.h"
#include "platform/file_calls.h"
#include "platform/start_values.h"

namespace pomlets {

namespace {

std::map<PlayerFile, std::string> told;
POMLETS_RESTORED(told);

struct FileNames {
    const char* what;
    const char* file;
    const char* outcome;  // what became of the change, after a save between games
    const char* lost;     // what quitting without saving loses
};

FileNames namesOf(PlayerFile file) {
    switch (file) {
    case PlayerFile::HighScores:
        return {"the high-score table", "init/6095",
                "The new score is not saved; Pomlets tries again when the table changes next and when you quit.",
                "the scores entered since it was last saved"};
    case PlayerFile::Profile:
        return {"the player profile", "init/6702",
                "What changed since its last save (credits, items, theme or volume) is not saved; Pomlets tries "
                "again at the next save and when you quit.",
                "what changed since its last save (credits, items, theme or volume)"};
    case PlayerFile::LevelList:
        break;
    }
    return {"the list of Arcade levels", "init/6537",
            "The new level is not kept; winning its level again awards it again.", "the new level"};
}

std::string causeOf(const RuntimeError& error) {
    if (const auto* access = dynamic_cast<const FileAccessError*>(&error)) return access->cause();
    return error.description();
}

} // namespace

bool saveTelling(PlayerFile file, const std::function<void()>& save) {
    try {
        save();
    } catch (const RuntimeError& error) {
        const FileNames names = namesOf(file);
        const std::string cause = causeOf(error);
        writeLog(std::string("error saving ") + names.file + ": " + std::to_string(error.number()) + ", " + cause, false);
        if (told[file] != cause) {
            told[file] = cause;
            msgBox(std::string("Pomlets could not save ") + names.what + " \"" + names.file + "\": " + cause + ".  " +
                   names.outcome);
        }
        return false;
    }
    told.erase(file);
    return true;
}

bool saveAtQuit(PlayerFile file, const std::function<void()>& save) {
    for (;;) {
        try {
            save();
            told.erase(file);
            return true;
        } catch (const RuntimeError& error) {
            const FileNames names = namesOf(file);
            const std::string cause = causeOf(error);
            writeLog(std::string("error saving ") + names.file + ": " + std::to_string(error.number()) + ", " + cause,
                     false);
            // The last chance to keep the change: asked every time, told or not.
            const MsgResult answer =
                msgBox(std::string("Pomlets could not save ") + names.what + " \"" + names.file + "\": " + cause +
                           ".  Quitting now loses " + names.lost + ".  Free some disk space or mend the cause, then "
                           "choose Try Again; or choose Quit Without Saving.",
                       MsgButtons::RetryQuit);
            if (answer != MsgResult::Retry) return false;
        }
    }
}

void forgetSaveNotices() { told.clear(); }

} // namespace pomlets

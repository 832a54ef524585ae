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
    const char* outcome;
};

FileNames namesOf(PlayerFile file) {
    switch (file) {
    case PlayerFile::HighScores:
        return {"the high-score table", "init/6095",
                "The new score is kept while Pomlets runs, and saving it is tried again at the next save."};
    case PlayerFile::Profile:
        return {"the player profile", "init/6702",
                "Your changes are kept while Pomlets runs, and saving them is tried again at the next save."};
    case PlayerFile::LevelList:
        break;
    }
    return {"the list of Arcade levels", "init/6537",
            "The new level is not kept; winning its level again awards it again."};
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

void forgetSaveNotices() { told.clear(); }

} // namespace pomlets

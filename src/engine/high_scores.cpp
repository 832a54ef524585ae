#include "engine/high_scores.h"

#include <string>

#include "common/brains.h"
#include "datafiles/damaged_files.h"
#include "datafiles/level_list.h"
#include "datafiles/player_files.h"
#include "frontend/fmain.h"
#include "frontend/message_box.h"
#include "platform/runtime.h"
#include "platform/windows1252.h"

namespace pomlets {

void enterHighScore() {
    size_t place = highScores.size();
    for (size_t i = 0; i < highScores.size(); ++i) {
        if (score >= highScores[i].score) {
            place = i;
            break;
        }
    }
    if (place == highScores.size()) return;

    const std::string name = inputBox("Congratulations!  " + plainText(score) +
                                      " is a new high score!  Please enter your name.");
    for (size_t j = highScores.size() - 1; j > place; --j) highScores[j] = highScores[j - 1];
    highScores[place].score = score;
    highScores[place].name = name;

    saveHighScores();
    loadHighScores();

    fMain().mScores_Click();
    setListText(fMain().scoreModes, QStringLiteral("Freestyle"));
}

void awardArcadeLevel() {
    const std::string& name = currentLevel.awardLevelName;
    // A level file that names no award (an empty name) awards nothing: an
    // empty entry would lead to no level.
    if (name.empty()) return;
    QListWidget* levels = fMain().tLevels;
    const QString entry = fromWindows1252(name);
    for (int i = 0; i < levels->count(); ++i)
        if (levels->item(i)->text() == entry) return;

    msgBox("Congratulations!  You have been awarded a new level for Arcade mode!");

    // The list is written again with every level that could be read from it
    // and the new one; a damaged list is first kept beside it.
    LevelList list = readLevelList();
    if (list.damaged) {
        const std::string copy = keepDamagedCopy("\\init\\6537");
        msgBox("The list of Arcade levels \"init/6537\" is damaged.  The levels that could be read from it are kept" +
               (copy.empty() ? std::string(".") : ", and a copy of the damaged list is kept as \"" + copy + "\"."));
    }
    list.levels.push_back({name, currentLevel.awardLevelNumber});
    writeLevelList(list.levels);

    // Listed once the level is saved, so the list never offers a level that
    // the next start would not find.
    levels->addItem(entry);
    levels->item(levels->count() - 1)->setData(Qt::UserRole, static_cast<int>(currentLevel.awardLevelNumber));
}

} // namespace pomlets

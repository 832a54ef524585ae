#include "engine/high_scores.h"

#include <string>

#include "common/brains.h"
#include "datafiles/level_list.h"
#include "datafiles/player_files.h"
#include "datafiles/save_notices.h"
#include "frontend/fmain.h"
#include "frontend/leaving.h"
#include "frontend/message_box.h"
#include "platform/runtime.h"
#include "platform/windows1252.h"

namespace pomlets {

void enterHighScore() {
    // Only places that hold an entry rank; a free place (a line of the file
    // that could not be read) takes a score below all of them.
    const size_t place = highScorePlace(score);
    if (place >= highScores.size()) return;

    const std::string name = inputBox("Congratulations!  " + plainText(score) +
                                      " is a new high score!  Please enter your name.");
    // A game that the system ended asks no name, and a score whose name was
    // never given is not entered.
    if (leaving()) return;
    putHighScore(place, {name, score});

    // A saved table is read back and shown as the file holds it; a table
    // that could not be saved is shown as it stands in memory (the failure
    // is told and the save tried again at the next one).
    if (saveTelling(PlayerFile::HighScores, saveHighScores)) reloadHighScores();
    else showHighScores();

    fMain().mScores_Click();
    setListText(fMain().scoreModes, QStringLiteral("Freestyle"));
}

void awardArcadeLevel() {
    // Whatever the won level names is awarded, an empty name too: the entry
    // leads to the level file its number names.
    const std::string& name = currentLevel.awardLevelName;
    QListWidget* levels = fMain().tLevels;
    const QString entry = fromWindows1252(name);
    for (int i = 0; i < levels->count(); ++i)
        if (levels->item(i)->text() == entry) return;

    msgBox("Congratulations!  You have been awarded a new level for Arcade mode!");

    // The new level goes after every line of the list, each kept as it
    // stood; a damaged list is first kept beside it.
    std::string copy;
    if (!saveTelling(PlayerFile::LevelList, [&] { copy = appendLevel({name, currentLevel.awardLevelNumber}); }))
        return;
    if (!copy.empty())
        msgBox("The list of Arcade levels \"init/6537\" is damaged.  Its lines are kept as they were, and a copy of "
               "the damaged list is kept as \"" + copy + "\".");

    // Listed once the level is saved, so the list never offers a level that
    // the next start would not find.
    levels->addItem(entry);
    levels->item(levels->count() - 1)->setData(Qt::UserRole, static_cast<int>(currentLevel.awardLevelNumber));
}

} // namespace pomlets

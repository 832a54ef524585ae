#include "engine/high_scores.h"

#include <string>
#include <vector>

#include "common/brains.h"
#include "datafiles/player_files.h"
#include "datafiles/scrambler.h"
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

    const std::string list = appPath("\\init\\6537");
    const std::string temp = appPath("\\temp");
    std::vector<std::string> lines;
    try {
        decryptFile(list, temp);
        {
            TextFile file(temp, TextFile::Mode::Input);
            while (!file.eof()) lines.push_back(file.readLine());
        }
        {
            TextFile file(temp, TextFile::Mode::Output);
            for (const std::string& line : lines) file.writeLine(line);
            file.writeLine(name);
            file.writeLine(plainText(currentLevel.awardLevelNumber));
        }
        encryptFile(temp, list);
        deleteFile(temp);
    } catch (...) {
        // The list file is replaced only once written whole; the scratch file
        // never stays behind.
        if (fileExists(temp)) deleteFile(temp);
        throw;
    }

    // Listed once the level is saved, so the list never offers a level that
    // the next start would not find.
    levels->addItem(entry);
    levels->item(levels->count() - 1)->setData(Qt::UserRole, static_cast<int>(currentLevel.awardLevelNumber));
}

} // namespace pomlets

// The Play command: one whole game, from the main window back to it.
#include <QListWidget>
#include <string>

#include "frontend/fmain.h"
#include "frontend/message_box.h"

namespace pomlets {

namespace {

// The list's selection index: -1 when no entry is selected.
int listIndex(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected()) return -1;
    return list->row(item);
}

} // namespace

void FMain::main_BtnRun_Click() {
    if (gameRunning_) return;
    if (tMode->currentIndex() == -1) {
        msgBox("Please select a game mode.");
        return;
    }
    const QString mode = tMode->currentText();
    if (mode == QLatin1String("Arcade") && listIndex(tLevels) == -1) {
        msgBox("Please select a level.");
        return;
    }
    if (mode == QLatin1String("B-Type")) {
        // The mode is offered, but this version has no B-Type game.
        msgBox("This version of Pomlets has no B-Type game yet.  Please choose Freestyle or Arcade.");
        return;
    }
}

} // namespace pomlets

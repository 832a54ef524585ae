// The Play command: one whole game, from the main window back to it.
#include <QListWidget>
#include <string>

#include "common/brains.h"
#include "datafiles/level_files.h"
#include "datafiles/log.h"
#include "datafiles/player_files.h"
#include "datafiles/save_notices.h"
#include "display/assets.h"
#include "display/game_window.h"
#include "display/piece_table.h"
#include "display/playlist.h"
#include "engine/high_scores.h"
#include "engine/main_loops.h"
#include "frontend/fmain.h"
#include "frontend/message_box.h"
#include "platform/runtime.h"

namespace pomlets {

namespace {

// The list's selection index: -1 when no entry is selected.
int listIndex(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected()) return -1;
    return list->row(item);
}

// Draws one stage of the loading screen: the picture over the whole back
// buffer, the stage's text at (10, 10), then flipped.
void loadingStage(const SurfaceRef& picture, const DDSURFACEDESC2& pictureDesc, const char* text) {
    const RECT whole{0, 0, screenWidth, screenHeight};
    const RECT source{0, 0, pictureDesc.width, pictureDesc.height};
    backBuffer->Blt(whole, picture, source, DDBLT_WAIT);
    backBuffer->DrawText(10, 10, text, false);
    primary->Flip(nullptr, DDFLIP_WAIT);
}

// Gives the desktop back after a failure and notes the failure in the run log.
void abandonGame(const std::string& failure, bool log) {
    endGame = true;
    destroy();
    if (log) writeLog("Play - " + failure, false);
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

    // The main window takes no input until the game's result is handled.
    gameRunning_ = true;
    setEnabled(false);

    SurfaceRef loadingPicture;
    bool inFreestyleLoop = false;
    try {
        fConsole().Show();
        initDX();
        DDSURFACEDESC2 pictureDesc;
        loadingPicture = ddraw->CreateSurfaceFromFile(appPath("\\images\\loading.bmp"), pictureDesc);
        loadingStage(loadingPicture, pictureDesc, "Initializing variables...");
        initVariables();
        loadingStage(loadingPicture, pictureDesc, "Initializing pieces...");
        initPieces();
        loadingStage(loadingPicture, pictureDesc, "Initializing music...");
        nextSong();
        loadingStage(loadingPicture, pictureDesc, "Playing...");

        if (mode == QLatin1String("Arcade")) {
            gameMode = "Freestyle";
            currentLevel.timerMinuteStart = gameTime();
            const int levelNumber = tLevels->currentItem()->data(Qt::UserRole).toInt();
            loadLevel(appPath("\\levels\\" + std::to_string(levelNumber)), true);
            playArcade();
            pomlets::destroy();  // the display's, not the window's own destroy
            if (levelWon) awardArcadeLevel();
        }
        if (mode == QLatin1String("Freestyle")) {
            gameMode = "Freestyle";
            loadLevel(appPath("\\levels\\2193"), false);
            inFreestyleLoop = true;
            playFreestyle();
            inFreestyleLoop = false;
            pomlets::destroy();
            enterHighScore();
        }
    } catch (const RuntimeError& error) {
        // The game is abandoned: the display goes back to the desktop, the
        // error is logged (the Freestyle loop logs its own) and shown, and the
        // player's profile is kept below as after any game.
        abandonGame(std::to_string(error.number()) + ", " + error.description(), !inFreestyleLoop);
        msgBox("The game had to stop: " + error.description() + " (error " + std::to_string(error.number()) + ").");
    } catch (const std::exception& error) {
        abandonGame(error.what(), true);
        msgBox(std::string("The game had to stop: ") + error.what());
    }

    if (gameRanSilent && !silenceTold) {
        silenceTold = true;
        msgBox(noSoundNotice);
    }

    saveTelling(PlayerFile::Profile, saveProfile);
    loadingPicture.reset();

    setEnabled(true);
    gameRunning_ = false;
    raise();
    activateWindow();
}

} // namespace pomlets

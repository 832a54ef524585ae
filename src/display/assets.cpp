#include "display/assets.h"

#include <string>

#include "common/brains.h"
#include "datafiles/log.h"
#include "display/game_window.h"
#include "frontend/fmain.h"
#include "platform/file_names.h"
#include "platform/runtime.h"
#include "platform/start_values.h"
#include "platform/windows1252.h"

namespace pomlets {

namespace {

// Each picture keeps the description record it was made with; the letters
// share one record, and so do the frog frames.
DDSURFACEDESC2 pointerDesc, zapVDesc, zapHDesc, frameDesc, glyphDesc, frogDesc, explosionDesc, plateDesc;
POMLETS_RESTORED(pointerDesc, zapVDesc, zapHDesc, frameDesc, glyphDesc, frogDesc, explosionDesc, plateDesc);

// A file that cannot be loaded ends the set-up: it is logged, the display is
// given back, and the player is told which file it was.
[[noreturn]] void failLoading(const std::string& relative, const RuntimeError& e) {
    writeLog("initVariables - cannot load " + relative + ": " + e.description(), true);
    endGame = true;
    destroy();
    throw RuntimeError(e.number(), "The game could not load its file \"" + relative + "\": " + e.description());
}

SoundRef loadSound(const std::string& relative) {
    try {
        return dsound->CreateSoundBufferFromFile(appPath(relative), soundBufferDesc, waveFormat);
    } catch (const RuntimeError& e) {
        failLoading(relative, e);
    }
}

SurfaceRef loadPicture(const std::string& relative, DDSURFACEDESC2& desc, bool keyed) {
    try {
        SurfaceRef surface = ddraw->CreateSurfaceFromFile(appPath(relative), desc);
        if (keyed) surface->SetColorKey(DDCKEY_SRCBLT, colorKey);
        return surface;
    } catch (const RuntimeError& e) {
        failLoading(relative, e);
    }
}

void loadSounds() {
    sndChangeRow = loadSound("\\sounds\\_changerow.wav");
    sndMoveRow = loadSound("\\sounds\\_moverow.wav");
    sndGameOver = loadSound("\\sounds\\_gameover.wav");
    for (int i = 0; i < 3; ++i)
        sndConnect[i] = loadSound("\\sounds\\_connect0" + std::to_string(i + 1) + ".wav");
    sndPop = loadSound("\\sounds\\_pop01.wav");
    sndSlam = loadSound("\\sounds\\_slam01.wav");
    sndGorgonArrive = loadSound("\\sounds\\_gorgon01.wav");
    sndCoin = loadSound("\\sounds\\_coin01.wav");
    sndGorgonLeave = loadSound("\\sounds\\_gorgon02.wav");
    sndCalculateMinus = loadSound("\\sounds\\_calculate01.wav");
    sndCalculatePlus = loadSound("\\sounds\\_calculate02.wav");
    sndBowling = loadSound("\\sounds\\_bowling01.wav");
    for (int i = 0; i < 3; ++i) sndFrog[i] = loadSound("\\sounds\\_frog0" + std::to_string(i + 1) + ".wav");
    sndDetonate = loadSound("\\sounds\\_detonate.wav");
    sndMusic = loadSound("\\sounds\\_music01.wav");
    sndBauble1 = loadSound("\\sounds\\_bauble01.wav");
    sndBauble2 = loadSound("\\sounds\\_bauble02.wav");
    for (int i = 0; i < 3; ++i)
        sndClapping[i] = loadSound("\\sounds\\_clapping0" + std::to_string(i + 1) + ".wav");
}

// The frame drawn over the field, by the mode box's text; none for another text.
const char* frameFileOf(const std::string& mode) {
    if (mode == "Arcade") return "\\images\\frameA.bmp";
    if (mode == "Freestyle") return "\\images\\frame.bmp";
    if (mode == "B-Type") return "\\images\\frameB.bmp";
    if (mode == "Midnight Bowling") return "\\images\\frameM.bmp";
    return nullptr;
}

std::string glyphFileOf(int index) {
    if (index < 26) return std::string("\\images\\") + static_cast<char>('A' + index) + ".bmp";
    if (index == 26) return "\\images\\!.bmp";
    if (index == 27) return "\\images\\Space.bmp";
    return "\\images\\" + std::to_string(index - 28) + ".bmp";
}

void loadPictures() {
    pointerImage = loadPicture("\\images\\pointer.bmp", pointerDesc, true);
    zapVImage = loadPicture("\\images\\zap_v.bmp", zapVDesc, true);
    zapHImage = loadPicture("\\images\\zap_h.bmp", zapHDesc, true);
    if (const char* frameFile = frameFileOf(toWindows1252(fMain().tMode->currentText())))
        frameOverlay = loadPicture(frameFile, frameDesc, true);
    for (int i = 0; i < static_cast<int>(glyphSurfaces.size()); ++i)
        glyphSurfaces[i] = loadPicture(glyphFileOf(i), glyphDesc, true);
    for (int frame = 1; frame <= 5; ++frame)
        frogFrames[frame] = loadPicture("\\images\\frog0" + std::to_string(frame) + ".bmp", frogDesc, true);
    explosionImage = loadPicture("\\images\\explosion.bmp", explosionDesc, true);
}

void resetLevel() {
    LevelInfo& level = currentLevel;
    level.awardLevelName = "";
    level.awardLevelNumber = 0;
    level.goalPiecesLeft = -1;
    level.goalPieceName = "-1";
    level.limitTimerOn = false;
    level.limitMinutes = -1;
    level.limitSeconds = -1;
    level.protectGoalOn = false;
    level.protectPiecesLeft = -1;
    level.protectPieceName = "-1";
    level.targetScore = -1;
    level.settleGoalOn = false;
    level.settlePiecesLeft = -1;
    level.settlePieceName = "-1";
    level.survivalTimerOn = false;
    level.survivalMinutes = -1;
    level.survivalSeconds = -1;
    level.levelCaption = "";
    level.timerMinuteStart = 0;
}

} // namespace

void initVariables() {
    writeLog("initVariables - erasing old variables", true);
    pieceDefs = {};
    std::vector<PieceDef>().swap(fallingPieces);

    writeLog("initVariables - resetting counters", true);
    lastPieceType = -1;
    lastFalling = -1;
    lastExplosion = -1;
    lastPointPopup = -1;
    lastZap = -1;
    lastMessageGlyph = -1;
    lastFrog = -1;
    score = 0;

    for (FieldRow& row : field.rows) {
        for (FieldCell& cell : row.cells) {
            cell.occupied = false;
            cell.extraFlag1 = true;
        }
    }
    currentRow = 0;
    frogGiven = false;
    pythagoreanGiven = false;
    calculatorSum = 0;

    loadSounds();
    loadPictures();

    const int plate = static_cast<int>(vbInt(static_cast<double>(rnd()) * 5)) + 1;
    if (!isPlainFileName(themeName)) failLoading("\\themes\\" + themeName, RuntimeError(err::BadFileName));
    themePlate = loadPicture("\\themes\\" + themeName + "\\plate_0" + std::to_string(plate) + ".bmp", plateDesc, false);

    resetLevel();
}

} // namespace pomlets

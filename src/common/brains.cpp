#include "common/brains.h"

namespace pomlets {

void resetSharedState() {
    field = PlayField{};
    pieceDefs = {};
    lastPieceType = 0;
    fallingPieces.clear();
    lastFalling = -1;
    explosions.clear();
    lastExplosion = -1;
    pointPopups.clear();
    lastPointPopup = -1;
    zaps.clear();
    lastZap = -1;
    messageGlyphs.clear();
    lastMessageGlyph = -1;
    frogs.clear();
    lastFrog = -1;

    currentLevel = LevelInfo{};
    spawnInterval = 0;
    levelOver = false;
    levelWon = false;

    score = 0;
    currentRow = 0;
    endGame = false;
    gameMode.clear();
    pendingDumps = 0;
    nextScoreTick = 0;
    lastKeyTime = 0;
    lastKeyCode = 0;
    paused = false;
    pausedTotal = 0;
    frogGiven = false;
    frogUntil = 0;
    pythagoreanGiven = false;
    calculatorSum = 0;
    bTypeCount = 0;

    credits = 0;
    items = {};
    profileFlag1 = profileFlag2 = profileFlag3 = false;
    musicNotes = 0;
    themeName.clear();
    musicVolume = 0;
    highScores = {};

    modes.clear();
    lastModeIndex = -1;
    bandNames.clear();
    bandUrls.clear();
    lastBandIndex = -1;

    musicStream = 0;
    lastSongIndex = 0;
    nowPlaying.clear();

    sndChangeRow = sndMoveRow = sndGameOver = nullptr;
    sndConnect = {};
    sndPop = sndSlam = sndGorgonArrive = sndCoin = sndGorgonLeave = nullptr;
    sndCalculateMinus = sndCalculatePlus = sndBowling = nullptr;
    sndFrog = {};
    sndDetonate = sndMusic = sndBauble1 = sndBauble2 = nullptr;
    sndClapping = {};
    pointerImage = zapVImage = zapHImage = frameOverlay = explosionImage = themePlate = nullptr;
    glyphSurfaces = {};
    frogFrames = {};
}

} // namespace pomlets

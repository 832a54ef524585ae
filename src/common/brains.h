// The game's shared records and state. Every subsystem reads and writes these
// variables directly, on the program's one thread. Each is named to the shared
// state's group, which resetSharedState() puts back to the program's start.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/directx.h"
#include "platform/runtime.h"
#include "platform/start_values.h"

namespace pomlets {

// One piece: a definition in pieceDefs, a falling piece, or the piece lying in a cell.
struct PieceDef {
    std::string typeName;
    int16_t variant = 0;
    int16_t imageIndex = 0;
    SurfaceRef surface;
    DDSURFACEDESC2 surfaceDesc;
    bool slammable = false;
    bool bombable = false;
    bool spareFlag1 = false;
    bool isBomb = false;
    bool isSlammer = false;
    bool isShifter = false;
    bool isBowlingBall = false;
    bool isBauble = false;
    bool isGorgon = false;
    bool spareFlag2 = false;
    bool isDiamond = false;
    bool isCalculator = false;
    bool isMoney = false;
    bool blastOnRemoval = false;
    int32_t timerMax = 0;
    int32_t timerMin = 0;
    int32_t deadline = 0;
    bool active = false;
    int16_t column = 0;
    int16_t y = 0;
    int16_t speed = 0;
    int16_t bounces = 0;
    bool counted = false;
    int32_t points = 0;
    SoundRef bounceSound;
    int16_t shiftDirection = 0;
    int16_t spawnLow = 0;
    int16_t spawnHigh = 0;
};

struct FieldCell {
    PieceDef piece;
    bool occupied = false;
    bool extraFlag1 = false;
    bool extraFlag2 = false;
    bool extraFlag3 = false;
    bool extraFlag4 = false;
    bool extraFlag5 = false;
};

constexpr int fieldColumns = 10;
constexpr int fieldRows = 7;

struct FieldRow {
    std::array<FieldCell, fieldColumns> cells;
};

// Row 0 is the bottom row.
struct PlayField {
    std::array<FieldRow, fieldRows> rows;
};

struct LevelInfo {
    int32_t timerMinuteStart = 0;
    int16_t goalPiecesLeft = 0;
    std::string goalPieceName;
    int32_t targetScore = 0;
    bool limitTimerOn = false;
    int16_t limitMinutes = 0;
    int16_t limitSeconds = 0;
    bool survivalTimerOn = false;
    int16_t survivalMinutes = 0;
    int16_t survivalSeconds = 0;
    bool protectGoalOn = false;
    int16_t protectPiecesLeft = 0;
    std::string protectPieceName;
    bool settleGoalOn = false;
    int16_t settlePiecesLeft = 0;
    std::string settlePieceName;
    std::string awardLevelName;
    int16_t awardLevelNumber = 0;
    std::string levelCaption;
};

// Effect records.
struct Explosion {
    int16_t x = 0, y = 0, size = 0;
};
struct PointPopup {
    int16_t x = 0, y = 0, points = 0;
};
struct Zap {
    bool horizontal = false;
    int16_t thickness = 0, x = 0, y = 0;
};
struct MessageGlyph {
    SurfaceRef glyph;
    int16_t x = 0;
};
struct Frog {
    int16_t frame = 0, x = 0, y = 0, frameHold = 0, tick = 0, speed = 0;
};

struct HighScoreEntry {
    std::string name;
    int32_t score = 0;
};

struct ModeInfo {
    std::string name;
    std::string description;
};

// Growable lists: the upper index is -1 when the list is empty. Appending
// grows the list by one empty element and returns it. The upper index is
// 16-bit: appending beyond 32767 raises Overflow (6) and changes nothing.
template <typename T>
T& appendTo(std::vector<T>& list, int16_t& last) {
    if (last == INT16_MAX) throw RuntimeError(err::Overflow);
    ++last;
    list.resize(static_cast<size_t>(last) + 1);
    list[static_cast<size_t>(last)] = T{};
    return list[static_cast<size_t>(last)];
}

// The group of every variable below.
StartValues& sharedState();

// --- the field, the pieces, the effects ---------------------------------
inline PlayField field;
POMLETS_RESTORED_IN(sharedState(), field);
inline std::array<PieceDef, 20> pieceDefs;
POMLETS_RESTORED_IN(sharedState(), pieceDefs);
inline int16_t lastPieceType = 0;
POMLETS_RESTORED_IN(sharedState(), lastPieceType);
inline std::vector<PieceDef> fallingPieces;
POMLETS_RESTORED_IN(sharedState(), fallingPieces);
inline int16_t lastFalling = -1;
POMLETS_RESTORED_IN(sharedState(), lastFalling);
inline std::vector<Explosion> explosions;
POMLETS_RESTORED_IN(sharedState(), explosions);
inline int16_t lastExplosion = -1;
POMLETS_RESTORED_IN(sharedState(), lastExplosion);
inline std::vector<PointPopup> pointPopups;
POMLETS_RESTORED_IN(sharedState(), pointPopups);
inline int16_t lastPointPopup = -1;
POMLETS_RESTORED_IN(sharedState(), lastPointPopup);
inline std::vector<Zap> zaps;
POMLETS_RESTORED_IN(sharedState(), zaps);
inline int16_t lastZap = -1;
POMLETS_RESTORED_IN(sharedState(), lastZap);
inline std::vector<MessageGlyph> messageGlyphs;
POMLETS_RESTORED_IN(sharedState(), messageGlyphs);
inline int16_t lastMessageGlyph = -1;
POMLETS_RESTORED_IN(sharedState(), lastMessageGlyph);
inline std::vector<Frog> frogs;
POMLETS_RESTORED_IN(sharedState(), frogs);
inline int16_t lastFrog = -1;
POMLETS_RESTORED_IN(sharedState(), lastFrog);

// --- the current level -----------------------------------------------------
inline LevelInfo currentLevel;
POMLETS_RESTORED_IN(sharedState(), currentLevel);
inline int32_t spawnInterval = 0;
POMLETS_RESTORED_IN(sharedState(), spawnInterval);
inline bool levelOver = false;
POMLETS_RESTORED_IN(sharedState(), levelOver);
inline bool levelWon = false;
POMLETS_RESTORED_IN(sharedState(), levelWon);

// --- scalar state of the engine ------------------------------------------
inline int32_t score = 0;
POMLETS_RESTORED_IN(sharedState(), score);
inline int16_t currentRow = 0;
POMLETS_RESTORED_IN(sharedState(), currentRow);
inline bool endGame = false;  // owned by the engine's play module
POMLETS_RESTORED_IN(sharedState(), endGame);
inline std::string gameMode;
POMLETS_RESTORED_IN(sharedState(), gameMode);
inline int16_t pendingDumps = 0;
POMLETS_RESTORED_IN(sharedState(), pendingDumps);
inline int32_t nextScoreTick = 0;
POMLETS_RESTORED_IN(sharedState(), nextScoreTick);
inline int32_t lastKeyTime = 0;
POMLETS_RESTORED_IN(sharedState(), lastKeyTime);
inline int16_t lastKeyCode = 0;
POMLETS_RESTORED_IN(sharedState(), lastKeyCode);
inline bool paused = false;
POMLETS_RESTORED_IN(sharedState(), paused);
inline int32_t pausedTotal = 0;
POMLETS_RESTORED_IN(sharedState(), pausedTotal);
inline bool frogGiven = false;
POMLETS_RESTORED_IN(sharedState(), frogGiven);
inline int32_t frogUntil = 0;
POMLETS_RESTORED_IN(sharedState(), frogUntil);
inline bool pythagoreanGiven = false;
POMLETS_RESTORED_IN(sharedState(), pythagoreanGiven);
inline int16_t calculatorSum = 0;
POMLETS_RESTORED_IN(sharedState(), calculatorSum);
inline int16_t bTypeCount = 0;
POMLETS_RESTORED_IN(sharedState(), bTypeCount);

// --- the player profile and high scores --------------------------------------
inline int16_t credits = 0;
POMLETS_RESTORED_IN(sharedState(), credits);
inline std::array<int16_t, 6> items{};  // 0 Slammers, 1 Bombs, 2 Detonators, 3 Bowling Balls, 4, 5
POMLETS_RESTORED_IN(sharedState(), items);
inline bool profileFlag1 = false;
POMLETS_RESTORED_IN(sharedState(), profileFlag1);
inline bool profileFlag2 = false;
POMLETS_RESTORED_IN(sharedState(), profileFlag2);
inline bool profileFlag3 = false;
POMLETS_RESTORED_IN(sharedState(), profileFlag3);
inline int32_t musicNotes = 0;
POMLETS_RESTORED_IN(sharedState(), musicNotes);
inline std::string themeName;
POMLETS_RESTORED_IN(sharedState(), themeName);
inline int16_t musicVolume = 0;  // owned by the music module
POMLETS_RESTORED_IN(sharedState(), musicVolume);
inline std::array<HighScoreEntry, 10> highScores;
POMLETS_RESTORED_IN(sharedState(), highScores);

// --- the mode table and the bands ------------------------------------------
inline std::vector<ModeInfo> modes;
POMLETS_RESTORED_IN(sharedState(), modes);
inline int16_t lastModeIndex = -1;
POMLETS_RESTORED_IN(sharedState(), lastModeIndex);
inline std::vector<std::string> bandNames;
POMLETS_RESTORED_IN(sharedState(), bandNames);
inline std::vector<std::string> bandUrls;
POMLETS_RESTORED_IN(sharedState(), bandUrls);
inline int16_t lastBandIndex = -1;
POMLETS_RESTORED_IN(sharedState(), lastBandIndex);

// --- music -------------------------------------------------------------------
inline uint32_t musicStream = 0;
POMLETS_RESTORED_IN(sharedState(), musicStream);
inline int16_t lastSongIndex = 0;
POMLETS_RESTORED_IN(sharedState(), lastSongIndex);
inline std::string nowPlaying;
POMLETS_RESTORED_IN(sharedState(), nowPlaying);

// --- sounds and pictures loaded for each game ---------------------------------
inline SoundRef sndChangeRow, sndMoveRow, sndGameOver;
POMLETS_RESTORED_IN(sharedState(), sndChangeRow, sndMoveRow, sndGameOver);
inline std::array<SoundRef, 3> sndConnect;
POMLETS_RESTORED_IN(sharedState(), sndConnect);
inline SoundRef sndPop, sndSlam, sndGorgonArrive, sndCoin, sndGorgonLeave;
POMLETS_RESTORED_IN(sharedState(), sndPop, sndSlam, sndGorgonArrive, sndCoin, sndGorgonLeave);
inline SoundRef sndCalculateMinus, sndCalculatePlus, sndBowling;
POMLETS_RESTORED_IN(sharedState(), sndCalculateMinus, sndCalculatePlus, sndBowling);
inline std::array<SoundRef, 3> sndFrog;
POMLETS_RESTORED_IN(sharedState(), sndFrog);
inline SoundRef sndDetonate, sndMusic, sndBauble1, sndBauble2;
POMLETS_RESTORED_IN(sharedState(), sndDetonate, sndMusic, sndBauble1, sndBauble2);
inline std::array<SoundRef, 3> sndClapping;
POMLETS_RESTORED_IN(sharedState(), sndClapping);

inline SurfaceRef pointerImage, zapVImage, zapHImage, frameOverlay, explosionImage, themePlate;
POMLETS_RESTORED_IN(sharedState(), pointerImage, zapVImage, zapHImage, frameOverlay, explosionImage, themePlate);
inline std::array<SurfaceRef, 38> glyphSurfaces;  // A-Z, "!", space, 0-9
POMLETS_RESTORED_IN(sharedState(), glyphSurfaces);
inline std::array<SurfaceRef, 6> frogFrames;      // frames 1 to 5; 0 unused
POMLETS_RESTORED_IN(sharedState(), frogFrames);

// Puts every variable above back to its program-start value.
inline void resetSharedState() { sharedState().restore(); }

} // namespace pomlets

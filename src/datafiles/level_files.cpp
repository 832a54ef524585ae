#include "datafiles/level_files.h"

#include <algorithm>

#include "datafiles/scrambler.h"
#include "datafiles/scratch_file.h"
#include "display/game_window.h"
#include "engine/messages.h"
#include "platform/file_names.h"
#include "platform/runtime.h"

namespace pomlets {

namespace {

constexpr size_t maxMessageLength = 636;

bool flagOf(const std::string& text) { return lenientNumber(text) != 0; }
int16_t lenient16(const std::string& text) { return toInt16(lenientNumber(text)); }
int32_t lenient32(const std::string& text) { return toInt32(lenientNumber(text)); }
// A strict number taken down to the whole number at or below it.
int16_t strictDown16(const std::string& text) { return toInt16(vbInt(strictNumber(text))); }
int32_t strictDown32(const std::string& text) { return toInt32(vbInt(strictNumber(text))); }

} // namespace

PieceDef loadPieceDef(const std::string& name) {
    PieceDef def;
    std::string pictureName;
    {
        ScratchFile temp;
        decryptFile(appPath("\\init\\" + name), temp.path());
        TextFile in(temp.path(), TextFile::Mode::Input);
        def.typeName = in.readField();
        def.variant = lenient16(in.readField());
        pictureName = in.readField();
        def.bombable = flagOf(in.readField());
        def.spareFlag1 = flagOf(in.readField());
        def.slammable = flagOf(in.readField());
        def.isBauble = flagOf(in.readField());
        def.isBomb = flagOf(in.readField());
        def.isCalculator = flagOf(in.readField());
        def.isDiamond = flagOf(in.readField());
        def.isGorgon = flagOf(in.readField());
        def.isShifter = flagOf(in.readField());
        def.isMoney = flagOf(in.readField());
        def.spareFlag2 = flagOf(in.readField());
        def.isBowlingBall = flagOf(in.readField());
        def.isSlammer = flagOf(in.readField());
        def.points = lenient32(in.readField());
        def.timerMax = lenient32(in.readField());
        def.timerMin = lenient32(in.readField());
        def.blastOnRemoval = flagOf(in.readField());
        in.close();
        temp.remove();
    }
    if (def.typeName != "BType" && def.typeName != "Pin") {
        if (!ddraw) throw RuntimeError(err::ObjectNotSet);
        requirePlainFileName(pictureName);
        def.surface = ddraw->CreateSurfaceFromFile(appPath("\\images\\" + pictureName + ".bmp"), def.surfaceDesc);
        def.surface->SetColorKey(DDCKEY_SRCBLT, colorKey);
    }
    return def;
}

namespace {

void readLevel(const std::string& path, bool withHeader);

// The path as the player finds it in the program folder ("levels/12").
std::string shownName(const std::string& path) {
    const std::string folder = programFolder() + "/";
    return path.compare(0, folder.size(), folder) == 0 ? path.substr(folder.size()) : path;
}

} // namespace

void loadLevel(const std::string& path, bool withHeader) {
    // The error says which file failed, so that the player can find it.
    try {
        readLevel(path, withHeader);
    } catch (const RuntimeError& error) {
        throw RuntimeError(error.number(), error.description() + ": the level file \"" + shownName(path) + "\"");
    }
}

namespace {

void readLevel(const std::string& path, bool withHeader) {
    ScratchFile temp;
    decryptFile(path, temp.path());
    TextFile in(temp.path(), TextFile::Mode::Input);
    spawnInterval = strictDown32(in.readField());
    if (withHeader) {
        LevelInfo& level = currentLevel;
        level.limitTimerOn = false;
        level.survivalTimerOn = false;
        level.protectGoalOn = false;
        level.settleGoalOn = false;
        levelWon = false;
        levelOver = false;
        level.levelCaption = in.readLine();
        // A scrolling message holds at most 636 characters; a longer caption
        // (only a damaged file has one) scrolls its first 636.
        showMessage(level.levelCaption.substr(0, maxMessageLength));
        level.awardLevelName = in.readLine();
        level.awardLevelNumber = lenient16(in.readLine());
        level.goalPiecesLeft = lenient16(in.readField());
        level.goalPieceName = in.readField();
        level.targetScore = lenient32(in.readField());
        level.limitMinutes = toInt16(lenientNumber(in.readField()) - 1);
        level.limitSeconds = lenient16(in.readField());
        level.limitTimerOn = level.limitMinutes > 0 || level.limitSeconds > 0;
        level.survivalMinutes = toInt16(lenientNumber(in.readField()) - 1);
        level.survivalSeconds = lenient16(in.readField());
        level.survivalTimerOn = level.survivalMinutes > 0 || level.survivalSeconds > 0;
        level.protectPiecesLeft = lenient16(in.readField());
        level.protectPieceName = in.readField();
        level.protectGoalOn = level.protectPiecesLeft != -1;
        level.settlePiecesLeft = lenient16(in.readField());
        level.settlePieceName = in.readField();
        level.settleGoalOn = level.settlePiecesLeft != -1;
    }
    // Spawn records: all four fields are always read, so that a record naming
    // no definition cannot shift the ones after it; a record gives its range to
    // every definition of that type and variant.
    const int lastSlot = std::min<int>(lastPieceType, static_cast<int>(pieceDefs.size()) - 1);
    while (!in.eof()) {
        const std::string typeName = in.readField();
        const int16_t variant = strictDown16(in.readField());
        const int16_t low = strictDown16(in.readField());
        const int16_t high = strictDown16(in.readField());
        for (int i = 0; i <= lastSlot; ++i) {
            PieceDef& def = pieceDefs[static_cast<size_t>(i)];
            if (def.typeName == typeName && def.variant == variant) {
                def.spawnLow = low;
                def.spawnHigh = high;
            }
        }
    }
    in.close();
    temp.remove();
}

} // namespace

} // namespace pomlets

#include "engine/removal.h"

#include <cstdlib>
#include <limits>

#include "common/brains.h"
#include "engine/chance.h"
#include "engine/effects.h"
#include "engine/field.h"
#include "engine/main_loops.h"
#include "engine/messages.h"
#include "engine/sound_effects.h"
#include "platform/runtime.h"
#include "platform/start_values.h"

namespace pomlets {

namespace {

// Blasts may reach back to the piece that set them off, each time with a
// chance of one half, so a chain has no fixed length. Removals nested deeper
// than this many blasts still happen with all their reactions, but set off no
// blast of their own, so the stack stays bounded. Reaching it takes about
// 250 successive winning draws.
constexpr int maxBlastDepth = 256;

int blastDepth = 0;
POMLETS_RESTORED(blastDepth);

// The player's credits and Music Notes count one more for a collected piece;
// a count at the most its type holds stays there, and the piece is collected
// all the same.
template <typename Count>
Count oneMore(Count count) {
    return count == std::numeric_limits<Count>::max() ? count : static_cast<Count>(count + 1);
}

struct DepthGuard {
    DepthGuard() { ++blastDepth; }
    ~DepthGuard() { --blastDepth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

void removeIfOccupied(int row, int column) {
    if (fieldCell(row, column).occupied)
        killPiece(static_cast<int16_t>(row), static_cast<int16_t>(column));
}

void blast(int16_t row, int16_t column, const PieceDef& piece) {
    addExplosion(effectX(piece.column), effectY(piece.y), false);
    DepthGuard depth;
    if (row > 0) {
        removeIfOccupied(row - 1, column);
        if (column > 0) removeIfOccupied(row - 1, column - 1);
        if (column < 9) removeIfOccupied(row - 1, column + 1);
    }
    // The draw comes before the occupancy test, so it is used even for an empty cell.
    if (column > 0 && randomInt(2) == 1) removeIfOccupied(row, column - 1);
    if (column < 9 && randomInt(2) == 1) removeIfOccupied(row, column + 1);
}

} // namespace

void killPiece(int16_t row, int16_t column) {
    FieldCell& cell = fieldCell(row, column);
    if (!cell.occupied) return;
    PieceDef& p = cell.piece;

    if (currentLevel.protectPieceName == p.typeName)
        currentLevel.protectPiecesLeft = add16(currentLevel.protectPiecesLeft, -1);
    if (currentLevel.goalPieceName == p.typeName) {
        if (p.typeName != "Bauble" || p.deadline > gameTime())
            currentLevel.goalPiecesLeft = add16(currentLevel.goalPiecesLeft, -1);
    }
    if (p.isGorgon) playSound(sndGorgonLeave);
    if (p.isBauble) {
        playSound(sndBauble1);
        pendingDumps = add16(pendingDumps, 3);
    }
    if (p.typeName == "BType") {
        if (bTypeCount == 1) {
            showMessage("victory!");
            playApplause();
        }
        bTypeCount = add16(bTypeCount, -1);
    }
    if (p.isMoney) {
        credits = oneMore(credits);
        playSound(sndCoin);
    } else if (p.typeName == "Music") {
        playSound(sndMusic);
        musicNotes = oneMore(musicNotes);
    } else {
        addPointPopup(effectX(p.column), effectY(p.y), toInt32(std::abs(static_cast<double>(p.points))));
    }
    if (p.blastOnRemoval && blastDepth < maxBlastDepth) blast(row, column, p);

    cell.occupied = false;
    cell.piece.typeName.clear();
}

} // namespace pomlets

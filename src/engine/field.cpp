#include "engine/field.h"

#include <cstdlib>

#include "common/brains.h"
#include "display/sprites.h"
#include "engine/chance.h"
#include "engine/effects.h"
#include "engine/piece_timer.h"
#include "engine/removal.h"
#include "engine/sound_effects.h"
#include "platform/runtime.h"

namespace pomlets {

namespace {

// The height of the top edge of a piece lying in row r, and the landing
// height of a column whose first free row is r.
int16_t rowTop(int row) { return static_cast<int16_t>(520 - 85 * row); }

int16_t landingHeight(int16_t column) { return rowTop(columnHeight(column)); }

// Takes off the element that a launch appended and found nothing to put in.
void dropLastFalling() {
    --lastFalling;
    fallingPieces.resize(static_cast<size_t>(lastFalling + 1));
}

} // namespace

FieldCell& fieldCell(int row, int column) {
    if (row < 0 || row >= fieldRows || column < 0 || column >= fieldColumns)
        throw RuntimeError(err::Subscript);
    return field.rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

PieceDef& pieceDefAt(int slot) {
    if (slot < 0 || slot >= static_cast<int>(pieceDefs.size())) throw RuntimeError(err::Subscript);
    return pieceDefs[static_cast<size_t>(slot)];
}

PieceDef& fallingPiece(int index) {
    if (index < 0 || index > lastFalling || static_cast<size_t>(index) >= fallingPieces.size())
        throw RuntimeError(err::Subscript);
    return fallingPieces[static_cast<size_t>(index)];
}

int firstSlotNamed(const std::string& typeName) {
    for (int i = 0; i < static_cast<int>(pieceDefs.size()); ++i)
        if (pieceDefs[static_cast<size_t>(i)].typeName == typeName) return i;
    return -1;
}

PieceDef* launchPiece(const std::function<int()>& chooseSlot) {
    appendTo(fallingPieces, lastFalling);
    const int index = lastFalling;
    const int slot = chooseSlot();
    if (slot < 0) {
        dropLastFalling();
        return nullptr;
    }
    PieceDef& p = fallingPiece(index);
    p = pieceDefAt(slot);
    p.active = true;
    p.column = static_cast<int16_t>(randomInt(fieldColumns));
    p.y = 0;
    p.speed = 1;
    return &p;
}

void bowlingStrike(int16_t row, int16_t column) {
    playSound(sndBowling);
    killPiece(row, column);
    addExplosion(effectX(column), effectY(fieldCell(row, column).piece.y), true);
}

void spawnPiece() {
    // The list grows before the generator is re-seeded and the spawn draw made.
    PieceDef* launched = launchPiece([] {
        randomizeFromClock();
        const int r = randomInt(1000);
        int slot = -1;
        for (int i = 0; i <= lastPieceType; ++i) {
            const PieceDef& def = pieceDefAt(i);
            if (def.spawnLow <= r && r <= def.spawnHigh) slot = i;  // the last match wins
        }
        return slot;  // -1: the level's ranges leave this draw uncovered, nothing spawns
    });
    if (!launched) return;
    PieceDef& p = *launched;
    if (p.isBomb || p.isBauble || p.isGorgon || p.isShifter || p.isCalculator) armTimer(p);
    if (p.isShifter) p.shiftDirection = randomInt(2) == 1 ? 1 : -1;
    if (p.isCalculator) {
        int v;
        if (!pythagoreanGiven) {
            v = randomInt(200) - 100;
            if (v < 0) {
                p.imageIndex = 19;
                p.variant = -1;
            }
        } else {
            v = randomInt(200);
        }
        if (v == 0) v = 1;
        p.points = v;
    }
    if (p.isBowlingBall && fieldCell(6, p.column).occupied) bowlingStrike(6, p.column);
}

void dropGorgon() {
    // No Gorgon among the definitions: nothing falls in.
    PieceDef* gorgon = launchPiece([] { return firstSlotNamed("Gorgon"); });
    if (!gorgon) return;
    armTimer(*gorgon);
    playSound(sndGorgonArrive);
}

void updateFallingPieces() {
    const int bound = lastFalling;  // elements appended meanwhile wait for the next frame
    for (int i = 0; i <= bound; ++i) {
        PieceDef& p = fallingPiece(i);
        p.speed = add16(p.speed, 1);
        p.y = add16(p.y, p.speed);
        const int16_t landing = landingHeight(p.column);
        if (p.y > landing) {
            if (p.isBowlingBall) {
                const int16_t h = columnHeight(p.column);
                if (h - 1 > -1) bowlingStrike(static_cast<int16_t>(h - 1), p.column);
                if (p.y > 500) p.active = false;
            } else {
                p.speed = toInt16(-(p.speed * 0.75));
                p.bounces = add16(p.bounces, 1);
                p.y = landingHeight(p.column);
                const int k = randomInt(3);
                p.bounceSound = sndConnect.at(static_cast<size_t>(k));
                playSound(p.bounceSound);
            }
        }
        if (p.bounces == 5) {
            p.active = false;
            p.y = landingHeight(p.column);
            if (!p.isBowlingBall) settlePiece(static_cast<int16_t>(i), p.column);
        }
    }
}

void settlePiece(int16_t index, int16_t column) {
    const PieceDef& falling = fallingPiece(index);
    for (int r = 0; r < fieldRows; ++r) {
        FieldCell& cell = fieldCell(r, column);
        if (cell.occupied) continue;
        cell.occupied = true;
        cell.piece = falling;
        if (currentLevel.settleGoalOn && !cell.piece.counted &&
            cell.piece.typeName == currentLevel.settlePieceName)
            currentLevel.settlePiecesLeft = add16(currentLevel.settlePiecesLeft, -1);
        cell.piece.counted = true;
        return;
    }
    playSound(sndGameOver);
    endGame = true;
}

int16_t columnHeight(int16_t column) {
    for (int r = 0; r < fieldRows; ++r)
        if (!fieldCell(r, column).occupied) return static_cast<int16_t>(r);
    return 0;  // a full column lands on the bottom line
}

void shiftRow(bool left) {
    const int d = left ? -1 : 1;
    fieldCell(currentRow, 0);  // the row pointer must name a row of the field
    FieldRow& row = field.rows[static_cast<size_t>(currentRow)];
    FieldRow fresh;
    for (FieldCell& cell : fresh.cells) cell.extraFlag1 = true;
    for (int c = 0; c < fieldColumns; ++c) {
        FieldCell& cell = row.cells[static_cast<size_t>(c)];
        if (!cell.occupied) continue;
        int column = cell.piece.column + d;
        if (column > 9) column = 0;
        if (column < 0) column = 9;
        cell.piece.column = static_cast<int16_t>(column);
        FieldCell& target = fresh.cells[static_cast<size_t>(column)];
        target.piece = cell.piece;
        target.occupied = true;
    }
    playSound(sndChangeRow);
    row = std::move(fresh);
    dropUnsupported();
}

void dropUnsupported() {
    for (int r = 1; r < fieldRows; ++r) {
        for (int c = 0; c < fieldColumns; ++c) {
            FieldCell& cell = fieldCell(r, c);
            if (!cell.occupied || fieldCell(r - 1, c).occupied) continue;
            PieceDef& p = appendTo(fallingPieces, lastFalling);
            p = cell.piece;
            p.bounces = 4;
            p.active = true;
            cell.occupied = false;
            cell.piece.active = false;
        }
    }
}

void compactFallingList() {
    std::vector<PieceDef> kept;
    kept.reserve(fallingPieces.size());
    for (int i = 0; i <= lastFalling; ++i) {
        PieceDef& p = fallingPiece(i);
        if (p.active) kept.push_back(std::move(p));
    }
    fallingPieces = std::move(kept);
    lastFalling = static_cast<int16_t>(static_cast<int>(fallingPieces.size()) - 1);
}

void drawPieces() {
    for (int r = 0; r < fieldRows; ++r)
        for (int c = 0; c < fieldColumns; ++c) {
            const FieldCell& cell = fieldCell(r, c);
            if (cell.occupied) drawPieceIcon(cell.piece.imageIndex, cell.piece.column, cell.piece.y);
        }
    const int bound = lastFalling;
    for (int i = 0; i <= bound; ++i) {
        const PieceDef& p = fallingPiece(i);
        drawPieceIcon(p.imageIndex, p.column, p.y);
    }
}

} // namespace pomlets

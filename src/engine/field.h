// The field and the falling pieces: spawning, gravity and bounces, settling,
// row shifts, lost support, and drawing the pieces.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/brains.h"

namespace pomlets {

// The cell at (row, column) of field; Subscript out of range (9) outside the
// 7 x 10 field.
FieldCell& fieldCell(int row, int column);
// Slot of pieceDefs; Subscript out of range (9) outside 0 to 19.
PieceDef& pieceDefAt(int slot);
// Element index of fallingPieces; Subscript out of range (9) outside 0 to lastFalling.
PieceDef& fallingPiece(int index);

// The first slot of pieceDefs, from 0 upward over all 20, whose typeName is
// typeName exactly; -1 when there is none.
int firstSlotNamed(const std::string& typeName);
// Puts a piece into play: the falling list grows by one element, then
// chooseSlot names the definition to copy into it (any draws it makes come
// after the list has grown). The copy starts at the top of a random column
// (one draw) with speed 1, and is returned for the caller's own draws. When
// chooseSlot gives -1 the element is taken off again and nothing is returned.
PieceDef* launchPiece(const std::function<int()>& chooseSlot);
// A Bowling Ball's strike on the piece lying in (row, column): the bowling
// sound, its removal, and a silent explosion where it lay.
void bowlingStrike(int16_t row, int16_t column);

// Appends one random piece to the falling list (spawn draw 0 to 999 against
// the definitions' spawn ranges, the last matching slot winning).
void spawnPiece();
// Appends one Gorgon to the falling list and plays its arrival.
void dropGorgon();
// One frame of gravity, bounces, Bowling Ball strikes and settling.
void updateFallingPieces();
// Puts falling element index into the lowest free cell of column, or ends the
// game when the column is full.
void settlePiece(int16_t index, int16_t column);
// The first free row of column from the bottom, 0 to 6; 0 when it is full.
int16_t columnHeight(int16_t column);
// Shifts row currentRow by one cell, left or right, wrapping around.
void shiftRow(bool left);
// Moves every piece that has an empty cell below it back into the falling list.
void dropUnsupported();
// Drops the falling elements that are no longer active.
void compactFallingList();
// Draws the occupied cells, then the falling pieces over them.
void drawPieces();

} // namespace pomlets

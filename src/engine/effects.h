// Explosions, point popups and zaps: short-lived effects of the field.
#pragma once

#include <cstdint>

namespace pomlets {

// Where the popup and the explosion of a piece go: x = 85 column - 70 and
// y = the piece's y - 70, in the effects' frame (190 pixels left of and above
// the screen's origin). Zaps go to x = 85 column + 100, y = y + 80.
int16_t effectX(int16_t column);
int16_t effectY(int16_t pieceY);
int16_t zapX(int16_t column);
int16_t zapY(int16_t pieceY);

// Appends an explosion of size 10; plays sndPop unless silent.
void addExplosion(int16_t x, int16_t y, bool silent);
// Draws every explosion, grows it by 50, drops those that reached 300.
void updateExplosions();
// Appends a point popup; points must fit 16 bits (Overflow otherwise).
void addPointPopup(int16_t x, int16_t y, int32_t points);
// Draws and raises every popup; a popup at -180 or above the top pays its points.
void updatePointPopups();
// Appends a zap of thickness 5 and plays sndSlam.
void addZap(int16_t x, int16_t y, bool horizontal);
// Draws every zap, thickens it by 25, drops those that reached 80.
void updateZaps();

} // namespace pomlets

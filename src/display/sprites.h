// Drawing the sprites, effects and item counters onto the back buffer.
#pragma once

#include <cstdint>

#include "platform/directx.h"

namespace pomlets {

// True while the game display is set up (DirectDraw and the back buffer).
// Once destroy has released it, every drawing routine draws nothing, so the
// rest of a frame in progress never touches a released display.
bool displayUp();
// One keyed blit onto the back buffer; its status is not looked at (a
// rectangle off the back buffer simply draws nothing). A picture that was never
// loaded, or a display already given back, draws nothing.
void blitSprite(const RECT& dest, const SurfaceRef& picture, const RECT& src);

// The picture of pieceDefs(imageIndex) as a 90 x 90 sprite at (80 + 85 column, 80 + y).
void drawPieceIcon(int16_t imageIndex, int16_t column, int16_t y);
// The row pointer left of the field, beside row currentRow.
void drawRowPointer();
// The item, credit and Music Note counters along the top of the screen.
void drawInventoryBar();
// Explosion number index, centred on its position.
void drawExplosion(int16_t index);
// Zap number index, a band of its thickness.
void drawZap(int16_t index);

} // namespace pomlets

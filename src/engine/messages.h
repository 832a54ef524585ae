// The scrolling message, the frog shower and applause.
#pragma once

#include <string>

#include "platform/directx.h"

namespace pomlets {

// The glyph picture of one character (A-Z in either case, "!", space, 0-9),
// or none.
SurfaceRef getGlyph(const std::string& character);
// Replaces any running message with this one, starting at x = 1000.
void showMessage(const std::string& text);
// Scrolls the message 14 pixels left and draws its glyphs.
void drawMessage();
// Adds, animates, moves, draws and renews frogs, and may croak.
void updateFrogs();
// Plays a random non-empty combination of the three clapping sounds.
void playApplause();

} // namespace pomlets

// The contents of the manual's pages, by group. Each builder fills its pages
// of the window's helpFrame array; the link labels are added afterwards by the
// window from its table of page links.
#pragma once

#include "manual/form1.h"

namespace pomlets {

// Pages 0, 1, 2, 3, 10, 11, 12 and 24 to 28: welcome, about, getting
// started, controls, backgrounds, bonus songs, volume, store, tips,
// uninstalling, troubleshooting.
void buildGeneralPages(Form1& form);
// Pages 4 to 9, 29 and 30: the game modes and the bonuses.
void buildModePages(Form1& form);
// Pages 13 to 16: how to play.
void buildPlayingPages(Form1& form);
// Pages 17 to 23: the pieces.
void buildPiecePages(Form1& form);

}  // namespace pomlets

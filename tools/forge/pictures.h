// The groups of pictures the forge makes, in the order it makes them: later
// groups reuse pictures of earlier ones (the specimen box shows the pieces).
#pragma once

#include "paint_kit.h"

namespace pomlets::forge {

void forgePieces(Forge& forge);     // images/: the piece pictures and the fruit; the program icon
void forgeEffects(Forge& forge);    // images/: pointer, zaps, explosion, frogs, letters
void forgeScreens(Forge& forge);    // images/: the mode frames and the loading picture
void forgeThemes(Forge& forge);     // themes/: the background plates
void forgeWindows(Forge& forge);    // images/ui/: the main window, about, pieces and controls artwork
// The help viewer's pictures (PNG) and their resource list manual.qrc, into a
// folder outside the program folder: the manual embeds them.
void forgeManual(const Forge& forge, const QString& folder);

// One PNG of every picture over a background plate, for reviewing the art.
void writeContactSheet(const Forge& forge, const QString& path);

}  // namespace pomlets::forge

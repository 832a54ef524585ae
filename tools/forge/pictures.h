// The groups of pictures the forge makes, in the order it makes them: later
// groups reuse pictures of earlier ones (the specimen box shows the pieces).
#pragma once

#include "paint_kit.h"

namespace pomlets::forge {

void forgePieces(Forge& forge);     // images/: the piece pictures and the fruit

// One PNG of every picture over a background plate, for reviewing the art.
void writeContactSheet(const Forge& forge, const QString& path);

}  // namespace pomlets::forge

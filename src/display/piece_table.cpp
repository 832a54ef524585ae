#include "display/piece_table.h"

#include "common/brains.h"
#include "datafiles/level_files.h"
#include "display/game_window.h"
#include "platform/runtime.h"

namespace pomlets {

void initPieces() {
    lastPieceType = 18;
    for (size_t k = 0; k < pieceDefinitionFiles.size(); ++k) pieceDefs[k] = loadPieceDef(pieceDefinitionFiles[k]);
    for (size_t k = 0; k < pieceDefinitionFiles.size(); ++k) pieceDefs[k].imageIndex = static_cast<int16_t>(k);
    if (!ddraw) throw RuntimeError(err::ObjectNotSet);
    PieceDef& negative = pieceDefs[19];
    negative.surface = ddraw->CreateSurfaceFromFile(appPath("\\images\\calculator_02.bmp"), negative.surfaceDesc);
    negative.surface->SetColorKey(DDCKEY_SRCBLT, colorKey);
}

} // namespace pomlets

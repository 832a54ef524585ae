#include "engine/drops.h"

#include "common/brains.h"
#include "datafiles/log.h"
#include "display/game_window.h"
#include "engine/field.h"
#include "engine/piece_timer.h"
#include "platform/runtime.h"

namespace pomlets {

namespace {

const char* fruitPicture(int16_t variant) {
    switch (variant) {
    case 1: return "\\images\\apple.bmp";
    case 2: return "\\images\\orange.bmp";
    case 3: return "\\images\\cherry.bmp";
    case 4: return "\\images\\grapes.bmp";
    default: return nullptr;
    }
}

// A Pomlet becomes fruit: the picture of its variant (variants 1 to 4) and 100 more points.
void makeFruit(PieceDef& piece) {
    if (const char* picture = fruitPicture(piece.variant)) {
        if (!ddraw) throw RuntimeError(err::ObjectNotSet);
        SurfaceRef surface = ddraw->CreateSurfaceFromFile(appPath(picture), piece.surfaceDesc);
        piece.surface = surface;
        surface->SetColorKey(DDCKEY_SRCBLT, colorKey);
    }
    piece.points = add32(piece.points, 100);
}

} // namespace

void dropPiece(const std::string& typeName) {
    PieceDef* p = launchPiece([&typeName] { return firstSlotNamed(typeName); });
    if (!p) {
        // No definition of that name: nothing drops, and the run log says why.
        writeLog("dropPiece - no piece definition named " + typeName, true);
        return;
    }
    armTimer(*p);
    if (typeName == "Bowling Ball" && fieldCell(6, p->column).occupied) bowlingStrike(6, p->column);
}

void fruitize() {
    try {
        for (int i = 0; i <= lastPieceType; ++i) {
            PieceDef& def = pieceDefAt(i);
            if (def.typeName == "Pomlet") makeFruit(def);
        }
        if (lastFalling >= 0)
            for (int i = 0; i <= lastFalling; ++i) {
                PieceDef& p = fallingPiece(i);
                if (p.typeName == "Pomlet") makeFruit(p);
            }
        for (int r = 0; r < fieldRows; ++r)
            for (int c = 0; c < fieldColumns; ++c) {
                FieldCell& cell = fieldCell(r, c);
                if (cell.occupied && cell.piece.typeName == "Pomlet") makeFruit(cell.piece);
            }
    } catch (const RuntimeError& error) {
        writeLog("error occured in fruitize function.", false);
        writeLog(plainText(error.number()) + ", " + error.description(), false);
        endGame = true;
        // The display is torn down at once; from here on the drawing routines
        // draw nothing (displayUp() is False), so the rest of the frame in
        // progress never touches the released display.
        destroy();
    }
}

} // namespace pomlets

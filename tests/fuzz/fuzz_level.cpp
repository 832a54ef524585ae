// A level file, with its header (Arcade) or without it (Freestyle): the
// first byte of the input chooses.
#include "common/brains.h"
#include "datafiles/level_files.h"
#include "fuzz_support.h"

using namespace pomlets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    pieceDefs = {};
    const char* kinds[] = {"Pomlet", "Pomlet", "Rock", "Slammer", "Bomb"};
    for (size_t i = 0; i < 5; ++i) {
        pieceDefs[i].typeName = kinds[i];
        pieceDefs[i].variant = static_cast<int16_t>(i + 1);
    }
    lastPieceType = 4;
    fuzz::writeScrambled("levels/77", fuzz::textOf(data + 1, size - 1));
    fuzz::expectingRuntimeErrors([&] { loadLevel(appPath("levels/77"), (data[0] & 1) != 0); });
    return 0;
}

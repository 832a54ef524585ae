// The high-score table, read into the table and the high-score panel.
#include "datafiles/player_files.h"
#include "fuzz_support.h"

using namespace pomlets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::writeScrambled("init/6095", fuzz::textOf(data, size));
    fuzz::expectingRuntimeErrors([] { loadHighScores(); });
    return 0;
}

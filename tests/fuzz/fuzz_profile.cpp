// The player profile, read into the shared state and the volume bar.
#include "datafiles/player_files.h"
#include "fuzz_support.h"

using namespace pomlets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::writeScrambled("init/6702", fuzz::textOf(data, size));
    fuzz::expectingRuntimeErrors([] { loadProfile(); });
    return 0;
}

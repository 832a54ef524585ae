// The list of bands, read with the themes at start-up.
#include "frontend/fmain.h"
#include "fuzz_support.h"

using namespace pomlets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::writeScrambled("init/6859", fuzz::textOf(data, size));
    FMain& w = fMain();
    w.allBands->clear();
    fuzz::expectingRuntimeErrors([&] { w.popThemes(); });
    return 0;
}

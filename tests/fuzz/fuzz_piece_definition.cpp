// A piece definition file: its twenty fields and its picture name.
#include "datafiles/level_files.h"
#include "fuzz_support.h"

using namespace pomlets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::writeScrambled("init/4242", fuzz::textOf(data, size));
    fuzz::expectingRuntimeErrors([] { loadPieceDef("4242"); });
    return 0;
}

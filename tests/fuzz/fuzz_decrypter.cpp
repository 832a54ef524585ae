// The data-file scrambler reading any file as a scrambled one.
#include "datafiles/scrambler.h"
#include "fuzz_support.h"

using namespace pomlets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string source = fuzz::writeFile("init/9999", fuzz::textOf(data, size));
    fuzz::expectingRuntimeErrors([&] { decryptFile(source, appPath("plain")); });
    return 0;
}

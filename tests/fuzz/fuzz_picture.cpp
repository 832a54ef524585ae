// The picture check, and the picture loader behind it: a picture that passes
// the check must load within the fuzzer's memory limits.
#include "fuzz_support.h"
#include "platform/directx.h"
#include "platform/media_checks.h"

using namespace pomlets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = fuzz::textOf(data, size);
    if (!bitmapFault(bytes, size).empty()) return 0;
    const std::string path = fuzz::writeFile("images/fuzz.bmp", bytes);
    static DirectDraw7 ddraw;
    DDSURFACEDESC2 desc;
    fuzz::expectingRuntimeErrors([&] { ddraw.CreateSurfaceFromFile(path, desc); });
    return 0;
}

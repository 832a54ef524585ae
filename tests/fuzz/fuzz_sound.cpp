// The sound check, and the sound loader behind it: a sound that passes the
// check must load within the fuzzer's memory limits.
#include "fuzz_support.h"
#include "platform/directx.h"
#include "platform/media_checks.h"

using namespace pomlets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = fuzz::textOf(data, size);
    if (!waveFault(bytes).empty()) return 0;
    const std::string path = fuzz::writeFile("sounds/fuzz.wav", bytes);
    static DirectSound dsound;
    DSBUFFERDESC desc;
    WAVEFORMATEX format;
    fuzz::expectingRuntimeErrors([&] { dsound.CreateSoundBufferFromFile(path, desc, format); });
    return 0;
}

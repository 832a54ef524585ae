// The music check, and the music stream behind it: a track that passes the
// check is opened and started.
#include "fuzz_support.h"
#include "platform/bass.h"
#include "platform/media_checks.h"

using namespace pomlets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = fuzz::textOf(data, size);
    if (!oggVorbisFault(bytes, size).empty()) return 0;
    static const bool open = BASS_Init(1, 44100, 0, nullptr, 0);
    if (!open) return 0;
    const HSTREAM stream = BASS_StreamCreateFile(false, fuzz::writeFile("music/fuzz", bytes), 0, 0, 0);
    if (stream) {
        BASS_StreamPlay(stream, false, 0);
        BASS_StreamFree(stream);
    }
    return 0;
}

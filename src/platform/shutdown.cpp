// The orderly end of the media libraries at program exit, rather than in the
// destructors of static objects, whose order nobody chooses.
#include "platform/bass.h"
#include "platform/sdl_internal.h"
#include "platform/win32.h"

namespace pomlets {

void shutDownMedia() {
    BASS_Free();
    sdl::closeFonts();
    sdl::destroyAllWindows();
    sdl::closeAudio();
    if (TTF_WasInit()) TTF_Quit();
    SDL_Quit();
}

} // namespace pomlets

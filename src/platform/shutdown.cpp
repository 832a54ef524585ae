// The orderly end of the media libraries at program exit, rather than in the
// destructors of static objects, whose order nobody chooses.
#include <SDL_mixer.h>

#include "platform/bass.h"
#include "platform/sdl_internal.h"
#include "platform/sound_internal.h"
#include "platform/win32.h"

namespace pomlets {

void shutDownMedia() {
    BASS_Free();
    sdl::closeFonts();
    sdl::destroyAllWindows();
    audioDevice().close();
    // The decoders stay loaded between games; they go only here.
    Mix_Quit();
    if (TTF_WasInit()) TTF_Quit();
    SDL_Quit();
}

} // namespace pomlets

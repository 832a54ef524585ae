#include "engine/sound_effects.h"

namespace pomlets {

void playSound(const SoundRef& sound) {
    if (sound) sound->Play(DSBPLAY_DEFAULT);
}

} // namespace pomlets

// The game's sound effects, one synthesis recipe per wave file of sounds/.
#pragma once

#include <string>
#include <vector>

#include "synth.h"

namespace pomlets::forge {

constexpr int kEffectRate = 22050;

struct SoundEffect {
    std::string fileName;   // e.g. "_pop01.wav"
    Stereo (*make)();
};

// Every file of the sounds folder, in the order the game loads them.
const std::vector<SoundEffect>& soundEffects();
// Every effect of soundEffects(), in its order, at its level in the game's
// mix: the recipes' levels scaled alike, so that all the peaks together make
// kEffectPeaksTogether (mix_budget.h).
std::vector<Stereo> effectsForTheMix();

} // namespace pomlets::forge

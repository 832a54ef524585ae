// Playing the per-game sound-effect buffers.
#pragma once

#include "platform/directx.h"

namespace pomlets {

// Plays the buffer once from its current position (no flags), neither stopped
// nor rewound first. A sound that was never loaded (an empty reference) is
// silently skipped, so rules run the same without their sounds.
void playSound(const SoundRef& sound);

} // namespace pomlets

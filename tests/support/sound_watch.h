// What the tests read of the program's sound beyond platform/sound_internal.h
// (the audio device, the music output): for each sound buffer the file it was
// loaded from and how many times it started.
#pragma once

#include <string>

#include "platform/directx.h"
#include "platform/sound_internal.h"

namespace pomlets::testing {

// Watches every sound from now on, with nothing seen yet: part of the
// program's reset for tests.
void watchSoundsAfresh();
// How many times the sound started since it was made; -1 for no sound.
int timesStarted(const SoundRef& sound);
// The file the sound was loaded from; empty for a buffer made otherwise.
std::string loadedFrom(const SoundRef& sound);

inline AudioDevice::State audioState() { return audioDevice().state(); }
inline bool audioDeviceOpen() { return audioDevice().isOpen(); }

} // namespace pomlets::testing

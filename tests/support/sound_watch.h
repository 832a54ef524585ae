// What the tests read of the program's sound: the state of the audio device
// and of the music output, and for each sound buffer the file it was loaded
// from and how many times it started since the program's state was last reset
// (program_state.h).
#pragma once

#include <string>

#include "platform/directx.h"
#include "platform/sound_internal.h"

namespace pomlets::testing {

// Watches every sound from now on, with nothing seen yet: part of the
// program's reset for tests.
void watchSoundsAfresh();
// How many times the sound started since it was loaded or the watch began;
// -1 for no sound.
int timesStarted(const SoundRef& sound);
// The file the sound was loaded from; empty for a buffer made otherwise.
std::string loadedFrom(const SoundRef& sound);

inline AudioDevice::State audioState() { return audioDevice().state(); }
inline bool audioDeviceOpen() { return audioDevice().isOpen(); }
inline bool musicOutputOpen() { return musicOutputState().open; }
inline bool musicOutputPaused() { return musicOutputState().paused; }
using pomlets::musicStreamVolume;

} // namespace pomlets::testing

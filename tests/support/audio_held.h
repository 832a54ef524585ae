// Holding the mixer still, and waiting for what its thread brings about, for
// tests of sounds on the dummy audio driver. Header only: the test programs
// that use it link SDL themselves.
#pragma once

#include <QCoreApplication>
#include <SDL.h>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "platform/sound_internal.h"

namespace pomlets::testing {

// Holds the audio device still: nothing that sounds moves on, so a check that
// a sound is still going does not race the audio thread on a loaded machine.
class AudioHeld {
public:
    AudioHeld() : device_(audioDevice().id()) {
        EXPECT_EQ(SDL_GetAudioDeviceStatus(device_), SDL_AUDIO_PLAYING) << "no audio device is playing";
        if (device_) SDL_PauseAudioDevice(device_, 1);
    }
    ~AudioHeld() { release(); }
    AudioHeld(const AudioHeld&) = delete;
    AudioHeld& operator=(const AudioHeld&) = delete;
    void release() {
        if (device_) SDL_PauseAudioDevice(device_, 0);
        device_ = 0;
    }

private:
    SDL_AudioDeviceID device_ = 0;
};

// Waits for a condition that the audio thread brings about, letting the
// program's own thread handle what that thread posts to it meanwhile. The
// limit is generous for a loaded machine; a passing test never waits for it.
template <typename F>
bool eventually(F condition, std::chrono::milliseconds limit = std::chrono::milliseconds(30000)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (QCoreApplication::instance()) QCoreApplication::processEvents();
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

} // namespace pomlets::testing

// What the platform's sound files share: the one audio device that sound
// effects and music play on, the music output's state, and a watch on the
// sound buffers. Only src/platform and the tests include it.
#pragma once

#include <atomic>
#include <bitset>
#include <cstdint>
#include <string>

#include "platform/bass.h"
#include "platform/directx.h"

namespace pomlets {

// The audio device and its mixer, opened on demand, never an error when
// missing. It closes between games, so that nothing holds or feeds it in the
// menus, but only once no sound effect sounds any more: a sound playing when
// a game ends (the game-over sound) plays out first. While the music output
// is paused and no effect sounds it is held, so that SDL's audio thread
// sleeps instead of mixing silence.
class AudioDevice {
public:
    enum class State {
        closed,
        open,
        // Open, the music output paused: held once no effect sounds.
        holdWhenQuiet,
        // Paused, its mixer locked by the program's own thread.
        held,
        // Open, to close once no effect sounds.
        closeWhenQuiet,
    };

    AudioDevice() = default;
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    State state() const { return state_; }
    bool isOpen() const { return state_ != State::closed; }
    // SDL's number of the device; 0 while it is closed or not known.
    uint32_t id() const { return id_; }

    // Opens the device, or keeps it, also when it was waiting to close;
    // false when there is none.
    bool open();
    // The music output paused (true) or resumed: held at once when nothing
    // sounds, else as the last effect ends; resumed, it runs again.
    void holdWhenQuiet(bool hold);
    // An effect starts: a held device runs, to be held again once it ends.
    void wake();
    // The music output is closed: the device goes once nothing sounds.
    void closeWhenQuiet();
    // Closes at once: at program exit.
    void close();
    // A sound has stopped sounding: the close or hold that waits for quiet
    // comes now if nothing sounds any more. The program's own thread only.
    void settle();

    // A mixer channel of its own for a sound buffer; -1 when none is left.
    int allocateChannel();
    void releaseChannel(int channel);

private:
    bool sounding() const;
    void setHeld(bool held);
    void shut();

    // Written by the program's thread only; read by the mixer's thread as a
    // sound ends.
    std::atomic<State> state_{State::closed};
    uint32_t id_ = 0;
    // Channels in use; fixed storage, so that buffers living until exit are safe.
    static constexpr int maxChannels = 1024;
    std::bitset<maxChannels> channelsTaken_;
    int channelsAllocated_ = 0;
};

AudioDevice& audioDevice();

// What the music output stands at.
struct MusicOutputState {
    bool open = false;
    bool paused = false;
};
MusicOutputState musicOutputState();
// A stream's volume, 0 to 100; -1 when there is no such stream.
int32_t musicStreamVolume(HSTREAM handle);

// Told of each sound buffer loaded, of each sound started (not of a Play
// that lets a sound go on) and of each buffer freed. The game watches nothing.
class SoundWatch {
public:
    virtual void loaded(const DirectSoundBuffer& sound, const std::string& path) = 0;
    virtual void started(const DirectSoundBuffer& sound) = 0;
    virtual void gone(const DirectSoundBuffer& sound) = 0;

protected:
    ~SoundWatch() = default;
};
// The watch from now on; nullptr for none.
void watchSounds(SoundWatch* watch);

} // namespace pomlets

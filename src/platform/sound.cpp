// The one audio device (opened on demand, never an error when missing) and
// DirectSound's sound-effect buffers over SDL2_mixer, a mixer channel each.
#include <QCoreApplication>
#include <SDL_mixer.h>
#include <algorithm>
#include <chrono>
#include <type_traits>

#include "platform/media_checks.h"
#include "platform/program_files.h"
#include "platform/runtime.h"
#include "platform/sdl_internal.h"
#include "platform/sound_internal.h"
#include "platform/start_values.h"

namespace pomlets {

namespace {

AudioDevice device;
// Sound buffers freed at program exit still give back their channels.
static_assert(std::is_trivially_destructible_v<AudioDevice>);
POMLETS_NOT_RESTORED(device, "follows the audio device, which the music output and the sound effects close");
SoundWatch* soundWatch = nullptr;
POMLETS_RESTORED(soundWatch);

// SDL numbers the devices that SDL_OpenAudioDevice opens from 2 up, each the
// lowest number free; the mixer's is the one device this program opens.
constexpr SDL_AudioDeviceID mixerDevice = 2;

using Clock = std::chrono::steady_clock;

// On the mixer's thread, as a sound ends. The closing or holding is left to
// the program's own thread, which the mixer must not wait for: in the menus
// that thread sleeps in Qt's event loop, so the word goes there.
void channelDone(int /*channel*/) {
    const AudioDevice::State state = device.state();
    if (state != AudioDevice::State::closeWhenQuiet && state != AudioDevice::State::holdWhenQuiet) return;
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [] { device.settle(); }, Qt::QueuedConnection);
}

} // namespace

AudioDevice& audioDevice() { return device; }

void watchSounds(SoundWatch* watch) { soundWatch = watch; }

bool AudioDevice::open() {
    // A device still open for a sound playing out serves the next game.
    if (state_ == State::closeWhenQuiet) state_ = State::open;
    if (isOpen()) return true;
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    }
    Mix_Init(MIX_INIT_OGG);
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    channelsAllocated_ = Mix_AllocateChannels(32);
    Mix_ChannelFinished(channelDone);
    // Should SDL not know that number, the device is never held.
    id_ = SDL_GetAudioDeviceStatus(mixerDevice) != SDL_AUDIO_STOPPED ? mixerDevice : 0;
    // SDL_mixer marks a paused channel with the tick count of the pause, so a
    // pause at tick 0 (the first millisecond after SDL started) would not hold.
    while (SDL_GetTicks() == 0) SDL_Delay(1);
    state_ = State::open;
    return true;
}

void AudioDevice::holdWhenQuiet(bool hold) {
    const State now = state_;
    if (hold && now == State::open) {
        state_ = State::holdWhenQuiet;
        settle();
    } else if (!hold && (now == State::held || now == State::holdWhenQuiet)) {
        setHeld(false);
        state_ = State::open;
    }
}

void AudioDevice::wake() {
    if (state_ != State::held) return;
    setHeld(false);
    state_ = State::holdWhenQuiet;
}

void AudioDevice::closeWhenQuiet() {
    if (!isOpen()) return;
    // A held device would keep a sound from ever ending, and so from closing.
    setHeld(false);
    // Asked for before looking, so that a sound ending meanwhile still closes it.
    state_ = State::closeWhenQuiet;
    settle();
}

void AudioDevice::close() {
    if (isOpen()) shut();
}

void AudioDevice::settle() {
    const State now = state_;
    if (now != State::closeWhenQuiet && now != State::holdWhenQuiet) return;
    // Effects already sounding go on: the device waits until they have ended.
    if (sounding()) return;
    if (now == State::closeWhenQuiet) {
        shut();
    } else if (id_) {
        setHeld(true);
        state_ = State::held;
    }
}

// Whether any sound effect is still sounding; one stopped part-way waits
// for a Play that will not come before its buffer is replaced.
bool AudioDevice::sounding() const {
    for (int c = 0; c < channelsAllocated_; ++c)
        if (Mix_Playing(c) && !Mix_Paused(c)) return true;
    return false;
}

// Holds the device or lets it run. Held, it is paused and its mixer locked
// by the program's own thread: SDL's audio thread, which would otherwise go
// on waking for every buffer of silence, sleeps on the lock until the device
// is let go again.
void AudioDevice::setHeld(bool held) {
    if (held == (state_ == State::held)) return;
    if (held) {
        SDL_PauseAudioDevice(id_, 1);
        SDL_LockAudioDevice(id_);
    } else {
        SDL_UnlockAudioDevice(id_);
        SDL_PauseAudioDevice(id_, 0);
    }
}

void AudioDevice::shut() {
    Mix_ChannelFinished(nullptr);
    setHeld(false);
    state_ = State::closed;
    id_ = 0;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    channelsAllocated_ = 0;
}

int AudioDevice::allocateChannel() {
    if (!isOpen()) return -1;
    for (int c = 0; c < maxChannels; ++c) {
        if (channelsTaken_[static_cast<size_t>(c)]) continue;
        if (c >= channelsAllocated_) channelsAllocated_ = Mix_AllocateChannels(std::min(maxChannels, c + 32));
        if (c >= channelsAllocated_) return -1;
        channelsTaken_[static_cast<size_t>(c)] = true;
        return c;
    }
    return -1;
}

void AudioDevice::releaseChannel(int channel) {
    if (channel < 0 || channel >= maxChannels) return;
    if (isOpen()) Mix_HaltChannel(channel);
    channelsTaken_[static_cast<size_t>(channel)] = false;
}

struct DirectSoundBuffer::Impl {
    SdlPtr<Mix_Chunk> chunk;
    int channel = -1;
    Clock::duration length{};
    // Without a device the buffer keeps time as if it sounded.
    bool silentPlaying = false;
    Clock::time_point silentEnd{};
    // A buffer stopped part-way keeps its position; the next Play goes on from there.
    bool stoppedMidway = false;
    Clock::duration silentLeft{};

    // A buffer of a closed device stays silent.
    bool audible() const { return chunk && channel >= 0 && device.isOpen(); }

    // The channel is given back before the chunk it plays is freed.
    ~Impl() {
        if (channel >= 0) device.releaseChannel(channel);
    }
};

DirectSoundBuffer::DirectSoundBuffer() : impl_(std::make_unique<Impl>()) {}

DirectSoundBuffer::~DirectSoundBuffer() {
    if (soundWatch) soundWatch->gone(*this);
}

void DirectSoundBuffer::Play(int32_t /*flags*/) {
    if (isPlaying()) return;  // a sound already playing goes on
    if (soundWatch) soundWatch->started(*this);
    const bool resume = impl_->stoppedMidway;
    impl_->stoppedMidway = false;
    if (impl_->audible()) {
        device.wake();
        if (resume && Mix_Paused(impl_->channel)) {
            Mix_Resume(impl_->channel);
            return;
        }
        if (Mix_PlayChannel(impl_->channel, impl_->chunk.get(), 0) >= 0) return;
    }
    impl_->silentPlaying = true;
    impl_->silentEnd = Clock::now() + (resume ? impl_->silentLeft : impl_->length);
}

void DirectSoundBuffer::Stop() {
    if (!isPlaying()) return;
    impl_->stoppedMidway = true;
    if (impl_->audible() && Mix_Playing(impl_->channel)) Mix_Pause(impl_->channel);
    if (impl_->silentPlaying) impl_->silentLeft = impl_->silentEnd - Clock::now();
    impl_->silentPlaying = false;
    // A sound stopped midway counts as ended: it may have been the last one
    // that kept a closed output's device open.
    device.settle();
}

bool DirectSoundBuffer::isPlaying() const {
    if (impl_->silentPlaying) {
        if (Clock::now() < impl_->silentEnd) return true;
        impl_->silentPlaying = false;
    }
    return impl_->audible() && Mix_Playing(impl_->channel) != 0 && Mix_Paused(impl_->channel) == 0;
}

DirectSound::DirectSound() { audio_ = device.open(); }

DirectSound::~DirectSound() = default;

void DirectSound::SetCooperativeLevel(HWND /*window*/, int32_t /*level*/) {}

SoundRef DirectSound::CreateSoundBufferFromFile(const std::string& path, DSBUFFERDESC& desc, WAVEFORMATEX& format) {
    const std::string file = readProgramFile(path, FileKind::Sound);
    checkSound(path, file);
    const auto fileStream = [&file] { return SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())); };
    SDL_AudioSpec spec{};
    Uint8* samples = nullptr;
    Uint32 bytes = 0;
    if (!SDL_LoadWAV_RW(fileStream(), 1, &spec, &samples, &bytes))
        throw RuntimeError(err::InvalidProperty, RuntimeError::textOf(err::InvalidProperty) + ": " + path);
    SDL_FreeWAV(samples);

    auto buffer = std::make_shared<DirectSoundBuffer>();
    const int bits = SDL_AUDIO_BITSIZE(spec.format);
    const int frameBytes = std::max(1, bits / 8 * spec.channels);
    const double seconds = spec.freq > 0 ? static_cast<double>(bytes) / frameBytes / spec.freq : 0.0;
    buffer->impl_->length = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));

    format.formatTag = 1;
    format.channels = static_cast<int16_t>(spec.channels);
    format.samplesPerSec = spec.freq;
    format.bitsPerSample = static_cast<int16_t>(bits);
    format.blockAlign = static_cast<int16_t>(frameBytes);
    format.avgBytesPerSec = frameBytes * spec.freq;
    desc.bufferBytes = static_cast<int32_t>(bytes);

    if (audio_) {
        // A sound the mixer cannot take stays silent rather than stopping the game.
        buffer->impl_->chunk.reset(Mix_LoadWAV_RW(fileStream(), 1));
        if (buffer->impl_->chunk) buffer->impl_->channel = device.allocateChannel();
    }
    if (soundWatch) soundWatch->loaded(*buffer, path);
    return buffer;
}

} // namespace pomlets

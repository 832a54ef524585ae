// The one audio device (opened on demand, never an error when missing) and
// DirectSound's sound-effect buffers over SDL2_mixer, a mixer channel each.
#include <QCoreApplication>
#include <SDL_mixer.h>
#include <atomic>
#include <bitset>
#include <chrono>

#include "platform/media_checks.h"
#include "platform/program_files.h"
#include "platform/runtime.h"
#include "platform/sdl_internal.h"
#include "platform/start_values.h"

namespace pomlets {

namespace {

bool audioOpen = false;
POMLETS_NOT_RESTORED(audioOpen, "follows the audio device, which the music output and the sound effects close");
// Set once the device is to close as soon as nothing sounds on it. Read by
// the mixer's thread, which calls channelDone when a sound ends.
std::atomic<bool> closeWhenQuiet{false};
POMLETS_NOT_RESTORED(closeWhenQuiet, "follows the audio device, which the music output and the sound effects close");
// SDL's id of the device the mixer opened (0 when not known); whether it is
// to be held while no effect sounds (the music output is paused), and
// whether it is held. Read by the mixer's thread, as a sound ends.
SDL_AudioDeviceID mixerDevice = 0;
POMLETS_NOT_RESTORED(mixerDevice, "follows the audio device, which the music output and the sound effects close");
std::atomic<bool> holdWhenQuiet{false};
POMLETS_NOT_RESTORED(holdWhenQuiet, "follows the music output, which pauses and resumes the device");
bool audioHeld = false;
POMLETS_NOT_RESTORED(audioHeld, "follows the audio device, which the music output and the sound effects close");

// Holds the device or lets it run. Held, it is paused and its mixer locked
// by the program's own thread: SDL's audio thread, which would otherwise go
// on waking for every buffer of silence, sleeps on the lock until the device
// is let go again.
void setHeld(bool hold) {
    if (hold == audioHeld) return;
    if (hold) {
        SDL_PauseAudioDevice(mixerDevice, 1);
        SDL_LockAudioDevice(mixerDevice);
    } else {
        SDL_UnlockAudioDevice(mixerDevice);
        SDL_PauseAudioDevice(mixerDevice, 0);
    }
    audioHeld = hold;
}
// Channels in use; fixed storage so that buffers living until exit are safe.
constexpr int maxChannels = 1024;
std::bitset<maxChannels> channelsTaken;
POMLETS_NOT_RESTORED(channelsTaken, "follows the audio device, which the music output and the sound effects close");
int channelsAllocated = 0;
POMLETS_NOT_RESTORED(channelsAllocated, "follows the audio device, which the music output and the sound effects close");

using Clock = std::chrono::steady_clock;

// Whether any sound effect is still sounding; one stopped part-way waits
// for a Play that will not come before its buffer is replaced.
bool sounding() {
    for (int c = 0; c < channelsAllocated; ++c)
        if (Mix_Playing(c) && !Mix_Paused(c)) return true;
    return false;
}

// On the mixer's thread, as a sound ends: the closing itself is left to the
// program's own thread, which the mixer must not wait for.
void channelDone(int /*channel*/) {
    if (!closeWhenQuiet && !holdWhenQuiet) return;
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app,
            [] {
                sdl::closeAudioIfQuiet();
                sdl::holdAudioIfQuiet();
            },
            Qt::QueuedConnection);
}

} // namespace

namespace sdl {

bool ensureAudio() {
    // A device still open for a sound playing out serves the next game.
    closeWhenQuiet = false;
    if (audioOpen) return true;
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    }
    Mix_Init(MIX_INIT_OGG);
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    channelsAllocated = Mix_AllocateChannels(32);
    Mix_ChannelFinished(channelDone);
    // The mixer does not tell its device: it is the one device open.
    mixerDevice = 0;
    for (SDL_AudioDeviceID id = 1; id < 64 && !mixerDevice; ++id)
        if (SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) mixerDevice = id;
    // SDL_mixer marks a paused channel with the tick count of the pause, so a
    // pause at tick 0 (the first millisecond after SDL started) would not hold.
    while (SDL_GetTicks() == 0) SDL_Delay(1);
    audioOpen = true;
    return true;
}

void closeAudioWhenQuiet() {
    if (!audioOpen) return;
    // Asked for before looking, so that a sound ending meanwhile still closes it.
    closeWhenQuiet = true;
    closeAudioIfQuiet();
}

void closeAudioIfQuiet() {
    if (closeWhenQuiet && !sounding()) closeAudio();
}

void holdAudio(bool hold) {
    holdWhenQuiet = hold;
    if (hold) holdAudioIfQuiet();
    else wakeAudio();
}

void holdAudioIfQuiet() {
    // Effects already sounding go on: the device is held once they have ended.
    if (!audioOpen || !mixerDevice || !holdWhenQuiet || sounding()) return;
    setHeld(true);
}

void wakeAudio() {
    if (audioOpen && mixerDevice) setHeld(false);
}

void closeAudio() {
    closeWhenQuiet = false;
    if (!audioOpen) return;
    Mix_ChannelFinished(nullptr);
    holdAudio(false);
    mixerDevice = 0;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioOpen = false;
    channelsAllocated = 0;
}

bool audioIsOpen() { return audioOpen; }

int allocateChannel() {
    if (!audioOpen) return -1;
    for (int c = 0; c < maxChannels; ++c) {
        if (channelsTaken[static_cast<size_t>(c)]) continue;
        if (c >= channelsAllocated) channelsAllocated = Mix_AllocateChannels(std::min(maxChannels, c + 32));
        if (c >= channelsAllocated) return -1;
        channelsTaken[static_cast<size_t>(c)] = true;
        return c;
    }
    return -1;
}

void releaseChannel(int channel) {
    if (channel < 0 || channel >= maxChannels) return;
    if (audioOpen) Mix_HaltChannel(channel);
    channelsTaken[static_cast<size_t>(channel)] = false;
}

} // namespace sdl

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
    bool audible() const { return chunk && channel >= 0 && sdl::audioIsOpen(); }

    // The channel is given back before the chunk it plays is freed.
    ~Impl() {
        if (channel >= 0) sdl::releaseChannel(channel);
    }
};

DirectSoundBuffer::DirectSoundBuffer() : impl_(std::make_unique<Impl>()) {}

DirectSoundBuffer::~DirectSoundBuffer() = default;

void DirectSoundBuffer::Play(int32_t /*flags*/) {
    if (isPlaying()) return;  // a sound already playing goes on
    ++started_;
    const bool resume = impl_->stoppedMidway;
    impl_->stoppedMidway = false;
    if (impl_->audible()) {
        sdl::wakeAudio();
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
    sdl::closeAudioIfQuiet();
}

bool DirectSoundBuffer::isPlaying() const {
    if (impl_->silentPlaying) {
        if (Clock::now() < impl_->silentEnd) return true;
        impl_->silentPlaying = false;
    }
    return impl_->audible() && Mix_Playing(impl_->channel) != 0 && Mix_Paused(impl_->channel) == 0;
}

DirectSound::DirectSound() { audio_ = sdl::ensureAudio(); }

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
    buffer->path_ = path;
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
        if (buffer->impl_->chunk) buffer->impl_->channel = sdl::allocateChannel();
    }
    return buffer;
}

} // namespace pomlets

// The BASS music functions over SDL2_mixer's music stream: one stream plays
// at a time, each handle names one opened track, and nothing raises an error.
#include "platform/bass.h"

#include <SDL_mixer.h>
#include <algorithm>
#include <map>
#include <memory>

#include "platform/media_checks.h"
#include "platform/program_files.h"
#include "platform/runtime.h"
#include "platform/sdl_internal.h"
#include "platform/sound_internal.h"
#include "platform/start_values.h"

namespace pomlets {

namespace {

struct Stream {
    // The track's bytes, read once; the decoder streams from them, so they
    // are declared first and go last.
    std::unique_ptr<const std::string> file;
    SdlPtr<Mix_Music> music;
    int32_t volume = 100;
};

struct Output {
    bool open = false;
    bool paused = false;
    HSTREAM nextHandle = 1;  // handles are never reused, so a stale one finds nothing
    HSTREAM playing = 0;     // the stream last started on the music channel
    std::map<HSTREAM, Stream> streams;

    ~Output() { endAll(); }

    void endAll() {
        if (playing) Mix_HaltMusic();
        playing = 0;
        streams.clear();
    }

    Stream* find(HSTREAM handle) {
        const auto it = streams.find(handle);
        return it == streams.end() ? nullptr : &it->second;
    }
};

Output& output() {
    static Output o;
    POMLETS_LOCAL_RESTORED_BY(o, BASS_Free);
    return o;
}

int mixerVolume(int32_t volume) { return std::clamp(volume, 0, 100) * MIX_MAX_VOLUME / 100; }

} // namespace

bool BASS_Init(int32_t /*device*/, int32_t /*freq*/, int32_t /*flags*/, HWND /*window*/, int32_t /*clsid*/) {
    Output& o = output();
    if (!o.open) o.open = audioDevice().open();
    audioDevice().holdWhenQuiet(false);
    o.paused = false;
    return o.open;
}

void BASS_Free() {
    Output& o = output();
    o.endAll();
    if (o.paused) Mix_ResumeMusic();
    // The output is closed for real: the audio device goes with it once the
    // sound effects still playing have ended.
    if (o.open) audioDevice().closeWhenQuiet();
    o.open = false;
    o.paused = false;
}

HSTREAM BASS_StreamCreateFile(bool mem, const std::string& path, int32_t /*offset*/, int32_t /*length*/,
                              int32_t /*flags*/) {
    Output& o = output();
    if (!o.open || mem) return 0;
    std::unique_ptr<const std::string> file;
    try {
        file = std::make_unique<const std::string>(readProgramFile(path, FileKind::Music));
    } catch (const RuntimeError&) {
        return 0;
    }
    if (!musicIsSane(*file)) return 0;
    SdlPtr<Mix_Music> music(Mix_LoadMUS_RW(SDL_RWFromConstMem(file->data(), static_cast<int>(file->size())), 1));
    if (!music) return 0;
    const HSTREAM handle = o.nextHandle++;
    o.streams[handle] = Stream{std::move(file), std::move(music), 100};
    return handle;
}

bool BASS_StreamPlay(HSTREAM handle, bool /*flush*/, int32_t /*flags*/) {
    Output& o = output();
    Stream* s = o.find(handle);
    if (!s) return false;
    Mix_VolumeMusic(mixerVolume(s->volume));
    if (Mix_PlayMusic(s->music.get(), 0) != 0) return false;
    o.playing = handle;
    // A stream started while the output is paused waits for BASS_Start.
    if (o.paused) Mix_PauseMusic();
    return true;
}

bool BASS_StreamFree(HSTREAM handle) {
    Output& o = output();
    Stream* s = o.find(handle);
    if (!s) return false;
    if (o.playing == handle) {
        Mix_HaltMusic();
        o.playing = 0;
    }
    o.streams.erase(handle);
    return true;
}

bool BASS_ChannelSetAttributes(HSTREAM handle, int32_t /*freq*/, int32_t volume, int32_t /*pan*/) {
    Output& o = output();
    Stream* s = o.find(handle);
    if (!s) return false;
    if (volume >= 0) {
        s->volume = std::min(volume, 100);
        if (o.playing == handle) Mix_VolumeMusic(mixerVolume(s->volume));
    }
    return true;
}

int32_t BASS_ChannelIsActive(HSTREAM handle) {
    Output& o = output();
    if (handle == 0 || o.playing != handle || !o.find(handle)) return 0;
    // Mixer music counts as playing while paused, as a stream does with its output.
    return Mix_PlayingMusic() ? 1 : 0;
}

bool BASS_Pause() {
    Output& o = output();
    if (!o.open) return false;
    Mix_PauseMusic();
    o.paused = true;
    audioDevice().holdWhenQuiet(true);
    return true;
}

bool BASS_Start() {
    Output& o = output();
    if (!o.open) return false;
    audioDevice().holdWhenQuiet(false);
    Mix_ResumeMusic();
    o.paused = false;
    return true;
}

MusicOutputState musicOutputState() { return {output().open, output().paused}; }

int32_t musicStreamVolume(HSTREAM handle) {
    const Stream* s = output().find(handle);
    return s ? s->volume : -1;
}

} // namespace pomlets

// Sound-effect buffers and music streams on the dummy audio driver, and the
// same calls without any audio device (run in a child process).
#include <SDL.h>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>
#include <utility>

#include "error_of.h"
#include "media_files.h"
#include "platform/bass.h"
#include "platform/directx.h"
#include "platform/runtime.h"
#include "support/audio_held.h"
#include "support/program_folder.h"
#include "support/sound_watch.h"

namespace pomlets {
namespace {

using testing::AudioHeld;
using testing::errorOf;
using testing::eventually;

using namespace std::chrono_literals;

bool silentChild() { return std::getenv("POMLETS_SILENT_AUDIO_CHILD") != nullptr; }

class SoundTest : public ::testing::Test {
protected:
    testing::TempProgramFolder folder;
    DirectX7 dx;
    DSBUFFERDESC desc;
    WAVEFORMATEX format;

    void SetUp() override {
        if (silentChild()) GTEST_SKIP() << "runs with audio only";
    }
};

TEST_F(SoundTest, BufferPlaysOnceAndAPlayWhileSoundingGoesOn) {
    auto dsound = dx.DirectSoundCreate("");
    ASSERT_TRUE(dsound->hasAudio());
    dsound->SetCooperativeLevel(nullptr, DSSCL_NORMAL);
    testing::writeWav(folder.file("pop.wav"), 300);
    SoundRef pop = dsound->CreateSoundBufferFromFile(folder.file("pop.wav"), desc, format);
    EXPECT_EQ(testing::loadedFrom(pop), folder.file("pop.wav"));
    EXPECT_EQ(format.formatTag, 1);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.samplesPerSec, 22050);
    EXPECT_EQ(format.bitsPerSample, 16);
    EXPECT_EQ(format.blockAlign, 4);
    EXPECT_EQ(desc.bufferBytes, 22050 * 300 / 1000 * 4);

    EXPECT_FALSE(pop->isPlaying());
    AudioHeld held;
    pop->Play(DSBPLAY_DEFAULT);
    EXPECT_TRUE(pop->isPlaying());
    pop->Play(DSBPLAY_DEFAULT);
    EXPECT_EQ(testing::timesStarted(pop), 1);
    pop->Stop();
    EXPECT_FALSE(pop->isPlaying());
    pop->Play(DSBPLAY_DEFAULT);
    EXPECT_EQ(testing::timesStarted(pop), 2);
    held.release();
    EXPECT_TRUE(eventually([&] { return !pop->isPlaying(); }));
    // Once ended it starts again.
    pop->Play(DSBPLAY_DEFAULT);
    EXPECT_EQ(testing::timesStarted(pop), 3);
    EXPECT_TRUE(pop->isPlaying());
}

TEST_F(SoundTest, EachBufferSoundsOnItsOwn) {
    auto dsound = dx.DirectSoundCreate("");
    testing::writeWav(folder.file("a.wav"), 400, 22050, 1);
    SoundRef a = dsound->CreateSoundBufferFromFile(folder.file("a.wav"), desc, format);
    SoundRef b = dsound->CreateSoundBufferFromFile(folder.file("a.wav"), desc, format);
    EXPECT_EQ(format.channels, 1);
    AudioHeld held;
    a->Play(0);
    b->Play(0);
    EXPECT_TRUE(a->isPlaying());
    EXPECT_TRUE(b->isPlaying());
    a->Stop();
    EXPECT_FALSE(a->isPlaying());
    EXPECT_TRUE(b->isPlaying());
    // Many buffers at once, as a game loads them.
    std::vector<SoundRef> many;
    for (int i = 0; i < 60; ++i) many.push_back(dsound->CreateSoundBufferFromFile(folder.file("a.wav"), desc, format));
    for (auto& s : many) s->Play(0);
    for (auto& s : many) EXPECT_TRUE(s->isPlaying());
}

TEST_F(SoundTest, BadSoundFilesRaiseClearErrors) {
    auto dsound = dx.DirectSoundCreate("");
    EXPECT_EQ(errorOf([&] { dsound->CreateSoundBufferFromFile(folder.file("sounds/none.wav"), desc, format); }),
              err::FileNotFound);
    testing::writeBytes(folder.file("text.wav"), "RIFF but not really a wave sound");
    EXPECT_EQ(errorOf([&] { dsound->CreateSoundBufferFromFile(folder.file("text.wav"), desc, format); }),
              err::InvalidProperty);
    testing::writeOgg(folder.file("music.ogg"), 200);
    EXPECT_EQ(errorOf([&] { dsound->CreateSoundBufferFromFile(folder.file("music.ogg"), desc, format); }),
              err::InvalidProperty);
    try {
        dsound->CreateSoundBufferFromFile(folder.file("text.wav"), desc, format);
    } catch (const RuntimeError& e) {
        EXPECT_NE(std::string(e.what()).find("text.wav"), std::string::npos);
    }
}

class MusicTest : public SoundTest {
protected:
    void TearDown() override { BASS_Free(); }
};

TEST_F(MusicTest, AStreamsWholeLife) {
    ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, 0));
    EXPECT_TRUE(musicOutputState().open);
    testing::writeOgg(folder.file("Track"), 400);  // music files have no extension
    const HSTREAM track = BASS_StreamCreateFile(false, folder.file("Track"), 0, 0, 0);
    ASSERT_NE(track, 0u);
    EXPECT_EQ(BASS_ChannelIsActive(track), 0);  // not started yet
    EXPECT_TRUE(BASS_ChannelSetAttributes(track, -1, 40, -101));
    EXPECT_EQ(musicStreamVolume(track), 40);
    AudioHeld held;
    EXPECT_TRUE(BASS_StreamPlay(track, false, 0));
    EXPECT_EQ(BASS_ChannelIsActive(track), 1);

    // Paused, the stream stays active for longer than it lasts.
    EXPECT_TRUE(BASS_Pause());
    EXPECT_TRUE(musicOutputState().paused);
    held.release();
    std::this_thread::sleep_for(600ms);
    EXPECT_EQ(BASS_ChannelIsActive(track), 1);
    EXPECT_TRUE(BASS_Start());
    EXPECT_FALSE(musicOutputState().paused);

    EXPECT_TRUE(eventually([&] { return BASS_ChannelIsActive(track) == 0; }));
    EXPECT_TRUE(BASS_StreamFree(track));
    EXPECT_FALSE(BASS_StreamFree(track));
    EXPECT_EQ(BASS_ChannelIsActive(track), 0);
    EXPECT_EQ(musicStreamVolume(track), -1);
}

// While the music output is paused and no effect sounds, the audio device is
// held, so that SDL mixes no silence; an effect still sounding keeps it
// running until it ends, and an effect started meanwhile or BASS_Start lets
// it run again.
TEST_F(MusicTest, APausedOutputWithNothingSoundingPausesTheDevice) {
    using State = AudioDevice::State;
    ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, 0));
    // The device the mixer opened, as SDL tells it and as the program holds it.
    const uint32_t opened = audioDevice().id();
    ASSERT_NE(opened, 0u);
    auto device = [opened] { return std::pair(SDL_GetAudioDeviceStatus(opened), testing::audioState()); };
    const auto running = std::pair(SDL_AUDIO_PLAYING, State::open);
    const auto held = std::pair(SDL_AUDIO_PAUSED, State::held);
    const auto heldWhenQuiet = std::pair(SDL_AUDIO_PLAYING, State::holdWhenQuiet);
    EXPECT_EQ(device(), running);
    EXPECT_TRUE(BASS_Pause());
    EXPECT_EQ(device(), held);
    EXPECT_TRUE(BASS_Start());
    EXPECT_EQ(device(), running);

    auto dsound = dx.DirectSoundCreate("");
    testing::writeWav(folder.file("long.wav"), 20000);
    SoundRef effect = dsound->CreateSoundBufferFromFile(folder.file("long.wav"), desc, format);
    effect->Play(0);
    EXPECT_TRUE(BASS_Pause());
    EXPECT_EQ(device(), heldWhenQuiet) << "a sounding effect goes on";
    EXPECT_TRUE(effect->isPlaying());
    EXPECT_TRUE(BASS_Start());
    EXPECT_EQ(device(), running);
    effect->Stop();  // stopped midway: it sounds no more
    // An effect that sounds when the output pauses plays out, and the device
    // is held once it has ended.
    testing::writeWav(folder.file("short.wav"), 150);
    SoundRef blip = dsound->CreateSoundBufferFromFile(folder.file("short.wav"), desc, format);
    blip->Play(0);
    EXPECT_TRUE(BASS_Pause());
    EXPECT_TRUE(eventually([&] { return !blip->isPlaying(); }));
    EXPECT_TRUE(eventually([&] { return device() == held; })) << "held once the effect has ended";
    EXPECT_TRUE(BASS_Start());
    EXPECT_EQ(device(), running);
    EXPECT_TRUE(BASS_Pause());
    EXPECT_EQ(device(), held);
    effect->Play(0);
    EXPECT_EQ(device(), heldWhenQuiet) << "an effect started while paused sounds";
    EXPECT_TRUE(effect->isPlaying());
    EXPECT_TRUE(BASS_Start());
    EXPECT_EQ(device(), running);
    EXPECT_TRUE(BASS_Pause());
    BASS_Free();
    EXPECT_EQ(device(), std::pair(SDL_AUDIO_PLAYING, State::closeWhenQuiet))
        << "a game's end neither holds nor cuts a sounding effect";
    effect->Stop();  // stopped midway, the last sound counts as ended
    EXPECT_EQ(device(), std::pair(SDL_AUDIO_STOPPED, State::closed));
    EXPECT_EQ(audioDevice().id(), 0u);
    ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, 0));
    EXPECT_EQ(audioDevice().id(), opened);
    EXPECT_EQ(device(), running) << "the next game's output runs";
}

TEST_F(MusicTest, WavWorksAsMusicAndANewStreamEndsTheOld) {
    BASS_Init(1, 44100, 0, nullptr, 0);
    testing::writeWav(folder.file("one.wav"), 3000);
    const HSTREAM one = BASS_StreamCreateFile(false, folder.file("one.wav"), 0, 0, 0);
    const HSTREAM two = BASS_StreamCreateFile(false, folder.file("one.wav"), 0, 0, 0);
    ASSERT_NE(one, 0u);
    ASSERT_NE(two, 0u);
    EXPECT_NE(one, two);
    AudioHeld held;
    BASS_StreamPlay(one, false, 0);
    EXPECT_EQ(BASS_ChannelIsActive(one), 1);
    BASS_StreamPlay(two, false, 0);
    EXPECT_EQ(BASS_ChannelIsActive(one), 0);
    EXPECT_EQ(BASS_ChannelIsActive(two), 1);
    // Started while the output is paused, it waits for the start.
    BASS_Pause();
    EXPECT_TRUE(BASS_StreamFree(two));
    const HSTREAM three = BASS_StreamCreateFile(false, folder.file("one.wav"), 0, 0, 0);
    BASS_StreamPlay(three, false, 0);
    EXPECT_EQ(BASS_ChannelIsActive(three), 1);
    EXPECT_TRUE(musicOutputState().paused);
    // The volume is kept to 0..100; -1 leaves it.
    BASS_ChannelSetAttributes(three, -1, 250, -101);
    EXPECT_EQ(musicStreamVolume(three), 100);
    BASS_ChannelSetAttributes(three, -1, -1, -101);
    EXPECT_EQ(musicStreamVolume(three), 100);
    BASS_ChannelSetAttributes(three, -1, 0, -101);
    EXPECT_EQ(musicStreamVolume(three), 0);

    // Freeing the output ends every stream; nothing opens until the next start.
    BASS_Free();
    EXPECT_FALSE(musicOutputState().open);
    EXPECT_FALSE(musicOutputState().paused);
    EXPECT_EQ(BASS_ChannelIsActive(three), 0);
    EXPECT_FALSE(BASS_StreamFree(one));
    EXPECT_FALSE(BASS_StreamPlay(three, false, 0));
    EXPECT_EQ(BASS_StreamCreateFile(false, folder.file("one.wav"), 0, 0, 0), 0u);
    EXPECT_FALSE(BASS_Pause());
    ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, 0));
    const HSTREAM four = BASS_StreamCreateFile(false, folder.file("one.wav"), 0, 0, 0);
    EXPECT_GT(four, three);
}

TEST_F(MusicTest, FilesThatCannotBeOpenedGiveHandleZero) {
    BASS_Init(1, 44100, 0, nullptr, 0);
    EXPECT_EQ(BASS_StreamCreateFile(false, folder.file("missing"), 0, 0, 0), 0u);
    testing::writeBytes(folder.file("garbage"), std::string(4000, 'x'));
    EXPECT_EQ(BASS_StreamCreateFile(false, folder.file("garbage"), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(false, folder.path(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ChannelIsActive(0), 0);
    EXPECT_FALSE(BASS_StreamPlay(0, false, 0));
    EXPECT_FALSE(BASS_StreamFree(0));
    EXPECT_FALSE(BASS_ChannelSetAttributes(0, -1, 50, -101));
}

// Without an audio device: every call works, nothing sounds, nothing raises.
TEST(SilentAudioTest, GameGoesOnWithoutAudio) {
    if (!silentChild()) {
        const std::string command = "SDL_AUDIODRIVER=no_such_driver POMLETS_SILENT_AUDIO_CHILD=1 '" +
                                    std::string(program_invocation_name) +
                                    "' --gtest_filter=SilentAudioTest.* >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << "the run without audio failed: " << command;
        return;
    }
    testing::TempProgramFolder folder;
    DirectX7 dx;
    auto dsound = dx.DirectSoundCreate("");
    EXPECT_FALSE(dsound->hasAudio());
    DSBUFFERDESC desc;
    WAVEFORMATEX format;
    // Without a device the buffer keeps time by the clock, which cannot be held:
    // the sound lasts long enough for the checks made while it sounds.
    testing::writeWav(folder.file("pop.wav"), 1500);
    SoundRef pop = dsound->CreateSoundBufferFromFile(folder.file("pop.wav"), desc, format);
    EXPECT_EQ(format.samplesPerSec, 22050);
    pop->Play(0);
    EXPECT_TRUE(pop->isPlaying());
    pop->Play(0);
    EXPECT_EQ(testing::timesStarted(pop), 1);
    pop->Stop();
    EXPECT_FALSE(pop->isPlaying());
    pop->Play(0);
    EXPECT_TRUE(eventually([&] { return !pop->isPlaying(); }));
    EXPECT_EQ(testing::timesStarted(pop), 2);
    EXPECT_EQ(errorOf([&] { dsound->CreateSoundBufferFromFile(folder.file("none.wav"), desc, format); }),
              err::FileNotFound);

    EXPECT_FALSE(BASS_Init(1, 44100, 0, nullptr, 0));
    EXPECT_FALSE(musicOutputState().open);
    testing::writeWav(folder.file("song"), 200);
    EXPECT_EQ(BASS_StreamCreateFile(false, folder.file("song"), 0, 0, 0), 0u);
    EXPECT_FALSE(BASS_Pause());
    EXPECT_FALSE(BASS_Start());
    BASS_Free();
}

} // namespace
} // namespace pomlets

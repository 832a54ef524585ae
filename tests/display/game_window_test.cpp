// The game window, the display set-up and its tear-down.
#include <QCoreApplication>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include "common/brains.h"
#include "datafiles/music_list.h"
#include "display/game_window.h"
#include "display/playlist.h"
#include "display_game.h"
#include "frontend/fmain.h"
#include "platform/bass.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "platform/windows1252.h"
#include "support/audio_held.h"
#include "support/platform_port.h"
#include "support/sound_watch.h"

namespace pomlets::testing {
namespace {

using testing::AudioHeld;
using testing::eventually;

class GameWindowTest : public DisplayGameTest {};

TEST_F(GameWindowTest, TwoGamesInARowLogEverySetUpAndTearDownInOrder) {
    std::shared_ptr<StdFont> firstFont;
    for (int game = 0; game < 2; ++game) {
        startGame();
        if (game == 0) firstFont = textFont;
        EXPECT_TRUE(ddraw && primary && backBuffer && dinput && dsound && keyboard && mouse && dx);
        endTheGame();
        EXPECT_FALSE(ddraw);
        EXPECT_FALSE(dx);
    }
    std::vector<std::string> expected;
    for (int game = 0; game < 2; ++game) {
        expected.insert(expected.end(), initDXLines().begin(), initDXLines().end());
        expected.push_back("destroy - shutting down directx");
    }
    EXPECT_EQ(logTexts(), expected);
    for (const LogLine& line : logLines()) EXPECT_TRUE(line.indented) << line.text;
    // The font object is made once and reused by the next game.
    EXPECT_EQ(textFont, firstFont);
}

TEST_F(GameWindowTest, SetUpGivesTheDocumentedObjectsAndValues) {
    startGame();
    EXPECT_EQ(screenWidth, 1024);
    EXPECT_EQ(screenHeight, 768);
    EXPECT_EQ(backBuffer->width(), 1024);
    EXPECT_EQ(backBuffer->height(), 768);
    EXPECT_TRUE(ddraw->displayModeSet());
    EXPECT_EQ(ddraw->window(), fConsole().hWnd());
    EXPECT_EQ(fConsole().window()->caption(), "Click to resume play");
    EXPECT_EQ(primaryDesc.flags, 33);
    EXPECT_EQ(primaryDesc.caps.caps, 536);
    EXPECT_EQ(primaryDesc.backBufferCount, 1);
    EXPECT_EQ(textFont->name, "Times New Roman");
    EXPECT_EQ(textFont->size, 12);
    EXPECT_TRUE(keyboard->acquired());
    EXPECT_TRUE(mouse->acquired());
    EXPECT_EQ(colorKey.low, 0xFFFFFF);
    EXPECT_EQ(colorKey.high, 0xFFFFFF);
    EXPECT_EQ(soundBufferDesc.flags, 226);
    EXPECT_EQ(soundBufferDesc.bufferBytes, 0);
    EXPECT_EQ(waveFormat.formatTag, 1);
    EXPECT_EQ(waveFormat.channels, 2);
    EXPECT_EQ(waveFormat.samplesPerSec, 22050);
    EXPECT_EQ(waveFormat.bitsPerSample, 16);
    EXPECT_EQ(waveFormat.blockAlign, 4);
    EXPECT_EQ(waveFormat.avgBytesPerSec, 88200);
    EXPECT_TRUE(musicOutputState().open);
    EXPECT_TRUE(audioDeviceOpen());
    EXPECT_FALSE(cursorVisible());
    endTheGame();
    EXPECT_TRUE(cursorVisible());
    EXPECT_FALSE(musicOutputState().open);
    // The music output is really closed between games: no device is held.
    EXPECT_FALSE(audioDeviceOpen());
    EXPECT_FALSE(fConsole().loaded());
}

// The first picture the player sees is the loading picture: the set-up's
// blank frames (the display mode's black, the test flip) keep the shown
// window off the screen, and the first frame with a picture brings it on.
TEST_F(GameWindowTest, TheWindowComesOnTheScreenWithItsFirstPicture) {
    for (int game = 0; game < 2; ++game) {
        fConsole().Show();
        GameWindow* window = fConsole().window();
        const int before = window->framesPresented();
        endGame = false;
        initDX();
        EXPECT_TRUE(window->isShown());
        EXPECT_FALSE(window->onScreen()) << "game " << game;
        EXPECT_EQ(window->framesPresented(), before);
        DDSURFACEDESC2 desc;
        const SurfaceRef loading = ddraw->CreateSurfaceFromFile(appPath("\\images\\loading.bmp"), desc);
        backBuffer->Blt(RECT{0, 0, 1024, 768}, loading, RECT{0, 0, desc.width, desc.height}, DDBLT_WAIT);
        primary->Flip(nullptr, DDFLIP_WAIT);
        EXPECT_TRUE(window->onScreen());
        EXPECT_EQ(window->framesPresented(), before + 1);
        // From then on every frame is shown, black ones too.
        backBuffer->BltColorFill(RECT{}, 0);
        primary->Flip(nullptr, DDFLIP_WAIT);
        EXPECT_EQ(window->framesPresented(), before + 2);
        endTheGame();
        EXPECT_FALSE(window->onScreen());
    }
}

TEST_F(GameWindowTest, DestroyTwiceForOneGameGivesEverythingBackOnce) {
    startGame();
    const std::shared_ptr<DirectDraw7> display = ddraw;
    // The fruit change's failure path tears down, then the Play command again.
    endTheGame();
    destroy();
    EXPECT_FALSE(display->displayModeSet());
    EXPECT_TRUE(cursorVisible());
    EXPECT_FALSE(musicOutputState().open);
    EXPECT_FALSE(fConsole().loaded());
    EXPECT_TRUE(endGame);
    std::vector<std::string> expected = initDXLines();
    expected.push_back("destroy - shutting down directx");
    EXPECT_EQ(logTexts(), expected);

    EXPECT_FALSE(audioDeviceOpen());

    // The next game hides the cursor and opens the output again as usual.
    startGame();
    EXPECT_FALSE(cursorVisible());
    EXPECT_TRUE(musicOutputState().open);
    EXPECT_TRUE(audioDeviceOpen());
    endTheGame();
    EXPECT_TRUE(cursorVisible());
    EXPECT_FALSE(audioDeviceOpen());
}

// The game-over sound, or any sound still playing when a game ends, plays
// out: the tear-down stops the music at once, and the audio device that music
// and sounds share closes only once nothing sounds on it, unless the next game
// has opened it again meanwhile. A sound stopped part-way holds nothing. The
// mixer is held still while the tear-down runs, so no check races its thread.
TEST_F(GameWindowTest, ASoundPlayingAtTheTearDownPlaysOutBeforeTheDeviceCloses) {
    writeSilentWav(folder->file("short.wav"), 0.25);
    writeSilentWav(folder->file("track.wav"), 20);
    enum class Then { Nothing, NextGameAtOnce };
    for (const Then then : {Then::Nothing, Then::NextGameAtOnce}) {
        SCOPED_TRACE(then == Then::Nothing ? "no game follows" : "the next game starts while it sounds");
        startGame();
        DSBUFFERDESC desc;
        WAVEFORMATEX format;
        const SoundRef sound = dsound->CreateSoundBufferFromFile(folder->file("short.wav"), desc, format);
        const SoundRef stopped = dsound->CreateSoundBufferFromFile(folder->file("short.wav"), desc, format);
        const HSTREAM music = BASS_StreamCreateFile(false, folder->file("track.wav"), 0, 0, 0);
        {
            AudioHeld held;
            ASSERT_TRUE(BASS_StreamPlay(music, false, 0));
            sound->Play(DSBPLAY_DEFAULT);
            stopped->Play(DSBPLAY_DEFAULT);
            stopped->Stop();
            ASSERT_TRUE(sound->isPlaying());
            ASSERT_EQ(Mix_PlayingMusic(), 1);
            endTheGame();
            EXPECT_EQ(Mix_PlayingMusic(), 0) << "the music stops with the tear-down";
            EXPECT_EQ(BASS_ChannelIsActive(music), 0);
            EXPECT_FALSE(musicOutputState().open);
            EXPECT_TRUE(sound->isPlaying()) << "the sound was cut off";
            EXPECT_EQ(audioState(), AudioDevice::State::closeWhenQuiet);
            if (then == Then::NextGameAtOnce) startGame();
        }
        ASSERT_TRUE(eventually([&] { return !sound->isPlaying(); }));
        if (then == Then::Nothing) {
            EXPECT_TRUE(eventually([] { return !audioDeviceOpen(); })) << "the device stays open after the sound";
            continue;
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(audioState(), AudioDevice::State::open) << "closed under the game that is running";
        EXPECT_TRUE(musicOutputState().open);
        endTheGame();
        EXPECT_FALSE(audioDeviceOpen()) << "nothing sounds: closed at once";
    }
    // The next game opens it again.
    startGame();
    EXPECT_TRUE(audioDeviceOpen());
    EXPECT_TRUE(musicOutputState().open);
    endTheGame();
    EXPECT_FALSE(audioDeviceOpen());
}

TEST_F(GameWindowTest, AGameEndedWhilePausedStillLeavesTheCursorHiddenNextGame) {
    startGame();
    ShowCursor(true);  // the pause shows it
    endTheGame();
    EXPECT_TRUE(cursorVisible());
    startGame();
    EXPECT_FALSE(cursorVisible());
    endTheGame();
    EXPECT_TRUE(cursorVisible());
}

TEST_F(GameWindowTest, ClosingTheWindowIsRefusedDuringAGameAndAllowedAfter) {
    startGame();
    int16_t cancel = 0;
    fConsole().Form_Unload(cancel);
    EXPECT_EQ(cancel, 1);
    EXPECT_FALSE(fConsole().window()->onCloseRequest());
    EXPECT_FALSE(fConsole().Unload());
    EXPECT_TRUE(fConsole().loaded());

    endGame = true;
    cancel = 0;
    fConsole().Form_Unload(cancel);
    EXPECT_EQ(cancel, 0);
    EXPECT_TRUE(fConsole().window()->onCloseRequest());
    destroy();
    EXPECT_FALSE(fConsole().loaded());
}

TEST_F(GameWindowTest, DestroyWithoutEndGameKeepsTheWindowButStillEndsTheGame) {
    startGame();
    destroy();  // a caller that forgot to set endGame first
    EXPECT_TRUE(fConsole().loaded());
    EXPECT_TRUE(endGame);
    EXPECT_FALSE(ddraw);
    EXPECT_TRUE(cursorVisible());
    EXPECT_TRUE(fConsole().Unload());
}

// Every key-down the window system delivers, repeats included, makes the
// keyboard reader run once; N (another track on every key-down) shows it.
TEST_F(GameWindowTest, EveryKeyDownReadsTheKeyboardOnce) {
    fMain().songs->clear();
    fMain().songs->addItems({fromWindows1252(builtInTracks[0]), fromWindows1252(builtInTracks[1])});
    startGame();
    struct Case {
        int keyDowns;
        int16_t lastSongAfter;
    };
    for (const Case& c : {Case{1, 1}, Case{2, 0}, Case{3, 1}, Case{0, 0}}) {
        lastSongIndex = 0;
        for (int i = 0; i < c.keyDowns; ++i) injectKey(dik::N, true);
        processPendingEvents();
        EXPECT_EQ(lastSongIndex, c.lastSongAfter) << c.keyDowns << " key-downs";
        injectKey(dik::N, false);
        processPendingEvents();
    }
    // A key held without a key-down event reaching the window does nothing.
    lastSongIndex = 0;
    keyboardState()[dik::N] = 0x80;
    processPendingEvents();
    EXPECT_EQ(lastSongIndex, 0);
    keyboardState()[dik::N] = 0;
    endTheGame();
    fMain().songs->clear();
}

} // namespace
} // namespace pomlets::testing

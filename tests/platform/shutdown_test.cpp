// The end of the media libraries at program exit: everything a game made is
// ended in order, the handles still held afterwards are freed safely, and the
// libraries start again on demand.
#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include "media_files.h"
#include "platform/bass.h"
#include "platform/directx.h"
#include "platform/win32.h"
#include "support/program_folder.h"
#include "support/sound_watch.h"

namespace pomlets {
namespace {

// What one game holds: the window shown, text drawn and flipped, a sound and
// a music stream playing.
struct Game {
    DirectX7 dx;
    std::shared_ptr<DirectDraw7> ddraw;
    SurfaceRef primary, backBuffer;
    std::shared_ptr<DirectSound> dsound;
    SoundRef sound;
    HSTREAM music = 0;

    Game(GameWindow& window, testing::TempProgramFolder& folder) {
        ddraw = dx.DirectDrawCreate("");
        window.show();
        ddraw->SetCooperativeLevel(&window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
        ddraw->SetDisplayMode(1024, 768, 16, 0, 0);
        DDSURFACEDESC2 desc;
        desc.caps.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        primary = ddraw->CreateSurface(desc);
        backBuffer = primary->GetAttachedSurface(DDSCAPS2{DDSCAPS_BACKBUFFER});
        // A frame with a picture: blank frames keep the window off the screen.
        backBuffer->BltColorFill(RECT{}, 0x00FF00);
        backBuffer->SetFont(StdFont{"Times New Roman", 12});
        backBuffer->DrawText(10, 20, "Paused...", false);
        primary->Flip(nullptr, DDFLIP_WAIT);
        dsound = dx.DirectSoundCreate("");
        testing::writeWav(folder.file("bang.wav"), 300);
        DSBUFFERDESC bufferDesc;
        WAVEFORMATEX format;
        sound = dsound->CreateSoundBufferFromFile(folder.file("bang.wav"), bufferDesc, format);
        sound->Play(DSBPLAY_DEFAULT);
        BASS_Init(1, 44100, 0, &window, 0);
        testing::writeOgg(folder.file("Track"), 400);
        music = BASS_StreamCreateFile(false, folder.file("Track"), 0, 0, 0);
        BASS_StreamPlay(music, false, 0);
    }
};

TEST(ShutDownTest, EndsTheLibrariesInOrderAndTheyStartAgain) {
    testing::TempProgramFolder folder;
    GameWindow window;
    {
        Game game(window, folder);
        ASSERT_NE(game.music, 0u);
        ASSERT_TRUE(TTF_WasInit());
        shutDownMedia();
        EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
        EXPECT_EQ(TTF_WasInit(), 0);
        int frequency = 0, channels = 0;
        Uint16 format = 0;
        EXPECT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 0) << "the audio device is closed";
        EXPECT_FALSE(musicOutputState().open);
        EXPECT_EQ(BASS_ChannelIsActive(game.music), 0);
        EXPECT_FALSE(window.exists());
        // The game's surfaces and sound are freed here, after the libraries ended.
    }
    Game again(window, folder);
    EXPECT_TRUE(window.exists());
    EXPECT_TRUE(TTF_WasInit());
    EXPECT_NE(again.music, 0u);
    EXPECT_GE(window.framesPresented(), 2);
    shutDownMedia();
}

} // namespace
} // namespace pomlets

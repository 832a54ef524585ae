#include "display/game_window.h"

#include "common/brains.h"
#include "datafiles/log.h"
#include "display/playlist.h"
#include "engine/keys.h"
#include "platform/bass.h"
#include "platform/runtime.h"
#include "platform/start_values.h"
#include "platform/win32.h"

namespace pomlets {

namespace {

// Whether this game's initDX opened the music output: destroy frees it
// exactly once, however often it runs.
bool musicOutputStarted = false;
POMLETS_RESTORED_IN(displayObjects(), musicOutputStarted);

// Shows the cursor until it is visible: the hidden count of a game (and of a
// pause it ended in) is given back, and no more, so that the next game's
// single hide hides it again.
void showCursorAgain() {
    for (int i = 0; i < 16 && !cursorVisible(); ++i) ShowCursor(true);
}

void logStep(const std::string& text) { writeLog(text, true); }

} // namespace

// --- the game window -------------------------------------------------------

FConsole::FConsole() = default;
FConsole::~FConsole() = default;

void FConsole::Load() {
    if (!window_) {
        window_ = std::make_unique<GameWindow>();
        window_->onKeyDown = [this] { Form_KeyDown(0, 0); };
        window_->onCloseRequest = [this] {
            int16_t cancel = 0;
            Form_Unload(cancel);
            return cancel == 0;
        };
    }
    if (!window_->exists()) {
        window_->setCaption("Click to resume play");
        try {
            window_->create();
        } catch (const RuntimeError& e) {
            throw RuntimeError(e.number(), "The game window could not be opened: " + e.description());
        }
    }
}

void FConsole::Show() {
    Load();
    window_->show();
}

bool FConsole::loaded() const { return window_ && window_->exists(); }

HWND FConsole::hWnd() {
    Load();
    return window_.get();
}

void FConsole::Form_KeyDown(int16_t /*keyCode*/, int16_t /*shift*/) { readKeys(); }

void FConsole::Form_Unload(int16_t& cancel) {
    if (!endGame) cancel = 1;
}

bool FConsole::Unload() {
    if (!loaded()) return true;
    int16_t cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0) return false;
    // The window object stays: devices made on it keep a valid handle.
    window_->destroyWindow();
    return true;
}

FConsole& fConsole() {
    static FConsole window;
    POMLETS_LOCAL_NOT_RESTORED(window, "unloaded with the display; the window object stays, as a form does");
    return window;
}

// --- set-up and tear-down ----------------------------------------------------

namespace {

void setUpDisplay() {
    logStep("initDX - getting screen resolution");
    screenWidth = 1024;
    screenHeight = 768;

    logStep("initDX - initializing directdraw");
    if (!dx) dx = std::make_shared<DirectX7>();
    ddraw = dx->DirectDrawCreate("");
    ddraw->SetCooperativeLevel(fConsole().hWnd(), DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX);
    ddraw->SetDisplayMode(screenWidth, screenHeight, 16, 0, 0);

    logStep("initDX - setting up the primary surface");
    primaryDesc.flags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    primaryDesc.caps.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    primaryDesc.backBufferCount = 1;
    primary = ddraw->CreateSurface(primaryDesc);

    logStep("initDX - setting up the back buffer");
    DDSCAPS2 backCaps;
    backCaps.caps = DDSCAPS_BACKBUFFER;
    backBuffer = primary->GetAttachedSurface(backCaps);
    backBuffer->GetSurfaceDesc(backBufferDesc);
    if (!textFont) textFont = std::make_shared<StdFont>();
    textFont->size = 12;
    textFont->name = "Times New Roman";
    backBuffer->SetFontTransparency(true);
    backBuffer->SetForeColor(0xFFFFFF);
    backBuffer->SetFont(*textFont);

    logStep("initDX - test flipping...");
    primary->Flip(nullptr, DDFLIP_WAIT);

    logStep("initDX - setting up directinput");
    if (!dx) dx = std::make_shared<DirectX7>();
    dinput = dx->DirectInputCreate();
    keyboard = dinput->CreateDevice("GUID_SysKeyboard");
    mouse = dinput->CreateDevice("GUID_SysMouse");

    logStep("initDX - setting up the keyboard");
    keyboard->SetCommonDataFormat(DIFORMAT_KEYBOARD);
    keyboard->SetCooperativeLevel(fConsole().hWnd(), DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    keyboard->Acquire();

    logStep("initDX - setting up the mouse");
    mouse->SetCommonDataFormat(DIFORMAT_MOUSE);
    mouse->SetCooperativeLevel(fConsole().hWnd(), DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    mouse->Acquire();

    logStep("initDX - setting up the source color key");
    colorKey.high = 0xFFFFFF;
    colorKey.low = 0xFFFFFF;

    logStep("initDX - setting up sound system");
    if (!dx) dx = std::make_shared<DirectX7>();
    dsound = dx->DirectSoundCreate("");
    dsound->SetCooperativeLevel(fConsole().hWnd(), DSSCL_NORMAL);

    soundBufferDesc = DSBUFFERDESC{};
    soundBufferDesc.flags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;

    waveFormat = WAVEFORMATEX{};
    waveFormat.formatTag = 1;  // PCM
    waveFormat.channels = 2;
    waveFormat.samplesPerSec = 22050;
    waveFormat.bitsPerSample = 16;
    waveFormat.blockAlign = static_cast<int16_t>(waveFormat.bitsPerSample / 8 * waveFormat.channels);
    waveFormat.avgBytesPerSec = waveFormat.blockAlign * waveFormat.samplesPerSec;

    // A missing audio device does not stop the game: it runs silent.
    musicOutputStarted = true;
    musicOutputOpen = BASS_Init(1, 44100, 0, fConsole().hWnd(), 0);
    forgetBrokenTracks();
    gameRanSilent = !musicOutputOpen || !dsound->hasAudio();
    if (gameRanSilent) logStep(noAudioLogText);

    ShowCursor(false);
}

} // namespace

void initDX() {
    gameRanSilent = false;
    try {
        setUpDisplay();
    } catch (const RuntimeError& e) {
        logStep("initDX - failed: " + e.description() + " (error " + std::to_string(e.number()) + ")");
        endGame = true;
        destroy();
        throw RuntimeError(e.number(), "The game display could not be set up: " + e.description());
    }
}

void destroy() {
    // A second run for the same game (after the fruit change's failure path)
    // finds the display already given back and leaves it alone.
    if (ddraw) {
        logStep("destroy - shutting down directx");
        showCursorAgain();
        ddraw->RestoreDisplayMode();
        ddraw->SetCooperativeLevel(fConsole().window(), DDSCL_NORMAL);  // never loads the window again
    }
    ddraw.reset();
    dx.reset();
    showCursorAgain();
    fConsole().Unload();
    endGame = true;
    if (musicOutputStarted) BASS_Free();
    musicOutputStarted = false;
    musicOutputOpen = false;
}

StartValues& displayObjects() {
    static StartValues group([] {
        // The game window closes only once a game has ended; a log already
        // let go is not written to.
        const bool wasEnded = endGame, wasLogging = logEnabled;
        endGame = true;
        logEnabled = logEnabled && logFile.isOpen();
        destroy();
        endGame = wasEnded;
        logEnabled = wasLogging;
    });
    POMLETS_LOCAL_NOT_RESTORED(group, "what is put back");
    return group;
}

} // namespace pomlets

// The full-screen game window and the display, input and sound objects every
// game uses: set up anew by initDX for each game and given back by destroy.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/directx.h"
#include "platform/start_values.h"

namespace pomlets {

// The group of the display objects below. Putting it back first gives the
// display back as destroy does, whether or not a game has ended.
StartValues& displayObjects();

// --- the display objects, shared with the engine and the drawing code -------
inline std::shared_ptr<DirectX7> dx;            // made on first use; emptied by destroy
inline std::shared_ptr<DirectDraw7> ddraw;      // the display; emptied by destroy
inline std::shared_ptr<DirectInput> dinput;     // makes the keyboard and mouse devices
inline std::shared_ptr<DirectSound> dsound;     // every sound-effect buffer is made on it
inline int16_t screenWidth = 0;                 // 1024 once set up
inline int16_t screenHeight = 0;                // 768 once set up
inline DDSURFACEDESC2 primaryDesc;
inline SurfaceRef primary;                      // the flipping surface
inline SurfaceRef backBuffer;                   // every drawing operation draws here
inline DDSURFACEDESC2 backBufferDesc;           // filled from the back buffer; nothing reads it
inline std::shared_ptr<StdFont> textFont;       // the back buffer's font; made once, reused
inline std::shared_ptr<DirectInputDevice> keyboard;
inline DIKEYBOARDSTATE keyState{};              // filled by the keyboard reader
inline std::shared_ptr<DirectInputDevice> mouse;  // set up and acquired, never read
inline DDCOLORKEY colorKey;                     // white: the key of every keyed picture
inline DSBUFFERDESC soundBufferDesc;            // given to every sound-effect buffer
inline WAVEFORMATEX waveFormat;                 // given to every sound-effect buffer
POMLETS_RESTORED_IN(displayObjects(), dx, ddraw, dinput, dsound, screenWidth, screenHeight, primaryDesc, primary,
                    backBuffer, backBufferDesc, textFont, keyboard, keyState, mouse, colorKey, soundBufferDesc,
                    waveFormat);

// Whether this game's music output could be opened; without it the game runs silent.
inline bool musicOutputOpen = false;
// Whether the last game set up found no audio device and ran silent, and
// whether the player has been told so in this run (once is enough).
inline bool gameRanSilent = false;
inline bool silenceTold = false;
// The words that tell the player, once a run, after a game that ran silent.
inline constexpr const char* noSoundNotice =
    "Pomlets found no sound device, so the game played without sound and music.  It plays silent until a sound "
    "device is there when a game starts.";
POMLETS_RESTORED_IN(displayObjects(), musicOutputOpen, gameRanSilent, silenceTold);
// The log line written when no audio device can be opened.
inline constexpr const char* noAudioLogText = "initDX - no audio device, the game runs silent";

// The game window: caption "Click to resume play", black, no controls. Like a
// form it is loaded on first use and can be unloaded and loaded again.
class FConsole {
public:
    FConsole();
    ~FConsole();
    FConsole(const FConsole&) = delete;
    FConsole& operator=(const FConsole&) = delete;

    // Loads the window when it is not loaded. Raises the window system's error
    // when no window can be made.
    void Load();
    // Loads and shows the window (modeless).
    void Show();
    bool loaded() const;
    // The window handle: the cooperative window of every device. Loads the
    // window when it is not loaded, as reading a form's handle does.
    HWND hWnd();

    // Every key-down the window receives, repeats included, makes the engine
    // read the whole keyboard state once; key code and shift are not used.
    void Form_KeyDown(int16_t keyCode, int16_t shift);
    // Refuses to close (cancel = 1) while a game runs (endGame False).
    void Form_Unload(int16_t& cancel);
    // Asks the window to unload; returns true when it closed (or was not loaded).
    bool Unload();

    // The platform window, while loaded.
    GameWindow* window() const { return window_.get(); }

private:
    std::unique_ptr<GameWindow> window_;
};

// The one game window.
FConsole& fConsole();

// Sets up DirectDraw, DirectInput, DirectSound and the music output on the
// game window, full-screen 1024 x 768, and hides the cursor. When the display
// cannot be set up the failure is logged, the display given back, and a
// RuntimeError with a message for the player is raised.
void initDX();
// Gives the desktop back, releases DirectDraw and the music output and unloads
// the game window. Safe to run twice for one game.
void destroy();

} // namespace pomlets

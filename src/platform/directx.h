// The DirectX 7 services the game uses (display, keyboard, sound effects),
// standing on SDL2. Class and operation names are those the game calls.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pomlets {

class GameWindow;
class DirectDrawSurface7;
class DirectSoundBuffer;
class DirectDraw7;
class DirectInput;
class DirectInputDevice;
class DirectSound;

// References to platform objects are shared: copying a record copies the reference.
using SurfaceRef = std::shared_ptr<DirectDrawSurface7>;
using SoundRef = std::shared_ptr<DirectSoundBuffer>;

// A window handle as the services take it.
using HWND = GameWindow*;

struct RECT {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct DDCOLORKEY {
    int32_t low = 0;
    int32_t high = 0;
};

struct DDSCAPS2 {
    int32_t caps = 0;
};

struct DDSURFACEDESC2 {
    int32_t flags = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t backBufferCount = 0;
    DDSCAPS2 caps;
};

struct DSBUFFERDESC {
    int32_t flags = 0;
    int32_t bufferBytes = 0;
};

struct WAVEFORMATEX {
    int16_t formatTag = 0;
    int16_t channels = 0;
    int32_t samplesPerSec = 0;
    int32_t avgBytesPerSec = 0;
    int16_t blockAlign = 0;
    int16_t bitsPerSample = 0;
    int16_t size = 0;
};

// The platform's standard font object.
struct StdFont {
    std::string name = "MS Sans Serif";
    double size = 8;
    bool bold = false;
    bool italic = false;
};

using DIKEYBOARDSTATE = std::array<uint8_t, 256>;

// Flag values, as the game passes them.
constexpr int32_t DDSCL_FULLSCREEN = 1;
constexpr int32_t DDSCL_ALLOWREBOOT = 2;
constexpr int32_t DDSCL_NORMAL = 8;
constexpr int32_t DDSCL_EXCLUSIVE = 16;
constexpr int32_t DDSCL_ALLOWMODEX = 64;
constexpr int32_t DDSD_CAPS = 1;
constexpr int32_t DDSD_HEIGHT = 2;
constexpr int32_t DDSD_WIDTH = 4;
constexpr int32_t DDSD_BACKBUFFERCOUNT = 32;
constexpr int32_t DDSCAPS_BACKBUFFER = 4;
constexpr int32_t DDSCAPS_COMPLEX = 8;
constexpr int32_t DDSCAPS_FLIP = 16;
constexpr int32_t DDSCAPS_OFFSCREENPLAIN = 64;
constexpr int32_t DDSCAPS_PRIMARYSURFACE = 512;
constexpr int32_t DDFLIP_WAIT = 1;
constexpr int32_t DDBLT_KEYSRC = 0x8000;
constexpr int32_t DDBLT_WAIT = 0x1000000;
constexpr int32_t DDCKEY_SRCBLT = 8;
constexpr int32_t DIFORMAT_KEYBOARD = 1;
constexpr int32_t DIFORMAT_MOUSE = 2;
constexpr int32_t DISCL_EXCLUSIVE = 1;
constexpr int32_t DISCL_NONEXCLUSIVE = 2;
constexpr int32_t DISCL_FOREGROUND = 4;
constexpr int32_t DISCL_BACKGROUND = 8;
constexpr int32_t DSSCL_NORMAL = 1;
constexpr int32_t DSBCAPS_STATIC = 2;
constexpr int32_t DSBCAPS_CTRLFREQUENCY = 32;
constexpr int32_t DSBCAPS_CTRLPAN = 64;
constexpr int32_t DSBCAPS_CTRLVOLUME = 128;
constexpr int32_t DSBPLAY_DEFAULT = 0;
constexpr int32_t DDERR_NOTONSURFACE = -1;  // Blt status when the destination is not wholly on the surface
constexpr int32_t DDERR_NOEXCLUSIVEMODE = -2;  // TestCooperativeLevel while the display is lost

// DirectInput key codes of the keys the game reads.
namespace dik {
constexpr int ESCAPE = 1, K1 = 2, K2 = 3, K3 = 4, K4 = 5, P = 25, N = 49;
constexpr int UP = 200, LEFT = 203, RIGHT = 205, DOWN = 208;
} // namespace dik
// The DirectInput key code of an SDL scancode (0 when the key has none).
int directInputCode(int sdlScancode);

// The full-screen game display: one SDL window. It is made full-screen on the
// desktop by SetDisplayMode; the monitor's mode is never changed.
class GameWindow {
public:
    GameWindow();
    ~GameWindow();
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    void setCaption(const std::string& caption);
    const std::string& caption() const { return caption_; }
    void show();
    void hide();
    bool isShown() const;
    // Whether it is on the screen: a shown window comes on it with the first
    // frame presented that is not black all over.
    bool onScreen() const;
    // Minimises the window (the task bar then shows its caption) and restores
    // it to its normal state: the pause loop puts the game out of the way this
    // way while the display is lost, and brings it back once it is held again.
    void minimise();
    void restore();
    // Raises 5 when the window system cannot make a window.
    void create();
    bool exists() const;
    void destroyWindow();

    // Called for every key-down the window receives, repeats included.
    std::function<void()> onKeyDown;
    // Called when the window system asks the window to close; returns true to allow it.
    std::function<bool()> onCloseRequest;

    // Focus and minimise state as the window system reports it.
    bool hasFocus() const;
    bool isMinimised() const;
    bool hadFocus() const;

    // How many frames Flip has presented in this window: a frame that shows
    // nothing new is not presented again.
    int framesPresented() const;
    // How many window pixels the presents have sent to the window system.
    int64_t pixelsSent() const;

    struct Impl;
    Impl* impl() const { return impl_.get(); }

private:
    std::unique_ptr<Impl> impl_;
    std::string caption_;
};

// A drawing surface: pixels in RGB565, the 16-bit display format.
class DirectDrawSurface7 {
public:
    DirectDrawSurface7(int width, int height);
    struct Impl;
    // A surface over pixels the platform has already made.
    explicit DirectDrawSurface7(std::unique_ptr<Impl> impl);
    ~DirectDrawSurface7();
    DirectDrawSurface7(const DirectDrawSurface7&) = delete;
    DirectDrawSurface7& operator=(const DirectDrawSurface7&) = delete;

    int width() const;
    int height() const;
    // How many writes the surface had since it was made: what was made from
    // it stands for it as long as this has not moved on.
    uint64_t writeCount() const;

    SurfaceRef GetAttachedSurface(const DDSCAPS2& caps);
    void GetSurfaceDesc(DDSURFACEDESC2& desc) const;
    // Presents the attached back buffer (primary surfaces only).
    void Flip(const SurfaceRef& target, int32_t flags);
    // Copies and stretches srcRect of src into destRect; with DDBLT_KEYSRC the
    // source's colour-key pixels are skipped. A destination rectangle not wholly
    // on this surface, or a source rectangle not wholly on the source, draws
    // nothing and returns DDERR_NOTONSURFACE. Returns 0 on success.
    int32_t Blt(const RECT& destRect, const SurfaceRef& src, const RECT& srcRect, int32_t flags);
    // Fills the rectangle (an empty one = the whole surface) with a colour &HBBGGRR.
    int32_t BltColorFill(const RECT& rect, int32_t color);
    // Draws text with its top-left corner at (x, y) in the surface's font and colour.
    void DrawText(int32_t x, int32_t y, const std::string& text, bool useCurrentPosition);
    // Draws text as DrawText drawn over and over at the same place leaves it:
    // the soft edge blended again until no pixel changes any more. Drawing it
    // again there changes nothing, so a text drawn at every pass of a loop
    // looks the same however many passes a frame has.
    void DrawSettledText(int32_t x, int32_t y, const std::string& text);
    void SetColorKey(int32_t flags, const DDCOLORKEY& key);
    void SetFont(const StdFont& font);
    void SetFontTransparency(bool transparent);
    void SetForeColor(int32_t color);

    // Reading back, for tests and the presenting code.
    // The pixel at (x, y) expanded to 8 bits a channel, as &HRRGGBB.
    uint32_t pixelRGB(int x, int y) const;
    uint16_t pixel565(int x, int y) const;

    Impl* impl() const { return impl_.get(); }

private:
    friend class DirectDraw7;
    std::unique_ptr<Impl> impl_;
};

class DirectDraw7 {
public:
    DirectDraw7();
    ~DirectDraw7();
    void SetCooperativeLevel(HWND window, int32_t flags);
    // Makes the game window full-screen on the desktop; the back buffer of
    // width x height is presented scaled to fit, aspect kept.
    void SetDisplayMode(int32_t width, int32_t height, int32_t bpp, int32_t refresh, int32_t flags);
    void RestoreDisplayMode();
    // The primary surface with its back buffer (DDSCAPS_PRIMARYSURFACE), or an
    // off-screen surface of the described size.
    SurfaceRef CreateSurface(const DDSURFACEDESC2& desc);
    // A surface holding a BMP picture at its own size. Raises 53 when the file
    // is missing and 380 when it is not a picture.
    SurfaceRef CreateSurfaceFromFile(const std::string& path, DDSURFACEDESC2& desc);
    // 0 while the display is held; non-zero while the game window is minimised
    // or has lost the focus after having had it.
    int32_t TestCooperativeLevel() const;
    void RestoreAllSurfaces();

    HWND window() const { return window_; }
    bool displayModeSet() const { return modeSet_; }

private:
    HWND window_ = nullptr;
    bool modeSet_ = false;
    int32_t modeWidth_ = 1024;
    int32_t modeHeight_ = 768;
};

class DirectInputDevice {
public:
    explicit DirectInputDevice(std::string guid) : guid_(std::move(guid)) {}
    void SetCommonDataFormat(int32_t format);
    void SetCooperativeLevel(HWND window, int32_t flags);
    void Acquire();
    void Unacquire();
    bool acquired() const { return acquired_; }
    // 256 bytes by DirectInput key code, non-zero while the key is down.
    void GetDeviceStateKeyboard(DIKEYBOARDSTATE& state) const;

private:
    std::string guid_;
    bool acquired_ = false;
};

class DirectInput {
public:
    // "GUID_SysKeyboard" or "GUID_SysMouse"; 5 for anything else.
    std::shared_ptr<DirectInputDevice> CreateDevice(const std::string& guid);
};

// The keyboard state that GetDeviceStateKeyboard reports, kept from the key
// events the game window receives.
DIKEYBOARDSTATE& keyboardState();

class DirectSoundBuffer {
public:
    DirectSoundBuffer();
    ~DirectSoundBuffer();
    DirectSoundBuffer(const DirectSoundBuffer&) = delete;
    DirectSoundBuffer& operator=(const DirectSoundBuffer&) = delete;
    // Plays the sound once from its current position; a Play while it sounds lets it go on.
    void Play(int32_t flags);
    // Stops the sound where it is; the next Play goes on from there (from the
    // start once it had played to its end).
    void Stop();
    bool isPlaying() const;

    struct Impl;
    Impl* impl() const { return impl_.get(); }

private:
    friend class DirectSound;
    std::unique_ptr<Impl> impl_;
};

class DirectSound {
public:
    DirectSound();
    ~DirectSound();
    void SetCooperativeLevel(HWND window, int32_t level);
    // A buffer holding a WAV file. Raises 53 when the file is missing and 380
    // when it is not a wave sound. Without an audio device the buffer is silent.
    SoundRef CreateSoundBufferFromFile(const std::string& path, DSBUFFERDESC& desc, WAVEFORMATEX& format);
    bool hasAudio() const { return audio_; }

private:
    bool audio_ = false;
};

class DirectX7 {
public:
    std::shared_ptr<DirectDraw7> DirectDrawCreate(const std::string& device);
    std::shared_ptr<DirectInput> DirectInputCreate();
    std::shared_ptr<DirectSound> DirectSoundCreate(const std::string& device);
};

} // namespace pomlets

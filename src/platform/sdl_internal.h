// What the platform's own files share about SDL: lazy start of its parts and
// the game windows. Nothing outside src/platform sees it.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>
#include <memory>
#include <vector>

#include "platform/directx.h"
#include "platform/tiles.h"

namespace pomlets {

// Frees each SDL handle with its own function.
struct SdlDeleter {
    void operator()(SDL_Window* p) const { SDL_DestroyWindow(p); }
    void operator()(SDL_Renderer* p) const { SDL_DestroyRenderer(p); }
    void operator()(SDL_Texture* p) const { SDL_DestroyTexture(p); }
    void operator()(SDL_Surface* p) const { SDL_FreeSurface(p); }
    void operator()(Mix_Chunk* p) const { Mix_FreeChunk(p); }
    void operator()(Mix_Music* p) const { Mix_FreeMusic(p); }
    void operator()(TTF_Font* p) const { TTF_CloseFont(p); }
};
template <typename T>
using SdlPtr = std::unique_ptr<T, SdlDeleter>;

// Frames shown through X directly, on a screen whose pixels SDL's window
// surface cannot take (x11_window.cpp).
struct DirectScreen;
struct DirectScreenDeleter {
    void operator()(DirectScreen* screen) const;
};
using DirectScreenPtr = std::unique_ptr<DirectScreen, DirectScreenDeleter>;

struct GameWindow::Impl {
    // What SDL made for the window, in the order of making, so that they are
    // destroyed in reverse: the texture, its renderer, then the window.
    struct Handles {
        SdlPtr<SDL_Window> window;
        SdlPtr<SDL_Renderer> renderer;
        SdlPtr<SDL_Texture> texture;
        // Made on the window, so let go before it.
        DirectScreenPtr direct;
    };
    Handles handles;
    int textureWidth = 0;
    int textureHeight = 0;
    // Without a graphics card to scale the frame, the processor converts and
    // scales it straight into the window's surface.
    bool softwarePresent = false;
    bool shown = false;
    // Shown, but kept off the screen until it has a picture to show.
    bool mapPending = false;
    int framesPresented = 0;
    int64_t pixelsSent = 0;
    int64_t pixelsCompared = 0;

    // What the window shows: a copy of the frame last presented, so that a
    // present sends only what differs from it. It stands while `shownValid`;
    // anything that may spoil the window's pixels (a new size, an expose, a
    // restore after the display was lost) clears that, and the next present
    // sends the whole frame.
    std::vector<uint16_t> shownFrame;
    int shownWidth = 0;
    int shownHeight = 0;
    // The frame surface last presented and the window surface it went to;
    // only compared, never followed.
    const SDL_Surface* shownFrom = nullptr;
    const SDL_Surface* shownTarget = nullptr;
    int targetWidth = 0;
    int targetHeight = 0;
    bool shownValid = false;

    // Focus and minimise state as the window system reports it.
    bool focused = false;
    bool hadFocus = false;
    bool minimised = false;
    void noteFocus(bool focus) {
        focused = focus;
        if (focus) hadFocus = true;
    }
    void forgetFocus() { focused = hadFocus = minimised = false; }

    void forgetShown() { shownValid = false; }
    SDL_Window* window() const { return handles.window.get(); }
};

namespace sdl {

// Starts SDL's video (with its events); raises 5 when it cannot.
void requireVideo();
// Starts SDL's event queue alone; false when it cannot.
bool ensureEvents();
// The game windows alive, for delivering events.
GameWindow* windowById(uint32_t sdlWindowId);
GameWindow* firstWindow();
// The descriptor of the X connection the game windows' events come on, for a
// wait to watch; -1 when they come on none (no window, another video driver).
int eventConnection();

// Shows the surface in the window, scaled to fit, aspect kept, black bars.
// Only what differs from the frame last presented in the window is sent, and
// nothing at all when nothing differs. The caller may promise that the tiles
// `written` leaves unmarked are as they were when this same frame surface was
// last presented; they are then not compared. Raises 5 when the window system
// refuses.
void present(GameWindow& window, SDL_Surface* frame, const Tiles* written = nullptr);

// The surface's pixels themselves, as they stand: a write there bypasses the
// surface's write accessor and tells no tile that it changed.
SDL_Surface* pixelsUntold(DirectDrawSurface7& surface);
// How many pixels have been written into the surface since it was made. A
// drawing that leaves the pixels as they are writes none.
int64_t pixelsWritten(const DirectDrawSurface7& surface);

// Destroys every game window's SDL window, at program exit.
void destroyAllWindows();

// Makes a hidden game window of that size on a visual it can show frames on.
// Where SDL's window surface cannot take the screen's pixels, `direct` is set
// and frames go through it instead. Null when SDL cannot make the window.
SDL_Window* makeGameWindow(const char* caption, int width, int height, DirectScreenPtr& direct);
// Takes a shown game window off the screen as it stands, full screen or not,
// before SDL hides it: SDL leaves full screen first, so that a window manager
// would show the window in its frame for a moment on the way out.
void withdrawFromScreen(SDL_Window* window);
// The image of a direct screen, of the window's size, in the screen's pixels:
// `table` turns an RGB565 pixel into one. `remade` when it was made anew; no
// pixels when it cannot be made.
struct DirectImage {
    uint8_t* pixels = nullptr;
    int pitch = 0;
    int bytesPerPixel = 0;
    int width = 0;
    int height = 0;
    const uint32_t* table = nullptr;
    bool remade = false;
};
DirectImage directImage(DirectScreen& screen, int width, int height);
// Sends those parts of the image to the window.
void sendDirect(DirectScreen& screen, const std::vector<SDL_Rect>& parts);
// A new RGB565 surface; raises 5 when it cannot be made.
SdlPtr<SDL_Surface> newSurface565(int width, int height);
// Closes every font the text drawing opened.
void closeFonts();

} // namespace sdl
} // namespace pomlets

// What the platform's own files share about SDL: lazy start of its parts, the
// game windows, and the one audio device. Nothing outside src/platform sees it.
#pragma once

#include <SDL.h>

#include "platform/directx.h"

namespace pomlets {

struct GameWindow::Impl {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
    // Without an accelerated renderer frames go straight to the window's surface.
    bool softwarePresent = false;
    bool shown = false;
    // Shown, but kept off the screen until it has a picture to show.
    bool mapPending = false;
    int framesPresented = 0;
};

namespace sdl {

// Starts SDL's video (with its events); raises 5 when it cannot.
void requireVideo();
// Starts SDL's event queue alone; false when it cannot.
bool ensureEvents();
// Opens the one audio device with its mixer; false (never an error) when
// there is none. Sound effects and music share it.
bool ensureAudio();
// Closes the audio device, so that nothing plays or holds the device between
// games; the next ensureAudio opens it again.
void closeAudio();
bool audioIsOpen();

// A mixer channel of its own for a sound buffer; -1 when none is left.
int allocateChannel();
void releaseChannel(int channel);

// The game windows alive, for delivering events.
GameWindow* windowById(uint32_t sdlWindowId);
GameWindow* firstWindow();

// Shows the surface in the window, scaled to fit, aspect kept, black bars.
void present(GameWindow& window, SDL_Surface* frame);

} // namespace sdl
} // namespace pomlets

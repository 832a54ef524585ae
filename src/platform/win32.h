// The few Windows calls the game makes, and the one place where pending
// window events are processed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/directx.h"

namespace pomlets {

// Milliseconds since the program started, as a signed 32-bit value, of the
// clock in use (platform/tick_clock.h).
int32_t GetTickCount();

// Shows (true) or hides the mouse cursor over the game window; returns the display count.
int32_t ShowCursor(bool show);
bool cursorVisible();

// Opens a web or mail address with the desktop's opener. Only "open" of an
// http:, https: or mailto: target does anything; anything else (a path, a
// file: address, empty text) is ignored, since data files name the targets.
// Returns a value above 32 when the target was handed to the opener.
int32_t ShellExecuteA(HWND window, const std::string& operation, const std::string& file,
                      const std::string& parameters, const std::string& directory, int32_t showCmd);

// Starts another program, detached, without waiting. Returns false when it
// cannot be started (missing or not executable).
bool startProgram(const std::string& path);

// Delivers pending window events: the game window's SDL events (key-downs to
// its handler, close requests, focus and minimise changes), then Qt's.
void processPendingEvents();

// While it lives, a click or a key in any other window of the program (the
// main window, greyed out during a game) brings the game window back to the
// front with the focus: the way back to a game whose window a window manager
// minimised, or that another window took the focus from.
class BringBackOnInput {
public:
    explicit BringBackOnInput(GameWindow* window);
    ~BringBackOnInput();
    BringBackOnInput(const BringBackOnInput&) = delete;
    BringBackOnInput& operator=(const BringBackOnInput&) = delete;

private:
    class Filter;
    std::unique_ptr<Filter> filter_;
};

// At program exit, after the last window has closed: ends the music, closes
// the fonts, the game windows and the audio device, then shuts SDL_ttf,
// SDL_mixer and SDL down, in that order. Pictures and sounds still held are
// plain memory afterwards and may be freed later.
void shutDownMedia();

} // namespace pomlets

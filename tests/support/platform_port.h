// The tests' one way into the game's surroundings: the window system, the
// keyboard's events, the desktop's opener, the request to leave, the time of day that seeds the
// generator, the message boxes, and what the display drew and presented. It
// puts its own entries into the game's tables (platform/platform_calls.h,
// frontend/message_box.h) once, at installPlatformPort(); the game itself
// records nothing. Everything it keeps is put back by restoreStartValues(),
// but for the drawn texts, which go with their surface.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "frontend/message_box.h"
#include "platform/directx.h"
#include "platform/process_guard_internal.h"

namespace pomlets {

// Puts the port's entries into the game's tables; call once, before the first test.
void installPlatformPort();

// --- the window system --------------------------------------------------------

// The window system's focus and minimise changes, as if it had sent them.
void simulateFocus(GameWindow& window, bool focused);
void simulateMinimised(GameWindow& window, bool minimised);
// The window system gives the window this size (out of full screen).
void simulateSize(GameWindow& window, int width, int height);
// Presents the surface whole in the window, as after the window lost its pixels.
void presentWhole(GameWindow& window, const DirectDrawSurface7& frame);
// The pixels the window shows, row by row, as &HRRGGBB.
std::vector<uint32_t> shownPixels(const GameWindow& window);
// How many frame pixels the window's presents compared with what it showed.
int64_t pixelsCompared(const GameWindow& window);

// Puts a key-down (or key-up) event for a DirectInput key code into the game
// window's event queue, as the window system would.
void injectKey(int directInputCode, bool down);

// --- what the display drew and presented ----------------------------------------

// A text drawn on a surface: position and text.
struct DrawnText {
    int32_t x, y;
    std::string text;
};
// Every text drawn on the surface since it was made or since the last
// clearDrawnTexts. A game draws texts on every pass of its loop, so only the
// latest are kept: at most drawnTextLimit, and never fewer than half of that
// when more were drawn.
constexpr size_t drawnTextLimit = 8192;
const std::vector<DrawnText>& drawnTexts(const DirectDrawSurface7& surface);
void clearDrawnTexts(const DirectDrawSurface7& surface);
// Called after every Flip with the back buffer it presented (an empty function for none).
void watchFlips(std::function<void(const DirectDrawSurface7& backBuffer)> watcher);

// --- the desktop and the clock -----------------------------------------------------

// Instead of starting the opener, record each target handed to it (an empty
// function starts it again).
void setShellRecorder(std::function<void(const std::string&)> recorder);
// Seeding from the clock reads this many seconds since midnight instead of
// the clock; a negative value lets it read the clock again.
void setRandomizeClock(double secondsSinceMidnight);

// The request to leave, noted as a signal would and forgotten:
// noteLeaveRequest and forgetLeaveRequest (platform/process_guard_internal.h).

// --- message boxes --------------------------------------------------------------------

// Answer boxes without showing them (an empty function shows them again).
// Every box shown, answered or not, is recorded.
void setMessageBoxResponder(std::function<MsgResult(const ShownBox&)> responder);
void setInputBoxResponder(std::function<std::string(const ShownBox&)> responder);
const std::vector<ShownBox>& shownBoxes();
void clearShownBoxes();

// --- state put back by hand ---------------------------------------------------------

// Gives the display back, unloads the game window and puts every display
// object back as it was when the program started.
void resetDisplayObjects();
// Forgets the scrambler's tables, as at program start.
void resetCipherTables();

} // namespace pomlets

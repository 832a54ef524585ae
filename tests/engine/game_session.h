// Headless games for the engine tests: a game set up the way the Play command
// sets one up, a hook that runs at every pass of whatever loop is letting
// window events through, and reading back what a frame drew.
#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/directx.h"
#include "support/program_folder.h"

namespace pomlets::testing {

// The game window shown, the display set up, every asset and the piece table
// loaded, and the level file read, with the clock frozen at startTime and the
// generator seeded. Freestyle reads "\levels\2193" without header; Arcade reads
// the same file, so that every goal is off unless the test sets one.
class GameSession {
public:
    static constexpr int32_t startTime = 100000;
    explicit GameSession(const std::string& mode = "Freestyle", uint32_t seed = 0x123456);
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

private:
    // Games read and write "\temp" and the data files: each plays in its own
    // copy of the program folder, so that tests running side by side never meet.
    std::unique_ptr<TempProgramFolder> folder_;
};

// Runs onPass once at every pass of the loop that processes window events:
// the main loop, the pause loop or the wait for a lost display.
class EveryPass {
public:
    explicit EveryPass(std::function<void()> onPass);
    ~EveryPass();
    void stop() { timer_.stop(); }

private:
    QTimer timer_;
};

// Moves the frozen clock on; the time of day that seeds the generator before
// every spawn follows it, so that a game plays the same on every run.
void advanceClock(int32_t ms);

// A key pressed and let go again, through the game window's event queue.
void tapKey(int directInputCode);

// Whether the back buffer's recorded texts since the last clear hold this
// text at this position (any text there when text is empty).
bool drewText(int32_t x, int32_t y, const std::string& text = "");
// The running banner message, as its glyphs read ("FROG BONUS!").
std::string bannerText();

} // namespace pomlets::testing

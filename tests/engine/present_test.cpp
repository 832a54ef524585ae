// What a game puts on the screen: every frame that Flip presents only in the
// parts that changed shows in the window exactly as the same frame presented
// whole; the pause screen, which stands still, is presented once, and again
// only after the display was lost and restored.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "common/brains.h"
#include "display/game_window.h"
#include "engine/effects.h"
#include "engine/main_loops.h"
#include "game_session.h"
#include "platform/directx.h"
#include "platform/win32.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

using testing::EveryPass;
using testing::GameSession;

class Presents : public ::testing::Test {
protected:
    GameSession game;
    GameWindow* window = fConsole().window();

    void TearDown() override { watchFlips(nullptr); }
};

struct WindowSize {
    int width, height;
};

void PrintTo(const WindowSize& size, std::ostream* out) { *out << size.width << " x " << size.height; }

class PresentsInAWindowOf : public Presents, public ::testing::WithParamInterface<WindowSize> {};

// A Freestyle game past the Frog bonus (its banner and the frogs), with
// pieces falling and shifted, point popups rising, and a pause, in a window
// of each size: after every Flip the game's window holds the pixels of
// another window to which the same back buffer was presented whole.
TEST_P(PresentsInAWindowOf, EveryFrameShowsAsPresentedWhole) {
    const WindowSize size = GetParam();
    const int arrows[] = {dik::LEFT, dik::UP, dik::RIGHT, dik::DOWN};
    simulateSize(*window, size.width, size.height);
    GameWindow reference;
    reference.create();
    simulateSize(reference, size.width, size.height);
    score = 60001;
    spawnInterval = 200;

    int flips = 0, wrong = 0, firstWrong = -1, pauseFlips = 0;
    watchFlips([&](const DirectDrawSurface7& back) {
        ++flips;
        if (paused) ++pauseFlips;
        presentWhole(reference, back);
        if (shownPixels(*window) != shownPixels(reference)) {
            ++wrong;
            if (firstWrong < 0) firstWrong = flips;
        }
    });
    const int64_t sentBefore = window->pixelsSent();
    int passes = 0;
    EveryPass pass([&] {
        ++passes;
        testing::advanceClock(26);
        if (passes % 7 == 0) testing::tapKey(arrows[(passes / 7) % 4]);
        if (passes % 23 == 0) addPointPopup(static_cast<int16_t>(passes % 600), 300, 125);
        if (passes == 90 || passes == 105) testing::tapKey(dik::P);  // a pause of a few passes
        if (passes >= 160) endGame = true;
    });
    playFreestyle();
    pass.stop();
    watchFlips(nullptr);

    EXPECT_TRUE(frogGiven);
    EXPECT_GE(flips, 150);
    EXPECT_GE(pauseFlips, 1);
    EXPECT_EQ(wrong, 0) << "first at flip " << firstWrong;
    const int64_t windowPixels = int64_t{size.width} * size.height;
    EXPECT_LT(window->pixelsSent() - sentBefore, windowPixels * flips / 2) << "only the changes were sent";
}

INSTANTIATE_TEST_SUITE_P(Sizes, PresentsInAWindowOf,
                         ::testing::Values(WindowSize{1280, 1024}, WindowSize{1024, 768}, WindowSize{1600, 900},
                                           WindowSize{800, 600}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

// While paused, the pause screen is presented when it first shows and not
// again, however many passes the pause loop makes; after the display was
// lost and is held again it is presented once more.
TEST_F(Presents, ThePauseScreenIsPresentedOnlyWhenItChanges) {
    simulateFocus(*window, true);
    int passes = 0, pausedPasses = 0, atPause = -1, beforeLoss = -1, afterRestore = -1;
    EveryPass pass([&] {
        ++passes;
        testing::advanceClock(26);
        if (passes == 5) testing::tapKey(dik::P);
        if (!paused) return;
        ++pausedPasses;
        if (pausedPasses == 3) atPause = window->framesPresented();
        if (pausedPasses == 30) {
            beforeLoss = window->framesPresented();
            simulateFocus(*window, false);  // another program takes the display
        }
        if (pausedPasses == 35) {
            simulateMinimised(*window, false);
            simulateFocus(*window, true);
        }
        if (pausedPasses == 60) afterRestore = window->framesPresented();
        if (pausedPasses == 62) testing::tapKey(dik::P);
        if (passes >= 200) endGame = true;
    });
    playFreestyle();
    pass.stop();
    ASSERT_GE(pausedPasses, 62);
    EXPECT_EQ(beforeLoss, atPause) << "the unchanged pause screen is not presented again";
    EXPECT_EQ(afterRestore, beforeLoss + 1) << "presented once after the display is restored";
    EXPECT_FALSE(paused);
}

} // namespace
} // namespace pomlets

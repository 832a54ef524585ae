// A request from the system to end the program (a signal) ends a game as
// Escape does, from play, from a pause and from the wait for a lost display.
#include <gtest/gtest.h>

#include "common/brains.h"
#include "display/game_window.h"
#include "engine/main_loops.h"
#include "game_session.h"
#include "platform/directx.h"
#include "platform/process_guard.h"
#include "platform/win32.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

using testing::EveryPass;
using testing::GameSession;
using testing::advanceClock;
using testing::tapKey;

enum class Where { Playing, Paused, DisplayLost };

TEST(LeaveRequest, EndsTheGameAsEscapeDoesFromEveryLoop) {
    for (const Where where : {Where::Playing, Where::Paused, Where::DisplayLost}) {
        SCOPED_TRACE(static_cast<int>(where));
        GameSession game;
        GameWindow* window = fConsole().window();
        ASSERT_NE(window, nullptr);
        int passes = 0;
        bool ended = false, gaveUp = false;
        EveryPass pass([&] {
            ++passes;
            advanceClock(1);
            if (passes == 5 && where == Where::Paused) tapKey(dik::P);
            if (passes == 5 && where == Where::DisplayLost) {
                simulateFocus(*window, true);
                simulateFocus(*window, false);
            }
            if (passes == 20) {
                EXPECT_EQ(paused, where != Where::Playing);
                noteLeaveRequest();
            }
            if (passes == 5000 && !ended) {
                // Without an end to the request the test ends the game itself.
                gaveUp = true;
                simulateFocus(*window, true);
                simulateMinimised(*window, false);
                if (paused) tapKey(dik::P);
                endGame = true;
            }
        });
        playFreestyle();
        ended = true;
        pass.stop();
        forgetLeaveRequest();
        EXPECT_FALSE(gaveUp) << "the request did not end the game";
        EXPECT_TRUE(endGame);
        EXPECT_FALSE(paused);
        EXPECT_FALSE(cursorVisible()) << "the pause's cursor is hidden again, as after a resume";
        simulateFocus(*window, true);
        simulateMinimised(*window, false);
    }
}

TEST(LeaveRequest, AGameStartedAfterTheRequestEndsAtOnce) {
    GameSession game;
    noteLeaveRequest();
    int passes = 0;
    EveryPass pass([&] {
        if (++passes == 1000) endGame = true;
        advanceClock(1);
    });
    playFreestyle();
    forgetLeaveRequest();
    EXPECT_LT(passes, 1000);
    EXPECT_TRUE(endGame);
}

} // namespace
} // namespace pomlets

// The game clock: the tick count minus the time spent paused.
#include <gtest/gtest.h>

#include "common/brains.h"
#include "engine/main_loops.h"
#include "field_picture.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "support/settable_clock.h"

namespace pomlets::testing {
namespace {

TEST_F(EngineTest, TheGameClockStandsStillForThePausedTime) {
    setTickCount(50000);
    pausedTotal = 12000;
    EXPECT_EQ(gameTime(), 38000);
    advanceTickCount(25);
    EXPECT_EQ(gameTime(), 38025);
    setTickCount(INT32_MIN + 5);
    pausedTotal = 10;
    try {
        gameTime();
        FAIL() << "no overflow";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 6);
    }
}

} // namespace
} // namespace pomlets::testing

// The main loop on a simulated clock that only its wait and its sleep move:
// every frame, spawn and score tick starts at its due time, never before and
// never more than the poll span after, however late the wait wakes and however
// long a pass takes; a key-down during a wait is handled at once, and one in
// the span slept through before a due time at the sleep's end; the loop never
// polls; a pause moves every due time by the paused span, and the pause loop
// waits for events alone. Nothing here depends on the speed of the machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/brains.h"
#include "display/game_window.h"
#include "engine/game_clock.h"
#include "engine/main_loops.h"
#include "game_session.h"
#include "platform/directx.h"
#include "support/simulated_clock.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

using testing::EveryPass;
using testing::GameSession;
using testing::SimulatedClock;

constexpr int32_t start = GameSession::startTime;
constexpr int64_t ms = 1000;  // microseconds

// Whole milliseconds of a clock moment, rounded down.
int32_t ticksAt(int64_t moment) { return static_cast<int32_t>(moment / ms); }

struct Machine {
    const char* name;
    int64_t passCostLow, passCostHigh;  // what one pass of the loop costs
    int64_t lateness;                   // how late a wait may wake
    int32_t spawnInterval;
};

// Lateness and pass cost each within the poll span: what the span allows for.
const Machine machines[] = {
    {"quick passes, punctual wake-ups, sparse spawns", 20, 80, 0, 700},
    {"quick passes, late wake-ups, a spawn every 10 ms", 20, 80, pollSpan - 80, 10},
    {"slow passes, wake-ups as late as the span", 100, pollSpan, pollSpan, 333},
};

TEST(WaitingLoop, DueTimesKeysAndAPauseInSimulatedTime) {
    for (const Machine& machine : machines) {
        SCOPED_TRACE(machine.name);
        GameSession game;
        spawnInterval = machine.spawnInterval;
        SimulatedClock clock(int64_t{start} * ms, 7);
        clock.setPassCost(machine.passCostLow, machine.passCostHigh);
        clock.setWakeLateness(machine.lateness);

        // The pass whose work the next observation belongs to: the readings of
        // one pass all return the moment its wait was called at.
        int64_t workAt = clock.now();
        int mainWaits = 0, pausedWaits = 0;
        // The last sleep: a key-down within it is seen when it ends.
        int64_t sleptFrom = -1, sleptTo = -1;
        clock.onSleep = [&](int64_t from, int64_t to) {
            EXPECT_FALSE(paused);
            sleptFrom = from;
            sleptTo = to;
        };
        clock.onWait = [&](int64_t calledAt) {
            if (paused) {
                ++pausedWaits;
                return;
            }
            ++mainWaits;
            workAt = calledAt;
        };

        // Key-downs between due times, alternately Up and Down, each let go
        // 2 ms later; P at 12 s of game time, P again 5 s later.
        std::vector<int64_t> keyTimes;
        for (int64_t t = (start + 1000) * ms + 137; t < (start + 24000) * ms; t += 411 * ms + 53) {
            if (t > (start + 11500) * ms && t < (start + 17500) * ms) continue;
            const int code = keyTimes.size() % 2 == 0 ? dik::UP : dik::DOWN;
            keyTimes.push_back(t);
            clock.at(t, [code] { injectKey(code, true); });
            clock.at(t + 2 * ms, [code] { injectKey(code, false); });
        }
        const int64_t pauseAt = (start + 12000) * ms + 301, resumeAt = pauseAt + 5000 * ms;
        for (int64_t t : {pauseAt, resumeAt}) {
            clock.at(t, [] { injectKey(dik::P, true); });
            clock.at(t + 2 * ms, [] { injectKey(dik::P, false); });
        }

        // The due times, from what the loop has done so far.
        int32_t frameDue = start, spawnDue = start + 500, tickDue = start + 10000;
        int frames = 0, spawns = 0, ticks = 0, keysHandled = 0;
        size_t nextKey = 0;
        int16_t row = currentRow;
        int32_t lastScore = score;
        int64_t pauseStartedAt = -1, resumedAt = -1;

        auto gameTimeAt = [](int64_t moment) { return ticksAt(moment) - pausedTotal; };
        // From this moment of the clock the game time has strictly passed due.
        auto passedAt = [](int32_t due) { return (int64_t{due} + 1 + pausedTotal) * ms; };
        auto onTime = [&](const char* what, int32_t due) {
            EXPECT_GE(workAt, passedAt(due)) << what << " before its due time " << due;
            // The wait wakes a poll span early and the loop sleeps the rest, so
            // work is late by the sleep's wake-up, or by the pass of an event
            // that came just before: each within the span.
            EXPECT_LE(workAt, passedAt(due) + pollSpan) << what << " late, due at " << due;
        };

        EveryPass pass([&] {
            int drawn = 0;
            for (const auto& text : drawnTexts(*backBuffer)) drawn += text.x == 83 && text.y == 45;
            clearDrawnTexts(*backBuffer);
            EXPECT_LE(drawn, 1);
            if (drawn) {
                onTime("a frame", frameDue);
                frameDue = gameTimeAt(workAt) + framePace;
                ++frames;
            }
            // Every piece is taken away again, so each one seen is a new spawn.
            EXPECT_LE(lastFalling, 0);
            if (lastFalling >= 0) {
                onTime("a spawn", spawnDue);
                spawnDue = gameTimeAt(workAt) + spawnInterval;
                ++spawns;
                fallingPieces.clear();
                lastFalling = -1;
            }
            if (score != lastScore) {
                EXPECT_EQ(score, lastScore + 3);
                onTime("a score tick", tickDue);
                tickDue = gameTimeAt(workAt) + 10000;
                EXPECT_EQ(nextScoreTick, tickDue);
                lastScore = score;
                ++ticks;
            }
            // A key-down that ended a wait is handled in that pass.
            if (nextKey < keyTimes.size() && clock.now() >= keyTimes[nextKey]) {
                EXPECT_NE(currentRow, row) << "key-down at " << keyTimes[nextKey] << " not handled";
                const int64_t key = keyTimes[nextKey];
                const bool slept = key > sleptFrom && key <= sleptTo;
                if (slept) {
                    EXPECT_LE(sleptTo - key, pollSpan + machine.lateness);
                }
                EXPECT_LE(clock.now() - (slept ? sleptTo : key), machine.passCostHigh);
                EXPECT_EQ(lastKeyTime, gameTimeAt(clock.now()));
                row = currentRow;
                ++nextKey;
                ++keysHandled;
            }
            if (paused && pauseStartedAt < 0) pauseStartedAt = clock.now();
            if (!paused && pauseStartedAt >= 0 && resumedAt < 0) resumedAt = clock.now();
            if (!paused && gameTimeAt(clock.now()) > start + 25000) endGame = true;
        });
        playFreestyle();

        // Paused from the key-down that paused to the one that resumed.
        ASSERT_GE(resumedAt, 0);
        EXPECT_LE(pauseStartedAt - pauseAt, machine.passCostHigh);
        EXPECT_LE(resumedAt - resumeAt, machine.passCostHigh);
        EXPECT_EQ(pausedTotal, ticksAt(resumedAt) - ticksAt(pauseStartedAt));
        EXPECT_EQ(keysHandled, static_cast<int>(keyTimes.size()));
        EXPECT_EQ(ticks, 2);
        // 25 s of game time: a frame every 26 ms, a spawn every interval and a ms.
        EXPECT_NEAR(frames, 25000 / (framePace + 1), 2);
        EXPECT_NEAR(spawns, (25000 - 500) / (machine.spawnInterval + 1), 2);
        // The loop sleeps between due times and never polls: a wait or two for
        // each due time (one whole, one for what the first left), and a pass
        // for each key event.
        const int due = frames + spawns + ticks;
        EXPECT_LE(mainWaits, 2 * due + 2 * static_cast<int>(keyTimes.size()) + 10);
        // Over the 5 s of the pause the loop wakes for its key events alone
        // (P let go, P again), at no pace of its own.
        EXPECT_GT(pausedWaits, 0);
        EXPECT_LE(pausedWaits, 3);
    }
}

} // namespace
} // namespace pomlets

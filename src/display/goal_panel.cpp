#include "display/goal_panel.h"

#include <functional>

#include "common/brains.h"
#include "display/game_window.h"
#include "engine/main_loops.h"
#include "engine/messages.h"
#include "platform/runtime.h"

namespace pomlets {

namespace {

constexpr int32_t panelX = 85;

void drawLine(int16_t y, const std::string& text) { backBuffer->DrawText(panelX, y, text, false); }

// Seconds left in the current countdown minute: 59 in its first second, 0 in
// its sixtieth, negative once the minute is over.
int32_t secondsLeft() {
    const int32_t elapsed = add32(gameTime(), -static_cast<int64_t>(currentLevel.timerMinuteStart));
    return toInt32(59 - vbInt(elapsed / 1000.0));
}

// One countdown step: ends the countdown (end) in the last second of its last
// minute, starts a new minute once one is over, and draws the time line.
//
// A countdown also ends when no frame fell within its last second (the first
// frame after it comes only once the minute is over): it then ends at that
// frame, reading 0:00, instead of rolling over below zero minutes.
void countDown(int16_t& minutes, int16_t y, const std::function<void()>& end) {
    bool ended = false;
    if (secondsLeft() <= 0 && minutes <= 0) {
        ended = true;
        end();
    }

    int32_t s = secondsLeft();
    if (s < 0) {
        if (minutes > 0) {
            currentLevel.timerMinuteStart = gameTime();
            minutes = static_cast<int16_t>(minutes - 1);
        } else if (!ended) {
            ended = true;
            end();
        }
    }

    s = secondsLeft();
    if (ended && s < 0) s = 0;
    drawLine(y, "Time: " + plainText(minutes) + (s >= 10 ? ":" : ":0") + plainText(s));
}

} // namespace

void drawGoalPanel() {
    LevelInfo& level = currentLevel;
    int16_t y = 26;

    if (level.settleGoalOn) drawLine(26, level.settlePieceName + "s:  " + signedText(level.settlePiecesLeft));

    if (level.protectGoalOn) {
        drawLine(26, level.protectPieceName + "s:  " + signedText(level.protectPiecesLeft));
        y = 41;
        if (!levelOver && level.protectPiecesLeft < 1) {
            levelOver = true;
            showMessage("failed!");
        }
    }

    if (level.goalPiecesLeft > -1) {
        drawLine(y, level.goalPieceName + "s:  " + signedText(level.goalPiecesLeft));
        y = static_cast<int16_t>(y + 15);
    }

    if (level.targetScore > -1) {
        drawLine(y, "Score: " + signedText(score) + "/" + signedText(level.targetScore));
        y = static_cast<int16_t>(y + 15);
    }

    if (level.limitTimerOn && !levelOver) {
        countDown(level.limitMinutes, y, [] {
            levelOver = true;
            showMessage("Time expired");
        });
    }

    if (level.survivalTimerOn && !levelOver) {
        countDown(level.survivalMinutes, y, [] {
            levelOver = true;
            levelWon = true;
            showMessage("Victory!");
            playApplause();
        });
    }
}

} // namespace pomlets

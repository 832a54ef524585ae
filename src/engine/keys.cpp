#include "engine/keys.h"

#include "common/brains.h"
#include "display/game_window.h"
#include "display/playlist.h"
#include "engine/drops.h"
#include "engine/field.h"
#include "engine/main_loops.h"
#include "engine/sound_effects.h"
#include "platform/bass.h"
#include "platform/process_guard.h"
#include "platform/runtime.h"
#include "platform/win32.h"

namespace pomlets {

namespace {

// No command this key-down.
constexpr int noCommand = -2;
// Key-downs closer than this to the last accepted one are ignored.
constexpr int32_t keyGate = 150;

void moveRowPointer(int step) {
    currentRow = static_cast<int16_t>(currentRow + step);
    if (sndMoveRow) {
        sndMoveRow->Stop();
        sndMoveRow->Play(DSBPLAY_DEFAULT);
    }
}

void detonate() {
    playSound(sndDetonate);
    for (auto& row : field.rows)
        for (auto& cell : row.cells)
            if (cell.occupied && cell.piece.isBomb) cell.piece.deadline = 0;
}

// Keys 1, 2 and 4: one bought item dropped into the field.
void useStoreItem(size_t item, const char* typeName) {
    if (gameMode != "Freestyle" || items[item] <= 0) return;
    items[item] = static_cast<int16_t>(items[item] - 1);
    dropPiece(typeName);
}

// While the display is lost (another window has the focus, or the game window
// was minimised) the game window stays where it is, so that a click on it
// brings the game back; so does a click or a key in the program's other
// windows, which is the way back where no task bar offers one. The loop waits
// for the window to be back with the focus.
void waitForDisplay() {
    GameWindow* window = fConsole().window();
    const BringBackOnInput wayBack(window);
    while (ddraw && ddraw->TestCooperativeLevel() != 0 && !leaveRequested()) {
        processPendingEvents();
        // Nothing is shown meanwhile: wait for the window's events.
        waitForSomething();
    }
    if (window) window->restore();
    if (ddraw) ddraw->RestoreAllSurfaces();
}

void showPauseScreen() {
    backBuffer->BltColorFill(RECT{}, 0);
    backBuffer->DrawText(10, 20, "Paused...  Press the P key to resume.", false);
    primary->Flip(nullptr, DDFLIP_WAIT);
}

// Game time stands still over the pause. The key-down that resumed was
// stamped before the span left the clock, so its stamp lies the whole span
// ahead: it is brought back to now, and keys pass the gate again at most
// 150 ms after the resume, however long the pause lasted.
void takeOutPausedSpan(int32_t pauseStart) {
    pausedTotal = add32(pausedTotal, static_cast<int64_t>(GetTickCount()) - pauseStart);
    const int32_t now = gameTime();
    if (lastKeyTime > now) lastKeyTime = now;
}

} // namespace

void readKeys() {
    // No keyboard device before the first game is set up: nothing to read.
    if (!keyboard) return;
    keyboard->GetDeviceStateKeyboard(keyState);
    // The state as read now: a pause started below runs nested key-downs that
    // read it again, and this call goes on with its own.
    const DIKEYBOARDSTATE state = keyState;
    auto down = [&state](int code) { return state[static_cast<size_t>(code)] != 0; };

    // Tested in table order, so the last key held wins.
    int command = noCommand;
    if (down(dik::K1)) command = dik::K1;
    if (down(dik::K2)) command = dik::K2;
    if (down(dik::K3)) command = dik::K3;
    if (down(dik::K4)) command = dik::K4;
    if (down(dik::N)) nextSong();
    if (down(dik::P)) togglePause();
    if (down(dik::LEFT)) command = dik::LEFT;
    if (down(dik::RIGHT)) command = dik::RIGHT;
    if (down(dik::UP)) command = dik::UP;
    if (down(dik::DOWN)) command = dik::DOWN;
    if (down(dik::ESCAPE)) command = dik::ESCAPE;

    if (static_cast<int64_t>(gameTime()) <= static_cast<int64_t>(lastKeyTime) + keyGate) return;
    if (paused) return;

    switch (command) {
    case dik::K1: useStoreItem(0, "Slammer"); break;
    case dik::K2: useStoreItem(1, "Bomb"); break;
    case dik::K4: useStoreItem(3, "Bowling Ball"); break;
    case dik::K3:
        if (gameMode == "Freestyle" && items[2] > 0) {
            items[2] = static_cast<int16_t>(items[2] - 1);
            detonate();
        }
        break;
    case dik::LEFT: shiftRow(true); break;
    case dik::RIGHT: shiftRow(false); break;
    case dik::UP:
        if (currentRow != fieldRows - 1) moveRowPointer(+1);
        break;
    case dik::DOWN:
        if (currentRow != 0) moveRowPointer(-1);
        break;
    case dik::ESCAPE:
        endGame = true;
        paused = false;
        break;
    default: break;
    }
    lastKeyTime = gameTime();
}

void togglePause() {
    if (paused) {
        ShowCursor(false);
        paused = false;
        BASS_Start();
        return;
    }

    ShowCursor(true);
    paused = true;
    const int32_t pauseStart = GetTickCount();
    BASS_Pause();
    try {
        while (paused) {
            processPendingEvents();
            if (leaveRequested()) {
                // The system asks the program to end: the game resumes, to
                // end at once as with Escape.
                if (paused) togglePause();
                break;
            }
            if (!ddraw || ddraw->TestCooperativeLevel() == 0) {
                showPauseScreen();
                // The pause screen stands still and reaches the window only
                // when it changes: it is drawn again after each key-down or
                // other event, and nothing runs in between.
                if (paused) waitForSomething();
            } else {
                waitForDisplay();
            }
        }
    } catch (...) {
        // A failure ends the pause too: the game must not stay paused, and the
        // span is still taken out of the clock.
        paused = false;
        ShowCursor(false);
        BASS_Start();
        takeOutPausedSpan(pauseStart);
        throw;
    }
    takeOutPausedSpan(pauseStart);
}

} // namespace pomlets

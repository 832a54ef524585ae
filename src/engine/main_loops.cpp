// The two main loops. gameTime lives beside the other clock code.
#include "engine/main_loops.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <string>

#include "common/brains.h"
#include "datafiles/log.h"
#include "display/game_window.h"
#include "display/goal_panel.h"
#include "display/playlist.h"
#include "display/sprites.h"
#include "engine/board_rules.h"
#include "engine/chance.h"
#include "engine/effects.h"
#include "engine/field.h"
#include "engine/goals.h"
#include "engine/keys.h"
#include "engine/messages.h"
#include "platform/process_guard.h"
#include "platform/runtime.h"
#include "platform/win32.h"

namespace pomlets {

namespace {

// The theme plate's source rectangle and the field area it is stretched into.
constexpr RECT plateSource{0, 0, 500, 350};
constexpr RECT plateDest{81, 80, 934, 690};
constexpr int32_t firstSpawnDelay = 500;
constexpr int32_t scoreTickInterval = 10000;
constexpr int32_t scoreTickPoints = 3;
constexpr int32_t frogBonusScore = 60000;
constexpr int32_t frogShowerTime = 60000;
constexpr int32_t frogFadeTime = 3000;
constexpr int musicDropChances = 2000;
constexpr int32_t musicNotesForAllDrops = 9;

enum class Mode { Freestyle, Arcade };

// The loop's own two times.
struct LoopTimes {
    int32_t spawnTime = 0;
    int32_t frameTime = 0;
};

// A copy of the background that every frame without frogs starts from:
// black, the theme plate stretched into the field, the frame overlay keyed
// over it. It is the same picture in every such frame of a game, so it is
// composed once and then copied whole. It relies on the order of a frame's
// preparation: it is captured right after the overlay and before anything
// else is drawn, the music title above all (the title is drawn over it on
// the passes that follow, so it is never part of the copy). It names the
// surfaces it was made from, as they stood then, and is composed anew when
// another one is in use or one of them was written since.
struct BackgroundCache {
    struct Source {
        SurfaceRef surface;
        uint64_t writes = 0;

        bool is(const SurfaceRef& now) const { return surface == now && (!now || now->writeCount() == writes); }
        void take(const SurfaceRef& now) {
            surface = now;
            writes = now ? now->writeCount() : 0;
        }
    };
    SurfaceRef picture, madeOn;
    Source plate, overlay;

    bool fits() const { return picture && madeOn == backBuffer && plate.is(themePlate) && overlay.is(frameOverlay); }
    // Takes the back buffer as it stands, just after the overlay.
    void capture() {
        if (!picture || madeOn != backBuffer)
            picture = std::make_shared<DirectDrawSurface7>(backBuffer->width(), backBuffer->height());
        picture->Blt(RECT{}, backBuffer, RECT{}, 0);
        madeOn = backBuffer;
        plate.take(themePlate);
        overlay.take(frameOverlay);
    }
};

bool frogsShown() { return frogGiven && static_cast<int64_t>(frogUntil) + frogFadeTime > gameTime(); }

// A time has passed once it is strictly earlier than a fresh clock reading.
bool hasPassed(int32_t time) { return time < gameTime(); }

int32_t later(int32_t delay) { return add32(gameTime(), delay); }

// In Arcade a failing step is abandoned and the pass goes on with the next;
// in Freestyle a failure ends the game (see playFreestyle). Once the display
// has been torn down (the fruit change's failure does that) nothing of the
// pass can run any more; the loop ends at its next test of endGame.
template <typename Step>
void step(Mode mode, Step&& body) {
    if (!ddraw) return;
    if (mode == Mode::Freestyle) {
        body();
        return;
    }
    try {
        body();
    } catch (const std::exception&) {
    }
}

void setUp(Mode mode, LoopTimes& times) {
    step(mode, [] { writeLog("play - initializing variables", true); });
    endGame = false;
    if (mode == Mode::Arcade) levelOver = false;
    step(mode, [&] { times.spawnTime = later(firstSpawnDelay); });
    step(mode, [&] { times.frameTime = gameTime(); });
    step(mode, [] { lastKeyTime = gameTime(); });
    step(mode, [] { nextScoreTick = later(scoreTickInterval); });
    pendingDumps = 0;
    step(mode, [] { writeLog("play - entering main loop", true); });
}

// Freestyle's rare drop of a Music Note in place of a spawn. Without a
// "Music" definition in the piece table, a normal piece spawns instead.
void musicDrop() {
    // No timer is armed and the generator is not re-seeded.
    if (!launchPiece([] { return firstSlotNamed("Music"); })) spawnPiece();
}

void spawnStep(Mode mode, LoopTimes& times) {
    bool due = false;
    step(mode, [&] { due = hasPassed(times.spawnTime); });
    if (!due) return;
    step(mode, [mode] {
        if (mode == Mode::Freestyle) {
            const int draw = randomInt(musicDropChances);
            if (draw == 1 && musicNotes < musicNotesForAllDrops)
                musicDrop();
            else
                spawnPiece();
        } else {
            spawnPiece();
        }
    });
    // Rescheduled even when the spawn failed, so that a failing spawn is not
    // tried again at every pass.
    step(mode, [&] { times.spawnTime = later(spawnInterval); });
}

void victory() {
    showMessage("victory!");
    playApplause();
    levelOver = true;
    levelWon = true;
}

// The Arcade end test, once a frame: a decided level ends the game once its
// banner has scrolled away; otherwise the goals may win it.
void arcadeEndTest() {
    if (levelOver) {
        if (lastMessageGlyph < 0) endGame = true;
    } else if (currentLevel.survivalTimerOn) {
        if (!levelGoalsMet()) victory();
    } else if (levelGoalsMet()) {
        victory();
    }
}

void frogBonusTest() {
    if (score > frogBonusScore && !frogGiven) {
        frogGiven = true;
        showMessage("Frog bonus!");
        frogUntil = later(frogShowerTime);
    }
}

void prepareBackground(Mode mode, BackgroundCache& background) {
    bool frogs = false;
    if (mode == Mode::Freestyle) step(mode, [&] { frogs = frogsShown(); });
    if (!frogs && background.fits()) {
        step(mode, [&] { backBuffer->Blt(RECT{}, background.picture, RECT{}, 0); });
        return;
    }
    step(mode, [] { backBuffer->BltColorFill(RECT{}, 0); });
    step(mode, [] {
        if (themePlate) backBuffer->Blt(plateDest, themePlate, plateSource, DDBLT_WAIT);
    });
    if (frogs) step(mode, [] { updateFrogs(); });
    step(mode, [] {
        if (!frameOverlay) return;
        const RECT whole{0, 0, frameOverlay->width(), frameOverlay->height()};
        backBuffer->Blt(RECT{0, 0, backBuffer->width(), backBuffer->height()}, frameOverlay, whole,
                        DDBLT_KEYSRC | DDBLT_WAIT);
    });
    if (!frogs) step(mode, [&] { background.capture(); });
}

void frameStep(Mode mode, LoopTimes& times, BackgroundCache& background) {
    bool due = false;
    step(mode, [&] { due = hasPassed(times.frameTime); });
    if (!due) return;

    step(mode, [] { updateFallingPieces(); });
    step(mode, [] {
        if (pendingDumps > 0) {
            const int16_t owed = pendingDumps;
            for (int16_t i = 0; i < owed; ++i) spawnPiece();
            pendingDumps = 0;
        }
    });
    step(mode, [] { compactFallingList(); });
    step(mode, [] { updateBoardRules(); });
    step(mode, [] { drawPieces(); });
    step(mode, [] { drawRowPointer(); });
    step(mode, [] { drawInventoryBar(); });
    step(mode, [] { if (lastExplosion > -1) updateExplosions(); });
    step(mode, [] { if (lastZap > -1) updateZaps(); });
    step(mode, [] { if (lastPointPopup > -1) updatePointPopups(); });
    step(mode, [] { if (lastMessageGlyph > -1) drawMessage(); });
    if (mode == Mode::Freestyle) {
        step(mode, [] { backBuffer->DrawText(83, 45, plainText(score), false); });
    } else {
        step(mode, [] { backBuffer->DrawText(315, 33, currentLevel.levelCaption, false); });
        step(mode, [] { drawGoalPanel(); });
    }
    step(mode, [] { primary->Flip(nullptr, DDFLIP_WAIT); });
    step(mode, [&] { times.frameTime = later(framePace); });
    prepareBackground(mode, background);
    if (mode == Mode::Freestyle)
        step(mode, [] { frogBonusTest(); });
    else
        step(mode, [] { arcadeEndTest(); });
}

void scoreTick() {
    if (hasPassed(nextScoreTick)) {
        nextScoreTick = later(scoreTickInterval);
        score = add32(score, scoreTickPoints);
    }
}

void lostDisplayCheck() {
    if (ddraw->TestCooperativeLevel() != 0 && !paused) togglePause();
}

// Between its due times the loop has nothing to do but let window events
// in: it waits for one, or until shortly before the earliest of the next
// spawn, frame and score tick has passed.
void waitUntilDue(const LoopTimes& times) {
    if (endGame) return;
    waitUntilPassed(std::min({times.spawnTime, times.frameTime, nextScoreTick}));
}

void pass(Mode mode, LoopTimes& times, BackgroundCache& background) {
    spawnStep(mode, times);
    frameStep(mode, times, background);
    step(mode, [] { scoreTick(); });
    step(mode, [] { updateMusic(); });
    step(mode, [&] { waitUntilDue(times); });
    step(mode, [] { processPendingEvents(); });
    step(mode, [] { lostDisplayCheck(); });
}

void run(Mode mode) {
    // Without a display there is no game to run.
    if (!ddraw) {
        endGame = true;
        return;
    }
    LoopTimes times;
    BackgroundCache background;
    setUp(mode, times);
    // A request from the system to end the program ends the game as Escape does.
    while (!endGame && !leaveRequested()) pass(mode, times, background);
    endGame = true;
}

} // namespace

// A run-time error ends a Freestyle game: the loop logs it, leaves the game
// ended and unpaused, and passes the error on, so that the Play command tears
// the display down, shows the error and saves the player's files.
void playFreestyle() {
    try {
        run(Mode::Freestyle);
    } catch (const RuntimeError& error) {
        endGame = true;
        paused = false;
        writeLog("play - error " + std::to_string(error.number()) + ", " + error.description(), true);
        throw;
    } catch (const std::exception& error) {
        endGame = true;
        paused = false;
        writeLog(std::string("play - error: ") + error.what(), true);
        throw;
    }
}

void playArcade() { run(Mode::Arcade); }

} // namespace pomlets

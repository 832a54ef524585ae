// The picture of a frame over whole headless games: the same whatever the
// number of passes a frame has, and the background copied from the cache
// equal, pixel for pixel, to one composed from scratch through theme plate
// and frame overlay changes, the frog shower and a lost and restored display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/brains.h"
#include "display/game_window.h"
#include "engine/main_loops.h"
#include "game_session.h"
#include "platform/directx.h"
#include "platform/runtime.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

using testing::advanceClock;
using testing::drewText;
using testing::EveryPass;
using testing::GameSession;
using testing::tapKey;

using Picture = std::vector<uint16_t>;

Picture pictureOf(const SurfaceRef& s) {
    Picture p;
    p.reserve(static_cast<size_t>(s->width()) * static_cast<size_t>(s->height()));
    for (int y = 0; y < s->height(); ++y)
        for (int x = 0; x < s->width(); ++x) p.push_back(s->pixel565(x, y));
    return p;
}

size_t pixelsApart(const Picture& a, const Picture& b) {
    if (a.size() != b.size()) return std::max(a.size(), b.size());
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

// Freestyle draws the score at (83, 45) once a frame.
bool frameDrawn() { return drewText(83, 45); }

// The back buffer as each frame starts to be drawn, over 40 frames of a game
// whose frames each have this many passes of the loop.
std::vector<Picture> framesWithPasses(int passesPerFrame) {
    GameSession game;
    nowPlaying = "Over the Lily Pads";
    std::vector<Picture> frames;
    int passes = 0;
    EveryPass pass([&] {
        if (++passes % passesPerFrame != 0) return;
        // The next pass computes a frame and draws it over what is here now.
        frames.push_back(pictureOf(backBuffer));
        if (frames.size() == 40) endGame = true;
        advanceClock(26);
    });
    playFreestyle();
    return frames;
}

TEST(FramePicture, OnePassAndAHundredPassesGiveTheSameFrames) {
    const std::vector<Picture> one = framesWithPasses(1);
    const std::vector<Picture> hundred = framesWithPasses(100);
    ASSERT_EQ(one.size(), 40u);
    ASSERT_EQ(hundred.size(), 40u);
    for (size_t i = 0; i < one.size(); ++i) EXPECT_EQ(pixelsApart(one[i], hundred[i]), 0u) << "frame " << i;
}

SurfaceRef pictureFile(const std::string& path, bool keyed) {
    DDSURFACEDESC2 desc;
    SurfaceRef s = ddraw->CreateSurfaceFromFile(appPath(path), desc);
    if (keyed) s->SetColorKey(DDCKEY_SRCBLT, colorKey);
    return s;
}

// The background of the next frame composed from nothing, as the loop
// prepares it, with the frogs (while they show) where the latest frame drew
// them and the music title over it all.
Picture composedFromScratch(bool withFrogs) {
    auto scratch = std::make_shared<DirectDrawSurface7>(1024, 768);
    scratch->SetFont(*textFont);
    scratch->SetFontTransparency(true);
    scratch->SetForeColor(0xFFFFFF);
    scratch->BltColorFill(RECT{}, 0);
    scratch->Blt(RECT{81, 80, 934, 690}, themePlate, RECT{0, 0, 500, 350}, DDBLT_WAIT);
    for (int i = 0; withFrogs && i <= lastFrog; ++i) {
        // A frog drawn in the latest frame has moved on by its speed since; one
        // put back at the top (y 0) or gone off the screen was not drawn.
        const Frog& f = frogs[static_cast<size_t>(i)];
        if (f.y == 0 || f.y > 768 || f.x < 0) continue;
        const int x = f.x + f.speed, y = f.y - f.speed;
        scratch->Blt(RECT{x, y, x + 100, y + 100}, frogFrames[static_cast<size_t>(f.frame)], RECT{0, 0, 100, 100},
                     DDBLT_KEYSRC | DDBLT_WAIT);
    }
    scratch->Blt(RECT{0, 0, 1024, 768}, frameOverlay, RECT{0, 0, frameOverlay->width(), frameOverlay->height()},
                 DDBLT_KEYSRC | DDBLT_WAIT);
    scratch->DrawSettledText(80, 723, nowPlaying);
    return pictureOf(scratch);
}

TEST(FramePicture, CachedBackgroundEqualsOneComposedFromScratchOverAWholeGame) {
    GameSession game;
    nowPlaying = "Over the Lily Pads";
    GameWindow* window = fConsole().window();
    simulateFocus(*window, true);
    const std::string otherTheme = themeName == "Cells" ? "Tessellane #1 - Pelvaro" : "Cells";
    int frames = 0, compared = 0, frogFrames = 0, pausedPasses = 0;
    bool frogsSeen = false, frogsGone = false, lost = false, resumed = false;
    EveryPass pass([&] {
        if (paused) {
            // The display lost: the pause waits for it, then for the P key.
            ++pausedPasses;
            if (!window->hasFocus()) {
                simulateFocus(*window, true);
            } else if (pausedPasses == 5) {
                tapKey(dik::P);
                resumed = true;
            }
            return;
        }
        const bool drawn = frameDrawn();
        clearDrawnTexts(*backBuffer);
        const bool frogsShowing = frogGiven && int64_t{frogUntil} + 3000 > gameTime();
        if (drawn) {
            ++frames;
            // Right after its flip the loop prepared the next frame's background.
            const size_t apart = pixelsApart(pictureOf(backBuffer), composedFromScratch(frogsShowing));
            EXPECT_EQ(apart, 0u) << "frame " << frames << (frogsShowing ? " with frogs" : "");
            ++compared;
            if (frogsShowing) ++frogFrames;
        }
        if (frames == 10) themePlate = pictureFile("\\themes\\" + otherTheme + "\\plate_02.bmp", false);
        // The same pictures drawn on in place count as changed as well.
        if (frames == 15) themePlate->BltColorFill(RECT{10, 10, 200, 100}, 0x00FF00);
        if (frames == 20) frameOverlay = pictureFile("\\images\\frameA.bmp", true);
        if (frames == 25) frameOverlay->BltColorFill(RECT{0, 0, 400, 30}, 0x0000FF);
        if (frames == 30 && !frogGiven) score = 60001;  // the Frog bonus at the end of the next frame
        if (frogGiven && !frogsSeen && lastFrog >= 0) frogsSeen = true;
        if (frogsSeen && !frogsShowing && !frogsGone) {
            frogsGone = true;
            frames = 100;
        }
        if (frames == 110 && !lost) {
            lost = true;
            simulateFocus(*window, false);  // the display is lost at the end of this pass
        }
        if (frames == 130) endGame = true;
        // Through the minute of frogs in long steps; one frame a pass either way.
        advanceClock(frogsShowing ? 700 : 26);
    });
    playFreestyle();

    EXPECT_TRUE(frogsSeen);
    EXPECT_TRUE(frogsGone);
    EXPECT_GT(frogFrames, 20);
    EXPECT_TRUE(resumed);
    EXPECT_GT(compared, 150);
}

} // namespace
} // namespace pomlets

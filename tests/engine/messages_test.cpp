// The scrolling message, the frog shower and applause.
#include <gtest/gtest.h>

#include <set>

#include "common/brains.h"
#include "engine/chance.h"
#include "engine/messages.h"
#include "field_picture.h"
#include "platform/runtime.h"
#include "platform/win32.h"

namespace pomlets::testing {
namespace {

class MessageTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        for (size_t i = 0; i < glyphSurfaces.size(); ++i) glyphSurfaces[i] = std::make_shared<DirectDrawSurface7>(50, 50);
    }
};

TEST_F(MessageTest, GlyphsForLettersDigitsSpaceAndBang) {
    EXPECT_EQ(getGlyph("a"), glyphSurfaces[0]);
    EXPECT_EQ(getGlyph("A"), glyphSurfaces[0]);
    EXPECT_EQ(getGlyph("z"), glyphSurfaces[25]);
    EXPECT_EQ(getGlyph("!"), glyphSurfaces[26]);
    EXPECT_EQ(getGlyph(" "), glyphSurfaces[27]);
    EXPECT_EQ(getGlyph("0"), glyphSurfaces[28]);
    EXPECT_EQ(getGlyph("9"), glyphSurfaces[37]);
    for (const char* none : {"?", ".", "-", "", "\xe9"}) EXPECT_EQ(getGlyph(none), nullptr) << none;
}

TEST_F(MessageTest, AMessageLaysItsGlyphsFiftyPixelsApart) {
    showMessage("Ab 9");
    ASSERT_EQ(lastMessageGlyph, 3);
    const SurfaceRef expected[] = {glyphSurfaces[0], glyphSurfaces[1], glyphSurfaces[27], glyphSurfaces[37]};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(messageGlyphs[static_cast<size_t>(i)].x, 1000 + 50 * i);
        EXPECT_EQ(messageGlyphs[static_cast<size_t>(i)].glyph, expected[i]);
    }
    showMessage("x");  // replaces the running one at once
    EXPECT_EQ(lastMessageGlyph, 0);
    showMessage("");
    EXPECT_EQ(lastMessageGlyph, -1);
}

TEST_F(MessageTest, AMessageScrollsForItsFrameCount) {
    for (auto [text, frames] : {std::pair{"victory!", 97}, {"A", 72}, {"Frog bonus!", 108}}) {
        showMessage(text);
        int n = 0;
        while (lastMessageGlyph > -1) {
            drawMessage();
            ++n;
        }
        EXPECT_EQ(n, frames) << text;
    }
}

TEST_F(MessageTest, AGlyphIsDroppedWhenItReachesZero) {
    showMessage("AB");
    messageGlyphs[0].x = 14;
    messageGlyphs[1].x = 15;
    drawMessage();
    ASSERT_EQ(lastMessageGlyph, 0);
    EXPECT_EQ(messageGlyphs[0].x, 1);
    EXPECT_EQ(messageGlyphs[0].glyph, glyphSurfaces[1]);
}

TEST_F(MessageTest, TheFrogShowerGrowsToTwentyAndRenewsItsFrogs) {
    frogUntil = 100000 + 60000;
    for (int frame = 1; frame <= 25; ++frame) {
        updateFrogs();
        EXPECT_EQ(lastFrog, std::min(frame, 20) - 1);
    }
    for (const Frog& f : frogs) {
        EXPECT_GE(f.frame, 1);
        EXPECT_LE(f.frame, 5);
        EXPECT_TRUE(f.frameHold == 4 || f.frameHold == 5);
        EXPECT_TRUE(f.speed == 7 || f.speed == 8);
    }
    // One frog followed: down and to the left by its speed, renewed at the
    // top once it has left the screen.
    frogs[0].x = 1999;
    frogs[0].y = 700;
    frogs[0].speed = 8;
    updateFrogs();
    EXPECT_EQ(frogs[0].x, 1991);
    EXPECT_EQ(frogs[0].y, 708);
    for (int i = 0; i < 8; ++i) updateFrogs();
    EXPECT_EQ(frogs[0].y, 0);  // passed 768: renewed
    EXPECT_GE(frogs[0].x, 0);
    EXPECT_LT(frogs[0].x, 2000);
    EXPECT_EQ(lastFrog, 19);
}

TEST_F(MessageTest, AfterFrogUntilFrogsFallOutAndNeverCroak) {
    frogUntil = 100000;  // not above the game time
    updateFrogs();
    frogs[0].y = 765;
    frogs[0].speed = 7;
    const uint32_t before = rndState();
    updateFrogs();  // a new frog draws four values; no renewal, no croak
    const uint32_t after = rndState();
    setRndState(before);
    for (int i = 0; i < 4; ++i) rnd();
    EXPECT_EQ(after, rndState());
    EXPECT_EQ(frogs[0].y, 772);
    int croaks = 0;
    for (const SoundRef& s : sndFrog) croaks += plays(s);
    EXPECT_EQ(croaks, 0);
    for (int i = 0; i < 30; ++i) updateFrogs();
    EXPECT_EQ(lastFrog, 19);
    EXPECT_GT(frogs[0].y, 768);
}

TEST_F(MessageTest, AFrogChangesPictureEveryHoldPlusOneFrames) {
    frogUntil = 200000;
    updateFrogs();
    frogs[0].frame = 1;
    frogs[0].frameHold = 4;
    frogs[0].tick = 0;
    std::vector<int> seen;
    for (int i = 0; i < 26; ++i) {
        frogs[0].y = 0;  // keep it on screen
        frogs[0].x = 1000;
        updateFrogs();
        seen.push_back(frogs[0].frame);
    }
    // Frames 5, 10, 15, 20, 25 change the picture.
    EXPECT_EQ(seen[3], 1);
    EXPECT_EQ(seen[4], 2);
    EXPECT_EQ(seen[9], 3);
    EXPECT_EQ(seen[19], 5);
    EXPECT_EQ(seen[24], 1);
}

TEST_F(MessageTest, CroaksComeWithAChanceOfThreeInTwoHundred) {
    frogUntil = 200000;
    lastFrog = 19;  // a full shower draws only the croak each frame... and renewals
    frogs.assign(20, Frog{1, 1000, 0, 4, 0, 7});
    stateForDraws(200, {2});
    updateFrogs();
    EXPECT_EQ(plays(sndFrog[2]), 1);
    EXPECT_EQ(plays(sndFrog[0]) + plays(sndFrog[1]), 0);
}

TEST_F(MessageTest, ApplausePlaysEachCombinationWithoutRepeats) {
    const std::vector<std::vector<int>> table = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0},
                                                 {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
    for (int r = 0; r < 7; ++r) {
        installSounds();
        stateForDraws(7, {r});
        playApplause();
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(plays(sndClapping[static_cast<size_t>(s)]), table[static_cast<size_t>(r)][static_cast<size_t>(s)])
                << "draw " << r << " sound " << s;
    }
}

} // namespace
} // namespace pomlets::testing

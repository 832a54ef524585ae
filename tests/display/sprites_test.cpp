// Sprites, effects and counters as they land on the back buffer.
#include <gtest/gtest.h>

#include <QComboBox>

#include "common/brains.h"
#include "display/game_window.h"
#include "display/sprites.h"
#include "engine/effects.h"
#include "engine/messages.h"
#include "frontend/fmain.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

constexpr uint32_t black = 0x000000;
constexpr uint32_t green = 0x00FF00;

SurfaceRef solid(int width, int height, int32_t bgr) {
    auto s = std::make_shared<DirectDrawSurface7>(width, height);
    s->BltColorFill(RECT{}, bgr);
    s->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{0xFFFFFF, 0xFFFFFF});
    return s;
}

class SpriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ddraw = std::make_shared<DirectDraw7>();
        backBuffer = std::make_shared<DirectDrawSurface7>(1024, 768);
        backBuffer->BltColorFill(RECT{}, 0);
    }
    uint32_t at(int x, int y) const { return backBuffer->pixelRGB(x, y); }
    // The rectangle (right and bottom exclusive) is filled with colour and
    // its surroundings are untouched.
    void expectRect(int left, int top, int right, int bottom, uint32_t colour) {
        SCOPED_TRACE(::testing::Message() << "(" << left << ", " << top << ") - (" << right << ", " << bottom << ")");
        EXPECT_EQ(at(left, top), colour);
        EXPECT_EQ(at(right - 1, top), colour);
        EXPECT_EQ(at(left, bottom - 1), colour);
        EXPECT_EQ(at(right - 1, bottom - 1), colour);
        EXPECT_EQ(at((left + right) / 2, (top + bottom) / 2), colour);
        if (left > 0) {
            EXPECT_EQ(at(left - 1, top), black);
        }
        if (top > 0) {
            EXPECT_EQ(at(left, top - 1), black);
        }
        if (right < 1024) {
            EXPECT_EQ(at(right, bottom - 1), black);
        }
        if (bottom < 768) {
            EXPECT_EQ(at(right - 1, bottom), black);
        }
    }
    void clear() { backBuffer->BltColorFill(RECT{}, 0); }
};

TEST_F(SpriteTest, PieceIconsLandOnTheirFieldPositions) {
    pieceDefs[3].surface = solid(90, 90, 0x00FF00);
    drawPieceIcon(3, 9, 520);
    expectRect(845, 600, 935, 690, green);
    clear();
    drawPieceIcon(3, 0, 10);
    expectRect(80, 90, 170, 180, green);
}

TEST_F(SpriteTest, APieceIsDrawnWithItsSlotsPictureKeyedOnWhite) {
    // The left half white: transparent.
    auto picture = solid(90, 90, 0x00FF00);
    picture->BltColorFill(RECT{0, 0, 45, 90}, 0xFFFFFF);
    pieceDefs[19].surface = picture;
    backBuffer->BltColorFill(RECT{}, 0xFF0000);  // a blue background
    drawPieceIcon(19, 2, 265);
    EXPECT_EQ(at(250 + 10, 345 + 10), 0x0000FFu);  // the background shows through
    EXPECT_EQ(at(250 + 60, 345 + 10), green);
    EXPECT_THROW(drawPieceIcon(20, 0, 0), RuntimeError);
}

TEST_F(SpriteTest, APictureNotWhollyOnTheBackBufferIsNotDrawn) {
    pieceDefs[0].surface = solid(90, 90, 0x00FF00);
    drawPieceIcon(0, 0, -81);  // top edge above the screen
    drawPieceIcon(0, 11, 0);   // right edge beyond it
    for (int x = 0; x < 1024; x += 7)
        for (int y = 0; y < 768; y += 7) ASSERT_EQ(at(x, y), black) << x << ", " << y;
}

TEST_F(SpriteTest, TheRowPointerStandsBesideThePointedRow) {
    pointerImage = solid(70, 45, 0x00FF00);
    drawRowPointer();
    expectRect(10, 620, 80, 665, green);
    clear();
    currentRow = 6;
    drawRowPointer();
    expectRect(10, 110, 80, 155, green);
}

TEST_F(SpriteTest, ExplosionsAreSquaresOfTheirSizeCentredOnTheirPosition) {
    explosionImage = solid(300, 300, 0x00FF00);
    addExplosion(100, 100, true);
    drawExplosion(0);
    expectRect(285, 285, 295, 295, green);
    clear();
    explosions[0].size = 260;
    drawExplosion(0);
    expectRect(160, 160, 420, 420, green);
    EXPECT_THROW(drawExplosion(1), RuntimeError);
}

TEST_F(SpriteTest, ZapsAreBandsOfTheirThicknessRoundedDown) {
    zapHImage = solid(80, 80, 0x00FF00);
    zapVImage = solid(80, 80, 0xFF0000);
    addZap(200, 300, true);
    drawZap(0);
    expectRect(185, 338, 270, 342, green);  // 5 thick draws 4
    clear();
    zaps[0].horizontal = false;
    zaps[0].thickness = 55;
    drawZap(0);
    expectRect(213, 300, 267, 395, 0x0000FF);  // 55 thick draws 54
}

TEST_F(SpriteTest, TheInventoryBarShowsItemsOnlyInFreestyle) {
    fMain().tMode->clear();
    fMain().tMode->addItem("Freestyle");
    fMain().tMode->addItem("Arcade");
    fMain().tMode->setCurrentIndex(0);
    // The font and colour that the display set-up gives the back buffer.
    backBuffer->SetFont(StdFont{"Times New Roman", 12, false, false});
    backBuffer->SetForeColor(0xFFFFFF);
    backBuffer->SetFontTransparency(true);
    items = {2, 0, 1, 0, 0, 0};
    credits = 12;
    musicNotes = 3;
    drawInventoryBar();
    using T = DrawnText;
    const std::vector<T> freestyle = {{300, 33, " x 2"}, {400, 33, " x 0"}, {500, 33, " x 1"},
                                      {600, 33, " x 0"}, {795, 33, " x 12"}, {895, 33, " x 3"}};
    ASSERT_EQ(drawnTexts(*backBuffer).size(), freestyle.size());
    for (size_t i = 0; i < freestyle.size(); ++i) {
        EXPECT_EQ(drawnTexts(*backBuffer)[i].x, freestyle[i].x);
        EXPECT_EQ(drawnTexts(*backBuffer)[i].y, freestyle[i].y);
        EXPECT_EQ(drawnTexts(*backBuffer)[i].text, freestyle[i].text);
    }
    int lit = 0;  // the text is really drawn
    for (int x = 300; x < 340; ++x)
        for (int y = 33; y < 53; ++y) lit += at(x, y) != black;
    EXPECT_GT(lit, 10);

    clearDrawnTexts(*backBuffer);
    fMain().tMode->setCurrentIndex(1);
    credits = -1;
    drawInventoryBar();
    ASSERT_EQ(drawnTexts(*backBuffer).size(), 2u);
    EXPECT_EQ(drawnTexts(*backBuffer)[0].text, " x -1");
    EXPECT_EQ(drawnTexts(*backBuffer)[1].x, 895);
    releaseFMain();
}

TEST_F(SpriteTest, PopupsShowTheirSignedPointsAboveTheirPosition) {
    addPointPopup(100, -175, 100);
    addPointPopup(0, 0, -40);
    updatePointPopups();
    ASSERT_EQ(drawnTexts(*backBuffer).size(), 2u);
    EXPECT_EQ(drawnTexts(*backBuffer)[0].x, 290);
    EXPECT_EQ(drawnTexts(*backBuffer)[0].y, 15);
    EXPECT_EQ(drawnTexts(*backBuffer)[0].text, " 100");
    EXPECT_EQ(drawnTexts(*backBuffer)[1].text, "-40");
    EXPECT_EQ(drawnTexts(*backBuffer)[1].y, 190);
}

TEST_F(SpriteTest, MessageGlyphsAndFrogsAreBlittedWhereTheyStand) {
    glyphSurfaces[0] = solid(50, 50, 0x00FF00);
    showMessage("A");
    messageGlyphs[0].x = 514;
    drawMessage();
    expectRect(500, 365, 550, 415, green);
    clear();
    frogFrames[2] = solid(100, 100, 0x00FF00);
    frogUntil = 0;
    frogs.assign(1, Frog{2, 300, 200, 5, 0, 7});
    lastFrog = 0;
    // A full list adds no frog; this one is drawn where it stood before its move.
    frogs.resize(20, Frog{1, 5000, 0, 5, 0, 7});
    lastFrog = 19;
    updateFrogs();
    expectRect(300, 200, 400, 300, green);
    EXPECT_EQ(frogs[0].x, 293);
    EXPECT_EQ(frogs[0].y, 207);
}

TEST_F(SpriteTest, NothingIsDrawnOnAReleasedDisplay) {
    pieceDefs[0].surface = solid(90, 90, 0x00FF00);
    pointerImage = solid(70, 45, 0x00FF00);
    explosionImage = solid(300, 300, 0x00FF00);
    addExplosion(100, 100, true);
    addPointPopup(0, 0, 5);
    ddraw.reset();  // what the tear-down leaves
    EXPECT_FALSE(displayUp());
    drawPieceIcon(0, 0, 10);
    drawRowPointer();
    drawExplosion(0);
    drawInventoryBar();
    updatePointPopups();
    EXPECT_TRUE(drawnTexts(*backBuffer).empty());
    for (int x = 0; x < 1024; x += 5)
        for (int y = 0; y < 768; y += 5) ASSERT_EQ(at(x, y), black) << x << ", " << y;
}

} // namespace
} // namespace pomlets

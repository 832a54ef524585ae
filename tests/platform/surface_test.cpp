// Surfaces read back pixel by pixel: colour fills, pictures from BMP files,
// the white colour key, stretching, blits off the edge, and text.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "error_of.h"
#include "media_files.h"
#include "platform/directx.h"
#include "platform/runtime.h"
#include "support/program_folder.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

using testing::errorOf;

constexpr int32_t white = 0xFFFFFF;  // &HBBGGRR
constexpr int32_t blueBgr = 0xFF0000;
constexpr int32_t redBgr = 0x0000FF;

class SurfaceTest : public ::testing::Test {
protected:
    testing::TempProgramFolder folder;
    DirectDraw7 ddraw;

    SurfaceRef surface(int w, int h, int32_t fill) {
        DDSURFACEDESC2 desc;
        desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.caps.caps = DDSCAPS_OFFSCREENPLAIN;
        desc.width = w;
        desc.height = h;
        SurfaceRef s = ddraw.CreateSurface(desc);
        s->BltColorFill(RECT{}, fill);
        return s;
    }
    SurfaceRef picture(int w, int h, const std::function<uint32_t(int, int)>& pixel) {
        const std::string path = folder.file("picture.bmp");
        testing::writeBmp(path, w, h, pixel);
        DDSURFACEDESC2 desc;
        SurfaceRef s = ddraw.CreateSurfaceFromFile(path, desc);
        EXPECT_EQ(desc.width, w);
        EXPECT_EQ(desc.height, h);
        return s;
    }
    void key(const SurfaceRef& s) { s->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{white, white}); }
    // Every pixel of the surface outside the rectangle has the colour.
    static bool onlyInside(const SurfaceRef& s, const RECT& r, uint32_t outside) {
        for (int y = 0; y < s->height(); ++y)
            for (int x = 0; x < s->width(); ++x)
                if ((x < r.left || x >= r.right || y < r.top || y >= r.bottom) && s->pixelRGB(x, y) != outside)
                    return false;
        return true;
    }
};

TEST_F(SurfaceTest, ColoursAreBgrAndWhiteSurvivesSixteenBits) {
    SurfaceRef s = surface(8, 4, white);
    EXPECT_EQ(s->pixel565(3, 2), 0xFFFF);
    EXPECT_EQ(s->pixelRGB(3, 2), 0xFFFFFFu);
    s->BltColorFill(RECT{}, redBgr);
    EXPECT_EQ(s->pixel565(0, 0), 0xF800);
    EXPECT_EQ(s->pixelRGB(7, 3), 0xFF0000u);
    s->BltColorFill(RECT{}, blueBgr);
    EXPECT_EQ(s->pixelRGB(0, 0), 0x0000FFu);
    s->BltColorFill(RECT{}, 0);
    EXPECT_EQ(s->pixelRGB(0, 0), 0u);
}

TEST_F(SurfaceTest, ColourFillOfARectangle) {
    SurfaceRef s = surface(10, 10, 0);
    EXPECT_EQ(s->BltColorFill(RECT{2, 3, 5, 7}, white), 0);
    EXPECT_EQ(s->pixelRGB(2, 3), 0xFFFFFFu);
    EXPECT_EQ(s->pixelRGB(4, 6), 0xFFFFFFu);
    EXPECT_TRUE(onlyInside(s, RECT{2, 3, 5, 7}, 0));
    // Off the surface: nothing is filled, and the status says so.
    EXPECT_EQ(s->BltColorFill(RECT{8, 0, 11, 2}, white), DDERR_NOTONSURFACE);
    EXPECT_EQ(s->pixelRGB(9, 0), 0u);
}

TEST_F(SurfaceTest, PictureFromBmpKeepsItsColours) {
    SurfaceRef s = picture(3, 2, [](int x, int y) {
        const uint32_t colours[2][3] = {{0xFFFFFF, 0xFF0000, 0x00FF00}, {0x0000FF, 0x000000, 0x808080}};
        return colours[y][x];
    });
    EXPECT_EQ(s->pixel565(0, 0), 0xFFFF);
    EXPECT_EQ(s->pixelRGB(0, 0), 0xFFFFFFu);
    EXPECT_EQ(s->pixelRGB(1, 0), 0xFF0000u);
    EXPECT_EQ(s->pixelRGB(2, 0), 0x00FF00u);
    EXPECT_EQ(s->pixelRGB(0, 1), 0x0000FFu);
    EXPECT_EQ(s->pixelRGB(1, 1), 0u);
    EXPECT_EQ(s->pixel565(2, 1), (0x80 >> 3) << 11 | (0x80 >> 2) << 5 | (0x80 >> 3));
}

TEST_F(SurfaceTest, PictureErrors) {
    DDSURFACEDESC2 desc;
    EXPECT_EQ(errorOf([&] { ddraw.CreateSurfaceFromFile(folder.file("images/none.bmp"), desc); }), err::FileNotFound);
    testing::writeBytes(folder.file("text.bmp"), "this is not a picture");
    EXPECT_EQ(errorOf([&] { ddraw.CreateSurfaceFromFile(folder.file("text.bmp"), desc); }), err::InvalidProperty);
    testing::writeBytes(folder.file("short.bmp"), "BM\x10");
    EXPECT_EQ(errorOf([&] { ddraw.CreateSurfaceFromFile(folder.file("short.bmp"), desc); }), err::InvalidProperty);
}

TEST_F(SurfaceTest, KeyedBlitLeavesTheDestinationUnderWhite) {
    // A 4 x 4 picture: white except a red diagonal and one near-white pixel.
    SurfaceRef src = picture(4, 4, [](int x, int y) {
        if (x == y) return 0xFF0000u;
        if (x == 3 && y == 0) return 0xFEFEFEu;  // becomes white in 16 bits, so it is keyed too
        return 0xFFFFFFu;
    });
    key(src);
    SurfaceRef dest = surface(10, 10, blueBgr);
    EXPECT_EQ(dest->Blt(RECT{2, 2, 6, 6}, src, RECT{0, 0, 4, 4}, DDBLT_KEYSRC | DDBLT_WAIT), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool diagonal = x >= 2 && x < 6 && x == y;
            EXPECT_EQ(dest->pixelRGB(x, y), diagonal ? 0xFF0000u : 0x0000FFu) << x << "," << y;
        }
    // Without the key flag white is copied like any colour.
    dest->Blt(RECT{2, 2, 6, 6}, src, RECT{0, 0, 4, 4}, DDBLT_WAIT);
    EXPECT_EQ(dest->pixelRGB(3, 2), 0xFFFFFFu);
    EXPECT_EQ(dest->pixelRGB(3, 3), 0xFF0000u);
}

TEST_F(SurfaceTest, StretchedBlitDoublesEveryPixel) {
    SurfaceRef src = picture(2, 2, [](int x, int y) {
        const uint32_t colours[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}};
        return colours[y][x];
    });
    key(src);
    SurfaceRef dest = surface(6, 6, 0);
    EXPECT_EQ(dest->Blt(RECT{1, 1, 5, 5}, src, RECT{0, 0, 2, 2}, DDBLT_KEYSRC), 0);
    const uint32_t expected[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0x000000}};  // white is keyed out
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 5; ++x) EXPECT_EQ(dest->pixelRGB(x, y), expected[(y - 1) / 2][(x - 1) / 2]) << x << "," << y;
    EXPECT_TRUE(onlyInside(dest, RECT{1, 1, 5, 5}, 0));
    // Shrinking takes the source pixel under each destination pixel's centre: the right column.
    SurfaceRef one = surface(1, 2, 0);
    one->Blt(RECT{0, 0, 1, 2}, src, RECT{0, 0, 2, 2}, 0);
    EXPECT_EQ(one->pixelRGB(0, 0), 0x00FF00u);
    EXPECT_EQ(one->pixelRGB(0, 1), 0xFFFFFFu);
}

TEST_F(SurfaceTest, BlitOffTheSurfaceDrawsNothing) {
    SurfaceRef src = surface(4, 4, redBgr);
    SurfaceRef dest = surface(10, 10, 0);
    const RECT offEdge[] = {
        {7, 0, 11, 4},   // one pixel past the right edge
        {0, 7, 4, 11},   // one past the bottom
        {-1, 0, 3, 4},   // one before the left
        {0, -1, 4, 3},   // one above the top
        {5, 5, 5, 9},    // empty
        {6, 6, 2, 2},    // inside out
    };
    for (const RECT& r : offEdge) {
        EXPECT_EQ(dest->Blt(r, src, RECT{0, 0, 4, 4}, DDBLT_WAIT), DDERR_NOTONSURFACE);
        EXPECT_TRUE(onlyInside(dest, RECT{}, 0));
    }
    // A source rectangle off the source draws nothing either.
    EXPECT_EQ(dest->Blt(RECT{0, 0, 4, 4}, src, RECT{1, 0, 5, 4}, 0), DDERR_NOTONSURFACE);
    EXPECT_TRUE(onlyInside(dest, RECT{}, 0));
    // Exactly on the edge is fine.
    EXPECT_EQ(dest->Blt(RECT{6, 6, 10, 10}, src, RECT{0, 0, 4, 4}, 0), 0);
    EXPECT_EQ(dest->pixelRGB(9, 9), 0xFF0000u);
    // No picture at all is an error of the call itself.
    EXPECT_EQ(errorOf([&] { dest->Blt(RECT{0, 0, 1, 1}, nullptr, RECT{0, 0, 1, 1}, 0); }), 91);
}

TEST_F(SurfaceTest, BlitOntoItself) {
    SurfaceRef s = surface(4, 2, 0);
    s->BltColorFill(RECT{0, 0, 2, 2}, redBgr);
    EXPECT_EQ(s->Blt(RECT{1, 0, 3, 2}, s, RECT{0, 0, 2, 2}, 0), 0);
    EXPECT_EQ(s->pixelRGB(2, 0), 0xFF0000u);
    EXPECT_EQ(s->pixelRGB(3, 0), 0u);
}

TEST_F(SurfaceTest, TextPutsWhitePixelsAtItsPositionOnly) {
    SurfaceRef s = surface(300, 100, 0);
    StdFont font;
    font.name = "Times New Roman";
    font.size = 12;
    s->SetFont(font);
    s->SetFontTransparency(true);
    s->SetForeColor(white);
    s->DrawText(40, 30, "Paused...  Hg", false);
    ASSERT_EQ(drawnTexts(*s).size(), 1u);
    EXPECT_EQ(drawnTexts(*s)[0].x, 40);
    EXPECT_EQ(drawnTexts(*s)[0].y, 30);
    EXPECT_EQ(drawnTexts(*s)[0].text, "Paused...  Hg");
    int whitePixels = 0, top = 100, bottom = -1, left = 300, right = -1;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 300; ++x) {
            const uint32_t p = s->pixelRGB(x, y);
            if (p == 0) continue;
            // Anti-aliased edges are greys: red, green and blue stay equal but for rounding.
            EXPECT_NEAR(static_cast<int>(p >> 16), static_cast<int>(p & 0xFF), 8);
            if (p == 0xFFFFFF) ++whitePixels;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            left = std::min(left, x);
            right = std::max(right, x);
        }
    EXPECT_GT(whitePixels, 20);
    EXPECT_GE(left, 40);
    EXPECT_LE(left, 43);
    EXPECT_GE(top, 30);
    // Capital height and descender of a 16-pixel font: the ink spans about 14 rows.
    EXPECT_GE(bottom - top, 11);
    EXPECT_LE(bottom, 30 + 19);
    EXPECT_LT(right, 40 + 110);
    clearDrawnTexts(*s);
    EXPECT_TRUE(drawnTexts(*s).empty());
}

TEST_F(SurfaceTest, TextColourAndTextOffTheEdge) {
    SurfaceRef s = surface(50, 30, 0);
    StdFont font;
    font.name = "Times New Roman";
    font.size = 12;
    s->SetFont(font);
    s->SetForeColor(redBgr);
    s->DrawText(40, 20, "WWW", false);  // clipped at the edges, no error
    s->DrawText(0, 0, "", false);
    bool red = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 50; ++x) {
            const uint32_t p = s->pixelRGB(x, y);
            if (p == 0xFF0000u) red = true;
            if (p) {
                EXPECT_EQ(p & 0x00FFFF, 0u);
                EXPECT_GE(x, 40);
                EXPECT_GE(y, 20);
            }
        }
    EXPECT_TRUE(red);
    EXPECT_EQ(drawnTexts(*s).size(), 2u);
}

// A settled text is the picture that DrawText drawn over and over converges
// to, on every background, in every colour, also clipped at an edge; drawing
// it again changes nothing, and a background met before gets its own picture.
TEST_F(SurfaceTest, SettledTextIsWhatEndlessDrawingConvergesTo) {
    StdFont font;
    font.name = "Times New Roman";
    font.size = 12;
    const struct {
        const char* name;
        std::function<uint32_t(int, int)> pixel;
    } backgrounds[] = {
        {"black", [](int, int) { return 0u; }},
        {"grey", [](int, int) { return 0x808080u; }},
        {"gradient", [](int x, int y) { return static_cast<uint32_t>((x * 2 % 256) << 16 | (y * 5 % 256) << 8 | 0x40); }},
        {"black again", [](int, int) { return 0u; }},
    };
    const struct {
        int32_t color, x, y;
    } texts[] = {{white, 20, 10}, {redBgr, 20, 10}, {white, 150, 30}};  // the last one clipped
    auto pixels = [](const SurfaceRef& s) {
        std::vector<uint16_t> all;
        for (int y = 0; y < s->height(); ++y)
            for (int x = 0; x < s->width(); ++x) all.push_back(s->pixel565(x, y));
        return all;
    };
    for (const auto& text : texts) {
        for (const auto& background : backgrounds) {
            SCOPED_TRACE(std::string(background.name) + " at " + std::to_string(text.x));
            auto fresh = [&] {
                SurfaceRef s = picture(200, 40, background.pixel);
                s->SetFont(font);
                s->SetFontTransparency(true);
                s->SetForeColor(text.color);
                return s;
            };
            SurfaceRef endless = fresh(), once = fresh(), settled = fresh();
            for (int i = 0; i < 300; ++i) endless->DrawText(text.x, text.y, "Music, Maestro!", false);
            once->DrawText(text.x, text.y, "Music, Maestro!", false);
            settled->DrawSettledText(text.x, text.y, "Music, Maestro!");
            EXPECT_EQ(pixels(settled), pixels(endless));
            EXPECT_NE(pixels(once), pixels(endless)) << "a single blend is weaker at the edge";
            for (int i = 0; i < 3; ++i) settled->DrawSettledText(text.x, text.y, "Music, Maestro!");
            EXPECT_EQ(pixels(settled), pixels(endless)) << "drawn again";
        }
    }
}

TEST_F(SurfaceTest, PrimarySurfaceHasItsBackBuffer) {
    GameWindow window;
    ddraw.SetCooperativeLevel(&window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX);
    window.show();
    ddraw.SetDisplayMode(1024, 768, 16, 0, 0);
    EXPECT_TRUE(ddraw.displayModeSet());
    DDSURFACEDESC2 desc;
    desc.flags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.caps.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.backBufferCount = 1;
    SurfaceRef primary = ddraw.CreateSurface(desc);
    SurfaceRef back = primary->GetAttachedSurface(DDSCAPS2{DDSCAPS_BACKBUFFER});
    ASSERT_TRUE(back);
    EXPECT_EQ(primary->GetAttachedSurface(DDSCAPS2{DDSCAPS_BACKBUFFER}), back);
    DDSURFACEDESC2 backDesc;
    back->GetSurfaceDesc(backDesc);
    EXPECT_EQ(backDesc.width, 1024);
    EXPECT_EQ(backDesc.height, 768);
    const int before = window.framesPresented();
    back->BltColorFill(RECT{}, redBgr);
    primary->Flip(nullptr, DDFLIP_WAIT);
    EXPECT_EQ(window.framesPresented(), before + 1);
    EXPECT_EQ(back->pixelRGB(5, 5), 0xFF0000u);  // the back buffer keeps its frame
    EXPECT_EQ(errorOf([&] { back->Flip(nullptr, DDFLIP_WAIT); }), err::InvalidCall);
    EXPECT_EQ(errorOf([&] { back->GetAttachedSurface(DDSCAPS2{DDSCAPS_BACKBUFFER}); }), err::InvalidCall);
    ddraw.RestoreDisplayMode();
    EXPECT_FALSE(ddraw.displayModeSet());
    EXPECT_FALSE(window.isShown());
}

TEST_F(SurfaceTest, OffScreenSurfaceNeedsASize) {
    DDSURFACEDESC2 desc;
    desc.flags = DDSD_CAPS;
    desc.caps.caps = DDSCAPS_OFFSCREENPLAIN;
    EXPECT_EQ(errorOf([&] { ddraw.CreateSurface(desc); }), err::InvalidCall);
}

TEST_F(SurfaceTest, PictureStretchedToADescribedSize) {
    const std::string path = folder.file("p.bmp");
    testing::writeBmp(path, 2, 1, [](int x, int) { return x ? 0x00FF00u : 0xFF0000u; });
    DDSURFACEDESC2 desc;
    desc.flags = DDSD_WIDTH | DDSD_HEIGHT;
    desc.width = 4;
    desc.height = 2;
    SurfaceRef s = ddraw.CreateSurfaceFromFile(path, desc);
    EXPECT_EQ(s->width(), 4);
    EXPECT_EQ(s->height(), 2);
    EXPECT_EQ(s->pixelRGB(1, 1), 0xFF0000u);
    EXPECT_EQ(s->pixelRGB(2, 0), 0x00FF00u);
}

// A picture copied whole over a surface, after any drawing on it, leaves the
// surface holding exactly the picture, also where only what was drawn since
// the last such copy is copied again: after every kind of write, a picture
// changed since, another picture in between, and a surface that is itself
// copied whole elsewhere and then drawn on.
TEST_F(SurfaceTest, APictureCopiedWholeAgainCoversEverythingDrawnSince) {
    // Sizes that are not whole tiles, so that drawing reaches the last part-tiles.
    constexpr int w = 101, h = 70;
    auto gradient = [](int x, int y) { return static_cast<uint32_t>((x * 5 % 256) << 16 | (y * 3 % 256) << 8 | 0x40); };
    SurfaceRef picture = this->picture(w, h, gradient);
    SurfaceRef other = this->picture(w, h, [](int x, int) { return x % 2 ? 0x00FF00u : 0u; });
    SurfaceRef sprite = this->picture(20, 20, [](int x, int y) { return (x + y) % 3 ? 0xFF00FFu : 0xFFFFFFu; });
    key(sprite);
    StdFont font;
    font.name = "Times New Roman";
    font.size = 12;
    SurfaceRef back = surface(w, h, 0);
    back->SetFont(font);
    back->SetForeColor(white);
    auto same = [](const SurfaceRef& a, const SurfaceRef& b) {
        for (int y = 0; y < a->height(); ++y)
            for (int x = 0; x < a->width(); ++x)
                if (a->pixel565(x, y) != b->pixel565(x, y)) return false;
        return true;
    };
    // Each case draws, then copies `from` whole over `onto` (the picture over
    // the surface, unless it says otherwise), twice.
    const struct {
        const char* name;
        std::function<void()> draw;
        SurfaceRef* onto;
        SurfaceRef* from;
    } cases[] = {
        {"nothing drawn", [] {}, &back, &picture},
        {"a keyed sprite inside one tile", [&] { back->Blt(RECT{2, 2, 22, 22}, sprite, RECT{}, DDBLT_KEYSRC); },
         &back, &picture},
        {"a sprite across tile edges", [&] { back->Blt(RECT{25, 10, 45, 30}, sprite, RECT{}, 0); }, &back, &picture},
        {"a fill at the last part-tiles", [&] { back->BltColorFill(RECT{95, 60, 101, 70}, redBgr); }, &back,
         &picture},
        {"whole rows filled", [&] { back->BltColorFill(RECT{0, 33, w, 41}, blueBgr); }, &back, &picture},
        {"the whole surface filled", [&] { back->BltColorFill(RECT{}, white); }, &back, &picture},
        {"a text", [&] { back->DrawText(60, 40, "Hg 10", false); }, &back, &picture},
        {"a text on its box",
         [&] {
             back->SetFontTransparency(false);
             back->DrawText(3, 50, "Paused", false);
             back->SetFontTransparency(true);
         },
         &back, &picture},
        {"a settled text", [&] { back->DrawSettledText(30, 1, "Music"); }, &back, &picture},
        {"a stretched sprite", [&] { back->Blt(RECT{50, 5, 99, 66}, sprite, RECT{}, DDBLT_KEYSRC); }, &back,
         &picture},
        {"the surface onto itself", [&] { back->Blt(RECT{0, 0, 40, 30}, back, RECT{60, 35, 100, 65}, 0); }, &back,
         &picture},
        {"the picture changed", [&] { picture->BltColorFill(RECT{70, 20, 80, 25}, redBgr); }, &back, &picture},
        {"another picture in between", [&] { back->Blt(RECT{}, other, RECT{}, 0); }, &back, &picture},
        {"the surface copied whole elsewhere", [] {}, &other, &back},
        {"the surface, copied elsewhere, drawn on", [&] { back->Blt(RECT{40, 40, 60, 60}, sprite, RECT{}, 0); },
         &other, &back},
    };
    back->Blt(RECT{}, picture, RECT{}, 0);
    ASSERT_TRUE(same(back, picture));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.draw();
        EXPECT_EQ((*c.onto)->Blt(RECT{}, *c.from, RECT{}, 0), 0);
        EXPECT_TRUE(same(*c.onto, *c.from));
        // And once more with nothing drawn in between.
        (*c.onto)->Blt(RECT{}, *c.from, RECT{}, 0);
        EXPECT_TRUE(same(*c.onto, *c.from));
    }
}
} // namespace
} // namespace pomlets

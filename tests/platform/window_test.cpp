// The game window: keyboard table and state from key events, key-down
// delivery (nested too), focus and minimise turning the display lost, closing.
#include <SDL.h>
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/directx.h"
#include "platform/runtime.h"
#include "platform/sdl_internal.h"
#include "platform/win32.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

class GameWindowTest : public ::testing::Test {
protected:
    GameWindow window;

    void SetUp() override {
        window.setCaption("Click to resume play");
        window.show();
        processPendingEvents();  // whatever the window system queued for showing it
        keyboardState().fill(0);
    }
    void TearDown() override {
        processPendingEvents();
        keyboardState().fill(0);
    }
    void pushWindowEvent(SDL_WindowEventID id) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = static_cast<Uint8>(id);
        e.window.windowID = SDL_GetWindowID(window.impl()->window());
        SDL_PushEvent(&e);
    }
};

TEST(KeyTableTest, GameKeysHaveTheirDirectInputCodes) {
    const struct { SDL_Scancode key; int code; } keys[] = {
        {SDL_SCANCODE_ESCAPE, 1}, {SDL_SCANCODE_1, 2}, {SDL_SCANCODE_2, 3}, {SDL_SCANCODE_3, 4},
        {SDL_SCANCODE_4, 5}, {SDL_SCANCODE_P, 25}, {SDL_SCANCODE_N, 49}, {SDL_SCANCODE_UP, 200},
        {SDL_SCANCODE_LEFT, 203}, {SDL_SCANCODE_RIGHT, 205}, {SDL_SCANCODE_DOWN, 208},
    };
    for (const auto& k : keys) EXPECT_EQ(directInputCode(k.key), k.code) << SDL_GetScancodeName(k.key);
    EXPECT_EQ(dik::ESCAPE, 1);
    EXPECT_EQ(dik::K1, 2);
    EXPECT_EQ(dik::K4, 5);
    EXPECT_EQ(dik::P, 25);
    EXPECT_EQ(dik::N, 49);
}

TEST(KeyTableTest, TheRestOfTheKeyboardIsMappedOnceEach) {
    const struct { SDL_Scancode key; int code; } keys[] = {
        {SDL_SCANCODE_A, 0x1E}, {SDL_SCANCODE_Z, 0x2C}, {SDL_SCANCODE_SPACE, 0x39}, {SDL_SCANCODE_RETURN, 0x1C},
        {SDL_SCANCODE_F1, 0x3B}, {SDL_SCANCODE_F12, 0x58}, {SDL_SCANCODE_KP_ENTER, 0x9C},
        {SDL_SCANCODE_RCTRL, 0x9D}, {SDL_SCANCODE_HOME, 0xC7}, {SDL_SCANCODE_DELETE, 0xD3},
        {SDL_SCANCODE_KP_8, 0x48}, {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_RSHIFT, 0x36},
    };
    for (const auto& k : keys) EXPECT_EQ(directInputCode(k.key), k.code) << SDL_GetScancodeName(k.key);
    std::vector<int> seen(256, 0);
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc)
        if (const int code = directInputCode(sc)) {
            EXPECT_EQ(++seen[static_cast<size_t>(code)], 1) << code;
        }
    EXPECT_EQ(directInputCode(SDL_SCANCODE_UNKNOWN), 0);
}

TEST_F(GameWindowTest, KeyEventsFillTheKeyboardStateAndReachTheHandler) {
    int keyDowns = 0;
    window.onKeyDown = [&] { ++keyDowns; };
    DirectInput input;
    auto keyboard = input.CreateDevice("GUID_SysKeyboard");
    keyboard->SetCommonDataFormat(DIFORMAT_KEYBOARD);
    keyboard->SetCooperativeLevel(&window, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    keyboard->Acquire();
    DIKEYBOARDSTATE state{};

    for (int code : {dik::ESCAPE, dik::K1, dik::K2, dik::K3, dik::K4, dik::P, dik::N, dik::UP, dik::LEFT,
                     dik::RIGHT, dik::DOWN}) {
        injectKey(code, true);
        keyboard->GetDeviceStateKeyboard(state);
        EXPECT_EQ(state[static_cast<size_t>(code)], 0) << "not before the event is processed";
        processPendingEvents();
        keyboard->GetDeviceStateKeyboard(state);
        EXPECT_NE(state[static_cast<size_t>(code)], 0) << code;
        injectKey(code, false);
        processPendingEvents();
        keyboard->GetDeviceStateKeyboard(state);
        EXPECT_EQ(state[static_cast<size_t>(code)], 0) << code;
    }
    EXPECT_EQ(keyDowns, 11);

    // A held key repeats: every key-down reaches the handler.
    for (int i = 0; i < 3; ++i) injectKey(dik::UP, true);
    processPendingEvents();
    EXPECT_EQ(keyDowns, 14);
    EXPECT_NE(keyboardState()[dik::UP], 0);
}

TEST_F(GameWindowTest, AKeyDownHandlerMayProcessEventsAgain) {
    // As the pause loop does: the handler of P waits inside for the next P.
    std::vector<int> seen;
    bool paused = false;
    window.onKeyDown = [&] {
        const bool p = keyboardState()[dik::P] != 0;
        seen.push_back(p ? dik::P : 0);
        if (!p) return;
        if (paused) {
            paused = false;
            return;
        }
        paused = true;
        injectKey(dik::P, false);
        injectKey(dik::P, true);
        for (int pass = 0; pass < 10 && paused; ++pass) processPendingEvents();
    };
    injectKey(dik::P, true);
    processPendingEvents();
    EXPECT_FALSE(paused);
    EXPECT_EQ(seen, (std::vector<int>{dik::P, dik::P}));
}

TEST_F(GameWindowTest, UnacquiredOrWrongDeviceRaises) {
    DirectInput input;
    auto keyboard = input.CreateDevice("GUID_SysKeyboard");
    auto mouse = input.CreateDevice("GUID_SysMouse");
    mouse->SetCommonDataFormat(DIFORMAT_MOUSE);
    mouse->Acquire();
    EXPECT_TRUE(mouse->acquired());
    DIKEYBOARDSTATE state{};
    EXPECT_THROW(keyboard->GetDeviceStateKeyboard(state), RuntimeError);
    EXPECT_THROW(mouse->GetDeviceStateKeyboard(state), RuntimeError);
    EXPECT_THROW(input.CreateDevice("GUID_Joystick"), RuntimeError);
}

TEST_F(GameWindowTest, LosingTheFocusLosesTheDisplayUntilItComesBack) {
    DirectDraw7 ddraw;
    ddraw.SetCooperativeLevel(&window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX);
    ddraw.SetDisplayMode(1024, 768, 16, 0, 0);
    EXPECT_EQ(ddraw.TestCooperativeLevel(), 0);  // never had the focus: nothing is lost
    simulateFocus(window, true);
    EXPECT_EQ(ddraw.TestCooperativeLevel(), 0);
    simulateFocus(window, false);
    EXPECT_NE(ddraw.TestCooperativeLevel(), 0);
    simulateFocus(window, true);
    EXPECT_EQ(ddraw.TestCooperativeLevel(), 0);
    simulateMinimised(window, true);
    EXPECT_NE(ddraw.TestCooperativeLevel(), 0);
    simulateMinimised(window, false);
    EXPECT_EQ(ddraw.TestCooperativeLevel(), 0);
    ddraw.RestoreAllSurfaces();

    // The same from the window system's own events.
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    processPendingEvents();
    EXPECT_FALSE(window.hasFocus());
    EXPECT_NE(ddraw.TestCooperativeLevel(), 0);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    processPendingEvents();
    EXPECT_EQ(ddraw.TestCooperativeLevel(), 0);
    pushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    processPendingEvents();
    EXPECT_TRUE(window.isMinimised());
    EXPECT_NE(ddraw.TestCooperativeLevel(), 0);
    pushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    processPendingEvents();
    EXPECT_EQ(ddraw.TestCooperativeLevel(), 0);

    // Minimising to get out of the way counts as lost until restored.
    window.minimise();
    EXPECT_NE(ddraw.TestCooperativeLevel(), 0);
    window.restore();
    EXPECT_EQ(ddraw.TestCooperativeLevel(), 0);
}

TEST_F(GameWindowTest, CloseRequestsAskTheWindow) {
    bool allow = false;
    int asked = 0;
    window.onCloseRequest = [&] {
        ++asked;
        return allow;
    };
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    processPendingEvents();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(window.isShown());
    allow = true;
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    processPendingEvents();
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(window.isShown());
}

TEST(GameWindowCloseTest, AHandlerMayDestroyTheWindow) {
    auto owned = std::make_unique<GameWindow>();
    owned->show();
    const Uint32 id = SDL_GetWindowID(owned->impl()->window());
    bool asked = false;
    owned->onCloseRequest = [&] {
        asked = true;
        owned.reset();  // as unloading the form does
        return true;
    };
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    e.window.windowID = id;
    SDL_PushEvent(&e);
    processPendingEvents();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(owned);
}

TEST_F(GameWindowTest, ShowHideAndDestroy) {
    EXPECT_TRUE(window.exists());
    EXPECT_TRUE(window.isShown());
    EXPECT_EQ(window.caption(), "Click to resume play");
    simulateFocus(window, true);
    window.hide();
    EXPECT_FALSE(window.isShown());
    EXPECT_FALSE(window.hadFocus());
    window.destroyWindow();
    EXPECT_FALSE(window.exists());
    window.show();
    EXPECT_TRUE(window.exists());
}

TEST(DisplayTest, FullScreenNeedsAWindow) {
    DirectDraw7 ddraw;
    EXPECT_THROW(ddraw.SetCooperativeLevel(nullptr, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), RuntimeError);
    EXPECT_THROW(ddraw.SetDisplayMode(1024, 768, 16, 0, 0), RuntimeError);
    EXPECT_EQ(ddraw.TestCooperativeLevel(), 0);
}

TEST(DisplayTest, SecondGameSetsUpAgain) {
    GameWindow window;
    for (int game = 0; game < 2; ++game) {
        DirectX7 dx;
        auto ddraw = dx.DirectDrawCreate("");
        window.show();
        ddraw->SetCooperativeLevel(&window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX);
        ddraw->SetDisplayMode(1024, 768, 16, 0, 0);
        DDSURFACEDESC2 desc;
        desc.caps.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        auto primary = ddraw->CreateSurface(desc);
        primary->GetAttachedSurface(DDSCAPS2{DDSCAPS_BACKBUFFER})->BltColorFill(RECT{}, 0x00FF00);
        primary->Flip(nullptr, DDFLIP_WAIT);
        ddraw->RestoreDisplayMode();
        ddraw->SetCooperativeLevel(&window, DDSCL_NORMAL);
        window.hide();
    }
    EXPECT_GE(window.framesPresented(), 2);
}

// A frame reaches the window widened to 8 bits a channel (white stays white)
// and scaled to fit: nearest source pixel, aspect kept, black bars.
TEST(DisplayTest, FramesAreScaledIntoTheWindow) {
    const auto frame = sdl::newSurface565(1024, 768);
    for (int y = 0; y < frame->h; ++y) {
        auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(frame->pixels) + y * frame->pitch);
        for (int x = 0; x < frame->w; ++x) row[x] = static_cast<uint16_t>(x * 40503u + y * 2654435u + (x ^ y));
    }
    reinterpret_cast<uint16_t*>(frame->pixels)[0] = 0xFFFF;
    auto expanded = [](uint16_t p) {
        const uint32_t r = p >> 11, g = (p >> 5) & 0x3F, b = p & 0x1F;
        return std::array<uint8_t, 3>{static_cast<uint8_t>((r << 3) | (r >> 2)),
                                      static_cast<uint8_t>((g << 2) | (g >> 4)),
                                      static_cast<uint8_t>((b << 3) | (b >> 2))};
    };
    const struct { int width, height, areaX, areaY, areaW, areaH; } cases[] = {
        {1024, 768, 0, 0, 1024, 768},    // the frame as it is
        {1280, 1024, 0, 32, 1280, 960},  // bars above and below
        {1600, 900, 200, 0, 1200, 900},  // bars beside
        {800, 600, 0, 0, 800, 600},      // smaller than the frame
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        GameWindow window;
        window.create();
        SDL_SetWindowSize(window.impl()->window(), c.width, c.height);
        sdl::present(window, frame.get());
        SDL_Surface* shown = SDL_GetWindowSurface(window.impl()->window());
        ASSERT_TRUE(shown);
        ASSERT_EQ(shown->w, c.width);
        ASSERT_EQ(shown->h, c.height);
        int wrong = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const Uint32 pixel = reinterpret_cast<const Uint32*>(static_cast<const uint8_t*>(shown->pixels) +
                                                                     y * shown->pitch)[x];
                std::array<uint8_t, 3> seen{};
                SDL_GetRGB(pixel, shown->format, &seen[0], &seen[1], &seen[2]);
                std::array<uint8_t, 3> expected{};
                const int ax = x - c.areaX, ay = y - c.areaY;
                if (ax >= 0 && ay >= 0 && ax < c.areaW && ay < c.areaH) {
                    const int sx = (2 * ax + 1) * 1024 / (2 * c.areaW), sy = (2 * ay + 1) * 768 / (2 * c.areaH);
                    expected = expanded(reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(frame->pixels) +
                                                                          sy * frame->pitch)[sx]);
                }
                wrong += seen != expected;
            }
        }
        EXPECT_EQ(wrong, 0);
        if (c.areaX == 0 && c.areaY == 0) {
            Uint8 r = 0, g = 0, b = 0;
            SDL_GetRGB(static_cast<const Uint32*>(shown->pixels)[0], shown->format, &r, &g, &b);
            EXPECT_EQ(r + g + b, 3 * 255) << "white stays white";
        }
        EXPECT_EQ(window.framesPresented(), 1);
    }
}


// A present sends only what differs from the frame the window shows. Frames
// with changes of every shape and place (single pixels at the edges, runs
// across many columns, whole rows, nothing at all) are shown in one window
// partly and in another one whole: both windows hold the same pixels after
// every frame, at the frame's own size, scaled up by the fixed 4 to 5 step,
// at other scales up and down, and with bars beside.
TEST(DisplayTest, APartialPresentShowsWhatAWholePresentShows) {
    const struct { int width, height; } sizes[] = {{1280, 1024}, {1024, 768}, {1600, 900}, {800, 600}, {1111, 1234},
                                                   {333, 250}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        GameWindow partly, whole;
        for (GameWindow* w : {&partly, &whole}) {
            w->create();
            SDL_SetWindowSize(w->impl()->window(), size.width, size.height);
        }
        const auto frame = sdl::newSurface565(1024, 768);
        auto put = [&](int x, int y, uint16_t value) {
            reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(frame->pixels) + y * frame->pitch)[x] = value;
        };
        uint32_t state = 12345;
        auto next = [&](uint32_t n) {
            state = state * 1103515245u + 12345u;
            return (state >> 8) % n;
        };
        for (int y = 0; y < 768; ++y)
            for (int x = 0; x < 1024; ++x) put(x, y, static_cast<uint16_t>(x * 31 + y * 977));
        int presented = 0;
        for (int step = 0; step < 40; ++step) {
            const int kind = step % 5;
            if (kind == 0) {  // single pixels, the corners among them
                for (const auto& [x, y] : {std::pair{0, 0}, {1023, 0}, {0, 767}, {1023, 767}})
                    put(x, y, static_cast<uint16_t>(next(65536)));
                for (int i = 0; i < 20; ++i) put(static_cast<int>(next(1024)), static_cast<int>(next(768)), 0xFFFF);
            } else if (kind == 1) {  // a few sprites moving
                for (int i = 0; i < 6; ++i) {
                    const int x0 = static_cast<int>(next(1024 - 90)), y0 = static_cast<int>(next(768 - 90));
                    for (int y = y0; y < y0 + 90; ++y)
                        for (int x = x0; x < x0 + 90; ++x) put(x, y, static_cast<uint16_t>(x ^ (y * 3) ^ step));
                }
            } else if (kind == 2) {  // a banner across the whole width
                const int y0 = static_cast<int>(next(700));
                for (int y = y0; y < y0 + 40; ++y)
                    for (int x = 0; x < 1024; ++x) put(x, y, static_cast<uint16_t>(next(65536)));
            } else if (kind == 3) {
                // nothing changes
            } else {  // most of the frame
                for (int y = 0; y < 768; ++y)
                    for (int x = 0; x < 1024; ++x)
                        if (next(4) != 0) put(x, y, static_cast<uint16_t>(next(65536)));
            }
            const int before = partly.framesPresented();
            sdl::present(partly, frame.get());
            EXPECT_EQ(partly.framesPresented() - before, kind == 3 ? 0 : 1) << "step " << step;
            presented += partly.framesPresented() - before;
            whole.impl()->forgetShown();  // sent whole
            sdl::present(whole, frame.get());
            ASSERT_EQ(shownPixels(partly), shownPixels(whole)) << "step " << step;
        }
        EXPECT_EQ(presented, 32);
        EXPECT_LT(partly.pixelsSent(), whole.pixelsSent() / 2) << "only what changed was sent";
    }
}

// The primary surface of a display held full screen in the shown window.
SurfaceRef fullScreenOn(GameWindow& window, DirectDraw7& ddraw) {
    window.show();
    ddraw.SetCooperativeLevel(&window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX);
    ddraw.SetDisplayMode(1024, 768, 16, 0, 0);
    DDSURFACEDESC2 desc;
    desc.caps.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    return ddraw.CreateSurface(desc);
}

// Tiles that the back buffer's drawing did not touch since its last present,
// or drew again just as they were, are not compared; the others are, so
// drawing the same picture again presents nothing, and a changed pixel in
// them is presented.
TEST(DisplayTest, FlipPresentsWhatTheDrawingChanged) {
    GameWindow window;
    DirectDraw7 ddraw;
    const SurfaceRef primary = fullScreenOn(window, ddraw);
    const SurfaceRef back = primary->GetAttachedSurface(DDSCAPS2{DDSCAPS_BACKBUFFER});
    DDSURFACEDESC2 pictureDesc;
    pictureDesc.flags = DDSD_WIDTH | DDSD_HEIGHT;
    pictureDesc.width = 40;
    pictureDesc.height = 30;
    pictureDesc.caps.caps = DDSCAPS_OFFSCREENPLAIN;
    const SurfaceRef picture = ddraw.CreateSurface(pictureDesc);
    picture->BltColorFill(RECT{}, 0x3366FF);
    picture->BltColorFill(RECT{3, 4, 5, 6}, 0xFFFFFF);

    auto draw = [&](int spriteX) {
        back->BltColorFill(RECT{}, 0);
        back->BltColorFill(RECT{0, 700, 512, 768}, 0x00FF00);
        back->DrawText(10, 20, "Paused...  Press the P key to resume.", false);
        back->Blt(RECT{spriteX, 300, spriteX + 80, 360}, picture, RECT{0, 0, 40, 30}, 0);
        primary->Flip(nullptr, DDFLIP_WAIT);
    };
    draw(100);
    const int first = window.framesPresented();
    EXPECT_EQ(first, 1);
    const int64_t compared = pixelsCompared(window);
    for (int i = 0; i < 5; ++i) draw(100);
    EXPECT_EQ(window.framesPresented(), first) << "the same picture again";
    EXPECT_EQ(pixelsCompared(window), compared) << "drawn again the same, nothing needs comparing";
    draw(101);
    EXPECT_EQ(window.framesPresented(), first + 1) << "a sprite one pixel on";
    EXPECT_GT(pixelsCompared(window), compared);
    EXPECT_EQ(back->pixelRGB(180, 300), 0xFF6531u);  // &H3366FF in 16 bits
    EXPECT_EQ(shownPixels(window)[static_cast<size_t>(300 * 1024 + 180)], back->pixelRGB(180, 300));
    draw(101);
    EXPECT_EQ(window.framesPresented(), first + 1);

    // After the display is restored, and after the window system exposed the
    // window, the unchanged picture is presented again, once.
    ddraw.RestoreAllSurfaces();
    draw(101);
    EXPECT_EQ(window.framesPresented(), first + 2);
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_EXPOSED;
    e.window.windowID = SDL_GetWindowID(window.impl()->window());
    SDL_PushEvent(&e);
    processPendingEvents();
    draw(101);
    draw(101);
    EXPECT_EQ(window.framesPresented(), first + 3);
    ddraw.RestoreDisplayMode();
}

// A frame drawn as a game draws one: the background copied whole from a
// picture composed once, pieces over it (keyed, side by side in one tile,
// one stretched), a box filled, a text and a settled text. Drawn again as it
// stands, it writes no pixel and presents nothing; moved, it writes only
// around what moved, and its pixels are those of the same frame drawn on a
// surface of its own.
TEST(DisplayTest, AFrameDrawnAgainAsItStandsWritesNothing) {
    GameWindow window;
    DirectDraw7 ddraw;
    const SurfaceRef primary = fullScreenOn(window, ddraw);
    const SurfaceRef back = primary->GetAttachedSurface(DDSCAPS2{DDSCAPS_BACKBUFFER});
    auto picture = [&](int width, int height, int32_t colour) {
        DDSURFACEDESC2 desc;
        desc.flags = DDSD_WIDTH | DDSD_HEIGHT;
        desc.width = width;
        desc.height = height;
        desc.caps.caps = DDSCAPS_OFFSCREENPLAIN;
        const SurfaceRef p = ddraw.CreateSurface(desc);
        p->BltColorFill(RECT{}, colour);
        p->BltColorFill(RECT{2, 3, width / 2, height / 2}, 0xFFFFFF);
        p->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{0xFFFFFF, 0xFFFFFF});
        return p;
    };
    const SurfaceRef plate = picture(50, 35, 0x204060), overlay = picture(1024, 768, 0x808000);
    overlay->BltColorFill(RECT{100, 100, 900, 700}, 0xFFFFFF);
    const SurfaceRef piece = picture(45, 43, 0x3366FF), other = picture(45, 43, 0x00CC33);
    const SurfaceRef cache = std::make_shared<DirectDrawSurface7>(1024, 768);
    cache->BltColorFill(RECT{}, 0);
    cache->Blt(RECT{81, 80, 934, 690}, plate, RECT{0, 0, 50, 35}, DDBLT_WAIT);
    cache->Blt(RECT{}, overlay, RECT{}, DDBLT_KEYSRC | DDBLT_WAIT);

    auto draw = [&](DirectDrawSurface7& on, int pieceX) {
        on.Blt(RECT{}, cache, RECT{}, 0);
        on.Blt(RECT{pieceX, 300, pieceX + 45, 343}, piece, RECT{}, DDBLT_KEYSRC);
        on.Blt(RECT{pieceX + 45, 300, pieceX + 90, 343}, other, RECT{}, DDBLT_KEYSRC);
        on.Blt(RECT{pieceX, 343, pieceX + 90, 429}, piece, RECT{}, DDBLT_KEYSRC);
        on.Blt(RECT{500, 500, 545, 543}, other, RECT{}, 0);
        on.BltColorFill(RECT{20, 700, 300, 720}, 0x0000FF);
        on.DrawText(83, 45, "1234", false);
        on.DrawSettledText(80, 723, "Track One");
    };
    auto drawAndFlip = [&](int pieceX) {
        draw(*back, pieceX);
        primary->Flip(nullptr, DDFLIP_WAIT);
    };
    auto sameAsDrawnAlone = [&](int pieceX) {
        DirectDrawSurface7 alone(1024, 768);
        draw(alone, pieceX);
        for (int y = 0; y < 768; ++y)
            for (int x = 0; x < 1024; ++x)
                if (alone.pixel565(x, y) != back->pixel565(x, y)) return ::testing::AssertionFailure() << x << ", " << y;
        return ::testing::AssertionSuccess();
    };

    drawAndFlip(200);
    drawAndFlip(200);
    const int presented = window.framesPresented();
    const int64_t written = sdl::pixelsWritten(*back);
    for (int i = 0; i < 3; ++i) drawAndFlip(200);
    EXPECT_EQ(sdl::pixelsWritten(*back), written) << "drawn again as it stands";
    EXPECT_EQ(window.framesPresented(), presented);
    EXPECT_TRUE(sameAsDrawnAlone(200));

    for (const int pieceX : {201, 263, 200}) {
        SCOPED_TRACE(pieceX);
        const int64_t before = sdl::pixelsWritten(*back);
        drawAndFlip(pieceX);
        EXPECT_GT(sdl::pixelsWritten(*back), before);
        EXPECT_LT(sdl::pixelsWritten(*back) - before, 1024 * 768 / 20) << "only around what moved";
        EXPECT_TRUE(sameAsDrawnAlone(pieceX));
    }
}

// In the checking build every present compares each tile taken as unchanged
// with what was presented: pixels written without telling which tiles they
// are in stop the program there.
TEST(DisplayDeathTest, AWriteThatDoesNotTellItsTilesIsCaught) {
#ifndef POMLETS_CHECK_WRITES
    GTEST_SKIP() << "checked in the sanitizer build only";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            GameWindow window;
            DirectDraw7 ddraw;
            const SurfaceRef primary = fullScreenOn(window, ddraw);
            const SurfaceRef back = primary->GetAttachedSurface(DDSCAPS2{DDSCAPS_BACKBUFFER});
            back->BltColorFill(RECT{}, 0x3366FF);
            primary->Flip(nullptr, DDFLIP_WAIT);
            SDL_Surface* pixels = sdl::pixelsUntold(*back);
            static_cast<uint16_t*>(pixels->pixels)[500] = 0x1234;
            primary->Flip(nullptr, DDFLIP_WAIT);
        },
        "changed unmarked");
#endif
}

} // namespace
} // namespace pomlets

// One frame's drawing on the back buffer, as the main loop does it: a black
// fill, the theme plate stretched over the field, the full-screen keyed frame
// overlay, 70 keyed piece sprites, ten lines of text, and one present on the
// (dummy) display.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/directx.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

struct Frame {
    GameWindow window;
    DirectX7 dx;
    std::shared_ptr<DirectDraw7> ddraw;
    SurfaceRef primary, back, plate, overlay;
    std::vector<SurfaceRef> sprites;

    Frame() {
        window.show();
        ddraw = dx.DirectDrawCreate("");
        ddraw->SetCooperativeLevel(&window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX);
        ddraw->SetDisplayMode(1024, 768, 16, 0, 0);
        DDSURFACEDESC2 desc;
        desc.flags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.caps.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        desc.backBufferCount = 1;
        primary = ddraw->CreateSurface(desc);
        back = primary->GetAttachedSurface(DDSCAPS2{DDSCAPS_BACKBUFFER});
        StdFont font;
        font.name = "Times New Roman";
        font.size = 12;
        back->SetFontTransparency(true);
        back->SetForeColor(0xFFFFFF);
        back->SetFont(font);

        plate = offscreen(500, 350);
        plate->BltColorFill(RECT{}, 0x604020);
        plate->BltColorFill(RECT{100, 100, 400, 250}, 0x206040);
        // The overlay is white (transparent) but for its border.
        overlay = offscreen(1024, 768);
        overlay->BltColorFill(RECT{}, 0xFFFFFF);
        overlay->BltColorFill(RECT{0, 0, 1024, 80}, 0x303030);
        overlay->BltColorFill(RECT{0, 690, 1024, 768}, 0x303030);
        overlay->BltColorFill(RECT{0, 80, 81, 690}, 0x303030);
        overlay->BltColorFill(RECT{934, 80, 1024, 690}, 0x303030);
        keyed(overlay);
        for (int i = 0; i < 8; ++i) {
            SurfaceRef s = offscreen(90, 90);
            s->BltColorFill(RECT{}, 0xFFFFFF);
            s->BltColorFill(RECT{10, 10, 80, 80}, 0x2040C0 + i * 0x101010);
            keyed(s);
            sprites.push_back(s);
        }
    }

    SurfaceRef offscreen(int w, int h) {
        DDSURFACEDESC2 desc;
        desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.caps.caps = DDSCAPS_OFFSCREENPLAIN;
        desc.width = w;
        desc.height = h;
        return ddraw->CreateSurface(desc);
    }
    static void keyed(const SurfaceRef& s) { s->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{0xFFFFFF, 0xFFFFFF}); }

    void draw(int frame) {
        back->BltColorFill(RECT{}, 0);
        back->Blt(RECT{81, 80, 934, 690}, plate, RECT{0, 0, 500, 350}, DDBLT_WAIT);
        back->Blt(RECT{0, 0, 1024, 768}, overlay, RECT{0, 0, 1024, 768}, DDBLT_KEYSRC | DDBLT_WAIT);
        for (int i = 0; i < 70; ++i) {
            const int column = i % 10, rowNumber = i / 10;
            const int y = 520 - 85 * rowNumber;
            back->Blt(RECT{80 + 85 * column, 80 + y, 170 + 85 * column, 170 + y}, sprites[static_cast<size_t>(i % 8)],
                      RECT{0, 0, 90, 90}, DDBLT_KEYSRC | DDBLT_WAIT);
        }
        char score[32];
        std::snprintf(score, sizeof score, " x %d", frame % 1000);
        back->DrawText(300, 33, " x 3", false);
        back->DrawText(400, 33, " x 1", false);
        back->DrawText(500, 33, " x 0", false);
        back->DrawText(600, 33, " x 2", false);
        back->DrawText(795, 33, score, false);
        back->DrawText(895, 33, " x 12", false);
        back->DrawText(80, 723, "Bubble Parade", false);
        back->DrawText(950, 300, "Score", false);
        back->DrawText(950, 320, score, false);
        back->DrawText(315, 33, "Level 3: the long way down", false);
        clearDrawnTexts(*back);
        primary->Flip(nullptr, DDFLIP_WAIT);
    }
};

Frame& frame() {
    static Frame f;
    return f;
}

void BM_FrameDraw(benchmark::State& state) {
    Frame& f = frame();
    int n = 0;
    for (auto _ : state) f.draw(n++);
}
BENCHMARK(BM_FrameDraw)->Unit(benchmark::kMicrosecond);

// The frame's parts on their own, to see where the time goes.
void BM_Fill(benchmark::State& state) {
    for (auto _ : state) frame().back->BltColorFill(RECT{}, 0);
}
void BM_PlateStretch(benchmark::State& state) {
    Frame& f = frame();
    for (auto _ : state) f.back->Blt(RECT{81, 80, 934, 690}, f.plate, RECT{0, 0, 500, 350}, DDBLT_WAIT);
}
void BM_KeyedOverlay(benchmark::State& state) {
    Frame& f = frame();
    for (auto _ : state) f.back->Blt(RECT{0, 0, 1024, 768}, f.overlay, RECT{0, 0, 1024, 768}, DDBLT_KEYSRC);
}
void BM_SeventySprites(benchmark::State& state) {
    Frame& f = frame();
    for (auto _ : state)
        for (int i = 0; i < 70; ++i)
            f.back->Blt(RECT{80 + 85 * (i % 10), 80 + 85 * (i / 10), 170 + 85 * (i % 10), 170 + 85 * (i / 10)},
                        f.sprites[static_cast<size_t>(i % 8)], RECT{0, 0, 90, 90}, DDBLT_KEYSRC);
}
void BM_TenTextLines(benchmark::State& state) {
    Frame& f = frame();
    for (auto _ : state) {
        for (int i = 0; i < 10; ++i) f.back->DrawText(100, 20 + 30 * i, " x 123", false);
        clearDrawnTexts(*f.back);
    }
}
void BM_Present(benchmark::State& state) {
    Frame& f = frame();
    for (auto _ : state) f.primary->Flip(nullptr, DDFLIP_WAIT);
}
BENCHMARK(BM_Fill)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlateStretch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyedOverlay)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SeventySprites)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TenTextLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Present)->Unit(benchmark::kMicrosecond);

// The median and the worst of 1000 frames, printed besides the benchmark's own figures.
void timeThousandFrames() {
    Frame& f = frame();
    for (int i = 0; i < 20; ++i) f.draw(i);
    std::vector<double> ms;
    for (int i = 0; i < 1000; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f.draw(i);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("frame_draw: 1000 frames, median %.3f ms, worst %.3f ms\n", ms[500], ms.back());
}

} // namespace
} // namespace pomlets

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    pomlets::timeThousandFrames();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

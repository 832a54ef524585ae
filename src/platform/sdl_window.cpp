// The game display's SDL window: lazy start of SDL video, showing, hiding,
// minimising, focus state, and presenting a frame scaled to fit.
#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/process_guard.h"
#include "platform/runtime.h"
#include "platform/sdl_internal.h"
#include "platform/start_values.h"
#include "platform/win32.h"

namespace pomlets {

namespace {

// Fixed storage, so that windows living until program exit never outlive it.
constexpr size_t maxWindows = 16;
std::array<GameWindow*, maxWindows> liveWindows{};
POMLETS_NOT_RESTORED(liveWindows, "each window enters when it is made and leaves when it goes");

void setCommonHints() {
    // The game is a Qt program: Ctrl-C and termination keep their usual meaning.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Smooth scaling of the 1024 x 768 frame to the desktop size.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    // The window's own surface stays a plain one: SDL would otherwise put an
    // OpenGL renderer behind it, a software rasteriser where there is no
    // graphics card, which is what that surface serves to avoid.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

} // namespace

namespace sdl {

void requireVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return;
    setCommonHints();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        throw RuntimeError(err::InvalidCall, std::string("cannot start the display: ") + SDL_GetError());
    // The game display's own X connection: its loss ends the program as
    // the windows' does, never in the X library's exit.
    watchDisplayConnections();
}

bool ensureEvents() {
    if (SDL_WasInit(SDL_INIT_EVENTS)) return true;
    setCommonHints();
    return SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
}

GameWindow* windowById(uint32_t sdlWindowId) {
    for (GameWindow* w : liveWindows)
        if (w && w->impl()->window() && SDL_GetWindowID(w->impl()->window()) == sdlWindowId) return w;
    return nullptr;
}

void destroyAllWindows() {
    for (GameWindow* w : liveWindows)
        if (w) w->destroyWindow();
}

GameWindow* firstWindow() {
    for (GameWindow* w : liveWindows)
        if (w && w->impl()->window()) return w;
    for (GameWindow* w : liveWindows)
        if (w) return w;
    return nullptr;
}

namespace {

// The largest rectangle of the frame's aspect centred in the target.
SDL_Rect fitted(int frameW, int frameH, int targetW, int targetH) {
    SDL_Rect r{0, 0, targetW, targetH};
    if (int64_t{targetW} * frameH > int64_t{targetH} * frameW) {
        r.w = static_cast<int>(int64_t{targetH} * frameW / frameH);
        r.x = (targetW - r.w) / 2;
    } else {
        r.h = static_cast<int>(int64_t{targetW} * frameH / frameW);
        r.y = (targetH - r.h) / 2;
    }
    return r;
}

// Whether the machine has a graphics device at all: without one, OpenGL can
// only be a software rasteriser.
bool graphicsDevicePresent() {
    std::error_code ec;
    if (std::filesystem::exists("/dev/nvidiactl", ec)) return true;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", ec)) {
        (void)entry;
        return true;
    }
    return false;
}

// Whether an accelerated renderer in fact draws with the processor (Mesa's
// llvmpipe, softpipe or swrast): scaling a frame there costs several
// milliseconds and threads of its own, far more than doing it here.
bool drawsInSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
    if (info.flags & SDL_RENDERER_SOFTWARE) return true;
    if (!info.name || std::strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned);
    const auto glGetString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    constexpr unsigned glRenderer = 0x1F01;
    const unsigned char* name = glGetString ? glGetString(glRenderer) : nullptr;
    if (!name) return false;
    std::string text(reinterpret_cast<const char*>(name));
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* rasteriser : {"llvmpipe", "softpipe", "swrast", "software rasterizer", "lavapipe"})
        if (text.find(rasteriser) != std::string::npos) return true;
    return false;
}

// Pixels of the window surface with 8-bit channels in either byte order.
enum class Order { None, Rgb, Bgr };

Order orderOf(const SDL_PixelFormat* f) {
    if (f->BytesPerPixel != 4 || f->Gmask != 0x0000FF00) return Order::None;
    if (f->Rmask == 0x00FF0000 && f->Bmask == 0x000000FF) return Order::Rgb;
    if (f->Rmask == 0x000000FF && f->Bmask == 0x00FF0000) return Order::Bgr;
    return Order::None;
}

// An RGB565 pixel widened to 32 bits, each channel's top bits repeated into
// its low bits (so white stays white), alpha opaque.
inline uint32_t widened(uint32_t p, Order order) {
    const uint32_t r5 = p >> 11, g6 = (p >> 5) & 0x3F, b5 = p & 0x1F;
    uint32_t r = (r5 << 3) | (r5 >> 2), b = (b5 << 3) | (b5 >> 2);
    const uint32_t g = (g6 << 2) | (g6 >> 4);
    if (order == Order::Bgr) std::swap(r, b);
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

#ifdef __SSE2__
// Eight pixels widened as above: the first four in lo, the next four in hi.
inline void widened8(const uint16_t* in, Order order, __m128i& lo, __m128i& hi) {
    const __m128i mask6 = _mm_set1_epi16(0x3F), mask5 = _mm_set1_epi16(0x1F), opaque = _mm_set1_epi16(-256);
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i r5 = _mm_srli_epi16(p, 11);
    const __m128i g6 = _mm_and_si128(_mm_srli_epi16(p, 5), mask6);
    const __m128i b5 = _mm_and_si128(p, mask5);
    __m128i r = _mm_or_si128(_mm_slli_epi16(r5, 3), _mm_srli_epi16(r5, 2));
    const __m128i g = _mm_or_si128(_mm_slli_epi16(g6, 2), _mm_srli_epi16(g6, 4));
    __m128i b = _mm_or_si128(_mm_slli_epi16(b5, 3), _mm_srli_epi16(b5, 2));
    if (order == Order::Bgr) std::swap(r, b);
    const __m128i low = _mm_or_si128(_mm_slli_epi16(g, 8), b);  // green, blue
    const __m128i high = _mm_or_si128(r, opaque);               // alpha, red
    lo = _mm_unpacklo_epi16(low, high);
    hi = _mm_unpackhi_epi16(low, high);
}
#endif

// The source pixel (or row) that target pixel t shows when a source of
// `source` pixels fills `target` pixels: the one nearest t's centre.
inline int sourceOf(int t, int source, int target) {
    return static_cast<int>((int64_t{2} * t + 1) * source / (int64_t{2} * target));
}

// The first target pixel that shows source pixel s or one after it; `target`
// for s = source.
inline int firstTargetOf(int s, int source, int target) {
    const int64_t num = int64_t{2} * target * s - source, den = int64_t{2} * source;
    return num <= 0 ? 0 : static_cast<int>((num + den - 1) / den);
}

// Target pixels [t0, t1) of one row, out[t] showing in[sourceOf(t)], each
// converted and placed in one pass: no table and no row in between.
void scaleRow(uint32_t* __restrict out, const uint16_t* __restrict in, int t0, int t1, int source, int target,
              Order order) {
    int t = t0;
    if (source == target) {
#ifdef __SSE2__
        for (; t + 8 <= t1; t += 8) {
            __m128i lo, hi;
            widened8(in + t, order, lo, hi);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + t), lo);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + t + 4), hi);
        }
#endif
        for (; t < t1; ++t) out[t] = widened(in[t], order);
        return;
    }
    if (int64_t{5} * source == int64_t{4} * target) {
        // Four source pixels a b c d make five target pixels a b c c d
        // (1024 to 1280): from a target pixel at a multiple of 5 on.
        for (; t < t1 && t % 5 != 0; ++t) out[t] = widened(in[sourceOf(t, source, target)], order);
        int s = t / 5 * 4;
#ifdef __SSE2__
        for (; t + 10 <= t1; t += 10, s += 8) {
            __m128i lo, hi;  // a b c d, e f g h
            widened8(in + s, order, lo, hi);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + t), _mm_shuffle_epi32(lo, _MM_SHUFFLE(2, 2, 1, 0)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + t + 4),
                             _mm_or_si128(_mm_srli_si128(lo, 12), _mm_slli_si128(hi, 4)));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + t + 8), _mm_shuffle_epi32(hi, _MM_SHUFFLE(3, 3, 3, 2)));
        }
#endif
        for (; t + 5 <= t1; t += 5, s += 4) {
            const uint32_t c = widened(in[s + 2], order);
            out[t] = widened(in[s], order);
            out[t + 1] = widened(in[s + 1], order);
            out[t + 2] = c;
            out[t + 3] = c;
            out[t + 4] = widened(in[s + 3], order);
        }
    }
    if (t >= t1) return;
    // Any other scale: the source position advances by source / target a
    // pixel, kept as a whole part and a remainder.
    const int64_t den = int64_t{2} * target, num = (int64_t{2} * t + 1) * source;
    int64_t s = num / den, rem = num % den;
    const int64_t stepWhole = int64_t{2} * source / den, stepRem = int64_t{2} * source % den;
    for (; t < t1; ++t) {
        out[t] = widened(in[s], order);
        s += stepWhole;
        rem += stepRem;
        if (rem >= den) {
            rem -= den;
            ++s;
        }
    }
}

const uint16_t* frameRow(const SDL_Surface* frame, int y) {
    return reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(frame->pixels) +
                                             static_cast<ptrdiff_t>(y) * frame->pitch);
}

// The part `from` of the frame (frame pixels) into the area of the target:
// every target pixel whose nearest source pixel lies in it. Returns that
// part of the target, empty when no target pixel shows it.
SDL_Rect scalePart(SDL_Surface* target, const SDL_Rect& area, const SDL_Surface* frame, const SDL_Rect& from,
                   Order order) {
    const int tx0 = firstTargetOf(from.x, frame->w, area.w), tx1 = firstTargetOf(from.x + from.w, frame->w, area.w);
    const int ty0 = firstTargetOf(from.y, frame->h, area.h), ty1 = firstTargetOf(from.y + from.h, frame->h, area.h);
    if (tx0 >= tx1 || ty0 >= ty1) return SDL_Rect{0, 0, 0, 0};
    auto targetRow = [&](int y) {
        return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target->pixels) +
                                           static_cast<ptrdiff_t>(area.y + y) * target->pitch) + area.x;
    };
    int previous = -1;
    for (int y = ty0; y < ty1; ++y) {
        const int sy = sourceOf(y, frame->h, area.h);
        uint32_t* out = targetRow(y);
        if (sy == previous) {
            // The same source row again: the row just made.
            std::memcpy(out + tx0, targetRow(y - 1) + tx0, static_cast<size_t>(tx1 - tx0) * 4);
            continue;
        }
        previous = sy;
        scaleRow(out, frameRow(frame, sy), tx0, tx1, frame->w, area.w, order);
    }
    return SDL_Rect{area.x + tx0, area.y + ty0, tx1 - tx0, ty1 - ty0};
}

// Whether n pixels (at most 32) are the same in both rows.
inline bool sameColumn(const uint16_t* a, const uint16_t* b, int n) {
#ifdef __SSE2__
    if (n == 32) {
        __m128i same = _mm_set1_epi8(-1);
        for (int i = 0; i < 32; i += 8)
            same = _mm_and_si128(same, _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)),
                                                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i))));
        return _mm_movemask_epi8(same) == 0xFFFF;
    }
#endif
    return std::memcmp(a, b, static_cast<size_t>(n) * 2) == 0;
}

// The parts of the frame that differ from `shown` (same size, rows packed),
// as rectangles that together cover every differing pixel, in rows top to
// bottom. Tiles that `written` leaves unmarked are taken as equal; without it
// every tile is compared. Returns false when so much differs that sending the
// whole frame is the better way.
bool changedParts(const std::vector<uint16_t>& shown, const SDL_Surface* frame, const Tiles* written,
                  std::vector<SDL_Rect>& parts, int64_t& compared) {
    // Columns of a tile's width in bands of a tile's height; a band's
    // neighbouring changed columns make one rectangle, from the first to the
    // last changed row in them, and a rectangle continues one of the band
    // above when it has its columns and starts where that one ends.
    constexpr int columnWidth = Tiles::width, bandHeight = Tiles::height;
    constexpr size_t mostParts = 64;
    const int w = frame->w, columns = (w + columnWidth - 1) / columnWidth;
    const int bands = (frame->h + bandHeight - 1) / bandHeight;
    if (written && (written->columns() != columns || written->bands() != bands)) written = nullptr;
    std::vector<int> firstRow(static_cast<size_t>(columns)), lastRow(static_cast<size_t>(columns));
    // A band's runs of neighbouring columns to compare, [first, end): a run
    // is compared whole first, since most of what was written is drawn again
    // the same, and column by column only where it differs.
    std::vector<std::pair<int, int>> runs;
    parts.clear();
    int64_t changedPixels = 0;
    for (int b = 0; b < bands; ++b) {
        const int band = b * bandHeight;
        runs.clear();
        if (written)
            written->forEachRun(b, [&](int first, int end) { runs.emplace_back(first, end); });
        else
            runs.emplace_back(0, columns);
        if (runs.empty()) continue;
        std::fill(firstRow.begin(), firstRow.end(), -1);
        bool any = false;
        for (int y = band; y < std::min(band + bandHeight, frame->h); ++y) {
            const uint16_t* now = frameRow(frame, y);
            const uint16_t* was = shown.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
            for (const auto& [first, end] : runs) {
                const int left = first * columnWidth, right = std::min(end * columnWidth, w);
                compared += right - left;
                if (std::memcmp(now + left, was + left, static_cast<size_t>(right - left) * 2) == 0) continue;
                for (int c = first; c < end; ++c) {
                    const int x = c * columnWidth, n = std::min(columnWidth, w - x);
                    if (sameColumn(now + x, was + x, n)) continue;
                    if (firstRow[static_cast<size_t>(c)] < 0) firstRow[static_cast<size_t>(c)] = y;
                    lastRow[static_cast<size_t>(c)] = y;
                    any = true;
                }
            }
        }
        for (int c = 0; any && c < columns;) {
            if (firstRow[static_cast<size_t>(c)] < 0) {
                ++c;
                continue;
            }
            int y0 = firstRow[static_cast<size_t>(c)], y1 = lastRow[static_cast<size_t>(c)];
            const int c0 = c;
            for (++c; c < columns && firstRow[static_cast<size_t>(c)] >= 0; ++c) {
                y0 = std::min(y0, firstRow[static_cast<size_t>(c)]);
                y1 = std::max(y1, lastRow[static_cast<size_t>(c)]);
            }
            const SDL_Rect part{c0 * columnWidth, y0, std::min(w, c * columnWidth) - c0 * columnWidth, y1 + 1 - y0};
            changedPixels += int64_t{part.w} * part.h;
            const auto above = std::find_if(parts.begin(), parts.end(), [&](const SDL_Rect& up) {
                return up.x == part.x && up.w == part.w && up.y + up.h == part.y;
            });
            if (above != parts.end()) {
                above->h += part.h;
            } else {
                parts.push_back(part);
                if (parts.size() > mostParts) return false;
            }
        }
    }
    return changedPixels * 2 < int64_t{w} * frame->h;
}

void failed(const char* what) {
    throw RuntimeError(err::InvalidCall, std::string("cannot present the display (") + what + "): " + SDL_GetError());
}

// Keeps the parts of the frame as the window now shows them.
void keepShown(GameWindow::Impl& impl, const SDL_Surface* frame, const std::vector<SDL_Rect>& parts) {
    for (const SDL_Rect& part : parts)
        for (int y = part.y; y < part.y + part.h; ++y)
            std::memcpy(impl.shownFrame.data() + static_cast<size_t>(y) * static_cast<size_t>(frame->w) +
                            static_cast<size_t>(part.x),
                        frameRow(frame, y) + part.x, static_cast<size_t>(part.w) * 2);
}

// What of the frame has to be sent: false when nothing; `whole` when the
// whole frame; otherwise the parts that differ from what the window shows.
bool partsToSend(GameWindow::Impl& impl, const SDL_Surface* frame, const SDL_Surface* target, const Tiles* written,
                 bool& whole, std::vector<SDL_Rect>& parts) {
    whole = !impl.shownValid || frame->format->BytesPerPixel != 2 || frame->w != impl.shownWidth ||
            frame->h != impl.shownHeight || target != impl.shownTarget ||
            (target && (target->w != impl.targetWidth || target->h != impl.targetHeight));
    if (frame != impl.shownFrom) written = nullptr;
    if (!whole) whole = !changedParts(impl.shownFrame, frame, written, parts, impl.pixelsCompared);
    if (!whole && parts.empty()) return false;
    // Until the frame has reached the window, what it shows is not known.
    impl.shownValid = false;
    if (whole) parts.assign(1, SDL_Rect{0, 0, frame->w, frame->h});
    return true;
}

// After the parts went out: the window shows the frame.
void shown(GameWindow::Impl& impl, const SDL_Surface* frame, const SDL_Surface* target,
           const std::vector<SDL_Rect>& parts) {
    if (frame->format->BytesPerPixel == 2) {
        impl.shownFrame.resize(static_cast<size_t>(frame->w) * static_cast<size_t>(frame->h));
        keepShown(impl, frame, parts);
        impl.shownValid = true;
    }
    impl.shownWidth = frame->w;
    impl.shownHeight = frame->h;
    impl.shownFrom = frame;
    impl.shownTarget = target;
    impl.targetWidth = target ? target->w : 0;
    impl.targetHeight = target ? target->h : 0;
    ++impl.framesPresented;
}

void presentToWindowSurface(GameWindow::Impl& impl, SDL_Surface* frame, const Tiles* written) {
    SDL_Surface* target = SDL_GetWindowSurface(impl.window());
    if (!target) failed("window surface");
    bool whole = false;
    static thread_local std::vector<SDL_Rect> parts, sent;
    if (!partsToSend(impl, frame, target, written, whole, parts)) return;
    const SDL_Rect area = fitted(frame->w, frame->h, target->w, target->h);
    const Order order = frame->format->format == SDL_PIXELFORMAT_RGB565 ? orderOf(target->format) : Order::None;
    if (whole && (area.w != target->w || area.h != target->h)) {
        // Black bars beside or above and below the frame.
        const Uint32 black = SDL_MapRGB(target->format, 0, 0, 0);
        const SDL_Rect bars[4] = {{0, 0, target->w, area.y},
                                  {0, area.y + area.h, target->w, target->h - area.y - area.h},
                                  {0, area.y, area.x, area.h},
                                  {area.x + area.w, area.y, target->w - area.x - area.w, area.h}};
        for (const SDL_Rect& bar : bars)
            if (bar.w > 0 && bar.h > 0 && SDL_FillRect(target, &bar, black) != 0) failed("bars");
    }
    if (order == Order::None) {
        // A window surface of another kind: SDL converts and scales the
        // whole frame.
        const int status = area.w == frame->w && area.h == frame->h
                               ? SDL_BlitSurface(frame, nullptr, target, const_cast<SDL_Rect*>(&area))
                               : SDL_BlitScaled(frame, nullptr, target, const_cast<SDL_Rect*>(&area));
        if (status != 0) failed("blit");
        if (SDL_UpdateWindowSurface(impl.window()) != 0) failed("update");
        impl.pixelsSent += int64_t{target->w} * target->h;
        parts.assign(1, SDL_Rect{0, 0, frame->w, frame->h});
        shown(impl, frame, target, parts);
        return;
    }
    sent.clear();
    if (area.w > 0 && area.h > 0) {
        if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) failed("lock");
        for (const SDL_Rect& part : parts) {
            const SDL_Rect made = scalePart(target, area, frame, part, order);
            if (made.w > 0 && made.h > 0) sent.push_back(made);
        }
        if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    }
    for (const SDL_Rect& part : sent) impl.pixelsSent += int64_t{part.w} * part.h;
    if (whole) impl.pixelsSent += int64_t{target->w} * target->h - int64_t{area.w} * area.h;
    const int status = whole ? SDL_UpdateWindowSurface(impl.window())
                             : sent.empty() ? 0
                                            : SDL_UpdateWindowSurfaceRects(impl.window(), sent.data(),
                                                                           static_cast<int>(sent.size()));
    if (status != 0) failed("update");
    shown(impl, frame, target, parts);
}

// A screen whose pixels the window surface cannot take: the frame is scaled
// and turned into the screen's pixels here, and sent to X as an image.
void presentDirect(GameWindow::Impl& impl, SDL_Surface* frame, const Tiles* written) {
    int w = 0, h = 0;
    SDL_GetWindowSize(impl.window(), &w, &h);
    SdlPtr<SDL_Surface> converted;
    if (frame->format->format != SDL_PIXELFORMAT_RGB565) {
        converted.reset(SDL_ConvertSurfaceFormat(frame, SDL_PIXELFORMAT_RGB565, 0));
        if (!converted) failed("convert");
        frame = converted.get();
        written = nullptr;
    }
    const DirectImage target = directImage(*impl.handles.direct, w, h);
    if (!target.pixels) failed("image");
    if (target.remade) impl.forgetShown();
    bool whole = false;
    static thread_local std::vector<SDL_Rect> parts, sent;
    if (!partsToSend(impl, frame, nullptr, written, whole, parts)) return;
    const SDL_Rect area = fitted(frame->w, frame->h, w, h);
    auto put = [&](uint8_t* row, int x, uint32_t pixel) {
        switch (target.bytesPerPixel) {
        case 1: row[x] = static_cast<uint8_t>(pixel); break;
        case 2: reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(pixel); break;
        default: reinterpret_cast<uint32_t*>(row)[x] = pixel; break;
        }
    };
    if (whole) {
        // The black bars, and black under the frame.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) put(target.pixels + static_cast<ptrdiff_t>(y) * target.pitch, x, target.table[0]);
    }
    sent.clear();
    for (const SDL_Rect& part : parts) {
        const int tx0 = firstTargetOf(part.x, frame->w, area.w), tx1 = firstTargetOf(part.x + part.w, frame->w, area.w);
        const int ty0 = firstTargetOf(part.y, frame->h, area.h), ty1 = firstTargetOf(part.y + part.h, frame->h, area.h);
        if (tx0 >= tx1 || ty0 >= ty1) continue;
        for (int y = ty0; y < ty1; ++y) {
            const uint16_t* in = frameRow(frame, sourceOf(y, frame->h, area.h));
            uint8_t* row = target.pixels + static_cast<ptrdiff_t>(area.y + y) * target.pitch;
            for (int x = tx0; x < tx1; ++x) put(row, area.x + x, target.table[in[sourceOf(x, frame->w, area.w)]]);
        }
        sent.push_back(SDL_Rect{area.x + tx0, area.y + ty0, tx1 - tx0, ty1 - ty0});
    }
    if (whole) sent.assign(1, SDL_Rect{0, 0, w, h});
    sendDirect(*impl.handles.direct, sent);
    for (const SDL_Rect& part : sent) impl.pixelsSent += int64_t{part.w} * part.h;
    shown(impl, frame, nullptr, parts);
}

// A frame is scaled by the graphics card when there is one that OpenGL
// really uses; the answer holds for the whole run.
bool useGraphicsCard(GameWindow::Impl& impl) {
    enum class Answer { Unknown, Card, Processor };
    static Answer answer = Answer::Unknown;
    POMLETS_LOCAL_NOT_RESTORED(answer, "a fact of the machine, asked once");
    if (answer == Answer::Processor) return false;
    if (answer == Answer::Unknown && !graphicsDevicePresent()) {
        answer = Answer::Processor;
        return false;
    }
    // A renderer of the graphics card scales the frame and waits for the
    // vertical retrace.
    impl.handles.renderer.reset(
        SDL_CreateRenderer(impl.window(), -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC));
    if (!impl.handles.renderer) return false;
    if (answer == Answer::Unknown)
        answer = drawsInSoftware(impl.handles.renderer.get()) ? Answer::Processor : Answer::Card;
    if (answer == Answer::Processor) impl.handles.renderer.reset();
    return answer == Answer::Card;
}

// Whether the frame is black all over: nothing worth putting on the screen.
bool blank(const SDL_Surface* frame) {
    const auto* row = static_cast<const uint8_t*>(frame->pixels);
    const size_t bytes = static_cast<size_t>(frame->w) * frame->format->BytesPerPixel;
    // A row is all zero when its first byte is and every byte equals the next.
    for (int y = 0; y < frame->h; ++y, row += frame->pitch)
        if (bytes > 0 && (row[0] != 0 || std::memcmp(row, row + 1, bytes - 1) != 0)) return false;
    return true;
}

} // namespace

void present(GameWindow& window, SDL_Surface* frame, const Tiles* written) {
    GameWindow::Impl& impl = *window.impl();
    if (!impl.window() || !frame) return;
    if (impl.mapPending) {
        // The window comes on the screen with its first picture (the loading
        // screen), not with the blank frames of the display's set-up, so the
        // player never sees a black window over the desktop meanwhile.
        if (blank(frame)) {
            impl.forgetShown();
            return;
        }
        SDL_ShowWindow(impl.window());
        SDL_RaiseWindow(impl.window());
        impl.mapPending = false;
        impl.forgetShown();
    }
    if (!impl.handles.renderer && !impl.softwarePresent)
        impl.softwarePresent = impl.handles.direct || !useGraphicsCard(impl);
    if (impl.softwarePresent) {
        if (impl.handles.direct)
            presentDirect(impl, frame, written);
        else
            presentToWindowSurface(impl, frame, written);
        return;
    }
    SDL_Renderer* renderer = impl.handles.renderer.get();
    if (!impl.handles.texture || impl.textureWidth != frame->w || impl.textureHeight != frame->h) {
        impl.forgetShown();
        impl.handles.texture.reset(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                                     frame->w, frame->h));
        if (!impl.handles.texture) failed("texture");
        impl.textureWidth = frame->w;
        impl.textureHeight = frame->h;
        // Letterboxing: the frame keeps its aspect, the rest is black.
        if (SDL_RenderSetLogicalSize(renderer, frame->w, frame->h) != 0) failed("logical size");
    }
    // The texture keeps what it was given: only the changed parts go up to
    // the graphics card, and an unchanged frame is not drawn again.
    bool whole = false;
    static thread_local std::vector<SDL_Rect> parts;
    if (!partsToSend(impl, frame, nullptr, written, whole, parts)) return;
    for (const SDL_Rect& part : parts) {
        const auto* pixels = static_cast<const uint8_t*>(frame->pixels) + static_cast<ptrdiff_t>(part.y) * frame->pitch +
                             static_cast<ptrdiff_t>(part.x) * frame->format->BytesPerPixel;
        if (SDL_UpdateTexture(impl.handles.texture.get(), &part, pixels, frame->pitch) != 0) failed("upload");
    }
    if (SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255) != 0 || SDL_RenderClear(renderer) != 0) failed("clear");
    if (SDL_RenderCopy(renderer, impl.handles.texture.get(), nullptr, nullptr) != 0) failed("copy");
    SDL_RenderPresent(renderer);
    shown(impl, frame, nullptr, parts);
}

} // namespace sdl

GameWindow::GameWindow() : impl_(std::make_unique<Impl>()) {
    for (GameWindow*& slot : liveWindows)
        if (!slot) {
            slot = this;
            break;
        }
}

GameWindow::~GameWindow() {
    destroyWindow();
    for (GameWindow*& slot : liveWindows)
        if (slot == this) slot = nullptr;
}

void GameWindow::setCaption(const std::string& caption) {
    caption_ = caption;
    if (impl_->window()) SDL_SetWindowTitle(impl_->window(), caption_.c_str());
}

void GameWindow::create() {
    if (impl_->window()) return;
    sdl::requireVideo();
    impl_->handles.window.reset(sdl::makeGameWindow(caption_.c_str(), 1024, 768, impl_->handles.direct));
    if (!impl_->window())
        throw RuntimeError(err::InvalidCall, std::string("cannot make the game window: ") + SDL_GetError());
    impl_->shown = false;
    impl_->forgetShown();
    impl_->forgetFocus();
    SDL_ShowCursor(cursorVisible() ? SDL_ENABLE : SDL_DISABLE);
}

bool GameWindow::exists() const { return impl_->window() != nullptr; }

void GameWindow::show() {
    create();
    if (SDL_GetWindowFlags(impl_->window()) & SDL_WINDOW_SHOWN) {
        SDL_RaiseWindow(impl_->window());
    } else {
        impl_->mapPending = true;  // on the screen with the first picture presented
        impl_->forgetShown();
    }
    impl_->shown = true;
}

bool GameWindow::onScreen() const {
    return impl_->window() && (SDL_GetWindowFlags(impl_->window()) & SDL_WINDOW_SHOWN) != 0;
}

void GameWindow::hide() {
    if (impl_->window()) {
        sdl::withdrawFromScreen(impl_->window());
        SDL_HideWindow(impl_->window());
    }
    impl_->shown = false;
    impl_->mapPending = false;
    impl_->forgetShown();
    // A hidden window is out of the game: its focus history starts again.
    impl_->forgetFocus();
}

bool GameWindow::isShown() const { return impl_->window() && impl_->shown; }

void GameWindow::minimise() {
    if (!impl_->window()) return;
    SDL_MinimizeWindow(impl_->window());
    impl_->forgetShown();
    impl_->minimised = true;
}

void GameWindow::restore() {
    if (!impl_->window()) return;
    SDL_RestoreWindow(impl_->window());
    SDL_RaiseWindow(impl_->window());
    impl_->forgetShown();
    impl_->minimised = false;
}

void GameWindow::destroyWindow() {
    {
        // Destroyed here, in reverse order of making.
        const Impl::Handles gone = std::move(impl_->handles);
    }
    impl_->textureWidth = impl_->textureHeight = 0;
    impl_->softwarePresent = false;
    impl_->shown = false;
    impl_->mapPending = false;
    impl_->forgetShown();
    impl_->forgetFocus();
}

bool GameWindow::hasFocus() const { return impl_->focused; }

bool GameWindow::isMinimised() const { return impl_->minimised; }

bool GameWindow::hadFocus() const { return impl_->hadFocus; }

int GameWindow::framesPresented() const { return impl_->framesPresented; }

int64_t GameWindow::pixelsSent() const { return impl_->pixelsSent; }

} // namespace pomlets

// The game display's SDL window: lazy start of SDL video, showing, hiding,
// minimising, focus state, and presenting a frame scaled to fit.
#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/runtime.h"
#include "platform/sdl_internal.h"
#include "platform/win32.h"

namespace pomlets {

namespace {

// Fixed storage, so that windows living until program exit never outlive it.
constexpr size_t maxWindows = 16;
std::array<GameWindow*, maxWindows> liveWindows{};

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

// One row of RGB565 pixels widened to 32 bits, each channel's top bits
// repeated into its low bits (so white stays white), alpha opaque.
void widenRow(uint32_t* __restrict out, const uint16_t* __restrict in, int n, Order order) {
    int x = 0;
#ifdef __SSE2__
    const __m128i mask6 = _mm_set1_epi16(0x3F), mask5 = _mm_set1_epi16(0x1F), opaque = _mm_set1_epi16(-256);
    for (; x + 8 <= n; x += 8) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        const __m128i r5 = _mm_srli_epi16(p, 11);
        const __m128i g6 = _mm_and_si128(_mm_srli_epi16(p, 5), mask6);
        const __m128i b5 = _mm_and_si128(p, mask5);
        __m128i r = _mm_or_si128(_mm_slli_epi16(r5, 3), _mm_srli_epi16(r5, 2));
        const __m128i g = _mm_or_si128(_mm_slli_epi16(g6, 2), _mm_srli_epi16(g6, 4));
        __m128i b = _mm_or_si128(_mm_slli_epi16(b5, 3), _mm_srli_epi16(b5, 2));
        if (order == Order::Bgr) std::swap(r, b);
        const __m128i low = _mm_or_si128(_mm_slli_epi16(g, 8), b);  // green, blue
        const __m128i high = _mm_or_si128(r, opaque);               // alpha, red
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_unpacklo_epi16(low, high));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4), _mm_unpackhi_epi16(low, high));
    }
#endif
    for (; x < n; ++x) {
        const uint32_t p = in[x];
        const uint32_t r5 = p >> 11, g6 = (p >> 5) & 0x3F, b5 = p & 0x1F;
        uint32_t r = (r5 << 3) | (r5 >> 2), b = (b5 << 3) | (b5 >> 2);
        const uint32_t g = (g6 << 2) | (g6 >> 4);
        if (order == Order::Bgr) std::swap(r, b);
        out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
}

// The frame into the area of the target, nearest source pixel to the centre
// of each target pixel; rows that repeat a source row are copied.
void scaleInto(SDL_Surface* target, const SDL_Rect& area, SDL_Surface* frame, Order order) {
    static thread_local std::vector<int> xmap;
    static thread_local std::vector<uint32_t> wide;
    const bool sameWidth = area.w == frame->w;
    if (!sameWidth) {
        xmap.resize(static_cast<size_t>(area.w));
        for (int x = 0; x < area.w; ++x)
            xmap[static_cast<size_t>(x)] = static_cast<int>((int64_t{2} * x + 1) * frame->w / (int64_t{2} * area.w));
        wide.resize(static_cast<size_t>(frame->w));
    }
    auto targetRow = [&](int y) {
        return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target->pixels) +
                                           static_cast<ptrdiff_t>(area.y + y) * target->pitch) + area.x;
    };
    int previous = -1;
    for (int y = 0; y < area.h; ++y) {
        const int sy = static_cast<int>((int64_t{2} * y + 1) * frame->h / (int64_t{2} * area.h));
        uint32_t* out = targetRow(y);
        if (sy == previous) {
            std::memcpy(out, targetRow(y - 1), static_cast<size_t>(area.w) * 4);
            continue;
        }
        previous = sy;
        const auto* in = reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(frame->pixels) +
                                                           static_cast<ptrdiff_t>(sy) * frame->pitch);
        if (sameWidth) {
            widenRow(out, in, area.w, order);
            continue;
        }
        widenRow(wide.data(), in, frame->w, order);
        for (int x = 0; x < area.w; ++x) out[x] = wide[static_cast<size_t>(xmap[static_cast<size_t>(x)])];
    }
}

void failed(const char* what) {
    throw RuntimeError(err::InvalidCall, std::string("cannot present the display (") + what + "): " + SDL_GetError());
}

void presentToWindowSurface(SDL_Window* window, SDL_Surface* frame) {
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (!target) failed("window surface");
    SDL_Rect area = fitted(frame->w, frame->h, target->w, target->h);
    if (area.w != target->w || area.h != target->h) {
        // Black bars beside or above and below the frame.
        const Uint32 black = SDL_MapRGB(target->format, 0, 0, 0);
        const SDL_Rect bars[4] = {{0, 0, target->w, area.y},
                                  {0, area.y + area.h, target->w, target->h - area.y - area.h},
                                  {0, area.y, area.x, area.h},
                                  {area.x + area.w, area.y, target->w - area.x - area.w, area.h}};
        for (const SDL_Rect& bar : bars)
            if (bar.w > 0 && bar.h > 0 && SDL_FillRect(target, &bar, black) != 0) failed("bars");
    }
    const Order order = frame->format->format == SDL_PIXELFORMAT_RGB565 ? orderOf(target->format) : Order::None;
    if (order != Order::None && area.w > 0 && area.h > 0) {
        if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) failed("lock");
        scaleInto(target, area, frame, order);
        if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    } else {
        const int status = area.w == frame->w && area.h == frame->h ? SDL_BlitSurface(frame, nullptr, target, &area)
                                                                    : SDL_BlitScaled(frame, nullptr, target, &area);
        if (status != 0) failed("blit");
    }
    if (SDL_UpdateWindowSurface(window) != 0) failed("update");
}

// A frame is scaled by the graphics card when there is one that OpenGL
// really uses; the answer holds for the whole run.
bool useGraphicsCard(GameWindow::Impl& impl) {
    enum class Answer { Unknown, Card, Processor };
    static Answer answer = Answer::Unknown;
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
    for (int y = 0; y < frame->h; ++y, row += frame->pitch)
        for (size_t i = 0; i < bytes; ++i)
            if (row[i] != 0) return false;
    return true;
}

} // namespace

void present(GameWindow& window, SDL_Surface* frame) {
    GameWindow::Impl& impl = *window.impl();
    if (!impl.window() || !frame) return;
    if (impl.mapPending) {
        // The window comes on the screen with its first picture (the loading
        // screen), not with the blank frames of the display's set-up, so the
        // player never sees a black window over the desktop meanwhile.
        if (blank(frame)) return;
        SDL_ShowWindow(impl.window());
        SDL_RaiseWindow(impl.window());
        impl.mapPending = false;
    }
    if (!impl.handles.renderer && !impl.softwarePresent) impl.softwarePresent = !useGraphicsCard(impl);
    if (impl.softwarePresent) {
        presentToWindowSurface(impl.window(), frame);
        ++impl.framesPresented;
        return;
    }
    SDL_Renderer* renderer = impl.handles.renderer.get();
    if (!impl.handles.texture || impl.textureWidth != frame->w || impl.textureHeight != frame->h) {
        impl.handles.texture.reset(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                                     frame->w, frame->h));
        if (!impl.handles.texture) failed("texture");
        impl.textureWidth = frame->w;
        impl.textureHeight = frame->h;
        // Letterboxing: the frame keeps its aspect, the rest is black.
        if (SDL_RenderSetLogicalSize(renderer, frame->w, frame->h) != 0) failed("logical size");
    }
    if (SDL_UpdateTexture(impl.handles.texture.get(), nullptr, frame->pixels, frame->pitch) != 0) failed("upload");
    if (SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255) != 0 || SDL_RenderClear(renderer) != 0) failed("clear");
    if (SDL_RenderCopy(renderer, impl.handles.texture.get(), nullptr, nullptr) != 0) failed("copy");
    SDL_RenderPresent(renderer);
    ++impl.framesPresented;
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
    impl_->handles.window.reset(SDL_CreateWindow(caption_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                                 1024, 768, SDL_WINDOW_HIDDEN));
    if (!impl_->window())
        throw RuntimeError(err::InvalidCall, std::string("cannot make the game window: ") + SDL_GetError());
    impl_->shown = false;
    focused_ = hadFocus_ = minimised_ = false;
    SDL_ShowCursor(cursorVisible() ? SDL_ENABLE : SDL_DISABLE);
}

bool GameWindow::exists() const { return impl_->window() != nullptr; }

void GameWindow::show() {
    create();
    if (SDL_GetWindowFlags(impl_->window()) & SDL_WINDOW_SHOWN) {
        SDL_RaiseWindow(impl_->window());
    } else {
        impl_->mapPending = true;  // on the screen with the first picture presented
    }
    impl_->shown = true;
}

bool GameWindow::onScreen() const {
    return impl_->window() && (SDL_GetWindowFlags(impl_->window()) & SDL_WINDOW_SHOWN) != 0;
}

void GameWindow::hide() {
    if (impl_->window()) SDL_HideWindow(impl_->window());
    impl_->shown = false;
    impl_->mapPending = false;
    // A hidden window is out of the game: its focus history starts again.
    focused_ = hadFocus_ = minimised_ = false;
}

bool GameWindow::isShown() const { return impl_->window() && impl_->shown; }

void GameWindow::minimise() {
    if (!impl_->window()) return;
    SDL_MinimizeWindow(impl_->window());
    minimised_ = true;
}

void GameWindow::restore() {
    if (!impl_->window()) return;
    SDL_RestoreWindow(impl_->window());
    SDL_RaiseWindow(impl_->window());
    minimised_ = false;
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
    focused_ = hadFocus_ = minimised_ = false;
}

void GameWindow::handleFocus(bool focused) {
    focused_ = focused;
    if (focused) hadFocus_ = true;
}

void GameWindow::simulateFocus(bool focused) { handleFocus(focused); }

void GameWindow::simulateMinimised(bool minimised) { minimised_ = minimised; }

int GameWindow::framesPresented() const { return impl_->framesPresented; }

} // namespace pomlets

// The game display's SDL window: lazy start of SDL video, showing, hiding,
// minimising, focus state, and presenting a frame scaled to fit.
#include <array>

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
        if (w && w->impl()->window && SDL_GetWindowID(w->impl()->window) == sdlWindowId) return w;
    return nullptr;
}

GameWindow* firstWindow() {
    for (GameWindow* w : liveWindows)
        if (w && w->impl()->window) return w;
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

void presentToWindowSurface(SDL_Window* window, SDL_Surface* frame) {
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (!target) throw RuntimeError(err::InvalidCall, std::string("cannot present the display: ") + SDL_GetError());
    SDL_Rect area = fitted(frame->w, frame->h, target->w, target->h);
    if (area.w != target->w || area.h != target->h) {
        // Black bars beside or above and below the frame.
        const Uint32 black = SDL_MapRGB(target->format, 0, 0, 0);
        const SDL_Rect bars[4] = {{0, 0, target->w, area.y},
                                  {0, area.y + area.h, target->w, target->h - area.y - area.h},
                                  {0, area.y, area.x, area.h},
                                  {area.x + area.w, area.y, target->w - area.x - area.w, area.h}};
        for (const SDL_Rect& bar : bars)
            if (bar.w > 0 && bar.h > 0) SDL_FillRect(target, &bar, black);
    }
    if (area.w == frame->w && area.h == frame->h) SDL_BlitSurface(frame, nullptr, target, &area);
    else SDL_BlitScaled(frame, nullptr, target, &area);
    SDL_UpdateWindowSurface(window);
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
    if (!impl.window || !frame) return;
    if (impl.mapPending) {
        // The window comes on the screen with its first picture (the loading
        // screen), not with the blank frames of the display's set-up, so the
        // player never sees a black window over the desktop meanwhile.
        if (blank(frame)) return;
        SDL_ShowWindow(impl.window);
        SDL_RaiseWindow(impl.window);
        impl.mapPending = false;
    }
    if (!impl.renderer && !impl.softwarePresent) {
        // A renderer of the graphics card scales the frame and waits for the
        // vertical retrace; without one, SDL's own window surface serves.
        impl.renderer = SDL_CreateRenderer(impl.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
        if (!impl.renderer) impl.softwarePresent = true;
    }
    if (impl.softwarePresent) {
        presentToWindowSurface(impl.window, frame);
        ++impl.framesPresented;
        return;
    }
    if (!impl.texture || impl.textureWidth != frame->w || impl.textureHeight != frame->h) {
        if (impl.texture) SDL_DestroyTexture(impl.texture);
        impl.texture = SDL_CreateTexture(impl.renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                         frame->w, frame->h);
        if (!impl.texture)
            throw RuntimeError(err::InvalidCall, std::string("cannot present the display: ") + SDL_GetError());
        impl.textureWidth = frame->w;
        impl.textureHeight = frame->h;
        // Letterboxing: the frame keeps its aspect, the rest is black.
        SDL_RenderSetLogicalSize(impl.renderer, frame->w, frame->h);
    }
    SDL_UpdateTexture(impl.texture, nullptr, frame->pixels, frame->pitch);
    SDL_SetRenderDrawColor(impl.renderer, 0, 0, 0, 255);
    SDL_RenderClear(impl.renderer);
    SDL_RenderCopy(impl.renderer, impl.texture, nullptr, nullptr);
    SDL_RenderPresent(impl.renderer);
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
    if (impl_->window) SDL_SetWindowTitle(impl_->window, caption_.c_str());
}

void GameWindow::create() {
    if (impl_->window) return;
    sdl::requireVideo();
    impl_->window = SDL_CreateWindow(caption_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1024, 768,
                                     SDL_WINDOW_HIDDEN);
    if (!impl_->window)
        throw RuntimeError(err::InvalidCall, std::string("cannot make the game window: ") + SDL_GetError());
    impl_->shown = false;
    focused_ = hadFocus_ = minimised_ = false;
    SDL_ShowCursor(cursorVisible() ? SDL_ENABLE : SDL_DISABLE);
}

bool GameWindow::exists() const { return impl_->window != nullptr; }

void GameWindow::show() {
    create();
    if (SDL_GetWindowFlags(impl_->window) & SDL_WINDOW_SHOWN) {
        SDL_RaiseWindow(impl_->window);
    } else {
        impl_->mapPending = true;  // on the screen with the first picture presented
    }
    impl_->shown = true;
}

bool GameWindow::onScreen() const {
    return impl_->window && (SDL_GetWindowFlags(impl_->window) & SDL_WINDOW_SHOWN) != 0;
}

void GameWindow::hide() {
    if (impl_->window) SDL_HideWindow(impl_->window);
    impl_->shown = false;
    impl_->mapPending = false;
    // A hidden window is out of the game: its focus history starts again.
    focused_ = hadFocus_ = minimised_ = false;
}

bool GameWindow::isShown() const { return impl_->window && impl_->shown; }

void GameWindow::minimise() {
    if (!impl_->window) return;
    SDL_MinimizeWindow(impl_->window);
    minimised_ = true;
}

void GameWindow::restore() {
    if (!impl_->window) return;
    SDL_RestoreWindow(impl_->window);
    SDL_RaiseWindow(impl_->window);
    minimised_ = false;
}

void GameWindow::destroyWindow() {
    if (impl_->texture) SDL_DestroyTexture(impl_->texture);
    if (impl_->renderer) SDL_DestroyRenderer(impl_->renderer);
    if (impl_->window) SDL_DestroyWindow(impl_->window);
    impl_->texture = nullptr;
    impl_->renderer = nullptr;
    impl_->window = nullptr;
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

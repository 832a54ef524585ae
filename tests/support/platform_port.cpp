#include "support/platform_port.h"

#include <cstring>
#include <map>

#include "datafiles/scrambler.h"
#include "display/game_window.h"
#include "platform/platform_calls.h"
#include "platform/runtime.h"
#include "platform/sdl_internal.h"
#include "platform/start_values.h"

namespace pomlets {

namespace {

std::function<void(const DirectDrawSurface7&)> flipWatcher;
std::function<void(const std::string&)> shellRecorder;
double fixedSeedClock = -1;
std::function<MsgResult(const ShownBox&)> messageResponder;
std::function<std::string(const ShownBox&)> inputResponder;
std::vector<ShownBox> shown;
POMLETS_RESTORED(flipWatcher, shellRecorder, fixedSeedClock, messageResponder, inputResponder, shown);

std::map<const DirectDrawSurface7*, std::vector<DrawnText>>& textsBySurface() {
    static std::map<const DirectDrawSurface7*, std::vector<DrawnText>> texts;
    POMLETS_LOCAL_NOT_RESTORED(texts, "each surface's texts go with the surface");
    return texts;
}

void textDrawn(const DirectDrawSurface7& surface, int32_t x, int32_t y, const std::string& text) {
    std::vector<DrawnText>& texts = textsBySurface()[&surface];
    if (texts.size() >= drawnTextLimit)
        texts.erase(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(drawnTextLimit / 2));
    texts.push_back(DrawnText{x, y, text});
}

void surfaceGone(const DirectDrawSurface7& surface) { textsBySurface().erase(&surface); }

void flipped(const DirectDrawSurface7& backBuffer) {
    if (flipWatcher) flipWatcher(backBuffer);
}

bool openAddress(const std::string& address) {
    if (!shellRecorder) return systemPlatformCalls().openAddress(address);
    shellRecorder(address);
    return true;
}

double secondsSinceMidnight() {
    return fixedSeedClock >= 0 ? fixedSeedClock : systemPlatformCalls().secondsSinceMidnight();
}

MsgResult message(const ShownBox& box) {
    shown.push_back(box);
    return messageResponder ? messageResponder(box) : dialogBoxCalls().message(box);
}

std::string input(const ShownBox& box, const std::string& defaultText) {
    shown.push_back(box);
    return inputResponder ? inputResponder(box) : dialogBoxCalls().input(box, defaultText);
}

} // namespace

void installPlatformPort() {
    platformCalls() = PlatformCalls{openAddress, secondsSinceMidnight, textDrawn, surfaceGone, flipped};
    boxCalls() = BoxCalls{message, input};
}

void simulateFocus(GameWindow& window, bool focused) { window.impl()->noteFocus(focused); }

void simulateMinimised(GameWindow& window, bool minimised) { window.impl()->minimised = minimised; }

void simulateSize(GameWindow& window, int width, int height) {
    GameWindow::Impl& impl = *window.impl();
    if (!impl.window()) return;
    SDL_SetWindowFullscreen(impl.window(), 0);
    SDL_SetWindowSize(impl.window(), width, height);
    impl.forgetShown();
}

void presentWhole(GameWindow& window, const DirectDrawSurface7& frame) {
    window.impl()->forgetShown();
    // The present only reads the frame.
    sdl::present(window, sdl::pixelsUntold(const_cast<DirectDrawSurface7&>(frame)));
}

std::vector<uint32_t> shownPixels(const GameWindow& window) {
    std::vector<uint32_t> pixels;
    SDL_Window* sdlWindow = window.impl()->window();
    SDL_Surface* shownSurface = sdlWindow ? SDL_GetWindowSurface(sdlWindow) : nullptr;
    if (!shownSurface) return pixels;
    pixels.reserve(static_cast<size_t>(shownSurface->w) * static_cast<size_t>(shownSurface->h));
    const SDL_PixelFormat* f = shownSurface->format;
    if (f->BytesPerPixel == 4 && f->Rloss == 0 && f->Gloss == 0 && f->Bloss == 0) {
        for (int y = 0; y < shownSurface->h; ++y) {
            const auto* row = reinterpret_cast<const Uint32*>(static_cast<const uint8_t*>(shownSurface->pixels) +
                                                              static_cast<ptrdiff_t>(y) * shownSurface->pitch);
            for (int x = 0; x < shownSurface->w; ++x)
                pixels.push_back((((row[x] & f->Rmask) >> f->Rshift) << 16) | (((row[x] & f->Gmask) >> f->Gshift) << 8) |
                                 ((row[x] & f->Bmask) >> f->Bshift));
        }
        return pixels;
    }
    for (int y = 0; y < shownSurface->h; ++y)
        for (int x = 0; x < shownSurface->w; ++x) {
            Uint32 value = 0;
            std::memcpy(&value,
                        static_cast<const uint8_t*>(shownSurface->pixels) + static_cast<ptrdiff_t>(y) * shownSurface->pitch +
                            static_cast<ptrdiff_t>(x) * f->BytesPerPixel,
                        f->BytesPerPixel);
            Uint8 r = 0, g = 0, b = 0;
            SDL_GetRGB(value, f, &r, &g, &b);
            pixels.push_back((uint32_t{r} << 16) | (uint32_t{g} << 8) | b);
        }
    return pixels;
}

int64_t pixelsCompared(const GameWindow& window) { return window.impl()->pixelsCompared; }

void injectKey(int code, bool down) {
    SDL_Scancode scancode = SDL_SCANCODE_UNKNOWN;
    for (int s = 1; s < SDL_NUM_SCANCODES && scancode == SDL_SCANCODE_UNKNOWN; ++s)
        if (directInputCode(s) == code) scancode = static_cast<SDL_Scancode>(s);
    if (scancode == SDL_SCANCODE_UNKNOWN) throw RuntimeError(err::InvalidCall, "no key has that code");
    if (!sdl::ensureEvents()) throw RuntimeError(err::InvalidCall, "no event queue");
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.timestamp = SDL_GetTicks();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = 0;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    GameWindow* window = sdl::firstWindow();
    e.key.windowID = window && window->impl()->window() ? SDL_GetWindowID(window->impl()->window()) : 0;
    if (SDL_PushEvent(&e) < 0) throw RuntimeError(err::InvalidCall, std::string("cannot queue a key: ") + SDL_GetError());
}

const std::vector<DrawnText>& drawnTexts(const DirectDrawSurface7& surface) {
    static const std::vector<DrawnText> none;
    const auto& texts = textsBySurface();
    const auto found = texts.find(&surface);
    return found == texts.end() ? none : found->second;
}

void clearDrawnTexts(const DirectDrawSurface7& surface) { textsBySurface().erase(&surface); }

void watchFlips(std::function<void(const DirectDrawSurface7&)> watcher) { flipWatcher = std::move(watcher); }

void setShellRecorder(std::function<void(const std::string&)> recorder) { shellRecorder = std::move(recorder); }

void setRandomizeClock(double secondsSinceMidnight) { fixedSeedClock = secondsSinceMidnight; }

void setMessageBoxResponder(std::function<MsgResult(const ShownBox&)> responder) {
    messageResponder = std::move(responder);
}
void setInputBoxResponder(std::function<std::string(const ShownBox&)> responder) {
    inputResponder = std::move(responder);
}
const std::vector<ShownBox>& shownBoxes() { return shown; }
void clearShownBoxes() { shown.clear(); }

void resetDisplayObjects() { displayObjects().restore(); }
void resetCipherTables() { cipherState().restore(); }

} // namespace pomlets

// What the game window needs of X itself. On screens whose pixels SDL's
// window surface cannot take (30 bits a pixel, 8 bits with a colour map) the
// frames go to X directly, as an image in the screen's own pixels. And the
// window leaves the screen straight from full screen, never through a
// normal, framed window on the way.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <vector>

#include "platform/sdl_internal.h"

namespace pomlets {

struct DirectScreen {
    Display* display = nullptr;
    Window window = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    // Every RGB565 pixel as the screen's pixel.
    std::vector<uint32_t> table;
    // Colours taken from the colour map, given back at the end.
    std::vector<unsigned long> taken;
    XImage* image = nullptr;
    std::vector<uint8_t> pixels;

    ~DirectScreen() {
        if (image) {
            image->data = nullptr;  // the pixels are ours
            XDestroyImage(image);
        }
        if (!taken.empty()) XFreeColors(display, colormap, taken.data(), static_cast<int>(taken.size()), 0);
        if (gc) XFreeGC(display, gc);
    }
};

void DirectScreenDeleter::operator()(DirectScreen* screen) const { delete screen; }

namespace {

bool trueColour(const Visual* visual) { return visual->c_class == TrueColor; }

bool indexed(const Visual* visual) {
    return visual->c_class == PseudoColor || visual->c_class == StaticColor || visual->c_class == GrayScale ||
           visual->c_class == StaticGray;
}

// The pixel format SDL gives a window surface on this visual, as SDL works it
// out; unknown where it makes none.
Uint32 surfaceFormat(Display* display, const Visual* visual, int depth) {
    if (visual->c_class != TrueColor && visual->c_class != DirectColor) return SDL_PIXELFORMAT_UNKNOWN;
    int bitsPerPixel = depth;
    if (depth == 24) {
        int count = 0;
        if (XPixmapFormatValues* formats = XListPixmapFormats(display, &count)) {
            for (int i = 0; i < count; ++i)
                if (formats[i].depth == 24) bitsPerPixel = formats[i].bits_per_pixel;
            XFree(formats);
        }
    }
    return SDL_MasksToPixelFormatEnum(bitsPerPixel, static_cast<Uint32>(visual->red_mask),
                                      static_cast<Uint32>(visual->green_mask), static_cast<Uint32>(visual->blue_mask), 0);
}

// An 8-bit channel value in the bits of the mask.
uint32_t inMask(uint32_t value, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long top = mask >> shift;
    return static_cast<uint32_t>(((value * top + 127) / 255) << shift);
}

void channels(uint32_t p, uint32_t& r, uint32_t& g, uint32_t& b) {
    const uint32_t r5 = p >> 11, g6 = (p >> 5) & 0x3F, b5 = p & 0x1F;
    r = (r5 << 3) | (r5 >> 2);
    g = (g6 << 2) | (g6 >> 4);
    b = (b5 << 3) | (b5 >> 2);
}

// A true-colour screen: each channel into its mask.
void fillTrueColour(DirectScreen& screen) {
    screen.table.resize(65536);
    for (uint32_t p = 0; p < 65536; ++p) {
        uint32_t r, g, b;
        channels(p, r, g, b);
        screen.table[p] = inMask(r, screen.visual->red_mask) | inMask(g, screen.visual->green_mask) |
                          inMask(b, screen.visual->blue_mask);
    }
}

// A screen with a colour map: a cube of six levels a channel taken from the
// map (the closest ones where the map is fixed or full), each pixel shown as
// the nearest colour of the cube.
void fillColourCube(DirectScreen& screen) {
    constexpr int levels = 6;
    std::vector<unsigned long> cube(levels * levels * levels, BlackPixel(screen.display, DefaultScreen(screen.display)));
    for (int i = 0; i < levels * levels * levels; ++i) {
        XColor colour{};
        colour.red = static_cast<unsigned short>(i / (levels * levels) * 65535 / (levels - 1));
        colour.green = static_cast<unsigned short>(i / levels % levels * 65535 / (levels - 1));
        colour.blue = static_cast<unsigned short>(i % levels * 65535 / (levels - 1));
        colour.flags = DoRed | DoGreen | DoBlue;
        if (XAllocColor(screen.display, screen.colormap, &colour)) {
            cube[static_cast<size_t>(i)] = colour.pixel;
            screen.taken.push_back(colour.pixel);
        }
    }
    screen.table.resize(65536);
    auto level = [](uint32_t v) { return (v * (levels - 1) + 127) / 255; };
    for (uint32_t p = 0; p < 65536; ++p) {
        uint32_t r, g, b;
        channels(p, r, g, b);
        screen.table[p] = static_cast<uint32_t>(cube[(level(r) * levels + level(g)) * levels + level(b)]);
    }
}

} // namespace

namespace sdl {

namespace {

// The X display and window of an SDL window; false when it is no X window.
bool xWindowOf(SDL_Window* window, Display*& display, Window& xwindow) {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!window || !driver || std::strcmp(driver, "x11") != 0) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    display = info.info.x11.display;
    xwindow = info.info.x11.window;
    return true;
}

// The visual the game window is best made on when SDL cannot show frames on
// the one it chose: the screen's own visual, true colour or with a colour
// map, its frames sent to X directly; else one whose pixels SDL takes, one
// without an alpha channel first (a compositing window manager would show a
// window of 32-bit pixels with its unset alpha as clear); else any true-colour
// one, sent directly. `direct` tells that frames go to X directly. 0 when the
// screen offers none of these.
VisualID bestVisual(Display* display, int screen, bool& direct) {
    XVisualInfo wanted{};
    wanted.screen = screen;
    int count = 0;
    XVisualInfo* all = XGetVisualInfo(display, VisualScreenMask, &wanted, &count);
    VisualID best = 0;
    int bestRank = 0;
    bool bestTaken = false;
    for (int i = 0; i < count; ++i) {
        const XVisualInfo& v = all[i];
        const bool sdlTakes =
            v.c_class == TrueColor && surfaceFormat(display, v.visual, v.depth) != SDL_PIXELFORMAT_UNKNOWN;
        int rank = 0;
        if (v.visual == DefaultVisual(display, screen) && (trueColour(v.visual) || indexed(v.visual)))
            rank = 400;
        else if (sdlTakes)
            rank = v.depth <= 24 ? 300 + v.depth : 250;
        else if (v.c_class == TrueColor)
            rank = 100 + v.depth;
        if (rank > bestRank) {
            bestRank = rank;
            best = v.visualid;
            bestTaken = sdlTakes;
        }
    }
    if (all) XFree(all);
    direct = !bestTaken;
    return best;
}

DirectScreenPtr directScreenFor(Display* display, Window xwindow) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, xwindow, &attributes)) return nullptr;
    if (!trueColour(attributes.visual) && !indexed(attributes.visual)) return nullptr;
    DirectScreenPtr screen(new DirectScreen);
    screen->display = display;
    screen->window = xwindow;
    screen->visual = attributes.visual;
    screen->depth = attributes.depth;
    if (indexed(attributes.visual)) {
        // SDL gave the window a colour map of its own, which only a window
        // manager would install: the screen's own map is the one shown.
        const int number = XScreenNumberOfScreen(attributes.screen);
        if (attributes.visual != DefaultVisual(display, number)) return nullptr;
        screen->colormap = DefaultColormap(display, number);
        XSetWindowColormap(display, xwindow, screen->colormap);
        fillColourCube(*screen);
    } else {
        fillTrueColour(*screen);
    }
    screen->gc = XCreateGC(display, xwindow, 0, nullptr);
    return screen;
}

} // namespace

SDL_Window* makeGameWindow(const char* caption, int width, int height, DirectScreenPtr& direct) {
    direct.reset();
    SDL_Window* window = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                          SDL_WINDOW_HIDDEN);
    Display* display = nullptr;
    Window xwindow = 0;
    if (!xWindowOf(window, display, xwindow)) return window;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, xwindow, &attributes) ||
        surfaceFormat(display, attributes.visual, attributes.depth) != SDL_PIXELFORMAT_UNKNOWN)
        return window;  // SDL's own window surface serves
    bool toX = false;
    const VisualID visual = bestVisual(display, XScreenNumberOfScreen(attributes.screen), toX);
    if (!visual) return window;  // nothing serves: the first present tells
    if (visual != XVisualIDFromVisual(attributes.visual)) {
        SDL_DestroyWindow(window);
        char id[32];
        SDL_snprintf(id, sizeof id, "0x%lx", static_cast<unsigned long>(visual));
        SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, id);
        window = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                  SDL_WINDOW_HIDDEN);
        SDL_ResetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID);
        if (!xWindowOf(window, display, xwindow)) return window;
    }
    if (toX) direct = directScreenFor(display, xwindow);
    return window;
}

void withdrawFromScreen(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) || !xWindowOf(window, display, xwindow)) return;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, xwindow, &attributes) || attributes.map_state == IsUnmapped) return;
    XWithdrawWindow(display, xwindow, XScreenNumberOfScreen(attributes.screen));
    XSync(display, False);
}

DirectImage directImage(DirectScreen& screen, int width, int height) {
    DirectImage out;
    if (width <= 0 || height <= 0) return out;
    if (!screen.image || screen.image->width != width || screen.image->height != height) {
        if (screen.image) {
            screen.image->data = nullptr;
            XDestroyImage(screen.image);
        }
        screen.image = XCreateImage(screen.display, screen.visual, static_cast<unsigned>(screen.depth), ZPixmap, 0,
                                    nullptr, static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
        if (!screen.image) return out;
        const int bpp = screen.image->bits_per_pixel;
        if (bpp != 8 && bpp != 16 && bpp != 32) {
            XDestroyImage(screen.image);
            screen.image = nullptr;
            return out;
        }
        // Pixels in this machine's byte order; Xlib turns them round for a
        // server of the other order.
        const uint16_t one = 1;
        uint8_t first = 0;
        std::memcpy(&first, &one, 1);
        screen.image->byte_order = first ? LSBFirst : MSBFirst;
        screen.pixels.assign(static_cast<size_t>(screen.image->bytes_per_line) * static_cast<size_t>(height), 0);
        screen.image->data = reinterpret_cast<char*>(screen.pixels.data());
        out.remade = true;
    }
    out.pixels = screen.pixels.data();
    out.pitch = screen.image->bytes_per_line;
    out.bytesPerPixel = screen.image->bits_per_pixel / 8;
    out.width = width;
    out.height = height;
    out.table = screen.table.data();
    return out;
}

void sendDirect(DirectScreen& screen, const std::vector<SDL_Rect>& parts) {
    if (!screen.image) return;
    for (const SDL_Rect& r : parts)
        XPutImage(screen.display, screen.window, screen.gc, screen.image, r.x, r.y, r.x, r.y,
                  static_cast<unsigned>(r.w), static_cast<unsigned>(r.h));
    XFlush(screen.display);
}

int eventConnection() {
    GameWindow* window = firstWindow();
    Display* display = nullptr;
    Window xwindow = 0;
    if (!window || !window->impl() || !xWindowOf(window->impl()->window(), display, xwindow)) return -1;
    return ConnectionNumber(display);
}

} // namespace sdl

} // namespace pomlets

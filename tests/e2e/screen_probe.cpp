// Reads the X screen back for the end-to-end tests, whatever its depth and
// visual, and logs what the window manager does with a window.
//
//   screen_probe shot <file.png>         the root window as a picture
//   screen_probe mean <x> <y> <w> <h>    mean red, green, blue of a part of
//                                        the root window (0 to 255 each)
//   screen_probe frames <window id>      until that window is destroyed, one
//                                        line for each change of the frame
//                                        around it: "mapped", "unmapped" or
//                                        "decorated" (mapped with a title bar),
//                                        each with the frame's size; then "gone"
//
// The display is the one DISPLAY names.
// Qt before Xlib, whose macros (Status, Bool) Qt's headers do not survive.
#include <QImage>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Every pixel of the root window part as 0xRRGGBB.
std::vector<unsigned> readRoot(Display* display, int x, int y, int w, int h) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    XImage* image = XGetImage(display, root, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes,
                              ZPixmap);
    if (!image) {
        std::fprintf(stderr, "screen_probe: cannot read the screen\n");
        std::exit(1);
    }
    Visual* visual = attributes.visual;
    std::vector<unsigned> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    const bool indexed = visual->c_class == PseudoColor || visual->c_class == StaticColor ||
                         visual->c_class == GrayScale || visual->c_class == StaticGray;
    if (indexed) {
        // Every colour of the map, asked once.
        const int entries = visual->map_entries;
        std::vector<XColor> map(static_cast<size_t>(entries));
        for (int i = 0; i < entries; ++i) map[static_cast<size_t>(i)].pixel = static_cast<unsigned long>(i);
        XQueryColors(display, attributes.colormap, map.data(), entries);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const unsigned long p = XGetPixel(image, i, j);
                const XColor& c = map[p < static_cast<unsigned long>(entries) ? p : 0];
                pixels[static_cast<size_t>(j) * static_cast<size_t>(w) + static_cast<size_t>(i)] =
                    (unsigned{c.red} >> 8 << 16) | (unsigned{c.green} >> 8 << 8) | (unsigned{c.blue} >> 8);
            }
    } else {
        // A channel of any width scaled to 8 bits.
        auto channel = [](unsigned long p, unsigned long mask) {
            if (!mask) return 0u;
            int shift = 0;
            while (!((mask >> shift) & 1)) ++shift;
            const unsigned long top = mask >> shift, value = (p & mask) >> shift;
            return static_cast<unsigned>(value * 255 / top);
        };
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const unsigned long p = XGetPixel(image, i, j);
                pixels[static_cast<size_t>(j) * static_cast<size_t>(w) + static_cast<size_t>(i)] =
                    (channel(p, visual->red_mask) << 16) | (channel(p, visual->green_mask) << 8) |
                    channel(p, visual->blue_mask);
            }
    }
    XDestroyImage(image);
    return pixels;
}

// The top-level window that holds the client: its frame, or itself.
Window frameOf(Display* display, Window client) {
    const Window rootWindow = DefaultRootWindow(display);
    Window window = client;
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return client;
        if (children) XFree(children);
        if (parent == rootWindow || parent == 0) return window;
        window = parent;
    }
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }

// Logs the frame around the window until it goes, from the events
// themselves, so that a state that lasts a moment is seen as well: a frame
// counts as decorated when it is mapped and higher than the window it holds.
int watchFrames(Display* display, Window named) {
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    Window client = 0, frame = 0;
    bool mapped = false;
    int frameW = 0, frameH = 0, clientH = 0;
    std::string last;
    auto report = [&] {
        std::string state = "unmapped";
        if (mapped) state = frame != client && frameH > clientH ? "decorated" : "mapped";
        const std::string line = state + " " + std::to_string(frameW) + "x" + std::to_string(frameH);
        if (line == last) return;
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        last = line;
    };
    auto adopt = [&](Window found) {
        client = found;
        XSelectInput(display, client, StructureNotifyMask);
        frame = frameOf(display, client);
        XWindowAttributes f{}, c{};
        XGetWindowAttributes(display, frame, &f);
        XGetWindowAttributes(display, client, &c);
        mapped = f.map_state == IsViewable;
        frameW = f.width;
        frameH = f.height;
        clientH = c.height;
        report();
    };
    for (;;) {
        if (!client) adopt(named);
        XEvent e;
        XNextEvent(display, &e);
        if (!client) continue;
        switch (e.type) {
        case DestroyNotify:
            if (e.xdestroywindow.window == client) {
                std::printf("gone\n");
                std::fflush(stdout);
                return 0;
            }
            break;
        case ReparentNotify:
            if (e.xreparent.window == client) {
                frame = e.xreparent.parent == root ? client : e.xreparent.parent;
                XWindowAttributes f{};
                XGetWindowAttributes(display, frame, &f);
                mapped = f.map_state == IsViewable;
                frameW = f.width;
                frameH = f.height;
            }
            break;
        case MapNotify:
            if (e.xmap.window == frame) mapped = true;
            break;
        case UnmapNotify:
            if (e.xunmap.window == frame) mapped = false;
            break;
        case ConfigureNotify:
            if (e.xconfigure.window == frame) {
                frameW = e.xconfigure.width;
                frameH = e.xconfigure.height;
            }
            if (e.xconfigure.window == client) clientH = e.xconfigure.height;
            break;
        default: break;
        }
        report();
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screen_probe shot <file> | mean <x> <y> <w> <h> | frames <window id>\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "screen_probe: cannot open the display\n");
        return 1;
    }
    const std::string command = argv[1];
    const int screenW = DisplayWidth(display, DefaultScreen(display));
    const int screenH = DisplayHeight(display, DefaultScreen(display));
    if (command == "shot" && argc == 3) {
        const std::vector<unsigned> pixels = readRoot(display, 0, 0, screenW, screenH);
        QImage image(screenW, screenH, QImage::Format_RGB32);
        for (int y = 0; y < screenH; ++y)
            std::memcpy(image.scanLine(y), pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(screenW),
                        static_cast<size_t>(screenW) * 4);
        return image.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    if (command == "mean" && argc == 6) {
        const int x = std::atoi(argv[2]), y = std::atoi(argv[3]), w = std::atoi(argv[4]), h = std::atoi(argv[5]);
        if (w <= 0 || h <= 0 || x < 0 || y < 0 || x + w > screenW || y + h > screenH) return 2;
        const std::vector<unsigned> pixels = readRoot(display, x, y, w, h);
        unsigned long long r = 0, g = 0, b = 0;
        for (unsigned p : pixels) {
            r += p >> 16;
            g += (p >> 8) & 0xFF;
            b += p & 0xFF;
        }
        const unsigned long long n = pixels.size();
        std::printf("%llu %llu %llu\n", r / n, g / n, b / n);
        return 0;
    }
    if (command == "frames" && argc == 3) return watchFrames(display, std::strtoul(argv[2], nullptr, 0));
    std::fprintf(stderr, "screen_probe: unknown command\n");
    return 2;
}

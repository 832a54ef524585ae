// What the platform tells and asks of its surroundings beyond the file calls
// (platform/file_calls.h): entries of one table, so that something standing
// in for the desktop, the clock or an observer of the display can put its own
// in their place. The default entries do the real thing, or nothing where the
// platform only tells what it did; the platform itself only calls through the
// table.
#pragma once

#include <cstdint>
#include <string>

namespace pomlets {

class DirectDrawSurface7;

struct PlatformCalls {
    // Starts the desktop's opener on a web or mail address, detached; false
    // when it cannot be started.
    bool (*openAddress)(const std::string& address);
    // The local time of day in seconds since midnight, which seeds the generator.
    double (*secondsSinceMidnight)();
    // A text was drawn on the surface with its top-left corner at (x, y).
    void (*textDrawn)(const DirectDrawSurface7& surface, int32_t x, int32_t y, const std::string& text);
    // The surface is about to go.
    void (*surfaceGone)(const DirectDrawSurface7& surface);
    // The primary surface has presented this back buffer.
    void (*flipped)(const DirectDrawSurface7& backBuffer);
};

// The table the platform calls through.
PlatformCalls& platformCalls();
// The real entries, as the table holds them at program start.
const PlatformCalls& systemPlatformCalls();

} // namespace pomlets

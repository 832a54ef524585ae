// The built-in playlist and opening web addresses with the desktop.
#pragma once

#include <array>
#include <string>

#include "platform/start_values.h"

namespace pomlets {

// The four built-in tracks, in the order they are added; each entry is
// "Artist - Title" and names its file in "\music\".
inline const std::array<std::string, 4> builtInTracks = {
    "Varnock - Iron Lanterns",
    "Pellandry - Orchard at Noon",
    "Quillo - Paper Kites",
    "Brackwater - Slow River Lights",
};
POMLETS_NOT_RESTORED(builtInTracks, "a constant, made when the program starts");

// Empties fMain().songs and adds the four built-in tracks (the box sorts them).
void fillMusicList();
// Hands a web address to the desktop with "open"; the result is ignored and a
// target that cannot be opened does nothing.
void openExternal(const std::string& target);

} // namespace pomlets

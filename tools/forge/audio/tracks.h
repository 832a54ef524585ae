// The four built-in music tracks of the game's playlist.
#pragma once

#include <string>
#include <vector>

#include "composer.h"

namespace pomlets::forge {

// The playlist entry, which is also the track's file name in music/.
std::string playlistEntry(const SongPlan& plan);

// Varnock, Pellandry, Quillo and Brackwater, in that order.
const std::vector<SongPlan>& builtInTracks();

} // namespace pomlets::forge

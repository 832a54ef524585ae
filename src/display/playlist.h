// The music playlist: tracks of the main window's music list, streamed one
// after another in random order, never the same entry twice running.
#pragma once

namespace pomlets {

// Stops the current track and starts another entry of the playlist, chosen at
// random and differing from the one started last. A playlist of one entry
// plays that entry again; an empty one plays nothing.
void nextSong();
// Once every pass of a main loop: draws the title of the track at (80, 723),
// settled, so that a frame shows the same title whatever the number of passes,
// and starts the next track when the current one has ended.
void updateMusic();
// A new game tries every track again, also those that failed to open before.
void forgetBrokenTracks();

} // namespace pomlets

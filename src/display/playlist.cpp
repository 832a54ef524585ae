#include "display/playlist.h"

#include <set>
#include <string>

#include "common/brains.h"
#include "display/game_window.h"
#include "frontend/fmain.h"
#include "platform/bass.h"
#include "platform/file_names.h"
#include "platform/runtime.h"
#include "platform/start_values.h"
#include "platform/windows1252.h"

namespace pomlets {

namespace {

// Entries whose track could not be opened in this game: they are not tried
// again, so a broken track costs one attempt a game rather than one a pass.
std::set<std::string> brokenTracks;
POMLETS_RESTORED(brokenTracks);

} // namespace

void forgetBrokenTracks() { brokenTracks.clear(); }

void nextSong() {
    QListWidget* songs = fMain().songs;
    const int n = songs->count();
    BASS_StreamFree(musicStream);
    if (n == 0) return;

    const auto title = [&](int i) { return toWindows1252(songs->item(i)->text()); };
    const auto broken = [&](int i) { return brokenTracks.count(title(i)) != 0; };
    int playable = 0, others = 0;
    for (int i = 0; i < n; ++i) {
        if (broken(i)) continue;
        ++playable;
        if (i != lastSongIndex) ++others;
    }
    // Every track is broken: the game plays on silent.
    if (playable == 0) {
        musicStream = 0;
        return;
    }

    int i = static_cast<int>(vbInt(static_cast<double>(rnd()) * n));
    // With a single entry left there is no other choice: it plays again.
    while ((i == lastSongIndex && others > 0) || broken(i)) i = static_cast<int>(vbInt(static_cast<double>(rnd()) * n));

    // A title is a file name in the music folder and nothing else.
    const std::string chosen = title(i);
    nowPlaying = chosen;
    musicStream = isPlainFileName(chosen) ? BASS_StreamCreateFile(false, appPath("\\music\\" + chosen), 0, 0, 0) : 0;
    if (musicStream == 0 && musicOutputOpen) brokenTracks.insert(chosen);
    BASS_ChannelSetAttributes(musicStream, -1, musicVolume, -101);
    lastSongIndex = static_cast<int16_t>(i);
    BASS_StreamPlay(musicStream, false, 0);
}

void updateMusic() {
    // Drawn at every pass over a background made once a frame: drawn settled,
    // the title looks the same however many passes the frame has.
    backBuffer->DrawSettledText(80, 723, nowPlaying);
    // Without a music output nothing ever plays: the title stays as chosen
    // rather than the playlist being run through on every pass.
    if (musicOutputOpen && BASS_ChannelIsActive(musicStream) == 0) nextSong();
}

} // namespace pomlets

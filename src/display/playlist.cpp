#include "display/playlist.h"

#include <string>

#include "common/brains.h"
#include "display/game_window.h"
#include "frontend/fmain.h"
#include "platform/bass.h"
#include "platform/runtime.h"

namespace pomlets {

void nextSong() {
    QListWidget* songs = fMain().songs;
    const int n = songs->count();
    BASS_StreamFree(musicStream);
    if (n == 0) return;

    int i = static_cast<int>(vbInt(static_cast<double>(rnd()) * n));
    // With a single entry there is no other choice: it plays again.
    while (i == lastSongIndex && n > 1) i = static_cast<int>(vbInt(static_cast<double>(rnd()) * n));

    const std::string title = songs->item(i)->text().toStdString();
    const std::string path = appPath("\\music\\" + title);
    nowPlaying = title;
    musicStream = BASS_StreamCreateFile(false, path, 0, 0, 0);
    BASS_ChannelSetAttributes(musicStream, -1, musicVolume, -101);
    lastSongIndex = static_cast<int16_t>(i);
    BASS_StreamPlay(musicStream, false, 0);
}

void updateMusic() {
    backBuffer->DrawText(80, 723, nowPlaying, false);
    // Without a music output nothing ever plays: the title stays as chosen
    // rather than the playlist being run through on every pass.
    if (musicOutputOpen && BASS_ChannelIsActive(musicStream) == 0) nextSong();
}

} // namespace pomlets

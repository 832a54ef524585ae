#include "datafiles/music_list.h"

#include "frontend/fmain.h"
#include "platform/runtime.h"
#include "platform/windows1252.h"
#include "platform/win32.h"

namespace pomlets {

void fillMusicList() {
    QListWidget* songs = fMain().songs;
    songs->clear();
    for (const auto& track : builtInTracks) songs->addItem(fromWindows1252(track));
}

void openExternal(const std::string& target) {
    ShellExecuteA(nullptr, "open", target, "", programFolder(), 0);
}

} // namespace pomlets

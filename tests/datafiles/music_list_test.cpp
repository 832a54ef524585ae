// The built-in playlist and opening web addresses.
#include <gtest/gtest.h>
#include <vector>

#include "datafiles/music_list.h"
#include "frontend/fmain.h"
#include "platform/win32.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

TEST(MusicListTest, FillsTheFourTracksSorted) {
    fMain().songs->addItem("Old entry");
    fillMusicList();
    fillMusicList();
    std::vector<std::string> shown;
    for (int i = 0; i < fMain().songs->count(); ++i) shown.push_back(fMain().songs->item(i)->text().toStdString());
    EXPECT_EQ(shown, (std::vector<std::string>{"Brackwater - Slow River Lights", "Pellandry - Orchard at Noon",
                                               "Quillo - Paper Kites", "Varnock - Iron Lanterns"}));
}

TEST(MusicListTest, OpensWebAddressesOnly) {
    std::vector<std::string> opened;
    setShellRecorder([&](const std::string& target) { opened.push_back(target); });
    openExternal("https://varnock.example.com/");
    openExternal("");
    openExternal("no such program");
    setShellRecorder(nullptr);
    EXPECT_EQ(opened, (std::vector<std::string>{"https://varnock.example.com/"}));
}

} // namespace
} // namespace pomlets

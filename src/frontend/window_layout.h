// Where the controls of the windows between games lie, in twips (15 to a
// pixel), relative to their panel or window. The windows place their controls
// by this table and the forge paints the pictured buttons and wells under
// them by the same table, so a button and its click area never part.
// Plain numbers only: the forge includes it without the game's libraries.
#pragma once

#include <array>

namespace pomlets::layout {

struct Twips {
    int left, top, width, height;
};

// The main window's client area, and the wider panels 5, 6 and 7.
constexpr int clientWidth = 3615;
constexpr int clientHeight = 5175;
constexpr int widePanelWidth = 3635;

// Every panel's background picture.
constexpr Twips panelPicture{0, 120, 3615, 5070};

// Panel 0: mode and level choice.
constexpr Twips tMode{240, 600, 3135, 315};
constexpr Twips tModeDesc{240, 1080, 3135, 855};
constexpr Twips tLevels{240, 2520, 3135, 1785};
constexpr Twips main_BtnRun{2280, 4560, 1095, 495};

// Panel 1: high scores.
constexpr Twips scoreModes{240, 720, 3135, 315};
constexpr Twips scores_freestyle{240, 1440, 3135, 1980};

// Panel 2: credits.
constexpr Twips Text1{240, 720, 3135, 3735};

// Panel 3: store. The credits and the counts are wide enough for any 16-bit
// count, "-32768" included.
constexpr Twips tBank{630, 210, 660, 285};
constexpr Twips Image4{120, 720, 3360, 4350};
constexpr Twips Image5{20, 120, 1320, 570};
constexpr Twips tpurchase(int k) {
    constexpr std::array<int, 6> tops{1480, 2090, 2650, 3270, 3880, 4480};
    return {2850, tops[static_cast<unsigned>(k)], 555, 285};
}
constexpr Twips purchase(int k) {
    constexpr std::array<int, 6> tops{1440, 2040, 2640, 3240, 3840, 4440};
    return {2400, tops[static_cast<unsigned>(k)], 375, k == 2 ? 255 : 375};
}

// Panel 4: backgrounds.
constexpr Twips theme{240, 600, 3135, 315};
constexpr Twips themePic{600, 2070, 2395, 1800};
constexpr Twips HScroll1{240, 4380, 3135, 255};

// Panel 5: music.
constexpr Twips songs{360, 600, 2895, 2565};
constexpr Twips HScroll2{360, 3720, 2895, 255};

// Panel 6: bands.
constexpr Twips allBands{360, 900, 2895, 2565};
constexpr Twips launch{2160, 4440, 1095, 615};

// Panel 7: welcome.
constexpr Twips Image10{0, 120, 3615, 5070};
constexpr Twips Image6{2160, 4200, 1095, 495};

// The about window. Its picture shows the maker's web site under Image2,
// whose click opens that same site.
constexpr int fSplashWidth = 3765, fSplashHeight = 4500;
constexpr Twips fSplashImage2{600, 3720, 2535, 375};
constexpr const char* makerSite = "www.pomlets.example";

// The specimen box: pClick(0) to pClick(17), by index, and the description box.
constexpr int fPiecesWidth = 5760, fPiecesHeight = 4755;
constexpr Twips pClick(int index) {
    constexpr std::array<std::array<int, 2>, 18> at{{
        {240, 240}, {1080, 240}, {1920, 240}, {2760, 240}, {3840, 240}, {4680, 240},  // 0-5
        {360, 1320}, {1200, 1320}, {2040, 1320}, {2880, 1320}, {3720, 1320},          // 6-10
        {240, 2400}, {1080, 2400}, {1920, 2400}, {3000, 2400}, {3840, 2400},          // 11-15
        {4560, 1320},                                                                  // 16
        {4680, 2400},                                                                  // 17
    }};
    const auto& a = at[static_cast<unsigned>(index)];
    return {a[0], a[1], 735, 855};
}
constexpr Twips pieceDesc{120, 3360, 5415, 1215};

// The control room.
constexpr int fControlsWidth = 5400, fControlsHeight = 5400;

} // namespace pomlets::layout

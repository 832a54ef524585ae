// Every test program runs headless: Qt offscreen, SDL on its dummy drivers,
// with the game's files taken from the built program folder, and the record
// of drawn texts switched on.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/directx.h"
#include "platform/runtime.h"
#include "platform/win32.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    pomlets::setProgramFolder(POMLETS_PROGRAM_DIR);
    pomlets::DirectDrawSurface7::recordDrawnTexts(true);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    pomlets::shutDownMedia();
    return status;
}

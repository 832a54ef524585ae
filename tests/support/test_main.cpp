// Every test program runs headless: Qt offscreen, SDL on its dummy drivers,
// with the game's files taken from the built program folder.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/runtime.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    pomlets::setProgramFolder(POMLETS_PROGRAM_DIR);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

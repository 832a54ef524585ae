// Every test program runs headless: Qt offscreen, SDL on its dummy drivers,
// with the game's files taken from the built program folder, and the tests'
// port to the platform in place (support/platform_port.h). Each test starts from the program-start state and
// leaves nothing behind for the next.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/win32.h"
#include "support/platform_port.h"
#include "support/program_state.h"

namespace {

class ProgramStateReset : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { pomlets::testing::resetProgramState(); }
    void OnTestEnd(const ::testing::TestInfo&) override { pomlets::testing::resetProgramState(); }
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    pomlets::installPlatformPort();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ProgramStateReset);
    const int status = RUN_ALL_TESTS();
    pomlets::shutDownMedia();
    return status;
}

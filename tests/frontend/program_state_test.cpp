// The one reset of the whole program that every test starts and ends with.
#include <gtest/gtest.h>

#include <QComboBox>

#include "common/brains.h"
#include "datafiles/log.h"
#include "datafiles/scrambler.h"
#include "display/game_window.h"
#include "frontend/fmain.h"
#include "frontend/message_box.h"
#include "frontend/secondary_windows.h"
#include "platform/directx.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "support/program_folder.h"
#include "support/program_state.h"
#include "support/settable_clock.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

// Something changed in every module that keeps state between calls.
void changeEveryModule() {
    score = 1234;
    appendTo(fallingPieces, lastFalling).typeName = "Bomb";
    highScores[0] = {"Ann", 900};
    musicNotes = 7;
    fConsole().Show();
    initDX();
    logEnabled = true;
    openLog();
    initCipherTables(79, 94, 709);
    advanceCipherCursors();
    rnd();
    setRandomizeClock(5);
    setTickCount(2000000000);
    setTickCount(std::nullopt);  // runs on from there
    ShowCursor(false);
    ShowCursor(false);
    setShellRecorder([](const std::string&) {});
    keyboardState()[30] = 0x80;
    setMessageBoxResponder([](const ShownBox&) { return MsgResult::Ok; });
    msgBox("Please select a game mode.");
    fMain().tMode->addItem(QStringLiteral("Left over"));
    showFSplash();
}

void expectProgramStart() {
    EXPECT_EQ(score, 0);
    EXPECT_EQ(lastFalling, -1);
    EXPECT_TRUE(fallingPieces.empty());
    EXPECT_TRUE(highScores[0].name.empty());
    EXPECT_EQ(musicNotes, 0);
    EXPECT_FALSE(ddraw);
    EXPECT_FALSE(backBuffer);
    EXPECT_FALSE(fConsole().loaded());
    EXPECT_FALSE(logEnabled);
    EXPECT_FALSE(logFile.isOpen());
    EXPECT_FALSE(cipherReady);
    EXPECT_EQ(cipherCursorA, 0);
    EXPECT_EQ(cipherTableA[0], 0);
    EXPECT_EQ(rndState(), 0x050000u);
    // Not frozen, and counted from the program's start, not from 2000000000.
    EXPECT_LT(GetTickCount(), 1000000000);
    EXPECT_TRUE(cursorVisible());
    EXPECT_EQ(keyboardState()[30], 0);
    EXPECT_TRUE(shownBoxes().empty());
    EXPECT_EQ(fSplash(), nullptr);
    EXPECT_EQ(fMain().tMode->findText(QStringLiteral("Left over")), -1);
    EXPECT_EQ(programFolder(), POMLETS_PROGRAM_DIR);
}

TEST(ProgramState, OneResetPutsEveryModuleBack) {
    {
        TempProgramFolder folder;
        changeEveryModule();
        EXPECT_NE(programFolder(), POMLETS_PROGRAM_DIR);
        resetProgramState();
    }
    expectProgramStart();
}

// Run in one process, the second test finds nothing of the first.
TEST(ProgramState, ATestLeavesItsChangesBehind) {
    TempProgramFolder folder;
    changeEveryModule();
}

TEST(ProgramState, TheNextTestStartsFromTheProgramStart) { expectProgramStart(); }

} // namespace
} // namespace pomlets::testing

// A started main window on a scratch copy of the program folder, with every
// message box and input box answered and recorded.
#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "common/brains.h"
#include "datafiles/log.h"
#include "datafiles/scrambler.h"
#include "display/game_window.h"
#include "frontend/fmain.h"
#include "frontend/message_box.h"
#include "frontend/secondary_windows.h"
#include "frontend/startup.h"
#include "platform/directx.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "support/program_folder.h"
#include "support/program_state.h"
#include "support/settable_clock.h"
#include "support/platform_port.h"

namespace pomlets::testing {

class FrontendTest : public ::testing::Test {
protected:
    void SetUp() override {
        setMessageBoxResponder([this](const ShownBox&) { return answer; });
        setInputBoxResponder([this](const ShownBox&) { return typedName; });
        setShellRecorder([this](const std::string& target) { opened.push_back(target); });
        buildKeyTables();
        folder = std::make_unique<TempProgramFolder>();
    }

    void TearDown() override {
        // Everything let go before its folder goes.
        resetProgramState();
        folder.reset();
    }

    // Runs the program start's load step: the main window loaded, not shown.
    FMain& start() {
        loadFMain();
        return fMain();
    }

    // Writes a plain list and scrambles it into a data file of the copy.
    void writeScrambled(const std::string& relative, const std::vector<std::string>& lines) {
        std::string plain;
        for (const auto& line : lines) plain += line + "\r\n";
        folder->writeText("plain.txt", plain);
        encryptFile(folder->file("plain.txt"), folder->file(relative));
        deleteFile(folder->file("plain.txt"));
    }

    // Holds Escape down from the first pass of the main loop on, so the game
    // ends as soon as the loop accepts a key. onPass runs at every pass of the
    // game as well. sawGameRunning tells whether a game ran with the main
    // window out of use.
    void playUntilEscape(FMain& w, std::function<void()> onPass = {}) {
        QTimer pass;
        pass.setInterval(0);
        QObject::connect(&pass, &QTimer::timeout, [&] {
            if (!w.gameRunning() || !ddraw) return;
            sawGameRunning = sawGameRunning || !w.isEnabled();
            if (onPass) onPass();
            injectKey(dik::ESCAPE, true);
        });
        pass.start();
        w.main_BtnRun->click();
        pass.stop();
        injectKey(dik::ESCAPE, false);
        keyboardState().fill(0);
    }

    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : shownBoxes()) texts.push_back(box.text);
        return texts;
    }

    // The panels shown (not hidden), by index.
    std::vector<int> shownPanels() const {
        std::vector<int> shown;
        for (int i = 0; i < 8; ++i)
            if (!fMain().frame[static_cast<size_t>(i)]->isHidden()) shown.push_back(i);
        return shown;
    }

    std::unique_ptr<TempProgramFolder> folder;
    MsgResult answer = MsgResult::Ok;
    std::string typedName;
    std::vector<std::string> opened;
    bool sawGameRunning = false;
};

// Games played through the Play command on the still clock, which the test
// moves on at every pass; the clock, the seeding clock, the keys and the
// display objects are given back after each test.
class StillClockGameTest : public FrontendTest {
protected:
    void TearDown() override {
        keyboardState().fill(0);
        setTickCount(std::nullopt);
        setRandomizeClock(-1);
        FrontendTest::TearDown();
        resetDisplayObjects();
    }
};

} // namespace pomlets::testing

// A started main window on a scratch copy of the program folder, with every
// message box and input box answered and recorded.
#pragma once

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "common/brains.h"
#include "datafiles/log.h"
#include "datafiles/scrambler.h"
#include "frontend/fmain.h"
#include "frontend/message_box.h"
#include "frontend/secondary_windows.h"
#include "frontend/startup.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "support/program_folder.h"
#include "support/program_state.h"

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
};

} // namespace pomlets::testing

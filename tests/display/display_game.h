// What the display tests share: a scratch program folder with the log open,
// a game set up and torn down as the Play command does, and small file makers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/program_folder.h"

namespace pomlets::testing {

// One log line, split into its parts.
struct LogLine {
    bool indented = false;
    std::string text;  // after "<time> :: ", or the whole line when unstamped
};

class DisplayGameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The Play command's order: the game window shown, then initDX.
    void startGame();
    // What a main loop's end does: endGame set, then destroy.
    void endTheGame();

    // The log's event lines so far (the opening line left out).
    std::vector<LogLine> logLines() const;
    std::vector<std::string> logTexts() const;

    // Replaces an asset folder of the scratch program folder (a link to the
    // built one) by a real copy, or an empty folder, so that files may be
    // removed or added.
    std::string ownFolder(const std::string& name, bool copyBuilt = true) const;

    std::unique_ptr<TempProgramFolder> folder;
};

// Writes a 24-bit BMP of one colour (&HRRGGBB).
void writeSolidBmp(const std::string& path, int width, int height, uint32_t rgb);
// Writes a PCM WAV of silence, 22050 Hz, 16-bit, stereo.
void writeSilentWav(const std::string& path, double seconds);

// The ten lines initDX writes, in order.
const std::vector<std::string>& initDXLines();

} // namespace pomlets::testing

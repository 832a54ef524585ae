#include "display_game.h"

#include <filesystem>
#include <fstream>

#include "common/brains.h"
#include "datafiles/log.h"
#include "display/game_window.h"
#include "platform/runtime.h"
#include "support/program_state.h"

namespace fs = std::filesystem;

namespace pomlets::testing {

void DisplayGameTest::SetUp() {
    folder = std::make_unique<TempProgramFolder>();
    logEnabled = true;
    openLog();
}

void DisplayGameTest::TearDown() {
    // Everything let go before its folder goes.
    resetProgramState();
    folder.reset();
}

void DisplayGameTest::startGame() {
    endGame = false;
    fConsole().Show();
    initDX();
}

void DisplayGameTest::endTheGame() {
    endGame = true;
    destroy();
}

std::vector<LogLine> DisplayGameTest::logLines() const {
    logFile.flush();
    std::vector<LogLine> lines;
    TextFile in(folder->file("log.txt"), TextFile::Mode::Input);
    bool first = true;
    while (!in.eof()) {
        std::string line = in.readLine();
        if (first) {
            first = false;
            continue;
        }
        LogLine entry;
        entry.indented = line.rfind("   ", 0) == 0;
        const auto stamp = line.find(" :: ");
        entry.text = stamp == std::string::npos ? line : line.substr(stamp + 4);
        lines.push_back(entry);
    }
    return lines;
}

std::vector<std::string> DisplayGameTest::logTexts() const {
    std::vector<std::string> texts;
    for (const LogLine& line : logLines()) texts.push_back(line.text);
    return texts;
}

std::string DisplayGameTest::ownFolder(const std::string& name, bool copyBuilt) const {
    const fs::path target = folder->file(name);
    const fs::path source = fs::path(POMLETS_PROGRAM_DIR) / name;
    fs::remove(target);  // the link only
    fs::create_directories(target);
    if (copyBuilt && fs::exists(source)) fs::copy(source, target, fs::copy_options::recursive);
    return target.string();
}

namespace {
void put16(std::ofstream& out, uint32_t v) {
    out.put(static_cast<char>(v & 0xFF));
    out.put(static_cast<char>((v >> 8) & 0xFF));
}
void put32(std::ofstream& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
} // namespace

void writeSolidBmp(const std::string& path, int width, int height, uint32_t rgb) {
    fs::create_directories(fs::path(path).parent_path());
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
    std::ofstream out(path, std::ios::binary);
    out.put('B');
    out.put('M');
    put32(out, 54 + pixelBytes);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, pixelBytes);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = 0; y < height; ++y) {
        uint32_t written = 0;
        for (int x = 0; x < width; ++x) {
            out.put(static_cast<char>(rgb & 0xFF));
            out.put(static_cast<char>((rgb >> 8) & 0xFF));
            out.put(static_cast<char>((rgb >> 16) & 0xFF));
            written += 3;
        }
        for (; written < rowBytes; ++written) out.put(0);
    }
}

void writeSilentWav(const std::string& path, double seconds) {
    fs::create_directories(fs::path(path).parent_path());
    const uint32_t rate = 22050, channels = 2, bytesPerSample = 2;
    const uint32_t frames = static_cast<uint32_t>(seconds * rate);
    const uint32_t dataBytes = frames * channels * bytesPerSample;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, channels);
    put32(out, rate);
    put32(out, rate * channels * bytesPerSample);
    put16(out, channels * bytesPerSample);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    for (uint32_t i = 0; i < dataBytes; ++i) out.put(0);
}

const std::vector<std::string>& initDXLines() {
    static const std::vector<std::string> lines = {
        "initDX - getting screen resolution",   "initDX - initializing directdraw",
        "initDX - setting up the primary surface", "initDX - setting up the back buffer",
        "initDX - test flipping...",            "initDX - setting up directinput",
        "initDX - setting up the keyboard",     "initDX - setting up the mouse",
        "initDX - setting up the source color key", "initDX - setting up sound system",
    };
    return lines;
}

} // namespace pomlets::testing

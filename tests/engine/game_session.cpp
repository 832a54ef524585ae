#include "game_session.h"

#include <filesystem>

#include "common/brains.h"
#include "datafiles/level_files.h"
#include "datafiles/scrambler.h"
#include "display/assets.h"
#include "display/game_window.h"
#include "display/piece_table.h"
#include "frontend/fmain.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "support/program_state.h"
#include "support/settable_clock.h"
#include "support/platform_port.h"

namespace pomlets::testing {

namespace {

// The first theme folder of the program folder.
std::string someTheme() {
    std::string best;
    for (const auto& entry : std::filesystem::directory_iterator(appPath("\\themes")))
        if (entry.is_directory() && (best.empty() || entry.path().filename().string() < best))
            best = entry.path().filename().string();
    return best;
}

void chooseMode(const std::string& mode) {
    QComboBox* modes = fMain().tMode;
    const QString text = QString::fromLatin1(mode.c_str());
    if (modes->findText(text) < 0) modes->addItem(text);
    modes->setCurrentIndex(modes->findText(text));
}

} // namespace

GameSession::GameSession(const std::string& mode, uint32_t seed) {
    resetProgramState();
    folder_ = std::make_unique<TempProgramFolder>();
    initCipherTables(79, 94, 709);
    setTickCount(startTime);
    setRandomizeClock(36000 + startTime / 1000.0);
    setRndState(seed);
    chooseMode(mode);
    themeName = someTheme();
    gameMode = "Freestyle";
    fConsole().Show();
    initDX();
    initVariables();
    initPieces();
    currentLevel.timerMinuteStart = startTime;
    loadLevel(appPath("\\levels\\2193"), false);
    clearDrawnTexts(*backBuffer);
}

// Everything let go before the folder copy goes.
GameSession::~GameSession() { resetProgramState(); }

EveryPass::EveryPass(std::function<void()> onPass) {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, std::move(onPass));
    timer_.start();
}

EveryPass::~EveryPass() { timer_.stop(); }

void advanceClock(int32_t ms) {
    advanceTickCount(ms);
    setRandomizeClock(36000 + GetTickCount() / 1000.0);
}

void tapKey(int directInputCode) {
    injectKey(directInputCode, true);
    injectKey(directInputCode, false);
}

bool drewText(int32_t x, int32_t y, const std::string& text) {
    for (const auto& drawn : drawnTexts(*backBuffer))
        if (drawn.x == x && drawn.y == y && (text.empty() || drawn.text == text)) return true;
    return false;
}

std::string bannerText() {
    static const std::string glyphChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ! 0123456789";
    std::string text;
    for (int i = 0; i <= lastMessageGlyph; ++i) {
        const SurfaceRef& glyph = messageGlyphs[static_cast<size_t>(i)].glyph;
        char c = '?';
        for (size_t g = 0; g < glyphSurfaces.size(); ++g)
            if (glyph && glyphSurfaces[g] == glyph) c = glyphChars[g];
        text += c;
    }
    return text;
}

} // namespace pomlets::testing

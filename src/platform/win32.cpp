// The few Windows calls: the cursor, opening web and mail addresses, starting
// another program, and delivering pending window events. The tick count lives
// with its clock, in tick_clock.cpp.
#include "platform/win32.h"

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/runtime.h"
#include "platform/windows1252.h"
#include "platform/sdl_internal.h"
#include "platform/tick_clock.h"

namespace pomlets {

namespace {

int32_t cursorCount = 0;

std::function<void(const std::string&)>& shellRecorder() {
    static std::function<void(const std::string&)> recorder;
    return recorder;
}

bool startsWithNoCase(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

} // namespace

// --- the cursor -------------------------------------------------------------------

int32_t ShowCursor(bool show) {
    cursorCount += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorCount;
}

bool cursorVisible() { return cursorCount >= 0; }

// --- the shell --------------------------------------------------------------------

int32_t ShellExecuteA(HWND /*window*/, const std::string& operation, const std::string& file,
                      const std::string& /*parameters*/, const std::string& /*directory*/, int32_t /*showCmd*/) {
    constexpr int32_t handedOver = 42, ignored = 31;
    const bool open = operation.size() == 4 && startsWithNoCase(operation, "open");
    // Only web and mail addresses are opened; the targets come from data files.
    const bool address = startsWithNoCase(file, "http:") || startsWithNoCase(file, "https:") ||
                         startsWithNoCase(file, "mailto:");
    const bool clean = std::none_of(file.begin(), file.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    if (!open || !address || !clean) return ignored;
    if (auto& recorder = shellRecorder()) {
        recorder(file);
        return handedOver;
    }
    return QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{fromWindows1252(file)})
               ? handedOver
               : ignored;
}

void setShellRecorder(std::function<void(const std::string&)> recorder) { shellRecorder() = std::move(recorder); }

void resetWindowsCalls() {
    resetTickClock();
    cursorCount = 0;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(SDL_ENABLE);
    shellRecorder() = nullptr;
}

bool startProgram(const std::string& path) {
    struct stat info{};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || ::access(path.c_str(), X_OK) != 0)
        return false;
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return QProcess::startDetached(QString::fromLocal8Bit(path.c_str()), {}, QString::fromLocal8Bit(folder.c_str()));
}

// --- pending events ---------------------------------------------------------------

void processPendingEvents() {
    if (SDL_WasInit(SDL_INIT_EVENTS)) {
        SDL_Event e;
        // A key-down handler may run a nested loop that comes back here; each
        // event is taken from the queue before it is handled.
        while (SDL_PollEvent(&e)) {
            switch (e.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const int code = directInputCode(e.key.keysym.scancode);
                if (code) keyboardState()[static_cast<size_t>(code)] = e.type == SDL_KEYDOWN ? 0x80 : 0;
                if (e.type == SDL_KEYDOWN) {
                    GameWindow* w = e.key.windowID ? sdl::windowById(e.key.windowID) : sdl::firstWindow();
                    if (w && w->onKeyDown) {
                        const auto handler = w->onKeyDown;
                        handler();
                    }
                }
                break;
            }
            case SDL_WINDOWEVENT: {
                GameWindow* w = sdl::windowById(e.window.windowID);
                if (!w) break;
                switch (e.window.event) {
                case SDL_WINDOWEVENT_FOCUS_GAINED: w->handleFocus(true); break;
                case SDL_WINDOWEVENT_FOCUS_LOST: w->handleFocus(false); break;
                case SDL_WINDOWEVENT_MINIMIZED: w->minimised_ = true; break;
                // The window's pixels may be gone: the next frame is sent whole.
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SIZE_CHANGED: w->impl()->forgetShown(); break;
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                    w->minimised_ = false;
                    w->impl()->forgetShown();
                    break;
                case SDL_WINDOWEVENT_CLOSE: {
                    bool allowed = true;
                    if (w->onCloseRequest) {
                        const auto handler = w->onCloseRequest;
                        allowed = handler();
                    }
                    // The handler may have closed the window itself, or destroyed it.
                    w = sdl::windowById(e.window.windowID);
                    if (allowed && w) w->hide();
                    break;
                }
                default: break;
                }
                break;
            }
            default: break;
            }
        }
    }
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

} // namespace pomlets

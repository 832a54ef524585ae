// The few Windows calls: the cursor, opening web and mail addresses, starting
// another program, and delivering pending window events. The tick count lives
// with its clock, in tick_clock.cpp.
#include "platform/win32.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_calls.h"
#include "platform/platform_calls.h"
#include "platform/runtime.h"
#include "platform/windows1252.h"
#include "platform/sdl_internal.h"
#include "platform/start_values.h"

namespace pomlets {

namespace {

int32_t cursorCount = 0;
// The cursor shown again with the count.
POMLETS_RESTORED_BY(cursorCount, [] {
    cursorCount = 0;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(SDL_ENABLE);
});

bool startsWithNoCase(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

bool isAsciiLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// A host name: labels of letters, digits and inner hyphens, joined by dots.
// Returns where the host ends (at from when there is none).
size_t hostEnd(const std::string& text, size_t from) {
    size_t at = from;
    for (;;) {
        const size_t label = at;
        while (at < text.size() && (isAsciiLetterOrDigit(text[at]) || text[at] == '-')) ++at;
        if (at == label || text[label] == '-' || text[at - 1] == '-') return from;
        if (at + 1 < text.size() && text[at] == '.' && isAsciiLetterOrDigit(text[at + 1])) {
            ++at;
            continue;
        }
        return at;
    }
}

// http:// or https://, a host, an optional port, then an optional path,
// query and fragment of the characters a web address may hold (a "%" only
// with two hex digits). Nothing else: no user name, no blank, no control
// or non-ASCII character.
bool isPlainWebAddress(const std::string& text) {
    size_t at = startsWithNoCase(text, "http://") ? 7 : startsWithNoCase(text, "https://") ? 8 : 0;
    if (at == 0) return false;
    const size_t host = at;
    at = hostEnd(text, host);
    if (at == host) return false;
    if (at < text.size() && text[at] == ':') {
        const size_t port = ++at;
        while (at < text.size() && at - port < 5 && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
        if (at == port) return false;
    }
    if (at < text.size() && text[at] != '/' && text[at] != '?' && text[at] != '#') return false;
    static constexpr std::string_view marks = "-._~:/?#[]@!$&'()*+,;=";
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '%') {
            if (at + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[at + 1])) ||
                !std::isxdigit(static_cast<unsigned char>(text[at + 2])))
                return false;
            at += 2;
        } else if (!isAsciiLetterOrDigit(c) && marks.find(c) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

// mailto: and one plain address: a local part of the characters an address
// may hold without quoting (but "%", which could smuggle in a "?"), one
// "@", a host, and nothing after it: no second address, no query such as
// "?attach=".
bool isPlainMailAddress(const std::string& text) {
    if (!startsWithNoCase(text, "mailto:")) return false;
    static constexpr std::string_view marks = "!#$&'*+-/=^_`{|}~";
    size_t at = 7;
    const size_t local = at;
    while (at < text.size() && (isAsciiLetterOrDigit(text[at]) || marks.find(text[at]) != std::string_view::npos ||
                                (text[at] == '.' && at > local && text[at - 1] != '.')))
        ++at;
    if (at == local || text[at - 1] == '.' || at == text.size() || text[at] != '@') return false;
    const size_t host = at + 1;
    return hostEnd(text, host) == text.size() && text.size() > host;
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
    // Only plain web and mail addresses are opened; the targets come from
    // data files, and the desktop's opener and the programs behind it take
    // much else for options, files or orders.
    if (!open || !(isPlainWebAddress(file) || isPlainMailAddress(file))) return ignored;
    return platformCalls().openAddress(file) ? handedOver : ignored;
}

bool startProgram(const std::string& path) {
    struct stat info{};
    const FileCalls& calls = fileCalls();
    if (calls.stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || calls.access(path.c_str(), X_OK) != 0)
        return false;
    // The path goes to the system as the bytes it is: a folder whose name is
    // no UTF-8 text still names the same program.
    const std::string folder = std::filesystem::path(path).parent_path().string();
    char* const arguments[] = {const_cast<char*>(path.c_str()), nullptr};
    // Started by a child that ends at once, so that the program belongs to
    // no one here and the game never waits for it. Between fork and exec
    // only calls that are safe in a child of a threaded process.
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        ::setsid();
        const pid_t program = ::fork();
        if (program != 0) ::_exit(program < 0 ? 1 : 0);
        // What the game ignores or holds back is not the program's business.
        for (int sig = 1; sig < NSIG; ++sig) ::signal(sig, SIG_DFL);
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (::chdir(folder.c_str()) != 0) ::_exit(127);
        ::execv(path.c_str(), arguments);
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// --- the way back to the game ----------------------------------------------------

class BringBackOnInput::Filter : public QObject {
public:
    explicit Filter(GameWindow* window) : window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
            // Taken here: the window it went to is out of use meanwhile.
            if (window_ && window_->exists()) window_->restore();
            return true;
        default: return QObject::eventFilter(watched, event);
        }
    }

private:
    GameWindow* window_;
};

BringBackOnInput::BringBackOnInput(GameWindow* window) : filter_(std::make_unique<Filter>(window)) {
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(filter_.get());
}

BringBackOnInput::~BringBackOnInput() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(filter_.get());
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
                case SDL_WINDOWEVENT_FOCUS_GAINED: w->impl()->noteFocus(true); break;
                case SDL_WINDOWEVENT_FOCUS_LOST: w->impl()->noteFocus(false); break;
                case SDL_WINDOWEVENT_MINIMIZED: w->impl()->minimised = true; break;
                // The window's pixels may be gone: the next frame is sent whole.
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SIZE_CHANGED: w->impl()->forgetShown(); break;
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                    w->impl()->minimised = false;
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

#include "platform/process_guard.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include "platform/file_calls.h"
#include "platform/process_guard_internal.h"

#include "platform/start_values.h"

namespace pomlets {

namespace {

struct HeldLock {
    std::string folder;
    int fd = -1;
};

HeldLock& heldLock() {
    static HeldLock held;
    POMLETS_LOCAL_RESTORED_BY(held, unlockProgramFolder);
    return held;
}

} // namespace

int lockProgramFolder(const std::string& folder) {
    HeldLock& held = heldLock();
    if (held.fd >= 0 && held.folder == folder) return 0;
    unlockProgramFolder();
    const std::string path = folder + "/" + folderLockName;
    // Read-only: a lock file that another player of a shared folder made is
    // locked as well as one's own. O_CLOEXEC: the help viewer and the web
    // browser, started from the game, do not inherit the lock.
    FileCalls& calls = fileCalls();
    const int fd = calls.open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) return errno;
    struct stat info{};
    if (calls.fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        calls.close(fd);
        return EEXIST;
    }
    if (calls.flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int cause = errno;
        calls.close(fd);
        if (cause == ENOLCK || cause == EOPNOTSUPP || cause == EINVAL) return 0;
        return cause;
    }
    held = {folder, fd};
    return 0;
}

void unlockProgramFolder() {
    HeldLock& held = heldLock();
    if (held.fd >= 0) fileCalls().close(held.fd);
    held = {};
}

void ignoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

bool displayUnreachable(std::string& name) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool chosen = platform && *platform;
    if (chosen && std::strncmp(platform, "xcb", 3) != 0) return false;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!chosen && wayland && *wayland) return false;
    const char* display = std::getenv("DISPLAY");
    name = display ? display : "";
    if (name.empty()) return true;
    // The X protocol library that the windows' toolkit uses itself; without
    // it the toolkit says what it misses.
    void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!xcb) return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
    if (!connect || !hasError || !disconnect) return false;
    void* connection = connect(display, nullptr);
    const bool reached = connection && hasError(connection) == 0;
    if (connection) disconnect(connection);
    return !reached;
}

namespace {

int leavePipe[2] = {-1, -1};
POMLETS_NOT_RESTORED(leavePipe, "made once, when the signals are first watched, and kept for the whole run");
volatile std::sig_atomic_t leaveAsked = 0;
POMLETS_RESTORED_BY(leaveAsked, [] { forgetLeaveRequest(); });

extern "C" void onLeaveSignal(int) {
    const int saved = errno;
    leaveAsked = 1;
    if (leavePipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(leavePipe[1], &byte, 1);
    }
    errno = saved;
}

DisplayLostHandler displayLost = nullptr;
POMLETS_NOT_RESTORED(displayLost, "set once, when the display is first watched");

extern "C" int onDisplayConnectionBroken(void*) {
    if (displayLost) displayLost();
    ::_exit(1);
}

} // namespace

int watchLeaveSignals() {
    if (leavePipe[0] < 0 && ::pipe2(leavePipe, O_CLOEXEC | O_NONBLOCK) != 0) leavePipe[0] = leavePipe[1] = -1;
    struct sigaction action{};
    action.sa_handler = onLeaveSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        // A signal that the starter told the program to ignore (nohup) stays ignored.
        struct sigaction before{};
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }
    return leavePipe[0];
}

bool leaveRequested() { return leaveAsked != 0; }

void noteLeaveRequest() { onLeaveSignal(0); }

void drainLeaveSignals() {
    char bytes[64];
    while (leavePipe[0] >= 0 && ::read(leavePipe[0], bytes, sizeof bytes) > 0) {
    }
}

void forgetLeaveRequest() {
    drainLeaveSignals();
    leaveAsked = 0;
}

void onDisplayLost(DisplayLostHandler leave) { displayLost = leave; }

void watchDisplayConnections() {
    // Only a library that is loaded already: nothing is loaded for it.
    void* x11 = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!x11) return;
    using Handler = int (*)(void*);
    using SetHandler = Handler (*)(Handler);
    if (const auto set = reinterpret_cast<SetHandler>(::dlsym(x11, "XSetIOErrorHandler")))
        set(onDisplayConnectionBroken);
    ::dlclose(x11);
}

} // namespace pomlets

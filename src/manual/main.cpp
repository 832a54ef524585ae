// manual: the game's illustrated help viewer. One window; it takes no command
// line, reads no files and saves nothing. It ends when its window is closed,
// when the system asks it to end (SIGTERM, SIGHUP, SIGINT), and when its
// display goes away.
#include <QApplication>
#include <QSocketNotifier>
#include <QString>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "manual/form1.h"

namespace {

// The X display the window would open on, when it cannot be reached: false
// when it can, or when the window goes elsewhere (another Qt platform, a
// Wayland session). An empty name: no display is set at all.
bool displayUnreachable(std::string& name) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool chosen = platform && *platform;
    if (chosen && std::strncmp(platform, "xcb", 3) != 0) return false;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!chosen && wayland && *wayland) return false;
    const char* display = std::getenv("DISPLAY");
    name = display ? display : "";
    if (name.empty()) return true;
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

int quitPipe[2] = {-1, -1};

extern "C" void onQuitSignal(int) {
    const int saved = errno;
    const char byte = 1;
    if (quitPipe[1] >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(quitPipe[1], &byte, 1);
    }
    errno = saved;
}

// The signals only wake the event loop, which then ends as a closed window does.
void quitOnSignals(QApplication& app) {
    if (::pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QApplication::quit(); });
    struct sigaction action{};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        struct sigaction before{};
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }
}

QtMessageHandler earlierHandler = nullptr;

// Qt tells a broken X connection, then calls exit, whose static destructors
// would act on the dead display: the viewer, which keeps nothing, ends here.
void watchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (earlierHandler) earlierHandler(type, context, message);
    if (message.startsWith(QLatin1String("The X11 connection broke"))) ::_exit(1);
}

// True, with the line said, when the display cannot be reached.
bool toldNoDisplay() {
    std::string display;
    if (!displayUnreachable(display)) return false;
    if (display.empty())
        std::fprintf(stderr, "The Pomlets manual needs a graphical display, and none is set (DISPLAY is empty).\n");
    else
        std::fprintf(stderr, "The Pomlets manual needs a graphical display and could not reach \"%s\".\n",
                     display.c_str());
    return true;
}

// While Qt opens its display: a display that went away after the check (or a
// platform Qt cannot load) is a fatal message, after which Qt would abort. The
// start ends as with no display, with status 1.
void startMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && toldNoDisplay()) ::_exit(1);
    if (earlierHandler) earlierHandler(type, context, message);
    if (type == QtFatalMsg) ::_exit(1);
}

} // namespace

int main(int, char** argv) {
    // A file-size limit makes a write to a full standard error fail instead
    // of ending the viewer before its window shows.
    std::signal(SIGXFSZ, SIG_IGN);
    if (toldNoDisplay()) return 1;
    // The pictures are compiled into the program.
    Q_INIT_RESOURCE(manual_pictures);
    // The command line is not looked at, not even by Qt: only the program's name is passed on.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    earlierHandler = qInstallMessageHandler(startMessages);
    QApplication app(qtArgc, qtArgv);
    qInstallMessageHandler(earlierHandler);
    QApplication::setApplicationName(QStringLiteral("manual"));
    quitOnSignals(app);
    earlierHandler = qInstallMessageHandler(watchMessages);
    pomlets::Form1 window;
    window.show();
    return QApplication::exec();
}

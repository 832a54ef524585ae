// The Pomlets program: builds the scrambler's key tables before anything
// else, loads the main window and shows it, then waits for the player until
// the main window is closed, or until the system asks it to end.
#include <QApplication>
#include <QThreadPool>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "frontend/artwork.h"
#include "frontend/fmain.h"
#include "frontend/leaving.h"
#include "frontend/startup.h"
#include "platform/process_guard.h"
#include "platform/win32.h"

namespace {

// True, with the line said, when the display cannot be reached.
bool toldNoDisplay() {
    std::string display;
    if (!pomlets::displayUnreachable(display)) return false;
    if (display.empty())
        std::fprintf(stderr, "Pomlets needs a graphical display, and none is set (DISPLAY is empty).\n");
    else
        std::fprintf(stderr, "Pomlets needs a graphical display and could not reach \"%s\".\n", display.c_str());
    return true;
}

QtMessageHandler qtOwnMessages = nullptr;

// While Qt opens its display: a display that went away after the check above
// (or a platform Qt cannot load) is a fatal message, after which Qt aborts. It
// ends the start as a display that was never there does, with status 1; the
// program has touched no file yet.
void startMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && toldNoDisplay()) {
        std::fflush(stderr);
        ::_exit(1);
    }
    if (qtOwnMessages) qtOwnMessages(type, context, message);
    if (type == QtFatalMsg) {
        std::fflush(stderr);
        ::_exit(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    // Before anything writes, Qt's first warning included.
    pomlets::ignoreFileSizeSignal();
    if (toldNoDisplay()) return 1;
    pomlets::buildKeyTables();
    qtOwnMessages = qInstallMessageHandler(startMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtOwnMessages);
    pomlets::watchForLeaving();
    // Qt spreads the drawing of large pictures over a pool of threads that
    // then idle for half a minute, into the game. The windows' pictures are
    // small: one pool thread draws them and ends as soon as it is done.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    QThreadPool::globalInstance()->setExpiryTimeout(0);
    QApplication::setApplicationName(QStringLiteral("Pomlets"));
    // Menus, message boxes and the input box in the windows' own font.
    QApplication::setFont(pomlets::windowFont());
    if (!pomlets::loadFMain()) {
        pomlets::releaseFMain();
        return 1;
    }
    pomlets::fMain().show();
    const int status = QApplication::exec();
    pomlets::releaseFMain();
    pomlets::shutDownMedia();
    return status;
}

#include "frontend/leaving.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <unistd.h>

#include "datafiles/log.h"
#include "frontend/fmain.h"
#include "platform/process_guard.h"
#include "platform/start_values.h"

namespace pomlets {

namespace {

bool onTheWayOut = false;
POMLETS_RESTORED(onTheWayOut);
QtMessageHandler earlierHandler = nullptr;
POMLETS_NOT_RESTORED(earlierHandler, "Qt's handler before ours, taken once when the program starts to watch");

// Every box and open menu goes away unanswered, as with Escape.
void closeBoxes() {
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!popup->close()) break;
    }
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible()) dialog->reject();
}

// Once the game and every box have ended, the main window closes, which
// saves the player's files and closes the log.
void closeWhenIdle(QTimer* timer) {
    if (fMain().gameRunning() || QApplication::activeModalWidget()) {
        closeBoxes();
        return;
    }
    timer->stop();
    fMain().close();
    QApplication::quit();
}

void leaveAsQuit() {
    drainLeaveSignals();
    // A second signal changes nothing of the way out already taken.
    if (onTheWayOut) return;
    onTheWayOut = true;
    try {
        writeLog("Pomlets - asked to end by the system", false);
    } catch (...) {
        // A log that cannot be written does not keep the program from leaving.
    }
    // A game in progress sees the request itself and ends as with Escape.
    closeBoxes();
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer] { closeWhenIdle(timer); });
    timer->start();
}

// The window system's toolkit tells a broken connection before it calls
// the C library's exit, whose static destructors would act on the dead
// display: the program leaves here instead.
void watchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (earlierHandler) earlierHandler(type, context, message);
    if (message.startsWith(QLatin1String("The X11 connection broke"))) leaveWithoutDisplay();
}

} // namespace

void watchForLeaving() {
    const int wakeUp = watchLeaveSignals();
    if (wakeUp >= 0) {
        auto* notifier = new QSocketNotifier(wakeUp, QSocketNotifier::Read, qApp);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { leaveAsQuit(); });
    }
    // A signal that came before the watch began.
    if (leaveRequested()) QTimer::singleShot(0, qApp, [] { leaveAsQuit(); });
    onDisplayLost([] { leaveWithoutDisplay(); });
    watchDisplayConnections();
    earlierHandler = qInstallMessageHandler(watchMessages);
}

bool leaving() { return onTheWayOut || leaveRequested(); }

void leaveWithoutDisplay() {
    static bool left = false;
    POMLETS_LOCAL_NOT_RESTORED(left, "the program ends right after");
    if (left) ::_exit(1);
    left = true;
    onTheWayOut = true;
    try {
        // The exit steps read and write files only; nothing here draws.
        if (fMainExists()) fMain().unloadForLeaving("Pomlets - the display was lost");
    } catch (...) {
        // Nothing may leave this way out but the program itself.
    }
    ::_exit(1);
}

} // namespace pomlets

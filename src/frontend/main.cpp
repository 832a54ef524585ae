// The Pomlets program: builds the scrambler's key tables before anything
// else, loads the main window and shows it, then waits for the player until
// the main window is closed.
#include <QApplication>
#include <QThreadPool>

#include "frontend/artwork.h"
#include "frontend/fmain.h"
#include "frontend/startup.h"
#include "platform/win32.h"

int main(int argc, char** argv) {
    pomlets::buildKeyTables();
    QApplication app(argc, argv);
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

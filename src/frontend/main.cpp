// The Pomlets program: builds the scrambler's key tables before anything
// else, loads the main window and shows it, then waits for the player until
// the main window is closed.
#include <QApplication>

#include "frontend/artwork.h"
#include "frontend/fmain.h"
#include "frontend/startup.h"
#include "platform/win32.h"

int main(int argc, char** argv) {
    pomlets::buildKeyTables();
    QApplication app(argc, argv);
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

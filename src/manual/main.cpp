// manual: the game's illustrated help viewer. One window; it takes no command
// line, reads no files and saves nothing. It ends when its window is closed.
#include <QApplication>

#include "manual/form1.h"

int main(int argc, char** argv) {
    // The pictures are compiled into the program.
    Q_INIT_RESOURCE(manual_pictures);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("manual"));
    pomlets::Form1 window;
    window.show();
    return QApplication::exec();
}

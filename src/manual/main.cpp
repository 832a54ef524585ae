// manual: the game's illustrated help viewer. One window; it takes no command
// line, reads no files and saves nothing. It ends when its window is closed.
#include <QApplication>

#include "manual/form1.h"

int main(int, char** argv) {
    // The pictures are compiled into the program.
    Q_INIT_RESOURCE(manual_pictures);
    // The command line is not looked at, not even by Qt: only the program's name is passed on.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("manual"));
    pomlets::Form1 window;
    window.show();
    return QApplication::exec();
}

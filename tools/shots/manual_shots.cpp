// manual_shots: two pages of the help viewer as they show on screen, at the
// scale of the screen (QT_SCALE_FACTOR), for the contact sheet.
// Usage: manual_shots <shots folder>
#include <QApplication>
#include <QDir>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "manual/form1.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: manual_shots <shots folder>\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Q_INIT_RESOURCE(manual_pictures);
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) return 1;
    pomlets::Form1 window;
    window.show();
    const int scale = int(std::lround(qApp->devicePixelRatio()));
    bool ok = true;
    // The pieces page and the store's page with its picture of the panel.
    int shown = 0;
    for (int page : {17, 25}) {
        window.turnPage(static_cast<int16_t>(shown), static_cast<int16_t>(page));
        shown = page;
        QApplication::processEvents();
        const QString name = QString("manual_page%1@%2x.png").arg(page).arg(scale);
        ok = window.grab().toImage().save(QDir(folder).filePath(name), "PNG") && ok;
    }
    return ok ? 0 : 1;
}

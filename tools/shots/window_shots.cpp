// window_shots: pictures of the windows between games as they show on screen,
// for reviewing their art at one and at two pixels to a layout pixel, and the
// contact sheet that puts them beside one another.
// Usage: window_shots <program folder> <shots folder>
//            shots of the main window's panels and of the three small windows,
//            at the scale of the screen (QT_SCALE_FACTOR), named <name>@<scale>x.png
//        window_shots --sheet <shots folder> <pictures sheet .png> <contact sheet .png>
//            the pictures sheet with every shot at scale 1 and 2 side by side below it
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "frontend/artwork.h"
#include "frontend/fmain.h"
#include "frontend/secondary_windows.h"
#include "platform/runtime.h"

namespace {

using namespace pomlets;

bool save(QWidget& window, const QString& folder, const QString& name) {
    window.show();
    QApplication::processEvents();
    const QImage shot = window.grab().toImage();
    const int scale = int(std::lround(qApp->devicePixelRatio()));
    return shot.save(QDir(folder).filePath(QString("%1@%2x.png").arg(name).arg(scale)), "PNG");
}

int takeShots(const QString& programFolder, const QString& folder) {
    setProgramFolder(QDir(programFolder).absolutePath().toStdString());
    if (!QDir().mkpath(folder)) return 1;
    // The window as made, with its mode list; nothing is read from the
    // program folder but the pictures, and nothing is written to it.
    FMain& window = fMain();
    window.popModes();
    bool ok = true;
    const int order[] = {7, 0, 1, 2, 3, 4, 5, 6};
    for (int k : order) {
        window.showPanel(k);
        ok = save(window, folder, QString("panel%1").arg(k)) && ok;
    }
    ok = save(showFSplash(), folder, "about") && ok;
    ok = save(showFPieces(), folder, "pieces") && ok;
    ok = save(showFControls(), folder, "controls") && ok;
    releaseFMain();
    return ok ? 0 : 1;
}

int writeSheet(const QString& folder, const QString& picturesSheet, const QString& out) {
    const QImage pictures(picturesSheet);
    if (pictures.isNull()) return 1;
    // The shots by name, the one at scale 1 beside the one at scale 2.
    QStringList names;
    for (const QString& file : QDir(folder).entryList({"*@1x.png"}, QDir::Files, QDir::Name))
        names << file.left(file.size() - int(QStringLiteral("@1x.png").size()));
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        // Panels first, in their order, then the small windows and the manual.
        const auto rank = [](const QString& n) { return n.startsWith("panel") ? 0 : n.startsWith("manual") ? 2 : 1; };
        return rank(a) != rank(b) ? rank(a) < rank(b) : a < b;
    });
    const int width = pictures.width(), pad = 12, caption = 18;
    struct Pair {
        QString name;
        QImage one, two;
        QRect at;
    };
    std::vector<Pair> pairs;
    int x = pad, y = pictures.height() + pad + caption, rowHeight = 0;
    for (const QString& name : names) {
        Pair pair{name, QImage(QDir(folder).filePath(name + "@1x.png")), QImage(QDir(folder).filePath(name + "@2x.png")),
                  {}};
        if (pair.one.isNull() || pair.two.isNull()) return 1;
        const QSize size(pair.one.width() + pad / 2 + pair.two.width(), std::max(pair.one.height(), pair.two.height()));
        if (x + size.width() + pad > width && x > pad) {
            x = pad;
            y += rowHeight + caption + pad;
            rowHeight = 0;
        }
        pair.at = QRect(QPoint(x, y), size);
        x += size.width() + 2 * pad;
        rowHeight = std::max(rowHeight, size.height());
        pairs.push_back(pair);
    }
    QImage sheet(width, y + rowHeight + pad, QImage::Format_RGB32);
    sheet.fill(QColor(30, 30, 40));
    QPainter p(&sheet);
    p.drawImage(0, 0, pictures);
    QFont font = windowFont(13);
    p.setFont(font);
    p.setPen(QColor(240, 240, 240));
    p.drawText(QPoint(pad, pictures.height() + pad + 2),
               "The windows as they show: each at one pixel to a layout pixel, then at two (QT_SCALE_FACTOR=2)");
    for (Pair& pair : pairs) {
        pair.one.setDevicePixelRatio(1);
        pair.two.setDevicePixelRatio(1);
        p.drawImage(pair.at.topLeft(), pair.one);
        p.drawImage(pair.at.topLeft() + QPoint(pair.one.width() + pad / 2, 0), pair.two);
        p.drawText(QPoint(pair.at.left(), pair.at.top() + std::max(pair.one.height(), pair.two.height()) + 14),
                   pair.name + "  (x1, x2)");
    }
    p.end();
    return sheet.save(out, "PNG") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setFont(windowFont());
    if (argc == 5 && QString(argv[1]) == "--sheet") return writeSheet(argv[2], argv[3], argv[4]);
    if (argc == 3) return takeShots(argv[1], argv[2]);
    std::fprintf(stderr,
                 "usage: window_shots <program folder> <shots folder>\n"
                 "       window_shots --sheet <shots folder> <pictures sheet .png> <contact sheet .png>\n");
    return 2;
}

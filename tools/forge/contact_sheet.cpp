// The contact sheet: every picture of the forge on one page, keyed pictures
// shown over the background plates exactly as the game keys them.
#include <algorithm>
#include <cmath>

#include "pictures.h"

namespace pomlets::forge {

namespace {

// The picture as the game shows it: white pixels transparent when keyed.
QImage asShown(const Picture& pic) {
    QImage out = pic.image.convertToFormat(QImage::Format_ARGB32);
    if (pic.keying == Keying::keyed) {
        for (int y = 0; y < out.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x)
                if ((row[x] & 0xFFFFFF) == 0xFFFFFF) row[x] = 0;
        }
    }
    return out;
}

}  // namespace

void writeContactSheet(const Forge& forge, const QString& path) {
    const int sheetWidth = 1800, pad = 10, labelHeight = 16;
    struct Cell {
        const Picture* pic;
        QRect box;  // picture box on the sheet
        double scale;
    };
    std::vector<Cell> cells;
    int x = pad, y = pad, rowHeight = 0;
    for (const Picture& pic : forge.pictures()) {
        const QSize s = pic.image.size();
        double scale = 1.0;
        if (s.width() > 400 || s.height() > 400) scale = std::min(400.0 / s.width(), 300.0 / s.height());
        const int w = int(std::lround(s.width() * scale)), h = int(std::lround(s.height() * scale));
        const int cellWidth = std::max(w, 96);
        if (x + cellWidth + pad > sheetWidth) {
            x = pad;
            y += rowHeight + labelHeight + pad;
            rowHeight = 0;
        }
        cells.push_back({&pic, QRect(x + (cellWidth - w) / 2, y, w, h), scale});
        x += cellWidth + pad;
        rowHeight = std::max(rowHeight, h);
    }
    const int sheetHeight = y + rowHeight + labelHeight + pad;

    QImage sheet(sheetWidth, sheetHeight, QImage::Format_RGB32);
    sheet.fill(QColor(30, 30, 40));
    QPainter p(&sheet);
    prepare(p);
    // The background: the plates of the first theme, tiled.
    std::vector<const QImage*> plates;
    for (const Picture& pic : forge.pictures())
        if (pic.path.startsWith("themes/Cells/")) plates.push_back(&pic.image);
    if (!plates.empty()) {
        int k = 0;
        for (int ty = 0; ty < sheetHeight; ty += 350)
            for (int tx = 0; tx < sheetWidth; tx += 500) p.drawImage(tx, ty, *plates[size_t(k++) % plates.size()]);
    }
    const QFont label = sansFont(11, false);
    for (const Cell& c : cells) {
        p.drawImage(c.box, asShown(*c.pic));
        if (c.pic->keying == Keying::opaque) {
            p.setPen(QPen(QColor(0, 0, 0), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(c.box.adjusted(0, 0, -1, -1));
        }
        QString name = c.pic->path.section('/', -1);
        if (c.scale < 1.0) name += QString(" (%1%)").arg(int(std::lround(c.scale * 100)));
        const double tw = textWidth(name, label);
        const QRectF strip(c.box.center().x() - tw / 2 - 3, c.box.top() + c.box.height() + 1, tw + 6, labelHeight - 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 170));
        p.drawRoundedRect(strip, 3, 3);
        drawTextTopLeft(p, name, label, strip.topLeft() + QPointF(3, 0), QColor(240, 240, 240));
    }
    p.end();
    if (!sheet.save(path, "PNG")) throw std::runtime_error("cannot write " + path.toStdString());
}

}  // namespace pomlets::forge

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

// A game screen as the engine would draw it: plate, frame, pieces, pointer,
// an explosion, a message and the texts, to judge the pictures together.
QImage mockScreen(const Forge& forge, bool arcade, const QString& plate) {
    QImage screen(1024, 768, QImage::Format_RGB32);
    screen.fill(Qt::black);
    QPainter p(&screen);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(QRect(81, 80, 853, 610), forge.picture(plate));
    p.drawImage(0, 0, unkeyed(forge.picture(arcade ? "images/frameA.bmp" : "images/frame.bmp")));
    const char* kinds[] = {"pomlet1", "pomlet2", "pomlet3", "pomlet4", "rock1", "rock2", "rock3", "slammer",
                           "bomb", "bauble", "diamond", "calculator", "calculator_02", "gorgon", "shifter",
                           "money", "music", "btype", "pin", "apple"};
    Rng rng(arcade ? 7 : 3);
    auto sprite = [&](const QString& file, int x, int y, int w, int h) {
        p.drawImage(QRect(x, y, w, h), unkeyed(forge.picture(file)));
    };
    for (int col = 0; col < 10; ++col) {
        const int height = 1 + rng.below(4);
        for (int row = 0; row < height; ++row) {
            const QString kind = kinds[rng.below(arcade ? 20 : 11)];
            sprite("images/" + kind + ".bmp", 80 + 85 * col, 80 + 520 - 85 * row, 90, 90);
        }
    }
    sprite("images/bowlingball.bmp", 80 + 85 * 4, 80 + 60, 90, 90);
    sprite("images/pointer.bmp", 10, 620 - 85 * 1, 70, 45);
    sprite("images/explosion.bmp", 85 * 6 - 70 + 190 - 60, 200 - 70 + 190 - 60, 120, 120);
    sprite("images/zap_h.bmp", 85 * 2 + 100 - 15, 520 - 85 * 2 + 80 + 40 - 10, 85, 20);
    sprite("images/zap_v.bmp", 85 * 8 + 100 + 40 - 8, 520 - 85 * 3 + 80, 16, 95);
    const QString message = arcade ? "VICTORY!" : "FROG BONUS!";
    for (int i = 0; i < message.size(); ++i) {
        const QString name = message[i] == ' ' ? "Space" : QString(message[i]);
        sprite("images/" + name + ".bmp", 300 + 50 * i, 365, 50, 50);
    }
    if (!arcade) sprite("images/frog03.bmp", 620, 180, 100, 100);
    const QFont font = serifFont(16, false);
    auto text = [&](const QString& t, int x, int y) { drawTextTopLeft(p, t, font, QPointF(x, y), QColor(255, 255, 255)); };
    if (arcade) {
        text("Level 4: Gorgon's Garden", 315, 33);
        text("Gorgons:   3", 85, 26);
        text("Score:  1200/ 5000", 85, 41);
    } else {
        text("48210", 83, 45);
        for (int i = 0; i < 4; ++i) text(" x " + QString::number(i), 300 + 100 * i, 33);
    }
    // A Slammer at the bottom right with a point popup rising over it, to
    // judge the white figures on it.
    sprite("images/slammer.bmp", 80 + 85 * 9, 80 + 520, 90, 90);
    text(" 10", 85 * 9 + 120, 520 + 120 - 14);
    text(" x 12", 795, 33);
    text(" x 4", 895, 33);
    text("Varnock - Lanterns over the Quarry", 80, 723);
    p.end();
    return screen;
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
    const QImage mocks[2] = {mockScreen(forge, false, "themes/Cells/plate_01.bmp"),
                             mockScreen(forge, true, "themes/Tessellane #1 - Pelvaro/plate_03.bmp")};
    const int mockWidth = (sheetWidth - 3 * pad) / 2, mockHeight = mockWidth * 768 / 1024;
    int x = pad, y = 2 * pad + mockHeight, rowHeight = 0;
    for (const Picture& pic : forge.pictures()) {
        // The sharp twins are the same pictures again; the window shots show them.
        if (!pic.written || pic.path.contains("@2x")) continue;
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
    for (int i = 0; i < 2; ++i)
        p.drawImage(QRect(pad + i * (mockWidth + pad), pad, mockWidth, mockHeight),
                    mocks[i].scaled(mockWidth, mockHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
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

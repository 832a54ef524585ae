// The background plates (500 x 350, opaque) of the two themes. They are kept
// dim and low in contrast so that the bright pieces stay readable over them.
#include <QLinearGradient>

#include <algorithm>
#include <cmath>

#include "pictures.h"

namespace pomlets::forge {

namespace {

constexpr int plateWidth = 500, plateHeight = 350;

double smoothstep(double a, double b, double x) {
    const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// "Cells": soft living cells, each a lit dome with a pale wall and a nucleus.
QImage cells(QColor base, QColor membrane, uint32_t seed) {
    struct Seed { double x, y; double hue; };
    std::vector<Seed> seeds;
    Rng rng(seed);
    const int cols = 9, rows = 6;
    for (int j = -1; j <= rows; ++j)
        for (int i = -1; i <= cols; ++i)
            seeds.push_back({(i + rng.range(0.15, 0.85)) * plateWidth / cols,
                             (j + rng.range(0.15, 0.85)) * plateHeight / rows, rng.range(-1, 1)});
    // Seeds by grid cell, so that each pixel looks only at its neighbourhood.
    const double cellW = double(plateWidth) / cols, cellH = double(plateHeight) / rows;
    auto seedAt = [&](int i, int j) -> const Seed& { return seeds[size_t((j + 1) * (cols + 2) + (i + 1))]; };
    QImage img(plateWidth, plateHeight, QImage::Format_RGB32);
    for (int y = 0; y < plateHeight; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        const int gj = std::min(rows - 1, int(y / cellH));
        for (int x = 0; x < plateWidth; ++x) {
            const int gi = std::min(cols - 1, int(x / cellW));
            double d1 = 1e9, d2 = 1e9;
            const Seed* nearest = nullptr;
            for (int j = std::max(-1, gj - 2); j <= std::min(rows, gj + 2); ++j)
                for (int i = std::max(-1, gi - 2); i <= std::min(cols, gi + 2); ++i) {
                    const Seed& s = seedAt(i, j);
                    const double d = std::hypot(x - s.x, y - s.y);
                    if (d < d1) {
                        d2 = d1;
                        d1 = d;
                        nearest = &s;
                    } else if (d < d2) {
                        d2 = d;
                    }
                }
            const double edge = (d2 - d1) / 2;  // distance to the cell wall, roughly
            // Dome lighting: the top-left part of each cell catches the light.
            const double dx = (x - nearest->x) / 40.0, dy = (y - nearest->y) / 40.0;
            const double light = std::clamp(0.5 - 0.3 * (dx + dy) / std::sqrt(2.0), 0.0, 1.0);
            QColor c = tone(base, 1.0 + 0.08 * nearest->hue);
            c = mix(tone(c, 0.84), tone(c, 1.12), light);
            const double nucleus = std::hypot(x - nearest->x - 4, y - nearest->y - 3);
            if (nucleus < 7) c = mix(c, tone(c, 0.82), smoothstep(7, 4.5, nucleus));
            // A soft shadow inside the wall, then the pale wall itself.
            c = mix(tone(c, 0.78), c, smoothstep(1.0, 7.0, edge));
            c = mix(membrane, c, smoothstep(0.3, 1.6, edge));
            row[x] = c.rgb();
        }
    }
    return img;
}

struct Duo { QColor a, b, line; };

void bevelled(QPainter& p, const QPolygonF& poly, QColor fill, QColor line) {
    p.setPen(QPen(line, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPolygon(poly);
    // Light from the top left: the edges that face it are lit.
    const QPointF c = poly.boundingRect().center();
    for (int i = 0; i < poly.size(); ++i) {
        const QPointF a = poly[i], b = poly[(i + 1) % poly.size()];
        const QPointF mid = (a + b) / 2 - c;
        if (mid.x() + mid.y() < 0) {
            const QPointF ia = c + (a - c) * 0.9, ib = c + (b - c) * 0.9;
            p.setPen(QPen(tone(fill, 1.2), 1.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(ia, ib);
        }
    }
}

// "Tessellane #1 - Pelvaro": five quiet tilings.
QImage tiling(int kind, const Duo& duo) {
    QImage img(plateWidth, plateHeight, QImage::Format_RGB32);
    img.fill(duo.line);
    QPainter p(&img);
    prepare(p);
    Rng rng(uint32_t(100 + kind));
    auto shadeOf = [&](int k) { return mix(duo.a, duo.b, (k % 3) / 2.0 + rng.range(-0.08, 0.08)); };
    if (kind == 0) {  // hexagons
        const double r = 30, w = std::sqrt(3.0) * r;
        for (int j = -1; j < 10; ++j)
            for (int i = -1; i < 12; ++i) {
                const QPointF c(i * w + (j % 2 ? w / 2 : 0), j * r * 1.5);
                QPolygonF hex;
                for (int k = 0; k < 6; ++k) {
                    const double a = (60 * k + 30) * 3.14159265358979 / 180;
                    hex << c + QPointF(std::cos(a) * r, std::sin(a) * r);
                }
                bevelled(p, hex, shadeOf(i + 2 * j + 3 * 100), duo.line);
            }
    } else if (kind == 1) {  // triangles
        const double s = 54, h = s * std::sqrt(3.0) / 2;
        for (int j = -1; j < 9; ++j)
            for (int i = -2; i < 22; ++i) {
                const double x0 = i * s / 2, y0 = j * h;
                const bool up = ((i + j) % 2 + 2) % 2 == 0;
                QPolygonF tri;
                if (up) tri << QPointF(x0, y0 + h) << QPointF(x0 + s / 2, y0) << QPointF(x0 + s, y0 + h);
                else tri << QPointF(x0, y0) << QPointF(x0 + s, y0) << QPointF(x0 + s / 2, y0 + h);
                bevelled(p, tri, up ? tone(duo.a, 1.0 + rng.range(-0.05, 0.05)) : tone(duo.b, 1.0 + rng.range(-0.05, 0.05)),
                         duo.line);
            }
    } else if (kind == 2) {  // tumbling blocks: rhombi lit top, left, right
        const double r = 32, w = std::sqrt(3.0) * r;
        for (int j = -1; j < 9; ++j)
            for (int i = -1; i < 11; ++i) {
                const QPointF c(i * w + (j % 2 ? w / 2 : 0), j * r * 1.5);
                const QPointF top(c.x(), c.y() - r), ul(c.x() - w / 2, c.y() - r / 2), ur(c.x() + w / 2, c.y() - r / 2);
                const QPointF ll(c.x() - w / 2, c.y() + r / 2), lr(c.x() + w / 2, c.y() + r / 2), bottom(c.x(), c.y() + r);
                p.setPen(QPen(duo.line, 1.5));
                p.setBrush(tone(duo.a, 1.15));
                p.drawPolygon(QPolygonF({top, ur, c, ul}));
                p.setBrush(duo.b);
                p.drawPolygon(QPolygonF({ul, c, bottom, ll}));
                p.setBrush(tone(duo.b, 0.75));
                p.drawPolygon(QPolygonF({c, ur, lr, bottom}));
            }
    } else if (kind == 3) {  // basket weave
        const double s = 50;
        for (int j = 0; j < 8; ++j)
            for (int i = 0; i < 11; ++i) {
                const bool across = (i + j) % 2 == 0;
                for (int k = 0; k < 2; ++k) {
                    const QRectF r = across ? QRectF(i * s, j * s + k * s / 2, s, s / 2) : QRectF(i * s + k * s / 2, j * s, s / 2, s);
                    bevelled(p, QPolygonF(r.adjusted(1, 1, -1, -1)), across ? shadeOf(k) : tone(shadeOf(k + 1), 0.9), duo.line);
                }
            }
    } else {  // Truchet quarter circles
        const double s = 50;
        p.fillRect(img.rect(), duo.b);
        for (int j = 0; j < 7; ++j)
            for (int i = 0; i < 10; ++i) {
                const bool flip = rng.next() < 0.5;
                p.save();
                p.translate(i * s + s / 2, j * s + s / 2);
                if (flip) p.rotate(90);
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(duo.line, 14, Qt::SolidLine, Qt::FlatCap));
                p.drawArc(QRectF(-s, -s, s, s), 270 * 16, 90 * 16);
                p.drawArc(QRectF(0, 0, s, s), 90 * 16, 90 * 16);
                p.setPen(QPen(duo.a, 9, Qt::SolidLine, Qt::FlatCap));
                p.drawArc(QRectF(-s, -s, s, s), 270 * 16, 90 * 16);
                p.drawArc(QRectF(0, 0, s, s), 90 * 16, 90 * 16);
                p.restore();
            }
    }
    // A soft vignette keeps the corners calm.
    QRadialGradient v(QPointF(plateWidth / 2.0, plateHeight / 2.0), 330);
    v.setColorAt(0.6, QColor(0, 0, 0, 0));
    v.setColorAt(1, QColor(0, 0, 0, 70));
    p.fillRect(img.rect(), v);
    p.end();
    return img;
}

}  // namespace

void forgeThemes(Forge& forge) {
    const struct { QColor base, membrane; } cellLooks[5] = {
        {QColor(52, 100, 104), QColor(104, 146, 148)},  // teal
        {QColor(92, 62, 104), QColor(140, 110, 150)},   // plum
        {QColor(74, 98, 56), QColor(124, 144, 100)},    // moss
        {QColor(64, 76, 108), QColor(112, 124, 156)},   // slate blue
        {QColor(110, 70, 56), QColor(156, 118, 100)},   // rust
    };
    for (int i = 0; i < 5; ++i)
        forge.save(QString("themes/Cells/plate_0%1.bmp").arg(i + 1),
                   cells(cellLooks[i].base, cellLooks[i].membrane, uint32_t(40 + i)), Keying::opaque);

    const Duo duos[5] = {
        {QColor(64, 80, 104), QColor(44, 58, 80), QColor(24, 30, 44)},
        {QColor(96, 70, 60), QColor(70, 50, 46), QColor(36, 24, 22)},
        {QColor(70, 96, 90), QColor(48, 70, 66), QColor(20, 32, 30)},
        {QColor(90, 84, 60), QColor(66, 60, 42), QColor(34, 30, 20)},
        {QColor(86, 70, 110), QColor(46, 38, 66), QColor(26, 20, 40)},
    };
    for (int i = 0; i < 5; ++i)
        forge.save(QString("themes/Tessellane #1 - Pelvaro/plate_0%1.bmp").arg(i + 1), tiling(i, duos[i]),
                   Keying::opaque);
}

}  // namespace pomlets::forge

// The full-screen pictures: the four mode frames (keyed: pure white exactly
// over the field, where the theme plate shows) and the loading picture.
//
// Where the engine writes over a frame (white text, 16 pixels high, drawn
// from its top-left corner): the Freestyle score at (83, 45); the item
// counters at y 33, x 300, 400, 500, 600 (Freestyle) and the credits and
// Music Notes at x 795 and 895 (every mode); the Arcade level caption at
// (315, 33) and its goal lines at x 85 from y 26 down in steps of 15; the
// track title at (80, 723). Each of these gets a dark, quiet panel.
#include <QLinearGradient>
#include <QRadialGradient>

#include <cmath>

#include "pictures.h"

namespace pomlets::forge {

namespace {

// The field, where the plate shows through: (81, 80) to (934, 690), right and
// bottom exclusive.
const QRect fieldRect(81, 80, 853, 610);

enum class Mode { freestyle, arcade, bType, midnightBowling };

struct ModeLook {
    QString title;
    QColor accent;
    QColor skyTop, skyBottom;
};

ModeLook lookOf(Mode m) {
    switch (m) {
    case Mode::freestyle: return {"FREESTYLE", QColor(110, 210, 90), QColor(20, 34, 40), QColor(8, 16, 20)};
    case Mode::arcade: return {"ARCADE", QColor(250, 150, 40), QColor(40, 24, 30), QColor(16, 8, 12)};
    case Mode::bType: return {"B-TYPE", QColor(60, 196, 210), QColor(16, 30, 46), QColor(6, 12, 22)};
    case Mode::midnightBowling: return {"MIDNIGHT BOWLING", QColor(170, 120, 240), QColor(22, 16, 48), QColor(6, 4, 18)};
    }
    return {};
}

// A recessed dark panel for the engine's text.
void textPanel(QPainter& p, const QRectF& r, QColor accent) {
    QPainterPath path;
    path.addRoundedRect(r, 6, 6);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(4, 4, 8));
    g.setColorAt(1, QColor(18, 18, 26));
    p.setBrush(g);
    p.setPen(QPen(mix(accent, QColor(0, 0, 0), 0.55), 1.5));
    p.drawPath(path);
    // Lit lower-right rim: the panel is sunk into a surface lit from the top left.
    p.setPen(QPen(QColor(90, 92, 104), 1));
    p.drawLine(QPointF(r.left() + 6, r.bottom() + 1), QPointF(r.right() - 4, r.bottom() + 1));
}

void icon(QPainter& p, const Forge& forge, const QString& file, QPointF topLeft, double size) {
    drawKeyed(p, forge.picture(file), QRectF(topLeft, QSizeF(size, size)));
}

void background(QPainter& p, const ModeLook& look, Mode mode) {
    QLinearGradient sky(0, 0, 0, 768);
    sky.setColorAt(0, look.skyTop);
    sky.setColorAt(1, look.skyBottom);
    p.fillRect(QRect(0, 0, 1024, 768), sky);
    // A quiet diagonal weave.
    p.setPen(QPen(QColor(255, 255, 255, 10), 1));
    for (int d = -768; d < 1024; d += 16) p.drawLine(QPointF(d, 0), QPointF(d + 768, 768));
    if (mode == Mode::midnightBowling) {
        Rng rng(1999);
        for (int i = 0; i < 140; ++i) {
            const QPointF s(rng.range(0, 1024), rng.range(0, 768));
            if (fieldRect.adjusted(-24, -24, 24, 24).contains(s.toPoint())) continue;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(230, 220, 255, int(rng.range(90, 220))));
            p.drawEllipse(s, rng.range(0.6, 1.8), rng.range(0.6, 1.8));
        }
        // A crescent moon over the right-hand side.
        QPainterPath moon;
        moon.addEllipse(QPointF(991, 120), 22, 22);
        QPainterPath bite;
        bite.addEllipse(QPointF(1001, 112), 19, 19);
        moon = moon.subtracted(bite);
        QRadialGradient glow(QPointF(985, 124), 26);
        glow.setColorAt(0, QColor(250, 240, 190));
        glow.setColorAt(1, QColor(210, 190, 120));
        p.setBrush(glow);
        p.setPen(QPen(QColor(90, 80, 40), 1.5));
        p.drawPath(moon);
    }
}

// The thick grey border around the field, bevelled for a top-left light.
void border(QPainter& p, const ModeLook& look) {
    const QRectF outer(58, 66, 900, 644);  // (58, 66) to (958, 710)
    const QRectF inner(fieldRect);
    QPainterPath ring;
    ring.addRoundedRect(outer, 10, 10);
    QPainterPath hole;
    hole.addRect(inner);
    ring = ring.subtracted(hole);
    QLinearGradient g(outer.topLeft(), outer.bottomRight());
    g.setColorAt(0, QColor(206, 208, 216));
    g.setColorAt(0.5, QColor(150, 152, 162));
    g.setColorAt(1, QColor(96, 98, 108));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(ring);
    // Bevels: a lit outer top-left edge, a shadowed inner top-left edge.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(228, 230, 236), 2));
    p.drawLine(QPointF(outer.left() + 8, outer.top() + 1), QPointF(outer.right() - 8, outer.top() + 1));
    p.drawLine(QPointF(outer.left() + 1, outer.top() + 8), QPointF(outer.left() + 1, outer.bottom() - 8));
    p.setPen(QPen(QColor(60, 62, 70), 2));
    p.drawLine(QPointF(outer.left() + 8, outer.bottom() - 1), QPointF(outer.right() - 8, outer.bottom() - 1));
    p.drawLine(QPointF(outer.right() - 1, outer.top() + 8), QPointF(outer.right() - 1, outer.bottom() - 8));
    // The accent groove halfway through the border.
    QPainterPath groove;
    groove.addRoundedRect(outer.adjusted(7, 5, -7, -7), 6, 6);
    p.setPen(QPen(mix(look.accent, QColor(40, 40, 40), 0.35), 2));
    p.drawPath(groove);
    // A dark rim right against the field, so that the plate's edge is crisp.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(36, 38, 46));
    QPainterPath rim;
    rim.addRect(inner.adjusted(-4, -4, 4, 4));
    rim = rim.subtracted(hole);
    p.drawPath(rim);
    // Rivets.
    for (double x : {outer.left() + 10, outer.right() - 10})
        for (double y = outer.top() + 40; y < outer.bottom() - 20; y += 120) {
            QPainterPath rivet;
            rivet.addEllipse(QPointF(x, y), 3, 3);
            shade(p, rivet, QColor(180, 182, 190), 1, QColor(50, 50, 58));
        }
}

// The groove in which the row pointer rides, with a mark and a number for
// each row. The pointer covers (10, 620 - 85 r) - (80, 665 - 85 r) at row r,
// so each row's number and mark sit in the free band just below that place,
// where the pointer never stands.
void pointerRail(QPainter& p, const ModeLook& look) {
    const QRectF rail(6, 96, 50, 594);
    QPainterPath path;
    path.addRoundedRect(rail, 10, 10);
    p.setBrush(QColor(8, 8, 14));
    p.setPen(QPen(QColor(70, 72, 84), 1.5));
    p.drawPath(path);
    for (int row = 0; row < 7; ++row) {
        const double y = 676 - 85 * row;
        p.setPen(QPen(mix(look.accent, QColor(0, 0, 0), 0.4), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, y), QPointF(24, y));
        p.drawLine(QPointF(42, y), QPointF(52, y));
        drawText(p, QString::number(row + 1), sansFont(11), QPointF(33, y), mix(look.accent, QColor(0, 0, 0), 0.3));
    }
}

QImage frame(const Forge& forge, Mode mode) {
    const ModeLook look = lookOf(mode);
    QImage canvas(1024, 768, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&canvas);
    prepare(p);
    background(p, look, mode);
    border(p, look);
    pointerRail(p, look);

    const QFont label = sansFont(12);
    const QColor labelColour = mix(look.accent, QColor(200, 200, 200), 0.3);
    // Top left: the Freestyle score, or the Arcade goal lines.
    if (mode == Mode::arcade) {
        // Four goal lines run from y 26 to 86: the panel reaches down to the field.
        textPanel(p, QRectF(76, 20, 222, 58), look.accent);
    } else {
        textPanel(p, QRectF(76, 20, 190, 46), look.accent);
        drawTextTopLeft(p, "SCORE", label, QPointF(84, 24), labelColour);
    }
    // The counters along the top.
    if (mode == Mode::freestyle) {
        const char* items[] = {"images/slammer.bmp", "images/bomb.bmp", nullptr, "images/bowlingball.bmp"};
        for (int i = 0; i < 4; ++i) {
            const double x = 300 + 100 * i;
            textPanel(p, QRectF(x - 32, 26, 96, 30), look.accent);
            if (items[i]) icon(p, forge, items[i], QPointF(x - 30, 27), 28);
            else drawDetonator(p, QRectF(x - 30, 27, 28, 28));
            drawText(p, QString::number(i + 1), sansFont(10), QPointF(x + 56, 31), QColor(150, 150, 160));
        }
    } else if (mode == Mode::arcade) {
        textPanel(p, QRectF(308, 26, 452, 30), look.accent);
    }
    textPanel(p, QRectF(763, 26, 94, 30), look.accent);
    icon(p, forge, "images/money.bmp", QPointF(765, 27), 28);
    textPanel(p, QRectF(863, 26, 96, 30), look.accent);
    icon(p, forge, "images/music.bmp", QPointF(865, 27), 28);

    // Bottom: the track title, then the game's name and the mode.
    textPanel(p, QRectF(44, 716, 540, 30), look.accent);
    icon(p, forge, "images/music.bmp", QPointF(48, 718), 26);
    drawLogo(p, QPointF(760, 736), 34);
    drawText(p, look.title, sansFont(mode == Mode::midnightBowling ? 13 : 15), QPointF(948, 738), look.accent,
             QColor(10, 10, 16), 3);

    // The field itself stays clear: pure white once keyed.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillRect(fieldRect, Qt::transparent);
    p.end();
    return keyOnWhite(canvas);
}

QImage loading(const Forge& forge) {
    QImage img(1024, 768, QImage::Format_RGB32);
    QPainter p(&img);
    prepare(p);
    QRadialGradient sky(QPointF(512, 330), 700);
    sky.setColorAt(0, QColor(70, 40, 110));
    sky.setColorAt(0.6, QColor(26, 16, 48));
    sky.setColorAt(1, QColor(8, 6, 18));
    p.fillRect(img.rect(), sky);
    // Rays behind the title.
    sunburst(p, QPointF(512, 300), 24, 900, 0.12, 12);
    drawLogo(p, QPointF(512, 290), 150);
    drawText(p, "a puzzle game of quick thinking, reflexes and nerves", serifFont(26, false), QPointF(512, 400),
             QColor(230, 220, 250));
    // A parade of pieces.
    const char* parade[] = {"pomlet1", "slammer", "pomlet2", "bomb", "diamond", "pomlet3", "gorgon", "pomlet4", "music"};
    for (int i = 0; i < 9; ++i) {
        const double x = 512 + (i - 4) * 100;
        const double y = 520 + std::abs(i - 4) * -10 + ((i % 2) ? 14 : 0);
        drawKeyed(p, forge.picture(QString("images/%1.bmp").arg(parade[i])), QRectF(x - 45, y - 45, 90, 90));
    }
    drawText(p, "Loading...", sansFont(22), QPointF(512, 660), QColor(250, 200, 60), QColor(30, 10, 0), 4);
    p.end();
    return img;
}

}  // namespace

void forgeScreens(Forge& forge) {
    forge.save("images/frame.bmp", frame(forge, Mode::freestyle), Keying::keyed);
    forge.save("images/frameA.bmp", frame(forge, Mode::arcade), Keying::keyed);
    forge.save("images/frameB.bmp", frame(forge, Mode::bType), Keying::keyed);
    forge.save("images/frameM.bmp", frame(forge, Mode::midnightBowling), Keying::keyed);
    forge.save("images/loading.bmp", loading(forge), Keying::opaque);
}

}  // namespace pomlets::forge

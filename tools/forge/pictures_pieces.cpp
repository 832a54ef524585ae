// The piece pictures (90 x 90, keyed white) and the fruit that the Pomlets
// turn into. Every kind has its own silhouette; light comes from the top left.
#include <QLinearGradient>
#include <QRadialGradient>

#include <cmath>
#include <functional>

#include "pictures.h"

namespace pomlets::forge {

namespace {

constexpr double pi = 3.14159265358979323846;

using Painting = std::function<void(QPainter&)>;

// A keyed picture of w x h painted at the given scale (the painting itself
// works in w x h).
QImage paintKeyed(int w, int h, const Painting& paint, int scale = 1) {
    QImage canvas = newCanvas(w * scale, h * scale);
    QPainter p(&canvas);
    prepare(p);
    if (scale != 1) p.scale(scale, scale);
    paint(p);
    p.end();
    return keyOnWhite(canvas);
}

QPainterPath ellipse(double cx, double cy, double rx, double ry) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), rx, ry);
    return path;
}

// A closed smooth path through the points (Catmull-Rom turned into cubics).
QPainterPath smoothLoop(const std::vector<QPointF>& pts) {
    QPainterPath path;
    const size_t n = pts.size();
    path.moveTo(pts[0]);
    for (size_t i = 0; i < n; ++i) {
        const QPointF& p0 = pts[(i + n - 1) % n];
        const QPointF& p1 = pts[i];
        const QPointF& p2 = pts[(i + 1) % n];
        const QPointF& p3 = pts[(i + 2) % n];
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    path.closeSubpath();
    return path;
}

QPainterPath polygon(const std::vector<QPointF>& pts) {
    QPainterPath path;
    path.moveTo(pts[0]);
    for (size_t i = 1; i < pts.size(); ++i) path.lineTo(pts[i]);
    path.closeSubpath();
    return path;
}

void strokePath(QPainter& p, const QPainterPath& path, QColor c, double width) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

void fillPath(QPainter& p, const QPainterPath& path, QColor c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
}

// A cartoon eye: white, outlined, with a pupil looking towards `look`.
void eye(QPainter& p, QPointF c, double rx, double ry, QPointF look, QColor outline) {
    const QPainterPath white = ellipse(c.x(), c.y(), rx, ry);
    p.setPen(QPen(outline, 1.8));
    p.setBrush(QColor(246, 246, 250));
    p.drawPath(white);
    const double pr = std::min(rx, ry) * 0.58;
    const QPointF pc = c + QPointF(look.x() * (rx - pr) * 0.7, look.y() * (ry - pr) * 0.7);
    fillPath(p, ellipse(pc.x(), pc.y(), pr, pr * 1.1), QColor(28, 24, 40));
    fillPath(p, ellipse(pc.x() - pr * 0.35, pc.y() - pr * 0.4, pr * 0.35, pr * 0.35), QColor(250, 250, 250));
}

void smile(QPainter& p, QPointF c, double w, double depth, QColor colour, double width = 2.6) {
    QPainterPath m;
    m.moveTo(c.x() - w / 2, c.y());
    m.quadTo(c.x(), c.y() + depth, c.x() + w / 2, c.y());
    strokePath(p, m, colour, width);
}

void cheeks(QPainter& p, QPointF left, QPointF right, double r, QColor c) {
    fillPath(p, ellipse(left.x(), left.y(), r, r * 0.62), c);
    fillPath(p, ellipse(right.x(), right.y(), r, r * 0.62), c);
}

// A four-pointed glint.
void glint(QPainter& p, QPointF c, double r, QColor colour) {
    QPainterPath s;
    s.moveTo(c.x(), c.y() - r);
    s.quadTo(c.x(), c.y(), c.x() + r, c.y());
    s.quadTo(c.x(), c.y(), c.x(), c.y() + r);
    s.quadTo(c.x(), c.y(), c.x() - r, c.y());
    s.quadTo(c.x(), c.y(), c.x(), c.y() - r);
    fillPath(p, s, colour);
}

// --- the four Pomlets -------------------------------------------------------

// Purple: a round, bouncy ball with a curl of hair.
void pomletPurple(QPainter& p) {
    const QColor base(150, 78, 205), line(52, 20, 80);
    QPainterPath curl;
    curl.moveTo(44, 17);
    curl.cubicTo(40, 4, 58, 2, 56, 12);
    curl.cubicTo(55, 17, 48, 15, 50, 11);
    strokePath(p, curl, line, 6.5);
    strokePath(p, curl, QColor(170, 100, 220), 3.2);
    const QPainterPath body = smoothLoop({{45, 13}, {68, 18}, {82, 44}, {76, 72}, {45, 84}, {14, 72}, {8, 44}, {22, 18}});
    shade(p, body, base, 3.2, line);
    gloss(p, body, 0.6);
    eye(p, {34, 44}, 8.5, 10, {0.2, 0.1}, line);
    eye(p, {56, 44}, 8.5, 10, {0.2, 0.1}, line);
    cheeks(p, {24, 59}, {66, 59}, 6, QColor(230, 120, 200));
    smile(p, {45, 60}, 18, 10, line);
}

// Green: a pear-shaped sprout with a leaf on top and sleepy eyes.
void pomletGreen(QPainter& p) {
    const QColor base(92, 196, 64), line(24, 70, 20);
    QPainterPath stem;
    stem.moveTo(45, 22);
    stem.quadTo(44, 12, 48, 6);
    strokePath(p, stem, line, 5);
    strokePath(p, stem, QColor(120, 90, 40), 2.4);
    QPainterPath leaf;
    leaf.moveTo(47, 10);
    leaf.cubicTo(55, 0, 72, 2, 76, 8);
    leaf.cubicTo(68, 16, 54, 17, 47, 10);
    shade(p, leaf, QColor(60, 170, 60), 2.2, line);
    const QPainterPath body = smoothLoop({{45, 18}, {60, 26}, {66, 44}, {80, 66}, {66, 84}, {45, 86}, {24, 84}, {10, 66}, {24, 44}, {30, 26}});
    shade(p, body, base, 3.2, line);
    gloss(p, body, 0.55);
    // Half-closed, contented eyes.
    for (double x : {35.0, 55.0}) {
        QPainterPath lid;
        lid.moveTo(x - 7, 54);
        lid.quadTo(x, 60, x + 7, 54);
        strokePath(p, lid, line, 3);
    }
    cheeks(p, {26, 64}, {64, 64}, 5.5, QColor(200, 230, 90));
    fillPath(p, ellipse(45, 70, 4.5, 5), QColor(60, 30, 30));
    strokePath(p, ellipse(45, 70, 4.5, 5), line, 1.5);
}

// White: a fluffy cloud puff with rosy cheeks.
void pomletWhite(QPainter& p) {
    const QColor base(236, 234, 246), line(70, 66, 110);
    QPainterPath puff;
    puff.setFillRule(Qt::WindingFill);
    const double blobs[][3] = {{45, 30, 19}, {26, 38, 15}, {64, 38, 15}, {17, 56, 13}, {73, 56, 13},
                               {30, 68, 16}, {60, 68, 16}, {45, 56, 26}};
    for (const auto& b : blobs) puff.addEllipse(QPointF(b[0], b[1]), b[2], b[2]);
    puff = puff.simplified();
    QRadialGradient g(QPointF(32, 28), 70, QPointF(32, 28));
    g.setColorAt(0, QColor(250, 250, 255));
    g.setColorAt(0.5, base);
    g.setColorAt(1, QColor(176, 170, 210));
    p.setBrush(g);
    p.setPen(QPen(line, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(puff);
    // Inner puff lines.
    QPainterPath inner;
    inner.moveTo(30, 30);
    inner.quadTo(33, 25, 38, 24);
    strokePath(p, inner, QColor(200, 196, 226), 2);
    fillPath(p, ellipse(35, 50, 4.2, 5.5), QColor(40, 34, 70));
    fillPath(p, ellipse(55, 50, 4.2, 5.5), QColor(40, 34, 70));
    fillPath(p, ellipse(34, 48, 1.4, 1.6), QColor(240, 240, 240));
    fillPath(p, ellipse(54, 48, 1.4, 1.6), QColor(240, 240, 240));
    cheeks(p, {25, 60}, {65, 60}, 6, QColor(245, 160, 180));
    smile(p, {45, 59}, 12, 8, line, 2.4);
}

// Blue: a square little cat-like block with ears and a wide grin.
void pomletBlue(QPainter& p) {
    const QColor base(58, 140, 232), line(14, 40, 96);
    QPainterPath body;
    body.moveTo(16, 30);
    body.lineTo(14, 8);
    body.lineTo(34, 22);
    body.lineTo(56, 22);
    body.lineTo(76, 8);
    body.lineTo(74, 30);
    body.quadTo(84, 34, 83, 52);
    body.lineTo(82, 72);
    body.quadTo(81, 84, 68, 84);
    body.lineTo(22, 84);
    body.quadTo(9, 84, 8, 72);
    body.lineTo(7, 52);
    body.quadTo(6, 34, 16, 30);
    body.closeSubpath();
    shade(p, body, base, 3.2, line);
    gloss(p, body, 0.5);
    fillPath(p, polygon({{19, 18}, {19, 28}, {28, 24}}), QColor(250, 160, 190));
    fillPath(p, polygon({{71, 18}, {71, 28}, {62, 24}}), QColor(250, 160, 190));
    eye(p, {32, 46}, 8, 9, {-0.3, 0.2}, line);
    eye(p, {58, 46}, 8, 9, {-0.3, 0.2}, line);
    // A wide open grin with a tongue.
    QPainterPath mouth;
    mouth.moveTo(30, 61);
    mouth.quadTo(45, 64, 60, 61);
    mouth.quadTo(58, 76, 45, 76);
    mouth.quadTo(32, 76, 30, 61);
    mouth.closeSubpath();
    p.setPen(QPen(line, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(90, 20, 40));
    p.drawPath(mouth);
    p.save();
    p.setClipPath(mouth);
    fillPath(p, ellipse(45, 77, 9, 6), QColor(240, 100, 120));
    p.restore();
    strokePath(p, mouth, line, 2.4);
}

// --- rocks -----------------------------------------------------------------

void speckle(QPainter& p, const QPainterPath& clip, uint32_t seed, int count, QColor a, QColor b) {
    Rng rng(seed);
    p.save();
    p.setClipPath(clip, Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const double x = rng.range(4, 86), y = rng.range(4, 86), r = rng.range(0.8, 2.2);
        p.setBrush(rng.next() < 0.5 ? a : b);
        p.drawEllipse(QPointF(x, y), r, r * rng.range(0.6, 1.0));
    }
    p.restore();
}

// A rounded grey boulder with cracks.
void rockBoulder(QPainter& p) {
    const QColor base(150, 148, 140), line(46, 44, 40);
    const QPainterPath rock = smoothLoop({{30, 14}, {58, 12}, {78, 28}, {84, 56}, {72, 80}, {42, 84}, {14, 76}, {6, 50}, {12, 26}});
    shade(p, rock, base, 3.2, line);
    speckle(p, rock, 11, 70, QColor(120, 118, 110), QColor(185, 182, 172));
    gloss(p, rock, 0.35);
    QPainterPath crack;
    crack.moveTo(56, 14);
    crack.lineTo(50, 30);
    crack.lineTo(58, 40);
    crack.lineTo(52, 52);
    crack.moveTo(58, 40);
    crack.lineTo(70, 44);
    crack.moveTo(20, 60);
    crack.lineTo(32, 64);
    crack.lineTo(36, 74);
    strokePath(p, crack, QColor(70, 66, 60), 2.4);
}

// An angular sandstone chunk with flat, lit facets.
void rockFaceted(QPainter& p) {
    const QColor line(70, 40, 16);
    const std::vector<QPointF> outline = {{24, 12}, {62, 8}, {84, 34}, {80, 70}, {54, 86}, {18, 80}, {6, 48}};
    const QPointF top(44, 36), low(48, 58);
    struct Facet { std::vector<QPointF> pts; QColor c; };
    const std::vector<Facet> facets = {
        {{{24, 12}, {62, 8}, top}, QColor(238, 196, 140)},
        {{{62, 8}, {84, 34}, low, top}, QColor(206, 150, 90)},
        {{{84, 34}, {80, 70}, low}, QColor(160, 104, 56)},
        {{{80, 70}, {54, 86}, low}, QColor(136, 86, 44)},
        {{{54, 86}, {18, 80}, low}, QColor(150, 96, 50)},
        {{{18, 80}, {6, 48}, top, low}, QColor(196, 140, 84)},
        {{{6, 48}, {24, 12}, top}, QColor(226, 178, 118)},
    };
    for (const Facet& f : facets) {
        const QPainterPath path = polygon(f.pts);
        p.setPen(QPen(f.c, 1.0));
        p.setBrush(f.c);
        p.drawPath(path);
    }
    const QPainterPath whole = polygon(outline);
    speckle(p, whole, 23, 60, QColor(120, 74, 36, 160), QColor(250, 220, 170, 150));
    p.setPen(QPen(QColor(104, 64, 30), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const Facet& f : facets) {
        p.setBrush(Qt::NoBrush);
        p.drawPath(polygon(f.pts));
    }
    strokePath(p, whole, line, 3.2);
}

// A cairn of three flat slate stones.
void rockCairn(QPainter& p) {
    const QColor line(26, 34, 48);
    const struct { double cx, cy, rx, ry; QColor c; } stones[] = {
        {45, 70, 38, 14, QColor(90, 106, 128)},
        {43, 47, 29, 12, QColor(108, 124, 146)},
        {47, 26, 20, 11, QColor(124, 140, 162)},
    };
    for (const auto& s : stones) {
        const QPainterPath stone = smoothLoop({{s.cx - s.rx, s.cy + 1}, {s.cx - s.rx * 0.6, s.cy - s.ry},
                                               {s.cx + s.rx * 0.5, s.cy - s.ry * 1.05}, {s.cx + s.rx, s.cy - 1},
                                               {s.cx + s.rx * 0.6, s.cy + s.ry}, {s.cx - s.rx * 0.5, s.cy + s.ry * 0.95}});
        shade(p, stone, s.c, 3.0, line);
        QPainterPath strata;
        strata.moveTo(s.cx - s.rx * 0.6, s.cy + s.ry * 0.3);
        strata.quadTo(s.cx, s.cy + s.ry * 0.55, s.cx + s.rx * 0.55, s.cy + s.ry * 0.2);
        strokePath(p, strata, tone(s.c, 0.7), 1.8);
        fillPath(p, ellipse(s.cx - s.rx * 0.35, s.cy - s.ry * 0.45, s.rx * 0.3, s.ry * 0.22), tone(s.c, 1.35));
    }
}

// --- special pieces ----------------------------------------------------------

// A riveted red steel block carrying a lightning bolt. The game writes its
// point popups in white across the middle of a piece, so the block's light
// stays soft and the bolt is a deep electric blue with a thin bright rim:
// the white figures read over every part of it.
void slammer(QPainter& p) {
    const QColor base(200, 36, 32), line(70, 8, 8);
    QPainterPath block;
    block.addRoundedRect(QRectF(7, 7, 76, 76), 10, 10);
    {
        const QPointF light(7 + 76 * 0.32, 7 + 76 * 0.28);
        QRadialGradient g(light, 76 * 0.95, light);
        g.setColorAt(0.0, tone(base, 1.12));
        g.setColorAt(0.45, base);
        g.setColorAt(1.0, tone(base, 0.55));
        p.setBrush(g);
        p.setPen(QPen(line, 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(block);
    }
    // Bevel: a lit top-left rim and a darker bottom-right one.
    QPainterPath inner;
    inner.addRoundedRect(QRectF(16, 16, 58, 58), 6, 6);
    QLinearGradient bevel(16, 16, 74, 74);
    bevel.setColorAt(0, QColor(150, 20, 20));
    bevel.setColorAt(1, QColor(250, 110, 90));
    p.setPen(QPen(QBrush(bevel), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(inner);
    for (QPointF r : {QPointF(13, 13), QPointF(77, 13), QPointF(13, 77), QPointF(77, 77)}) {
        QPainterPath rivet = ellipse(r.x(), r.y(), 3.2, 3.2);
        shade(p, rivet, QColor(220, 200, 190), 1.2, line);
    }
    const QPainterPath bolt = polygon({{52, 17}, {28, 49}, {43, 49}, {36, 74}, {63, 38}, {48, 38}, {56, 17}});
    p.setPen(QPen(QColor(255, 214, 40), 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bolt);
    QLinearGradient fill(0, 17, 0, 74);
    fill.setColorAt(0, QColor(44, 96, 220));
    fill.setColorAt(1, QColor(16, 36, 130));
    p.setBrush(fill);
    p.setPen(QPen(QColor(10, 14, 60), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(bolt);
}

// A round black bomb with a lit fuse.
void bomb(QPainter& p) {
    const QColor line(8, 8, 12);
    QPainterPath fuse;
    fuse.moveTo(60, 24);
    fuse.cubicTo(66, 14, 70, 18, 73, 14);
    strokePath(p, fuse, QColor(40, 30, 20), 5.5);
    strokePath(p, fuse, QColor(200, 160, 100), 2.6);
    const QPainterPath body = ellipse(42, 54, 32, 32);
    QRadialGradient g(QPointF(32, 42), 44, QPointF(30, 40));
    g.setColorAt(0, QColor(110, 112, 130));
    g.setColorAt(0.4, QColor(46, 46, 58));
    g.setColorAt(1, QColor(16, 16, 22));
    p.setBrush(g);
    p.setPen(QPen(line, 3));
    p.drawPath(body);
    QPainterPath cap;
    cap.addRoundedRect(QRectF(-9, -7, 18, 14), 3, 3);
    QTransform t;
    t.translate(58, 27);
    t.rotate(40);
    shade(p, t.map(cap), QColor(120, 124, 136), 2.4, line);
    gloss(p, body, 0.45);
    // The spark.
    const QPointF s(75, 13);
    QPainterPath star;
    for (int i = 0; i < 16; ++i) {
        const double a = i * pi / 8, r = (i % 2 == 0) ? 9.0 : 4.0;
        const QPointF q = s + QPointF(std::cos(a) * r, std::sin(a) * r);
        if (i == 0) star.moveTo(q); else star.lineTo(q);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(200, 60, 0), 1.6));
    p.setBrush(QColor(255, 200, 30));
    p.drawPath(star);
    fillPath(p, ellipse(s.x(), s.y(), 3, 3), QColor(255, 244, 170));
}

// A shiny festive ornament with a gold cap and loop.
void bauble(QPainter& p) {
    const QColor base(226, 46, 150), line(82, 8, 52), gold(236, 180, 40), goldLine(110, 70, 0);
    strokePath(p, ellipse(45, 10, 6, 6), goldLine, 5);
    strokePath(p, ellipse(45, 10, 6, 6), gold, 2.4);
    const QPainterPath ball = ellipse(45, 54, 32, 31);
    shade(p, ball, base, 3.2, line);
    // A gold zigzag band around the middle.
    p.save();
    p.setClipPath(ball);
    QPainterPath band;
    band.moveTo(10, 50);
    for (int i = 0; i <= 8; ++i) band.lineTo(10 + i * 9, (i % 2 == 0) ? 50 : 60);
    strokePath(p, band, goldLine, 7);
    strokePath(p, band, gold, 4);
    fillPath(p, ellipse(28, 70, 3, 3), QColor(255, 220, 90));
    fillPath(p, ellipse(62, 72, 3, 3), QColor(255, 220, 90));
    fillPath(p, ellipse(45, 78, 3, 3), QColor(255, 220, 90));
    p.restore();
    strokePath(p, ball, line, 3.2);
    gloss(p, ball, 0.7);
    QPainterPath cap;
    cap.addRoundedRect(QRectF(35, 15, 20, 11), 2.5, 2.5);
    shade(p, cap, gold, 2.2, goldLine);
    glint(p, {30, 38}, 7, QColor(255, 240, 250));
}

// A brilliant-cut diamond.
void diamond(QPainter& p) {
    const QColor line(10, 50, 110);
    const QPointF a(8, 33), b(22, 14), c(68, 14), d(82, 33), tip(45, 84);
    const QPointF t1(34, 14), t2(56, 14), m1(30, 33), m2(45, 33), m3(60, 33);
    struct Facet { std::vector<QPointF> pts; QColor c; };
    const std::vector<Facet> facets = {
        {{b, t1, m1, a}, QColor(210, 250, 255)},
        {{t1, t2, m2}, QColor(170, 240, 255)},
        {{t1, m2, m1}, QColor(120, 220, 245)},
        {{t2, m3, m2}, QColor(130, 215, 240)},
        {{t2, c, d, m3}, QColor(80, 190, 235)},
        {{a, m1, tip}, QColor(110, 220, 245)},
        {{m1, m2, tip}, QColor(170, 238, 255)},
        {{m2, m3, tip}, QColor(60, 170, 225)},
        {{m3, d, tip}, QColor(30, 130, 200)},
    };
    for (const Facet& f : facets) {
        p.setPen(QPen(f.c, 0.8));
        p.setBrush(f.c);
        p.drawPath(polygon(f.pts));
    }
    p.setPen(QPen(QColor(20, 100, 170), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    for (const Facet& f : facets) p.drawPath(polygon(f.pts));
    strokePath(p, polygon({a, b, c, d, tip}), line, 3.2);
    glint(p, {26, 22}, 9, QColor(252, 252, 255));
    glint(p, {62, 46}, 5, QColor(240, 252, 255));
}

// A pocket calculator; the negative one is its colour negative with a minus.
struct CalculatorColours {
    QColor body, line, screen, ink, keys, keyAccent;
    QString sign;
};

void calculator(QPainter& p, const CalculatorColours& k) {
    QPainterPath body;
    body.addRoundedRect(QRectF(14, 6, 62, 80), 9, 9);
    shade(p, body, k.body, 3.2, k.line);
    gloss(p, body, 0.35);
    QPainterPath screen;
    screen.addRoundedRect(QRectF(21, 13, 48, 22), 3, 3);
    QLinearGradient sg(21, 13, 21, 35);
    sg.setColorAt(0, tone(k.screen, 1.2));
    sg.setColorAt(1, k.screen);
    p.setBrush(sg);
    p.setPen(QPen(k.line, 2));
    p.drawPath(screen);
    drawText(p, k.sign, sansFont(24), {45, 24.5}, k.ink);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            QPainterPath key;
            key.addRoundedRect(QRectF(21 + col * 17, 42 + row * 13.5, 14, 10), 2.5, 2.5);
            shade(p, key, (col == 2) ? k.keyAccent : k.keys, 1.4, k.line);
        }
    }
}

// A snake-haired gorgon head with a fierce stare.
void gorgon(QPainter& p) {
    const QColor skin(226, 170, 86), line(70, 30, 10), snake(70, 168, 80), snakeLine(14, 60, 20);
    struct Snake { QPointF root, ctrl1, ctrl2, head; };
    const std::vector<Snake> snakes = {
        {{24, 46}, {9, 46}, {22, 30}, {12, 25}},
        {{30, 36}, {16, 28}, {34, 24}, {23, 15}},
        {{45, 31}, {35, 24}, {54, 20}, {45, 12}},
        {{58, 35}, {70, 26}, {58, 20}, {68, 14}},
        {{66, 46}, {82, 44}, {70, 32}, {78, 24}},
    };
    auto at = [](const Snake& s, double t) {
        const double u = 1 - t;
        return s.root * (u * u * u) + s.ctrl1 * (3 * u * u * t) + s.ctrl2 * (3 * u * t * t) + s.head * (t * t * t);
    };
    // Bodies: tapering, banded, outlined.
    for (int pass = 0; pass < 2; ++pass) {
        for (const Snake& s : snakes) {
            const int steps = 14;
            for (int i = 0; i < steps; ++i) {
                const double t0 = double(i) / steps, t1 = double(i + 1) / steps;
                const double w = 9.5 - 4.0 * t0;
                const QColor band = (i % 3 == 1) ? QColor(190, 210, 70) : snake;
                p.setPen(QPen(pass == 0 ? snakeLine : band, pass == 0 ? w + 3.2 : w, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(at(s, t0), at(s, t1));
            }
        }
    }
    // Heads looking outwards, with a forked tongue.
    for (const Snake& s : snakes) {
        const QPointF d = at(s, 1.0) - at(s, 0.9);
        const double angle = std::atan2(d.y(), d.x()) * 180 / pi;
        p.save();
        p.translate(s.head);
        p.rotate(angle);
        QPainterPath tongue;
        tongue.moveTo(6, 0);
        tongue.lineTo(8.5, 0);
        tongue.lineTo(10.5, -1.8);
        tongue.moveTo(8.5, 0);
        tongue.lineTo(10.5, 1.8);
        strokePath(p, tongue, QColor(220, 30, 40), 1.4);
        const QPainterPath head = ellipse(1.5, 0, 6.2, 4.6);
        shade(p, head, QColor(96, 190, 86), 1.8, snakeLine);
        fillPath(p, ellipse(2.5, -2.2, 1.5, 1.3), QColor(250, 220, 40));
        fillPath(p, ellipse(2.5, 2.2, 1.5, 1.3), QColor(250, 220, 40));
        fillPath(p, ellipse(2.8, -2.2, 0.6, 1.0), QColor(20, 10, 0));
        fillPath(p, ellipse(2.8, 2.2, 0.6, 1.0), QColor(20, 10, 0));
        p.restore();
    }
    const QPainterPath face = smoothLoop({{45, 28}, {66, 34}, {74, 56}, {64, 78}, {45, 86}, {26, 78}, {16, 56}, {24, 34}});
    shade(p, face, skin, 3.2, line);
    gloss(p, face, 0.4);
    // Angry brows and glowing eyes.
    QPainterPath brows;
    brows.moveTo(26, 44);
    brows.lineTo(42, 50);
    brows.moveTo(64, 44);
    brows.lineTo(48, 50);
    strokePath(p, brows, line, 4);
    fillPath(p, ellipse(35, 55, 5.5, 4.5), QColor(250, 240, 120));
    fillPath(p, ellipse(55, 55, 5.5, 4.5), QColor(250, 240, 120));
    strokePath(p, ellipse(35, 55, 5.5, 4.5), line, 1.6);
    strokePath(p, ellipse(55, 55, 5.5, 4.5), line, 1.6);
    fillPath(p, ellipse(35, 55, 1.6, 3.6), QColor(30, 10, 0));
    fillPath(p, ellipse(55, 55, 1.6, 3.6), QColor(30, 10, 0));
    // A grimace with two fangs.
    QPainterPath mouth;
    mouth.moveTo(33, 70);
    mouth.quadTo(45, 64, 57, 70);
    mouth.quadTo(45, 78, 33, 70);
    mouth.closeSubpath();
    p.setPen(QPen(line, 2));
    p.setBrush(QColor(110, 20, 20));
    p.drawPath(mouth);
    fillPath(p, polygon({{38, 68}, {42, 67}, {40, 74}}), QColor(244, 244, 236));
    fillPath(p, polygon({{48, 67}, {52, 68}, {50, 74}}), QColor(244, 244, 236));
}

// A fat double-headed arrow with speed stripes.
void shifter(QPainter& p) {
    const QColor base(248, 138, 28), line(100, 40, 0);
    const QPainterPath arrow = polygon({{4, 45}, {28, 16}, {28, 32}, {62, 32}, {62, 16}, {86, 45},
                                        {62, 74}, {62, 58}, {28, 58}, {28, 74}});
    shade(p, arrow, base, 3.4, line);
    p.save();
    p.setClipPath(arrow);
    for (int i = 0; i < 3; ++i) {
        QPainterPath stripe = polygon({{34.0 + i * 9, 32}, {40.0 + i * 9, 32}, {36.0 + i * 9, 58}, {30.0 + i * 9, 58}});
        fillPath(p, stripe, QColor(255, 214, 120));
    }
    p.restore();
    gloss(p, arrow, 0.45);
    strokePath(p, arrow, line, 3.4);
}

// A marbled bowling ball with three finger holes.
void bowlingBall(QPainter& p) {
    const QColor line(6, 12, 40);
    const QPainterPath ball = ellipse(45, 46, 38, 38);
    QRadialGradient g(QPointF(32, 32), 56, QPointF(30, 30));
    g.setColorAt(0, QColor(110, 140, 240));
    g.setColorAt(0.45, QColor(36, 60, 170));
    g.setColorAt(1, QColor(10, 18, 70));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawPath(ball);
    p.save();
    p.setClipPath(ball);
    QPainterPath swirl;
    swirl.moveTo(8, 60);
    swirl.cubicTo(30, 40, 50, 80, 84, 50);
    swirl.moveTo(14, 30);
    swirl.cubicTo(36, 22, 44, 44, 70, 24);
    strokePath(p, swirl, QColor(130, 90, 220, 150), 5);
    strokePath(p, swirl, QColor(170, 150, 250, 120), 2);
    p.restore();
    strokePath(p, ball, line, 3.2);
    gloss(p, ball, 0.6);
    for (QPointF h : {QPointF(54, 30), QPointF(66, 40), QPointF(52, 46)}) {
        QPainterPath hole = ellipse(h.x(), h.y(), 5.2, 5.8);
        QRadialGradient hg(h + QPointF(1.5, 1.5), 6);
        hg.setColorAt(0, QColor(4, 4, 12));
        hg.setColorAt(1, QColor(30, 40, 90));
        p.setBrush(hg);
        p.setPen(QPen(QColor(8, 14, 50), 1.4));
        p.drawPath(hole);
    }
}

// A tied money bag marked with a dollar sign.
void money(QPainter& p) {
    const QColor base(218, 172, 84), line(84, 50, 10);
    const QPainterPath ruffle = smoothLoop({{34, 18}, {40, 6}, {46, 14}, {52, 5}, {58, 17}, {50, 24}, {40, 24}});
    shade(p, ruffle, tone(base, 1.05), 2.8, line);
    const QPainterPath bag = smoothLoop({{38, 26}, {52, 26}, {60, 34}, {80, 56}, {76, 80}, {45, 86}, {14, 80}, {10, 56}, {30, 34}});
    shade(p, bag, base, 3.2, line);
    gloss(p, bag, 0.35);
    // The tie.
    QPainterPath tie;
    tie.addRoundedRect(QRectF(33, 22, 24, 7), 3, 3);
    shade(p, tie, QColor(170, 50, 40), 2, QColor(70, 10, 10));
    // Burlap stitches.
    QPainterPath stitch;
    stitch.moveTo(18, 76);
    stitch.quadTo(45, 84, 72, 76);
    p.setPen(QPen(tone(base, 0.65), 1.6, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stitch);
    drawText(p, "$", sansFont(40), {45, 58}, QColor(40, 150, 60), QColor(10, 60, 20), 5);
    drawText(p, "$", sansFont(40), {45, 58}, QColor(60, 180, 80));
}

// Two beamed golden eighth notes.
void musicNote(QPainter& p) {
    const QColor base(250, 196, 40), line(100, 56, 0);
    QPainterPath note;
    note.setFillRule(Qt::WindingFill);
    note.addEllipse(QPointF(25, 70), 13, 10);
    note.addEllipse(QPointF(66, 62), 13, 10);
    note.addRect(QRectF(32, 20, 6.5, 50));
    note.addRect(QRectF(73, 12, 6.5, 50));
    note.addPolygon(QPolygonF({QPointF(32, 14), QPointF(79.5, 5), QPointF(79.5, 19), QPointF(32, 28)}));
    note.closeSubpath();
    QTransform t;
    t.translate(45, 47);
    t.rotate(-6);
    t.scale(0.94, 0.94);
    t.translate(-45, -45);
    note = t.map(note).simplified();
    shade(p, note, base, 3.2, line);
    gloss(p, note, 0.4);
}

// The B-Type piece: an octagonal badge with a bold B.
void bType(QPainter& p) {
    const QColor base(40, 128, 140), line(6, 44, 52);
    std::vector<QPointF> pts;
    for (int i = 0; i < 8; ++i) {
        const double a = pi / 8 + i * pi / 4;
        pts.push_back({45 + std::cos(a) * 40, 45 + std::sin(a) * 40});
    }
    const QPainterPath badge = polygon(pts);
    shade(p, badge, base, 3.4, line);
    std::vector<QPointF> inner;
    for (const QPointF& q : pts) inner.push_back(QPointF(45, 45) + (q - QPointF(45, 45)) * 0.8);
    strokePath(p, polygon(inner), QColor(120, 210, 214), 2.2);
    gloss(p, badge, 0.35);
    drawText(p, "B", sansFont(50), {46, 46}, QColor(250, 200, 50), QColor(60, 30, 0), 6);
}

// A bowling pin with red neck stripes.
void pin(QPainter& p) {
    const QColor base(236, 232, 226), line(70, 60, 60);
    const QPainterPath body = smoothLoop({{45, 4}, {53, 10}, {53, 26}, {49, 36}, {60, 54}, {58, 76}, {50, 86},
                                          {40, 86}, {32, 76}, {30, 54}, {41, 36}, {37, 26}, {37, 10}});
    QLinearGradient g(30, 0, 62, 0);
    g.setColorAt(0, QColor(250, 250, 246));
    g.setColorAt(0.55, base);
    g.setColorAt(1, QColor(170, 164, 160));
    p.setBrush(g);
    p.setPen(QPen(line, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(body);
    p.save();
    p.setClipPath(body);
    fillPath(p, QPainterPath([] { QPainterPath r; r.addRect(20, 27, 50, 4); return r; }()), QColor(210, 30, 40));
    fillPath(p, QPainterPath([] { QPainterPath r; r.addRect(20, 34, 50, 4); return r; }()), QColor(210, 30, 40));
    p.restore();
    strokePath(p, body, line, 3);
    fillPath(p, ellipse(41, 14, 2.5, 5), QColor(255, 255, 255, 200));
    fillPath(p, ellipse(38, 62, 3, 9), QColor(255, 255, 255, 160));
}

// --- fruit -----------------------------------------------------------------

void leaf(QPainter& p, QPointF from, QPointF to, double width, QColor c) {
    const QPointF d = to - from;
    const QPointF n(-d.y(), d.x());
    const double len = std::hypot(d.x(), d.y());
    const QPointF nn = n / len * width;
    QPainterPath l;
    l.moveTo(from);
    l.quadTo(from + d * 0.5 + nn, to);
    l.quadTo(from + d * 0.5 - nn, from);
    l.closeSubpath();
    shade(p, l, c, 2.2, tone(c, 0.35));
    QPainterPath vein;
    vein.moveTo(from);
    vein.lineTo(from + d * 0.85);
    strokePath(p, vein, tone(c, 0.6), 1.2);
}

void apple(QPainter& p) {
    const QColor base(222, 32, 40), line(80, 6, 10);
    QPainterPath stem;
    stem.moveTo(45, 26);
    stem.quadTo(44, 14, 50, 8);
    strokePath(p, stem, QColor(60, 30, 10), 5);
    strokePath(p, stem, QColor(130, 80, 30), 2.4);
    const QPainterPath body = smoothLoop({{45, 24}, {62, 16}, {80, 30}, {80, 60}, {64, 84}, {45, 80}, {26, 84}, {10, 60}, {10, 30}, {28, 16}});
    shade(p, body, base, 3.2, line);
    gloss(p, body, 0.6);
    leaf(p, {49, 14}, {74, 6}, 7, QColor(80, 180, 50));
}

void orange(QPainter& p) {
    const QColor base(250, 144, 24), line(110, 50, 0);
    const QPainterPath body = ellipse(45, 49, 37, 35);
    shade(p, body, base, 3.2, line);
    Rng rng(5);
    p.save();
    p.setClipPath(body);
    for (int i = 0; i < 60; ++i) {
        const double a = rng.range(0, 2 * pi), r = std::sqrt(rng.next()) * 32;
        fillPath(p, ellipse(45 + std::cos(a) * r, 49 + std::sin(a) * r, 1.1, 1.1), QColor(214, 110, 10, 170));
    }
    p.restore();
    gloss(p, body, 0.5);
    fillPath(p, ellipse(45, 15, 4, 3), QColor(90, 110, 30));
    leaf(p, {46, 15}, {66, 4}, 6.5, QColor(60, 160, 50));
}

void cherry(QPainter& p) {
    const QColor base(206, 18, 52), line(70, 0, 16);
    QPainterPath stems;
    stems.moveTo(26, 54);
    stems.quadTo(34, 26, 56, 8);
    stems.moveTo(62, 60);
    stems.quadTo(60, 30, 56, 8);
    strokePath(p, stems, QColor(50, 70, 10), 5);
    strokePath(p, stems, QColor(110, 150, 40), 2.4);
    leaf(p, {56, 9}, {82, 16}, 7, QColor(80, 176, 50));
    for (QPointF c : {QPointF(26, 64), QPointF(62, 68)}) {
        const QPainterPath ball = ellipse(c.x(), c.y(), 19, 18);
        shade(p, ball, base, 3, line);
        gloss(p, ball, 0.65);
    }
}

void grapes(QPainter& p) {
    const QColor base(130, 56, 170), line(46, 10, 70);
    QPainterPath stem;
    stem.moveTo(44, 20);
    stem.quadTo(42, 10, 48, 4);
    strokePath(p, stem, QColor(60, 40, 10), 5);
    strokePath(p, stem, QColor(140, 100, 40), 2.4);
    leaf(p, {46, 12}, {76, 10}, 8, QColor(90, 170, 50));
    const double grapesAt[][2] = {{28, 28}, {45, 26}, {62, 28}, {20, 44}, {37, 43}, {54, 43}, {70, 44},
                                  {28, 59}, {45, 59}, {62, 59}, {36, 73}, {54, 73}, {45, 85}};
    for (const auto& g : grapesAt) {
        const double r = (g[1] > 80) ? 8 : 10;
        const double cy = g[1] > 80 ? 79 : g[1];
        const QPainterPath berry = ellipse(g[0], cy, r, r);
        shade(p, berry, base, 2.4, line);
        fillPath(p, ellipse(g[0] - r * 0.35, cy - r * 0.4, r * 0.28, r * 0.22), QColor(220, 190, 240));
    }
}

}  // namespace

void forgePieces(Forge& forge) {
    const struct {
        const char* file;
        void (*paint)(QPainter&);
    } pieces[] = {
        {"images/pomlet1.bmp", pomletPurple}, {"images/pomlet2.bmp", pomletGreen},
        {"images/pomlet3.bmp", pomletWhite},  {"images/pomlet4.bmp", pomletBlue},
        {"images/rock1.bmp", rockBoulder},    {"images/rock2.bmp", rockFaceted},
        {"images/rock3.bmp", rockCairn},      {"images/slammer.bmp", slammer},
        {"images/bomb.bmp", bomb},            {"images/bauble.bmp", bauble},
        {"images/diamond.bmp", diamond},      {"images/gorgon.bmp", gorgon},
        {"images/shifter.bmp", shifter},      {"images/bowlingball.bmp", bowlingBall},
        {"images/money.bmp", money},          {"images/music.bmp", musicNote},
        {"images/btype.bmp", bType},          {"images/pin.bmp", pin},
        {"images/apple.bmp", apple},          {"images/orange.bmp", orange},
        {"images/cherry.bmp", cherry},        {"images/grapes.bmp", grapes},
    };
    for (const auto& piece : pieces) forge.save(piece.file, paintKeyed(90, 90, piece.paint), Keying::keyed);
    // Each piece at twice the size too, for the windows' sharp pictures.
    for (const auto& piece : pieces) forge.keep(at2x(piece.file), paintKeyed(90, 90, piece.paint, 2), Keying::keyed);

    const CalculatorColours positive{QColor(118, 134, 160), QColor(24, 30, 48),  QColor(150, 210, 110),
                                     QColor(20, 70, 20),    QColor(210, 214, 224), QColor(250, 150, 40), "+"};
    // The negative twin: every colour turned into its complement, a minus on
    // the screen, the outline kept dark so that the edge stays hard.
    auto negativeOf = [](QColor c) { return QColor(255 - c.red(), 255 - c.green(), 255 - c.blue()); };
    const CalculatorColours negative{negativeOf(positive.body), QColor(40, 16, 30),
                                     negativeOf(positive.screen), negativeOf(positive.ink),
                                     QColor(70, 60, 50), negativeOf(positive.keyAccent), QString(QChar(0x2212))};
    // The program icon: the purple Pomlet, painted at each size (PNG with alpha);
    // twice the sizes for the manual's sharp pictures of it.
    auto iconOf = [](int size) {
        QImage canvas = newCanvas(size, size);
        QPainter p(&canvas);
        prepare(p);
        p.scale(size / 90.0, size / 90.0);
        pomletPurple(p);
        p.end();
        return canvas;
    };
    for (int size : {48, 32, 16}) forge.save(QString("images/ui/icon%1.png").arg(size), iconOf(size), Keying::opaque);
    for (int size : {48, 16}) forge.keep(at2x(QString("images/ui/icon%1.png").arg(size)), iconOf(2 * size), Keying::opaque);

    for (int scale : {1, 2}) {
        const QImage plus = paintKeyed(90, 90, [&](QPainter& p) { calculator(p, positive); }, scale);
        const QImage minus = paintKeyed(90, 90, [&](QPainter& p) { calculator(p, negative); }, scale);
        if (scale == 1) {
            forge.save("images/calculator.bmp", plus, Keying::keyed);
            forge.save("images/calculator_02.bmp", minus, Keying::keyed);
        } else {
            forge.keep(at2x("images/calculator.bmp"), plus, Keying::keyed);
            forge.keep(at2x("images/calculator_02.bmp"), minus, Keying::keyed);
        }
    }
}

}  // namespace pomlets::forge

// The sprites of the game's effects (keyed white): the row pointer, the two
// zap beams, the explosion, the five frames of a leaping frog and the 38
// letter pictures of the scrolling messages.
#include <QLinearGradient>
#include <QRadialGradient>

#include <cmath>

#include "pictures.h"

namespace pomlets::forge {

namespace {

constexpr double pi = 3.14159265358979323846;

QPainterPath starPath(QPointF c, int spikes, double inner, double outer, Rng& rng, double jitter) {
    QPainterPath s;
    for (int i = 0; i < spikes * 2; ++i) {
        const double a = i * pi / spikes + rng.range(-jitter, jitter) * pi / spikes;
        const double r = (i % 2 == 0) ? outer * rng.range(0.78, 1.0) : inner * rng.range(0.85, 1.05);
        const QPointF q = c + QPointF(std::cos(a) * r, std::sin(a) * r);
        if (i == 0) s.moveTo(q); else s.lineTo(q);
    }
    s.closeSubpath();
    return s;
}

QImage pointer(int scale = 1) {
    QImage canvas = newCanvas(70 * scale, 45 * scale);
    QPainter p(&canvas);
    prepare(p);
    if (scale != 1) p.scale(scale, scale);
    QPainterPath arrow;
    arrow.moveTo(5, 14);
    arrow.lineTo(38, 14);
    arrow.lineTo(38, 4);
    arrow.lineTo(66, 22.5);
    arrow.lineTo(38, 41);
    arrow.lineTo(38, 31);
    arrow.lineTo(5, 31);
    arrow.closeSubpath();
    QLinearGradient g(0, 4, 0, 41);
    g.setColorAt(0, QColor(255, 236, 120));
    g.setColorAt(0.5, QColor(255, 196, 20));
    g.setColorAt(1, QColor(220, 120, 0));
    p.setBrush(g);
    p.setPen(QPen(QColor(90, 40, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(arrow);
    p.setPen(QPen(QColor(255, 246, 190), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 18), QPointF(36, 18));
    p.drawLine(QPointF(42, 11), QPointF(58, 22));
    p.end();
    return keyOnWhite(canvas);
}

// A vertical beam filling the picture's width: deep blue rims, a bright core
// and a zigzag spark down its middle. The game stretches it to any thickness.
QImage zapVertical() {
    QImage canvas = newCanvas(80, 80);
    QPainter p(&canvas);
    prepare(p);
    Rng rng(77);
    QPainterPath beam;
    beam.moveTo(6, 0);
    for (int y = 0; y <= 80; y += 8) beam.lineTo(rng.range(2, 8), y);
    beam.lineTo(80 - rng.range(2, 8), 80);
    for (int y = 80; y >= 0; y -= 8) beam.lineTo(80 - rng.range(2, 8), y);
    beam.closeSubpath();
    QLinearGradient g(0, 0, 80, 0);
    g.setColorAt(0.0, QColor(30, 40, 170));
    g.setColorAt(0.18, QColor(60, 120, 250));
    g.setColorAt(0.36, QColor(120, 220, 255));
    g.setColorAt(0.5, QColor(214, 246, 255));
    g.setColorAt(0.64, QColor(120, 220, 255));
    g.setColorAt(0.82, QColor(60, 120, 250));
    g.setColorAt(1.0, QColor(30, 40, 170));
    p.setPen(QPen(QColor(20, 20, 110), 2));
    p.setBrush(g);
    p.drawPath(beam);
    QPainterPath spark;
    spark.moveTo(40, 0);
    for (int y = 10; y <= 80; y += 10) spark.lineTo(40 + ((y / 10) % 2 ? 9 : -9), y);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 250, 170), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(spark);
    p.end();
    return keyOnWhite(canvas);
}

QImage explosion() {
    QImage canvas = newCanvas(300, 300);
    QPainter p(&canvas);
    prepare(p);
    Rng rng(300);
    const QPointF c(150, 150);
    const QPainterPath outer = starPath(c, 14, 92, 146, rng, 0.35);
    QRadialGradient g(c, 146);
    g.setColorAt(0, QColor(255, 160, 30));
    g.setColorAt(0.7, QColor(230, 60, 20));
    g.setColorAt(1, QColor(160, 20, 10));
    p.setBrush(g);
    p.setPen(QPen(QColor(90, 10, 0), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(outer);
    const QPainterPath middle = starPath(c, 11, 62, 104, rng, 0.4);
    QRadialGradient gm(c, 104);
    gm.setColorAt(0, QColor(255, 240, 120));
    gm.setColorAt(1, QColor(255, 150, 20));
    p.setBrush(gm);
    p.setPen(Qt::NoPen);
    p.drawPath(middle);
    const QPainterPath core = starPath(c, 9, 34, 60, rng, 0.4);
    QRadialGradient gc(c - QPointF(8, 8), 60);
    gc.setColorAt(0, QColor(255, 254, 236));
    gc.setColorAt(1, QColor(255, 226, 90));
    p.setBrush(gc);
    p.drawPath(core);
    // Flying sparks inside the burst.
    for (int i = 0; i < 18; ++i) {
        const double a = rng.range(0, 2 * pi), r = rng.range(70, 110);
        const QPointF q = c + QPointF(std::cos(a) * r, std::sin(a) * r);
        p.setBrush(QColor(255, 236, 140));
        p.drawEllipse(q, rng.range(3, 6), rng.range(3, 6));
    }
    p.end();
    return keyOnWhite(canvas);
}

// A frog seen from the side, facing left, in one pose of its leap.
struct FrogPose {
    double tilt;      // degrees; negative dips the nose (the frogs leap down and to the left)
    double stretch;   // 0 folded hind legs .. 1 fully stretched behind
    double reach;     // 0 front legs tucked .. 1 reaching forward
};

QPointF lerp(QPointF a, QPointF b, double t) { return a + (b - a) * t; }

void limb(QPainter& p, const std::vector<QPointF>& joints, double width, QColor fill, QColor line) {
    QPainterPath path;
    path.moveTo(joints[0]);
    for (size_t i = 1; i < joints.size(); ++i) path.lineTo(joints[i]);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(line, width + 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(fill, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

void webbedFoot(QPainter& p, QPointF at, double angle, QColor fill, QColor line) {
    p.save();
    p.translate(at);
    p.rotate(angle);
    QPainterPath foot;
    foot.moveTo(0, -2);
    foot.lineTo(-10, -6);
    foot.lineTo(-9, -1);
    foot.lineTo(-12, 2);
    foot.lineTo(-8, 4);
    foot.lineTo(-9, 8);
    foot.lineTo(0, 3);
    foot.closeSubpath();
    p.setPen(QPen(line, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(foot);
    p.restore();
}

QImage frog(const FrogPose& pose) {
    QImage canvas = newCanvas(100, 100);
    QPainter p(&canvas);
    prepare(p);
    const QColor skin(86, 200, 60), dark(20, 70, 16), belly(230, 236, 120), leg(66, 172, 46);
    p.translate(50, 52);
    p.rotate(pose.tilt);
    p.scale(0.92, 0.92);
    p.translate(-50, -52);
    const double s = pose.stretch, r = pose.reach;
    // Front leg: tucked under the chest or reaching forward for the landing.
    const QPointF shoulder(34, 62);
    const QPointF elbow = lerp({30, 72}, {20, 68}, r);
    const QPointF hand = lerp({22, 78}, {8, 66}, r);
    limb(p, {shoulder, elbow, hand}, 6, leg, dark);
    webbedFoot(p, hand + QPointF(2, 0), lerp({0, 0}, {30, 0}, r).x(), leg, dark);
    // Body and head in one outline.
    QPainterPath body;
    body.setFillRule(Qt::WindingFill);
    body.addEllipse(QPointF(52, 56), 28, 17);
    body.addEllipse(QPointF(30, 50), 16, 13);
    body.addEllipse(QPointF(30, 39), 8, 7.5);  // eye bump
    body = body.simplified();
    shade(p, body, skin, 3, dark);
    p.save();
    p.setClipPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(belly);
    p.drawEllipse(QPointF(44, 71), 28, 9);
    p.setBrush(QColor(50, 150, 40));
    p.drawEllipse(QPointF(58, 48), 5, 3.5);
    p.drawEllipse(QPointF(68, 54), 3.5, 2.6);
    p.drawEllipse(QPointF(50, 44), 3, 2.2);
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(dark, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(body);
    // Hind leg: from folded along the flank to stretched out behind and up.
    const QPointF hip = lerp({68, 58}, {70, 56}, s);
    const QPointF knee = lerp({52, 66}, {84, 58}, s);
    const QPointF ankle = lerp({72, 74}, {91, 51}, s);
    const QPointF toe = lerp({56, 78}, {96, 45}, s);
    limb(p, {hip, knee}, 12, leg, dark);
    limb(p, {knee, ankle, toe}, 7, leg, dark);
    webbedFoot(p, toe, lerp({0, 0}, {-150, 0}, s).x(), leg, dark);
    // Eye and a wide smile.
    p.setPen(QPen(dark, 1.4));
    p.setBrush(QColor(250, 210, 40));
    p.drawEllipse(QPointF(29, 38), 5.5, 5.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 20));
    p.drawEllipse(QPointF(27.5, 38), 2.4, 3.8);
    p.setBrush(QColor(240, 240, 230));
    p.drawEllipse(QPointF(27, 36.5), 1, 1);
    p.setPen(QPen(dark, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath mouth;
    mouth.moveTo(16, 52);
    mouth.quadTo(26, 58, 40, 54);
    p.drawPath(mouth);
    p.end();
    return keyOnWhite(canvas);
}

// A letter picture: a bold glyph in warm gold with a thick dark outline.
QImage glyph(const QString& text) {
    QImage canvas = newCanvas(50, 50);
    if (!text.isEmpty()) {
        QPainter p(&canvas);
        prepare(p);
        QPainterPath path;
        path.addText(QPointF(0, 0), sansFont(44), text);
        const QRectF r = path.boundingRect();
        path.translate(25 - r.center().x(), 25 - r.center().y());
        QLinearGradient g(0, 6, 0, 44);
        g.setColorAt(0, QColor(255, 242, 120));
        g.setColorAt(0.5, QColor(255, 196, 30));
        g.setColorAt(1, QColor(240, 110, 10));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(70, 20, 0), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(path);
        p.end();
    }
    return keyOnWhite(canvas);
}

}  // namespace

void forgeEffects(Forge& forge) {
    forge.save("images/pointer.bmp", pointer(), Keying::keyed);
    forge.keep(at2x("images/pointer.bmp"), pointer(2), Keying::keyed);
    const QImage zapV = zapVertical();
    forge.save("images/zap_v.bmp", zapV, Keying::keyed);
    forge.save("images/zap_h.bmp", zapV.transformed(QTransform().rotate(90)), Keying::keyed);
    forge.save("images/explosion.bmp", explosion(), Keying::keyed);

    // One leap: crouch, push off, full stretch, tuck, reach for the landing.
    const FrogPose leap[5] = {
        {4, 0.0, 0.0}, {-8, 0.5, 0.3}, {-22, 1.0, 0.6}, {-14, 0.65, 1.0}, {0, 0.25, 0.8},
    };
    for (int i = 0; i < 5; ++i) forge.save(QString("images/frog%1.bmp").arg(i + 1, 2, 10, QChar('0')), frog(leap[i]), Keying::keyed);

    for (char c = 'A'; c <= 'Z'; ++c) forge.save(QString("images/%1.bmp").arg(c), glyph(QString(c)), Keying::keyed);
    forge.save("images/!.bmp", glyph("!"), Keying::keyed);
    forge.save("images/Space.bmp", glyph(QString()), Keying::keyed);
    for (char c = '0'; c <= '9'; ++c) forge.save(QString("images/%1.bmp").arg(c), glyph(QString(c)), Keying::keyed);
}

}  // namespace pomlets::forge

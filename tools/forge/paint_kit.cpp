#include "paint_kit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace pomlets::forge {

namespace {

QString sansFamily;
QString serifFamily;

QString loadFamily(const QString& folder, const QString& file) {
    const QString path = QDir(folder).filePath(file);
    const int id = QFontDatabase::addApplicationFont(path);
    if (id < 0) throw std::runtime_error("cannot load font " + path.toStdString());
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) throw std::runtime_error("font without family " + path.toStdString());
    return families.front();
}

void putLe(QByteArray& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(char((v >> (8 * i)) & 0xFF));
}

}  // namespace

void Forge::save(const QString& relativePath, const QImage& image, Keying keying) {
    const QString full = QDir(programFolder_).filePath(relativePath);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (relativePath.endsWith(".png")) {
        rgb = image.convertToFormat(QImage::Format_ARGB32);
        if (!rgb.save(full, "PNG")) throw std::runtime_error("cannot write " + full.toStdString());
    } else {
        writeBmp24(rgb, full);
    }
    remember(relativePath, rgb, keying, true);
}

void Forge::keep(const QString& relativePath, const QImage& image, Keying keying) {
    remember(relativePath, image.convertToFormat(QImage::Format_RGB32), keying, false);
}

void Forge::remember(const QString& relativePath, const QImage& image, Keying keying, bool written) {
    const auto found = index_.find(relativePath);
    if (found != index_.end()) {
        pictures_[found->second] = {relativePath, image, keying, written};
    } else {
        index_[relativePath] = pictures_.size();
        pictures_.push_back({relativePath, image, keying, written});
    }
}

const QImage& Forge::picture(const QString& relativePath) const {
    const auto found = index_.find(relativePath);
    if (found == index_.end()) throw std::runtime_error("picture not made yet: " + relativePath.toStdString());
    return pictures_[found->second].image;
}

const QImage& Forge::picture(const QString& relativePath, int scale) const {
    return picture(scale == 1 ? relativePath : at2x(relativePath));
}

QString at2x(const QString& path) {
    const int dot = path.lastIndexOf('.');
    const int slash = path.lastIndexOf('/');
    if (dot <= slash) return path + "@2x";
    return path.left(dot) + "@2x" + path.mid(dot);
}

QImage newCanvas(int width, int height) {
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

bool nearKey(QRgb c) { return qRed(c) >= 248 && qGreen(c) >= 252 && qBlue(c) >= 248; }

QImage keyOnWhite(const QImage& canvas) {
    const QImage art = canvas.convertToFormat(QImage::Format_ARGB32);
    QImage out(art.size(), QImage::Format_RGB32);
    for (int y = 0; y < art.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(art.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < art.width(); ++x) {
            const QRgb c = src[x];
            if (qAlpha(c) < 128) {
                dst[x] = qRgb(255, 255, 255);
                continue;
            }
            int r = qRed(c), g = qGreen(c), b = qBlue(c);
            // Pale pixels are pulled down below the key, keeping their tint.
            const int low = std::min({r, g, b});
            if (low > 242) {
                const int d = low - 242;
                r -= d;
                g -= d;
                b -= d;
            }
            dst[x] = qRgb(r, g, b);
        }
    }
    return out;
}

QImage flatten(const QImage& canvas, QColor under) {
    QImage out(canvas.size(), QImage::Format_RGB32);
    out.fill(under);
    QPainter p(&out);
    p.drawImage(0, 0, canvas);
    p.end();
    return out;
}

void writeBmp24(const QImage& image, const QString& path) {
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    const int stride = (w * 3 + 3) & ~3;
    const uint32_t dataSize = uint32_t(stride) * uint32_t(h);
    QByteArray out;
    out.reserve(int(54 + dataSize));
    out.append("BM");
    putLe(out, 54 + dataSize, 4);
    putLe(out, 0, 4);
    putLe(out, 54, 4);
    putLe(out, 40, 4);
    putLe(out, uint32_t(w), 4);
    putLe(out, uint32_t(h), 4);
    putLe(out, 1, 2);
    putLe(out, 24, 2);
    putLe(out, 0, 4);  // uncompressed
    putLe(out, dataSize, 4);
    putLe(out, 2835, 4);  // 72 dpi
    putLe(out, 2835, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.append(char(qBlue(row[x])));
            out.append(char(qGreen(row[x])));
            out.append(char(qRed(row[x])));
        }
        for (int pad = w * 3; pad < stride; ++pad) out.append('\0');
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(out) != out.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void loadFonts(const QString& folder) {
    sansFamily = loadFamily(folder, "LiberationSans-Bold.ttf");
    loadFamily(folder, "LiberationSans-Regular.ttf");
    serifFamily = loadFamily(folder, "LiberationSerif-Bold.ttf");
    loadFamily(folder, "LiberationSerif-Regular.ttf");
}

static QFont makeFont(const QString& family, double pixelSize, bool bold) {
    QFont f(family);
    f.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    f.setKerning(true);
    return f;
}

QFont sansFont(double pixelSize, bool bold) { return makeFont(sansFamily, pixelSize, bold); }
QFont serifFont(double pixelSize, bool bold) { return makeFont(serifFamily, pixelSize, bold); }

double textWidth(const QString& text, const QFont& font) { return QFontMetricsF(font).horizontalAdvance(text); }

QPainterPath textPath(const QString& text, const QFont& font, QPointF anchor, bool centred) {
    QPainterPath path;
    if (!centred) {
        path.addText(anchor, font, text);
        return path;
    }
    const QFontMetricsF m(font);
    const double w = m.horizontalAdvance(text);
    path.addText(QPointF(anchor.x() - w / 2, anchor.y() + m.capHeight() / 2), font, text);
    return path;
}

void drawText(QPainter& p, const QString& text, const QFont& font, QPointF anchor, QColor fill,
              QColor outline, double outlineWidth, bool centred) {
    const QPainterPath path = textPath(text, font, anchor, centred);
    if (outlineWidth > 0 && outline.alpha() > 0) {
        p.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
}

void drawTextTopLeft(QPainter& p, const QString& text, const QFont& font, QPointF topLeft, QColor fill) {
    const QFontMetricsF m(font);
    drawText(p, text, font, QPointF(topLeft.x(), topLeft.y() + m.ascent()), fill, Qt::transparent, 0, false);
}

void prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QColor mix(QColor a, QColor b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor(int(std::lround(a.red() + (b.red() - a.red()) * t)),
                  int(std::lround(a.green() + (b.green() - a.green()) * t)),
                  int(std::lround(a.blue() + (b.blue() - a.blue()) * t)),
                  int(std::lround(a.alpha() + (b.alpha() - a.alpha()) * t)));
}

QColor tone(QColor c, double factor) {
    if (factor >= 1.0) return mix(c, QColor(255, 255, 255, c.alpha()), factor - 1.0);
    return QColor(int(c.red() * factor), int(c.green() * factor), int(c.blue() * factor), c.alpha());
}

void shade(QPainter& p, const QPainterPath& path, QColor base, double outline, QColor outlineColour) {
    const QRectF r = path.boundingRect();
    const QPointF light(r.left() + r.width() * 0.32, r.top() + r.height() * 0.28);
    QRadialGradient g(light, std::max(r.width(), r.height()) * 0.95, light);
    g.setColorAt(0.0, tone(base, 1.45));
    g.setColorAt(0.45, base);
    g.setColorAt(1.0, tone(base, 0.55));
    p.setBrush(g);
    if (outline > 0) {
        if (!outlineColour.isValid()) outlineColour = tone(base, 0.35);
        p.setPen(QPen(outlineColour, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    } else {
        p.setPen(Qt::NoPen);
    }
    p.drawPath(path);
}

void gloss(QPainter& p, const QPainterPath& path, double strength) {
    const QRectF r = path.boundingRect();
    p.save();
    p.setClipPath(path, Qt::IntersectClip);
    const QPointF c(r.left() + r.width() * 0.33, r.top() + r.height() * 0.27);
    QRadialGradient g(c, std::min(r.width(), r.height()) * 0.32);
    g.setColorAt(0.0, QColor(255, 255, 255, int(255 * strength)));
    g.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r.width() * 0.32, r.height() * 0.26);
    p.restore();
}

void sunburst(QPainter& p, QPointF centre, int count, double reach, double wedge, int alpha) {
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const double a0 = i * 3.14159265358979 / (count / 2), a1 = a0 + wedge;
        QPainterPath ray;
        ray.moveTo(centre);
        ray.lineTo(centre.x() + std::cos(a0) * reach, centre.y() + std::sin(a0) * reach);
        ray.lineTo(centre.x() + std::cos(a1) * reach, centre.y() + std::sin(a1) * reach);
        ray.closeSubpath();
        p.setBrush(QColor(255, 255, 255, alpha));
        p.drawPath(ray);
    }
}

QImage unkeyed(const QImage& keyed) {
    QImage out = keyed.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((row[x] & 0xFFFFFF) == 0xFFFFFF) row[x] = 0;
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void drawKeyed(QPainter& p, const QImage& keyed, const QRectF& target) {
    const QImage art = unkeyed(keyed);
    const double scale = p.transform().m11();
    const QSize size(int(std::lround(target.width() * scale)), int(std::lround(target.height() * scale)));
    const QImage scaled = art.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scale == 1.0) {
        p.drawImage(target.topLeft(), scaled);
    } else {
        p.drawImage(QRectF(target.topLeft(), QSizeF(size) / scale), scaled);
    }
}

void drawDetonator(QPainter& p, const QRectF& box) {
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 30.0, box.height() / 30.0);
    QPainterPath body;
    body.addRoundedRect(QRectF(3, 14, 24, 14), 2, 2);
    shade(p, body, QColor(200, 40, 30), 1.6, QColor(60, 10, 5));
    p.setPen(QPen(QColor(30, 30, 30), 2.6));
    p.drawLine(QPointF(15, 14), QPointF(15, 6));
    QPainterPath handle;
    handle.addRoundedRect(QRectF(6, 3, 18, 5), 2, 2);
    shade(p, handle, QColor(190, 190, 200), 1.2, QColor(40, 40, 50));
    p.setPen(QPen(QColor(250, 210, 40), 1.6));
    p.drawLine(QPointF(7, 21), QPointF(23, 21));
    p.restore();
}

void drawLogo(QPainter& p, QPointF centre, double size) {
    const QString name = "POMLETS";
    const QFont font = sansFont(size);
    const QColor colours[] = {QColor(160, 90, 220), QColor(90, 200, 70), QColor(70, 150, 240), QColor(250, 190, 40),
                              QColor(240, 90, 140), QColor(250, 140, 30), QColor(60, 200, 200)};
    double total = 0;
    std::vector<double> widths;
    for (QChar c : name) {
        widths.push_back(textWidth(QString(c), font) * 0.98);
        total += widths.back();
    }
    double x = centre.x() - total / 2;
    const double outline = std::max(2.0, size * 0.12);
    // Outlines first, so that the letters overlap one another cleanly.
    for (int pass = 0; pass < 2; ++pass) {
        double lx = x;
        for (int i = 0; i < name.size(); ++i) {
            const double bounce = ((i % 2) ? -0.06 : 0.05) * size;
            const double angle = ((i % 3) - 1) * 4.0;
            p.save();
            p.translate(lx + widths[size_t(i)] / 2, centre.y() + bounce);
            p.rotate(angle);
            const QPainterPath path = textPath(QString(name[i]), font, QPointF(0, 0));
            if (pass == 0) {
                p.setPen(QPen(QColor(30, 16, 40), outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.setBrush(QColor(30, 16, 40));
                p.drawPath(path);
            } else {
                const QRectF r = path.boundingRect();
                QLinearGradient g(r.topLeft(), r.bottomLeft());
                g.setColorAt(0, tone(colours[i], 1.5));
                g.setColorAt(0.5, colours[i]);
                g.setColorAt(1, tone(colours[i], 0.6));
                p.setPen(Qt::NoPen);
                p.setBrush(g);
                p.drawPath(path);
                p.setClipPath(path);
                p.setBrush(QColor(255, 255, 255, 90));
                p.drawEllipse(QPointF(r.left() + r.width() * 0.3, r.top() + r.height() * 0.2), r.width() * 0.45,
                              r.height() * 0.22);
            }
            p.restore();
            lx += widths[size_t(i)];
        }
    }
}

double Rng::next() {
    state_ = state_ * 1664525u + 1013904223u;
    return double(state_ >> 8) / double(1u << 24);
}

}  // namespace pomlets::forge

// Painting helpers shared by every picture of the forge: canvases, the white
// colour key, shaded shapes, text as outlines, a seeded generator and the
// 24-bit BMP writer.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cstdint>
#include <map>
#include <vector>

namespace pomlets::forge {

// How a picture is shown: keyed pictures lose their pure white pixels when
// drawn, opaque ones are drawn as they are.
enum class Keying { keyed, opaque };

// One written picture, kept for the contact sheet and for pictures that are
// built from other pictures (the specimen box, the store).
struct Picture {
    QString path;   // relative to the program folder
    QImage image;   // as written (RGB32; ARGB32 for PNG files)
    Keying keying;
    bool written = true;  // false for a picture kept only to paint others from
};

// The name of a picture's sharp twin, painted at twice the size for screens
// of twice the pixel density: "@2x" before the file's extension.
QString at2x(const QString& path);

// Collects and writes the pictures.
class Forge {
public:
    explicit Forge(QString programFolder) : programFolder_(std::move(programFolder)) {}

    // Writes the picture as a 24-bit BMP (or PNG when the path ends in .png).
    void save(const QString& relativePath, const QImage& image, Keying keying);
    // Keeps a picture for painting others from, without writing it (the
    // pieces at twice their size, which only the windows' sharp pictures use).
    void keep(const QString& relativePath, const QImage& image, Keying keying);
    // A picture made earlier, by its relative path; throws when unknown.
    const QImage& picture(const QString& relativePath) const;
    // The same at a scale: 1 is the picture itself, 2 its sharp twin.
    const QImage& picture(const QString& relativePath, int scale) const;
    const std::vector<Picture>& pictures() const { return pictures_; }

private:
    void remember(const QString& relativePath, const QImage& image, Keying keying, bool written);
    QString programFolder_;
    std::vector<Picture> pictures_;
    std::map<QString, size_t> index_;
};

// A transparent canvas for anti-aliased painting (premultiplied ARGB).
QImage newCanvas(int width, int height);

// Turns a canvas into a keyed picture: pixels at least half covered keep their
// colour (at full strength, so edges stay hard), the rest become pure white.
// No kept pixel is left so near white that a 16-bit display would key it out.
QImage keyOnWhite(const QImage& canvas);

// An opaque picture from a canvas: composited over the given colour.
QImage flatten(const QImage& canvas, QColor under = QColor(0, 0, 0));

// Whether a colour would turn into the white key on an RGB565 display.
bool nearKey(QRgb c);

// Writes an RGB image as an uncompressed 24-bit bottom-up BMP.
void writeBmp24(const QImage& image, const QString& path);

// The fixed fonts, loaded from files once at start.
void loadFonts(const QString& folder);
QFont sansFont(double pixelSize, bool bold = true);
QFont serifFont(double pixelSize, bool bold = true);

// Text as an outline path. The anchor is the centre of the text's box when
// centred, else the left end of its baseline.
QPainterPath textPath(const QString& text, const QFont& font, QPointF anchor, bool centred = true);
// Fills text with a colour and an optional outline drawn beneath it.
void drawText(QPainter& p, const QString& text, const QFont& font, QPointF anchor, QColor fill,
              QColor outline = Qt::transparent, double outlineWidth = 0, bool centred = true);
// Draws text left-aligned with its top-left corner at the point (ascent-based).
void drawTextTopLeft(QPainter& p, const QString& text, const QFont& font, QPointF topLeft, QColor fill);
double textWidth(const QString& text, const QFont& font);

// A painter set up for anti-aliased drawing.
void prepare(QPainter& p);

// Light comes from the top left in every picture: fills a path with a radial
// gradient lit from there, then strokes its outline.
void shade(QPainter& p, const QPainterPath& path, QColor base, double outline = 3.0,
           QColor outlineColour = QColor());
// A soft highlight spot inside a path, up and to the left of its centre.
void gloss(QPainter& p, const QPainterPath& path, double strength = 0.55);
// Faint white rays fanning out from a centre, as behind a title: count thin
// wedges of the given angle spread evenly round it, reaching out so far. Leaves
// the painter without a pen.
void sunburst(QPainter& p, QPointF centre, int count, double reach, double wedge, int alpha);
// A keyed picture as an image with transparency (white pixels clear), for
// drawing forged pictures into other pictures.
QImage unkeyed(const QImage& keyed);
// Draws a keyed picture scaled into a rectangle, smoothly. Under a painter
// that scales (a sharp picture painted at twice the size), the picture is
// resampled once to the rectangle's size in the image's own pixels.
void drawKeyed(QPainter& p, const QImage& keyed, const QRectF& target);

// The Detonator, which has no piece picture of its own: a plunger box drawn
// into a square.
void drawDetonator(QPainter& p, const QRectF& box);

// The game's name as a bouncy, outlined title, centred on a point; size is
// the letters' pixel size.
void drawLogo(QPainter& p, QPointF centre, double size);

// A colour made lighter (factor > 1) or darker (factor < 1) in value.
QColor tone(QColor c, double factor);
QColor mix(QColor a, QColor b, double t);

// A small seeded generator (linear congruential), so that texture is the same
// on every run.
class Rng {
public:
    explicit Rng(uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    double next();                       // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * next(); }
    int below(int n) { return int(next() * n); }

private:
    uint32_t state_;
};

}  // namespace pomlets::forge

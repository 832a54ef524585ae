// The artwork of the windows between games (images/ui/): the main window's
// panel pictures with their pictured buttons, the welcome picture, the store's
// two pictures, and the pictures of the about, pieces and controls windows.
//
// Positions come in twips (15 to a pixel), relative to the panel or window;
// each pictured button lies under its click area (the store's six, all of the
// smallest area's size, inside theirs). The files, each
// shown unscaled by the control it is named after:
//   Image7, Image8, Image3, Image1, Image9, Image2 (panels 0, 1, 2, 4, 5, 6)
//       241 x 338, at (0, 8) pixels on the panel (120 twips down);
//   Image10 (panel 7, the welcome picture) 241 x 338 at (0, 8);
//   Image5 (panel 3, the bank) 88 x 38 at (1, 8); Image4 (panel 3, the store's
//       items) 224 x 290 at (8, 48); store_backdrop 241 x 338 at (0, 8), for
//       behind them;
//   fSplash 251 x 300, fPieces 384 x 317, fControls 360 x 360: the whole client
//       area of the about, specimen box and control room windows;
//   icon48.png, icon32.png, icon16.png: the program icon.
// Each BMP also comes as its sharp twin, "@2x" before the extension, painted
// at twice the size for screens of twice the pixel density.
#include <QLinearGradient>
#include <QRadialGradient>

#include <cmath>
#include <functional>

#include "frontend/window_layout.h"
#include "pictures.h"

namespace pomlets::forge {

namespace {

double px(double twips) { return twips / 15.0; }
QRectF twipsRect(const layout::Twips& at) { return QRectF(px(at.left), px(at.top), px(at.width), px(at.height)); }

// The main window's background pictures sit at (0, 120) twips on their panel,
// 3615 x 5070 twips: 241 x 338 pixels, 8 pixels below the panel's top.
constexpr int panelPictureWidth = layout::panelPicture.width / 15;
constexpr int panelPictureHeight = layout::panelPicture.height / 15;
constexpr double panelPictureTop = layout::panelPicture.top / 15.0;

const QColor ink(250, 236, 180);        // headings
const QColor softInk(214, 206, 236);    // labels and notes

void backdrop(QPainter& p, const QSizeF& size, QColor top, QColor bottom, uint32_t seed) {
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(QRectF(QPointF(0, 0), size), g);
    // Scattered faint bubbles.
    Rng rng(seed);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < int(size.width() * size.height() / 900); ++i) {
        const QPointF c(rng.range(0, size.width()), rng.range(0, size.height()));
        const double r = rng.range(2, 9);
        p.setBrush(QColor(255, 255, 255, int(rng.range(6, 18))));
        p.drawEllipse(c, r, r);
    }
}

void heading(QPainter& p, const QString& text, QPointF centre, double size) {
    drawText(p, text, sansFont(size), centre, ink, QColor(30, 14, 40), std::max(3.0, size / 4.5));
}

void label(QPainter& p, const QString& text, QPointF topLeft, double size = 11, QColor colour = softInk) {
    drawTextTopLeft(p, text, sansFont(size), topLeft, colour);
}

void note(QPainter& p, const QString& text, QPointF topLeft, double size = 10.5) {
    drawTextTopLeft(p, text, sansFont(size, false), topLeft, softInk);
}

// A sunken frame around a control's place, so that the control sits in it.
void well(QPainter& p, const QRectF& r) {
    const QRectF o = r.adjusted(-3, -3, 3, 3);
    QPainterPath path;
    path.addRoundedRect(o, 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(12, 6, 20, 150));
    p.drawPath(path);
    p.setPen(QPen(QColor(10, 4, 18), 1.2));
    p.drawLine(o.topLeft() + QPointF(3, 0.5), o.topRight() + QPointF(-3, 0.5));
    p.drawLine(o.topLeft() + QPointF(0.5, 3), o.bottomLeft() + QPointF(0.5, -3));
    p.setPen(QPen(QColor(150, 130, 190), 1.2));
    p.drawLine(o.bottomLeft() + QPointF(3, -0.5), o.bottomRight() + QPointF(-3, -0.5));
    p.drawLine(o.topRight() + QPointF(-0.5, 3), o.bottomRight() + QPointF(-0.5, -3));
}

// A raised, glossy pictured button filling the click area.
void button(QPainter& p, const QRectF& area, const QString& text, QColor colour) {
    const QRectF r = area.adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(r, r.height() * 0.32, r.height() * 0.32);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, tone(colour, 1.45));
    g.setColorAt(0.5, colour);
    g.setColorAt(1, tone(colour, 0.6));
    p.setBrush(g);
    p.setPen(QPen(tone(colour, 0.3), 1.6));
    p.drawPath(shape);
    p.save();
    p.setClipPath(shape);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawRoundedRect(QRectF(r.left() + 3, r.top() + 2, r.width() - 6, r.height() * 0.42), 5, 5);
    p.restore();
    drawText(p, text, sansFont(std::min(17.0, r.height() * 0.5)), r.center() + QPointF(0, 0.5), QColor(255, 252, 236),
             tone(colour, 0.25), 3.2);
}

// The store's plus-sign button.
void plusButton(QPainter& p, const QRectF& area) {
    const QRectF r = area.adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(r, 5, 5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(150, 236, 120));
    g.setColorAt(1, QColor(40, 140, 40));
    p.setBrush(g);
    p.setPen(QPen(QColor(16, 60, 16), 1.4));
    p.drawPath(shape);
    const double arm = std::min(r.width(), r.height()) * 0.3, w = std::max(2.5, arm * 0.55);
    p.setPen(QPen(QColor(16, 60, 16), w + 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.center() - QPointF(arm, 0), r.center() + QPointF(arm, 0));
    p.drawLine(r.center() - QPointF(0, arm), r.center() + QPointF(0, arm));
    p.setPen(QPen(QColor(250, 250, 236), w, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.center() - QPointF(arm, 0), r.center() + QPointF(arm, 0));
    p.drawLine(r.center() - QPointF(0, arm), r.center() + QPointF(0, arm));
}

// A picture w x h in layout pixels, painted at `scale` image pixels to a
// layout pixel: 1 for the pictures as the layout sizes them, 2 for their
// sharp twins. Everything is painted in layout pixels.
struct Art {
    QSizeF size;
    QImage image;
    QPainter p;
    Art(int width, int height, int scale)
        : size(width, height), image(width * scale, height * scale, QImage::Format_RGB32), p(&image) {
        prepare(p);
        if (scale != 1) p.scale(scale, scale);
    }
    double width() const { return size.width(); }
    double height() const { return size.height(); }
    QImage finish() {
        p.end();
        return image;
    }
};

// A piece picture at the painter's scale (the 180-pixel twin when sharp).
void piece(QPainter& p, const Forge& forge, const QString& name, const QRectF& target) {
    drawKeyed(p, forge.picture("images/" + name + ".bmp", p.transform().m11() == 1.0 ? 1 : 2), target);
}

// A painter on a main-window background picture, working in panel pixels.
struct PanelPicture : Art {
    PanelPicture(QColor top, QColor bottom, uint32_t seed, int scale)
        : Art(panelPictureWidth, panelPictureHeight, scale) {
        backdrop(p, size, top, bottom, seed);
        p.translate(0, -panelPictureTop);
    }
};

const QColor panelTop(74, 44, 112), panelBottom(28, 16, 48);

void panelTitle(QPainter& p, const QString& text) { heading(p, text, QPointF(120.5, 25), 17); }
void panelTitleAt(QPainter& p, const QString& text, double y) { heading(p, text, QPointF(120.5, y), 20); }

// The store's pictured buttons: the size of the smallest click area.
constexpr int buyButtonWidth = 375, buyButtonHeight = 255;
static_assert(layout::purchase(2).width == buyButtonWidth && layout::purchase(2).height == buyButtonHeight);

// Panel 0: choose a mode and a level, then Play.
QImage newGamePanel(const Forge& forge, int scale) {
    PanelPicture pic(panelTop, panelBottom, 1, scale);
    QPainter& p = pic.p;
    label(p, "Choose a game mode:", {16, 24});
    well(p, twipsRect(layout::tMode));
    well(p, twipsRect(layout::tModeDesc));
    label(p, "Choose a level:", {16, 152});
    well(p, twipsRect(layout::tLevels));
    piece(p, forge, "pomlet1", {18, 298, 40, 40});
    piece(p, forge, "pomlet2", {56, 296, 40, 40});
    piece(p, forge, "pomlet4", {94, 298, 40, 40});
    button(p, twipsRect(layout::main_BtnRun), "Play!", QColor(60, 180, 60));
    return pic.finish();
}

// Panel 1: the high-score tables.
QImage highScoresPanel(const Forge& forge, int scale) {
    PanelPicture pic(panelTop, panelBottom, 2, scale);
    QPainter& p = pic.p;
    heading(p, "High Scores", {120.5, 26}, 20);
    well(p, twipsRect(layout::scoreModes));
    label(p, "The ten best:", {16, 78});
    well(p, twipsRect(layout::scores_freestyle));
    // A trophy under the list.
    p.save();
    p.translate(120.5, 292);
    QPainterPath cup;
    cup.moveTo(-24, -36);
    cup.lineTo(24, -36);
    cup.quadTo(24, 2, 0, 6);
    cup.quadTo(-24, 2, -24, -36);
    cup.closeSubpath();
    QPainterPath handles;
    handles.addEllipse(QPointF(-26, -24), 9, 10);
    handles.addEllipse(QPointF(26, -24), 9, 10);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(90, 60, 0), 6));
    p.drawPath(handles);
    p.setPen(QPen(QColor(240, 190, 50), 3));
    p.drawPath(handles);
    shade(p, cup, QColor(240, 190, 50), 2.2, QColor(90, 60, 0));
    QPainterPath foot;
    foot.addRect(-5, 6, 10, 12);
    foot.addRoundedRect(QRectF(-18, 18, 36, 9), 3, 3);
    shade(p, foot, QColor(220, 170, 40), 2, QColor(90, 60, 0));
    drawText(p, "1", sansFont(22), {0, -18}, QColor(255, 240, 170), QColor(120, 80, 0), 3);
    p.restore();
    piece(p, forge, "diamond", {26, 272, 44, 44});
    piece(p, forge, "money", {172, 272, 44, 44});
    return pic.finish();
}

// Panel 2: the credits.
QImage creditsPanel(const Forge& forge, int scale) {
    PanelPicture pic(panelTop, panelBottom, 3, scale);
    QPainter& p = pic.p;
    heading(p, "Credits", {120.5, 27}, 20);
    well(p, twipsRect(layout::Text1));
    // A row of pieces between the text box and the window's bottom edge,
    // clear of the edges by as much as of the box.
    const char* parade[] = {"pomlet1", "pomlet2", "pomlet3", "pomlet4", "music"};
    const double size = 34, gap = 9, bottom = px(layout::clientHeight) - 6;
    const double first = (panelPictureWidth - (5 * size + 4 * gap)) / 2;
    for (int i = 0; i < 5; ++i)
        piece(p, forge, parade[i], {first + i * (size + gap), bottom - size - ((i % 2) ? 0 : 2), size, size});
    return pic.finish();
}

const uint32_t storeSeed = 6;

// The store's two pictures lie over its backdrop: each starts with the piece
// of the backdrop that it covers, at the whole pixel where the window places
// it, so that no edge shows between them.
void storeGround(QPainter& p, const layout::Twips& at) {
    p.save();
    p.translate(-std::lround(at.left / 15.0), panelPictureTop - std::lround(at.top / 15.0));
    backdrop(p, QSizeF(panelPictureWidth, panelPictureHeight), panelTop, panelBottom, storeSeed);
    p.restore();
}

// Panel 3, picture Image5: the bank, with room for the credits label.
QImage bankPicture(const Forge& forge, int scale) {
    const QRectF at = twipsRect(layout::Image5);
    Art art(int(std::lround(at.width())), int(std::lround(at.height())), scale);
    QPainter& p = art.p;
    storeGround(p, layout::Image5);
    p.translate(-at.left(), -at.top());
    piece(p, forge, "money", {at.left() + 1, at.top() + 1, 36, 36});
    well(p, twipsRect(layout::tBank));
    drawText(p, "credits", sansFont(8.5), {px(layout::tBank.left + layout::tBank.width / 2.0), at.top() + 32}, softInk);
    return art.finish();
}

// Panel 3, picture Image4: the six items with their plus-sign buttons and
// their count labels.
QImage storePicture(const Forge& forge, int scale) {
    const QRectF at = twipsRect(layout::Image4);
    Art art(int(std::lround(at.width())), int(std::lround(at.height())), scale);
    QPainter& p = art.p;
    storeGround(p, layout::Image4);
    p.translate(-at.left(), -at.top());
    // Centred on the panel, as the other panels' titles are.
    panelTitleAt(p, "Store", at.top() + 16);
    label(p, "Buy", {px(layout::purchase(0).left) - 1, at.top() + 25}, 10);
    label(p, "Own", {px(layout::tpurchase(0).left) - 2, at.top() + 25}, 10);
    const struct { const char* name; const char* detail; const char* picture; } items[6] = {
        {"Slammer", "2 credits  -  key 1", "slammer"},
        {"Bomb", "4 credits  -  key 2", "bomb"},
        {"Detonator", "7 credits  -  key 3", nullptr},
        {"Bowling Ball", "10 credits  -  key 4", "bowlingball"},
        {"Bonus Song", "a new track to play", "music"},
        {"Midnight Bowling", "a new game mode", "pin"},
    };
    for (int i = 0; i < 6; ++i) {
        // Every button as large as the smallest click area (the Detonator's),
        // at the top of its area, so that each is wholly clickable and all
        // six look alike.
        const QRectF area = twipsRect(layout::purchase(i));
        const QRectF button(area.left(), area.top(), px(buyButtonWidth), px(buyButtonHeight));
        const double mid = area.top() + 10;
        // A row plate for the item.
        QPainterPath plate;
        plate.addRoundedRect(QRectF(at.left() + 2, mid - 18, at.width() - 4, 36), 6, 6);
        p.setPen(QPen(QColor(120, 90, 170), 1));
        p.setBrush(QColor(255, 255, 255, 14));
        p.drawPath(plate);
        const QRectF iconBox(at.left() + 5, mid - 16, 32, 32);
        if (items[i].picture) {
            piece(p, forge, items[i].picture, iconBox);
        } else {
            drawDetonator(p, iconBox);
        }
        label(p, items[i].name, {at.left() + 41, mid - 14}, 12, ink);
        note(p, items[i].detail, {at.left() + 41, mid + 1}, 9.5);
        plusButton(p, button);
        well(p, twipsRect(layout::tpurchase(i)));
    }
    return art.finish();
}

// A full panel backdrop for the store, for behind its two pictures.
QImage storeBackdrop(int scale) {
    PanelPicture pic(panelTop, panelBottom, storeSeed, scale);
    return pic.finish();
}

// Where the thumb of the plate bar HScroll1 (1 to 5, a page of 1) stands for
// plate n, as the windows' scroll bar style draws it: an arrow button of 14
// pixels at either end, and a thumb a fifth of the groove between them.
double plateThumbCentre(const QRectF& bar, int n) {
    const double arrow = 14, groove = bar.width() - 2 * arrow, thumb = std::floor(groove / 5);
    return bar.left() + arrow + thumb / 2 + (groove - thumb) * (n - 1) / 4.0;
}

// Panel 4: the background themes and a preview of their plates.
QImage backgroundsPanel(const Forge& forge, int scale) {
    PanelPicture pic(panelTop, panelBottom, 7, scale);
    QPainter& p = pic.p;
    panelTitle(p, "Backgrounds");
    well(p, twipsRect(layout::theme));
    label(p, "Its plates:", {16, 118});
    // A picture frame around the preview.
    const QRectF view = twipsRect(layout::themePic);
    QPainterPath frameShape;
    frameShape.addRoundedRect(view.adjusted(-7, -7, 7, 7), 4, 4);
    QLinearGradient g(view.topLeft(), view.bottomRight());
    g.setColorAt(0, QColor(240, 200, 110));
    g.setColorAt(1, QColor(140, 90, 30));
    p.setBrush(g);
    p.setPen(QPen(QColor(70, 40, 10), 1.5));
    p.drawPath(frameShape);
    p.setBrush(QColor(20, 10, 30));
    p.drawRect(view.adjusted(-1, -1, 1, 1));
    piece(p, forge, "pomlet3", {10, 76, 34, 34});
    piece(p, forge, "diamond", {198, 76, 34, 34});
    label(p, "Plate:", {16, 276});
    const QRectF bar = twipsRect(layout::HScroll1);
    well(p, bar);
    for (int n = 1; n <= 5; ++n) drawText(p, QString::number(n), sansFont(10), {plateThumbCentre(bar, n), 318}, softInk);
    return pic.finish();
}

void speaker(QPainter& p, QPointF at, int waves) {
    QPainterPath body;
    body.moveTo(at + QPointF(0, -3));
    body.lineTo(at + QPointF(4, -3));
    body.lineTo(at + QPointF(9, -8));
    body.lineTo(at + QPointF(9, 8));
    body.lineTo(at + QPointF(4, 3));
    body.lineTo(at + QPointF(0, 3));
    body.closeSubpath();
    p.setPen(QPen(QColor(30, 14, 40), 1.2));
    p.setBrush(softInk);
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(softInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 1; i <= waves; ++i) {
        const double r = 3.5 * i + 6;
        p.drawArc(QRectF(at.x() + 9 - r, at.y() - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
}

// Panel 5: the playlist and the music volume.
QImage musicPanel(const Forge& forge, int scale) {
    PanelPicture pic(panelTop, panelBottom, 8, scale);
    QPainter& p = pic.p;
    panelTitle(p, "Music");
    well(p, twipsRect(layout::songs));
    label(p, "Volume:", {24, 230});
    well(p, twipsRect(layout::HScroll2));
    speaker(p, {26, 279}, 0);
    speaker(p, {196, 279}, 3);
    note(p, "Press N during a game", {24, 302}, 10);
    note(p, "to skip to another song.", {24, 315}, 10);
    piece(p, forge, "music", {190, 300, 34, 34});
    return pic.finish();
}

// Panel 6: the bands, with the button that visits a band's site.
QImage bandsPanel(const Forge& forge, int scale) {
    PanelPicture pic(panelTop, panelBottom, 9, scale);
    QPainter& p = pic.p;
    panelTitle(p, "Bands");
    note(p, "The bands whose music you hear:", {24, 40});
    well(p, twipsRect(layout::allBands));
    note(p, "Pick a band, then", {20, 300});
    note(p, "visit its web site:", {20, 314});
    piece(p, forge, "music", {108, 296, 34, 34});
    button(p, twipsRect(layout::launch), "Visit!", QColor(230, 140, 30));
    return pic.finish();
}

// Panel 7: the welcome picture, Image10 at (0, 120) twips, and its button
// under Image6.
QImage welcomePicture(const Forge& forge, int scale) {
    const QRectF at = twipsRect(layout::Image10);
    Art art(int(std::lround(at.width())), int(std::lround(at.height())), scale);
    QPainter& p = art.p;
    QRadialGradient sky(QPointF(120, 120), 260);
    sky.setColorAt(0, QColor(110, 60, 160));
    sky.setColorAt(0.6, QColor(46, 24, 80));
    sky.setColorAt(1, QColor(16, 8, 30));
    p.fillRect(QRectF(QPointF(0, 0), art.size), sky);
    p.translate(-at.left(), -at.top());
    sunburst(p, QPointF(120, 150), 16, 400, 0.2, 14);
    drawText(p, "Welcome to", serifFont(18), {120.5, 34}, softInk, QColor(20, 10, 30), 3);
    drawLogo(p, {120.5, 72}, 40);
    piece(p, forge, "pomlet1", {14, 110, 70, 70});
    piece(p, forge, "pomlet2", {86, 100, 70, 70});
    piece(p, forge, "pomlet4", {158, 110, 70, 70});
    piece(p, forge, "pomlet3", {50, 170, 64, 64});
    piece(p, forge, "slammer", {128, 172, 60, 60});
    note(p, "Arrange the falling pieces,", {18, 240}, 11);
    note(p, "then bomb them and slam them!", {18, 255}, 11);
    piece(p, forge, "bomb", {20, 276, 44, 44});
    piece(p, forge, "diamond", {80, 278, 44, 44});
    button(p, twipsRect(layout::Image6), "Start", QColor(60, 180, 60));
    return art.finish();
}

// The about window (fSplash, 3765 x 4500 twips), with the maker's web address
// pictured under Image2.
QImage aboutPicture(const Forge& forge, int scale) {
    Art image(int(std::lround(px(layout::fSplashWidth))), int(std::lround(px(layout::fSplashHeight))), scale);
    QPainter& p = image.p;
    backdrop(p, image.size, QColor(80, 48, 120), QColor(24, 12, 44), 10);
    drawLogo(p, {image.width() / 2.0, 40}, 40);
    drawText(p, "a puzzle game of quick thinking,", serifFont(14, false), {image.width() / 2.0, 78}, softInk);
    drawText(p, "reflexes and nerves", serifFont(14, false), {image.width() / 2.0, 95}, softInk);
    const char* cast[] = {"pomlet1", "pomlet2", "pomlet3", "pomlet4"};
    for (int i = 0; i < 4; ++i) piece(p, forge, cast[i], {14.0 + i * 57, 112.0 + ((i % 2) ? 6 : 0), 54, 54});
    const char* more[] = {"slammer", "bomb", "diamond", "gorgon", "music"};
    for (int i = 0; i < 5; ++i) piece(p, forge, more[i], {18.0 + i * 44, 176, 40, 40});
    drawText(p, "Version 1.0", sansFont(11), {image.width() / 2.0, 228}, ink);
    drawText(p, "Visit us on the web:", sansFont(10, false), {image.width() / 2.0, 242}, softInk);
    const QRectF link = twipsRect(layout::fSplashImage2);
    QPainterPath pill;
    pill.addRoundedRect(link, 8, 8);
    p.setPen(QPen(QColor(90, 150, 250), 1.2));
    p.setBrush(QColor(12, 20, 50));
    p.drawPath(pill);
    const QFont linkFont = sansFont(12);
    const QString address = layout::makerSite;
    drawText(p, address, linkFont, link.center(), QColor(120, 190, 255));
    const double w = textWidth(address, linkFont);
    p.setPen(QPen(QColor(120, 190, 255), 1.2));
    p.drawLine(QPointF(link.center().x() - w / 2, link.center().y() + 7), QPointF(link.center().x() + w / 2, link.center().y() + 7));
    drawText(p, "Thanks for playing!", sansFont(10, false), {image.width() / 2.0, 287}, softInk);
    return image.finish();
}

// The specimen box (fPieces, 5760 x 4755 twips): each piece under its click
// area, named below its picture.
QImage specimenPicture(const Forge& forge, int scale) {
    Art image(int(std::lround(px(layout::fPiecesWidth))), int(std::lround(px(layout::fPiecesHeight))), scale);
    QPainter& p = image.p;
    backdrop(p, image.size, QColor(66, 40, 100), QColor(26, 14, 44), 11);
    // By the index of the click area above each piece.
    const struct { const char* picture; const char* name; } areas[18] = {
        {"pomlet1", "Pomlet"},  {"pomlet2", "Pomlet"},       {"pomlet3", "Pomlet"},       {"pomlet4", "Pomlet"},
        {"slammer", "Slammer"}, {"bomb", "Bomb"},            {"bauble", "Bauble"},        {"diamond", "Diamond"},
        {"calculator", "Calculator"}, {"gorgon", "Gorgon"},  {"shifter", "Shifter"},      {"rock1", "Rock"},
        {"rock2", "Rock"},      {"rock3", "Rock"},           {"bowlingball", "Bowling Ball"}, {"money", "Money"},
        {"btype", "B-Type"},    {"music", "Music Note"},
    };
    const QFont nameFont = sansFont(9);
    for (int index = 0; index < 18; ++index) {
        const auto& a = areas[index];
        const QRectF area = twipsRect(layout::pClick(index));
        QPainterPath tray;
        tray.addRoundedRect(area.adjusted(-2, -2, 2, 2), 6, 6);
        p.setPen(QPen(QColor(130, 100, 180), 1));
        p.setBrush(QColor(255, 255, 255, 16));
        p.drawPath(tray);
        piece(p, forge, a.picture, QRectF(area.left() + 1, area.top() + 1, 47, 47));
        drawText(p, a.name, nameFont, QPointF(area.center().x(), area.bottom() - 4.5), ink);
    }
    well(p, twipsRect(layout::pieceDesc));
    return image.finish();
}

// A key cap, lit from the top left.
void keyCap(QPainter& p, const QRectF& r, const QString& text, int arrow) {
    QPainterPath cap;
    cap.addRoundedRect(r, 4, 4);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(236, 232, 242));
    g.setColorAt(1, QColor(150, 144, 166));
    p.setBrush(g);
    p.setPen(QPen(QColor(30, 24, 44), 1.6));
    p.drawPath(cap);
    const QRectF top = r.adjusted(3, 2, -3, -5);
    QPainterPath face;
    face.addRoundedRect(top, 3, 3);
    QLinearGradient fg(top.topLeft(), top.bottomLeft());
    fg.setColorAt(0, QColor(244, 242, 248));
    fg.setColorAt(1, QColor(206, 202, 218));
    p.setPen(Qt::NoPen);
    p.setBrush(fg);
    p.drawPath(face);
    const QPointF c = top.center();
    if (arrow >= 0) {
        // 0 left, 1 right, 2 up, 3 down.
        QPainterPath a;
        a.moveTo(-7, 0);
        a.lineTo(-1, -6);
        a.lineTo(-1, -2.5);
        a.lineTo(7, -2.5);
        a.lineTo(7, 2.5);
        a.lineTo(-1, 2.5);
        a.lineTo(-1, 6);
        a.closeSubpath();
        const double angle[4] = {0, 180, 90, 270};
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(angle[arrow]);
        p.setBrush(QColor(40, 30, 60));
        p.drawPath(t.map(a));
    } else {
        drawText(p, text, sansFont(text.size() > 1 ? 10 : 13), c, QColor(40, 30, 60));
    }
}

// The control room (fControls, 5400 x 5400 twips): the eleven keys of a game.
QImage controlsPicture(const Forge& forge, int scale) {
    Art image(int(std::lround(px(layout::fControlsWidth))), int(std::lround(px(layout::fControlsHeight))), scale);
    QPainter& p = image.p;
    backdrop(p, image.size, QColor(50, 40, 96), QColor(18, 12, 40), 12);
    heading(p, "The Control Room", {image.width() / 2.0, 22}, 20);
    note(p, "Eleven keys play the game:", {16, 38}, 11);
    const struct { const char* key; int arrow; const char* what; const char* picture; } keys[11] = {
        {"", 0, "Moves the current row left", nullptr},
        {"", 1, "Moves the current row right", nullptr},
        {"", 2, "Moves the row pointer up", "pointer"},
        {"", 3, "Moves the row pointer down", nullptr},
        {"Esc", -1, "Quits the current game", nullptr},
        {"N", -1, "Skips the current song", "music"},
        {"1", -1, "Drops a Slammer (Freestyle only)", "slammer"},
        {"2", -1, "Drops a Bomb (Freestyle only)", "bomb"},
        {"3", -1, "Activates a Detonator (Freestyle only)", nullptr},
        {"4", -1, "Drops a Bowling Ball (Freestyle only)", "bowlingball"},
        {"P", -1, "Pauses the game", nullptr},
    };
    const QFont what = sansFont(11.5, false);
    for (int i = 0; i < 11; ++i) {
        const double y = 56 + i * 27.5;
        QPainterPath band;
        band.addRoundedRect(QRectF(8, y - 1, image.width() - 16, 26), 5, 5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, (i % 2) ? 10 : 20));
        p.drawPath(band);
        const double w = std::string(keys[i].key) == "Esc" ? 38 : 26;
        keyCap(p, QRectF(16 + (38 - w) / 2, y, w, 24), keys[i].key, keys[i].arrow);
        drawTextTopLeft(p, keys[i].what, what, QPointF(64, y + 4), QColor(236, 230, 250));
        if (i == 8) drawDetonator(p, QRectF(image.width() - 42, y - 1, 26, 26));
        if (keys[i].picture) {
            const bool wide = std::string(keys[i].picture) == "pointer";
            drawKeyed(p, forge.picture(QString("images/%1.bmp").arg(keys[i].picture), scale),
                      wide ? QRectF(image.width() - 50, y + 3, 34, 22) : QRectF(image.width() - 42, y - 1, 26, 26));
        }
    }
    return image.finish();
}

}  // namespace

void forgeWindows(Forge& forge) {
    // Each picture as the layout sizes it, then its sharp twin at twice the
    // size, "@2x" beside it, for screens of twice the pixel density.
    const struct {
        const char* file;
        std::function<QImage(const Forge&, int)> paint;
    } windows[] = {
        {"images/ui/Image7.bmp", newGamePanel},
        {"images/ui/Image8.bmp", highScoresPanel},
        {"images/ui/Image3.bmp", creditsPanel},
        {"images/ui/Image5.bmp", bankPicture},
        {"images/ui/Image4.bmp", storePicture},
        {"images/ui/store_backdrop.bmp", [](const Forge&, int scale) { return storeBackdrop(scale); }},
        {"images/ui/Image1.bmp", backgroundsPanel},
        {"images/ui/Image9.bmp", musicPanel},
        {"images/ui/Image2.bmp", bandsPanel},
        {"images/ui/Image10.bmp", welcomePicture},
        {"images/ui/fSplash.bmp", aboutPicture},
        {"images/ui/fPieces.bmp", specimenPicture},
        {"images/ui/fControls.bmp", controlsPicture},
    };
    for (const auto& w : windows) forge.save(w.file, w.paint(forge, 1), Keying::opaque);
    for (const auto& w : windows) forge.save(at2x(w.file), w.paint(forge, 2), Keying::opaque);
}

}  // namespace pomlets::forge

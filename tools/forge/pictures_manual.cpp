// The pictures of the help viewer: piece pictures at 45 and 90 pixels, strips
// of pieces, the pointer, the program icon and small "screenshots" of the
// game's windows and of a game, all built from the game's own forged pictures.
// They are PNG files with a transparent background (the pages are grey, not
// white) and go into a folder of their own together with the resource list
// that the manual program embeds; the manual reads no files when it runs.
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

#include "frontend/window_layout.h"
#include "pictures.h"

namespace pomlets::forge {

namespace {

// Collects the manual's pictures and writes them with their resource list.
class ManualPictures {
public:
    ManualPictures(const Forge& forge, QString folder) : forge_(forge), folder_(std::move(folder)) {
        if (!QDir().mkpath(folder_)) throw std::runtime_error("cannot make " + folder_.toStdString());
    }
    const Forge& forge() const { return forge_; }

    void save(const QString& name, const QImage& image) {
        const QString path = folder_ + "/" + name;
        if (!image.save(path, "PNG")) throw std::runtime_error("cannot write " + path.toStdString());
        names_.push_back(name);
    }

    // The list rcc reads: every picture under the prefix /manual.
    void writeResourceList() const {
        const QString path = folder_ + "/manual.qrc";
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            throw std::runtime_error("cannot write " + path.toStdString());
        QTextStream out(&file);
        out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/manual\">\n";
        for (const QString& name : names_) out << "  <file>" << name << "</file>\n";
        out << "</qresource>\n</RCC>\n";
    }

    // A picture and its sharp twin at twice the size ("@2x" beside it), made
    // by the same painting at scale 1 and 2.
    template <typename Paint>
    void saveBoth(const QString& name, Paint paint) {
        save(name, paint(1));
        save(at2x(name), paint(2));
    }

    // A piece picture with its white key made transparent (its 180-pixel twin
    // at scale 2).
    QImage piece(const QString& name, int scale = 1) const {
        return unkeyed(forge_.picture("images/" + name + ".bmp", scale));
    }

private:
    const Forge& forge_;
    QString folder_;
    std::vector<QString> names_;
};

QImage scaledSmooth(const QImage& image, int width, int height) {
    return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A painter that works in the picture's layout pixels on an image of `scale`
// pixels to each.
void scaleTo(QPainter& p, int scale) {
    if (scale != 1) p.scale(scale, scale);
}

// Pieces side by side, each size x size, with a gap between them.
QImage strip(const ManualPictures& pics, const std::vector<QString>& names, int size, int gap, int scale) {
    const int n = int(names.size());
    QImage canvas = newCanvas((n * size + (n - 1) * gap) * scale, size * scale);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    scaleTo(p, scale);
    for (int i = 0; i < n; ++i)
        p.drawImage(QRect(i * (size + gap), 0, size, size), pics.piece(names[size_t(i)], scale));
    p.end();
    return canvas;
}

// --- the "screenshots" --------------------------------------------------------------

const QColor windowGrey(212, 208, 200);
const QColor controlInk(0, 0, 0);

QFont uiFont(double pixelSize, bool bold = false) { return sansFont(pixelSize, bold); }

// A bevelled white control box (drop-down list, list box) of a classic
// desktop window.
void sunkenBox(QPainter& p, const QRectF& r) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(r);
    p.setPen(QPen(QColor(128, 128, 128), 1));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QPen(QColor(240, 240, 240), 1));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void raisedBox(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(windowGrey);
    p.drawRect(r);
    p.setPen(QPen(QColor(255, 255, 255), 1));
    p.drawLine(r.topLeft() + QPointF(1, 1), r.topRight() + QPointF(-1, 1));
    p.drawLine(r.topLeft() + QPointF(1, 1), r.bottomLeft() + QPointF(1, -1));
}

void arrowDown(QPainter& p, const QRectF& r) {
    QPainterPath tri;
    const QPointF c = r.center();
    tri.moveTo(c + QPointF(-3.5, -1.5));
    tri.lineTo(c + QPointF(3.5, -1.5));
    tri.lineTo(c + QPointF(0, 2.5));
    tri.closeSubpath();
    p.fillPath(tri, controlInk);
}

void dropDown(QPainter& p, const QRectF& r, const QString& text) {
    sunkenBox(p, r);
    drawTextTopLeft(p, text, uiFont(11), r.topLeft() + QPointF(4, 3), controlInk);
    const QRectF button(r.right() - r.height() + 2, r.top() + 2, r.height() - 4, r.height() - 4);
    raisedBox(p, button);
    arrowDown(p, button);
}

void listBox(QPainter& p, const QRectF& r, const std::vector<QString>& entries, int selected) {
    sunkenBox(p, r);
    for (int i = 0; i < int(entries.size()); ++i) {
        const QRectF row(r.left() + 2, r.top() + 2 + 15 * i, r.width() - 4, 15);
        if (row.bottom() > r.bottom()) break;
        QColor ink = controlInk;
        if (i == selected) {
            p.fillRect(row, QColor(10, 36, 106));
            ink = QColor(255, 255, 255);
        }
        drawTextTopLeft(p, entries[size_t(i)], uiFont(11), row.topLeft() + QPointF(2, 1), ink);
    }
}

void scrollBar(QPainter& p, const QRectF& r, double at) {
    p.fillRect(r, QColor(236, 233, 226));
    const double b = r.height();
    raisedBox(p, QRectF(r.left(), r.top(), b, b));
    raisedBox(p, QRectF(r.right() - b, r.top(), b, b));
    const double span = r.width() - 3 * b;
    raisedBox(p, QRectF(r.left() + b + span * at, r.top(), b, b));
}

// A rectangle given in twips on a main-window panel, in the coordinates of
// that panel's background picture (which starts 120 twips down the panel).
QRectF onPanel(const layout::Twips& at) {
    return QRectF(at.left / 15.0, (at.top - layout::panelPicture.top) / 15.0, at.width / 15.0, at.height / 15.0);
}

// The main window around a panel picture: title bar, menu bar and the panel,
// drawn at full size and then scaled down for the page.
QImage mainWindow(const ManualPictures& pics, const QImage& panel, double scale, int sharpness) {
    const int border = 3, titleHeight = 18, menuHeight = 19;
    const int panelWidth = panel.width() / sharpness, panelHeight = panel.height() / sharpness;
    const int width = panelWidth + 2 * border;
    const int height = titleHeight + menuHeight + 8 + panelHeight + 2 * border;
    QImage shot(width * sharpness, height * sharpness, QImage::Format_RGB32);
    shot.fill(windowGrey);
    QPainter p(&shot);
    prepare(p);
    scaleTo(p, sharpness);
    raisedBox(p, QRectF(0.5, 0.5, width - 1, height - 1));
    QLinearGradient bar(0, 0, width, 0);
    bar.setColorAt(0, QColor(10, 36, 106));
    bar.setColorAt(1, QColor(166, 202, 240));
    p.fillRect(QRectF(border, border, width - 2 * border, titleHeight), bar);
    p.drawImage(QRectF(border + 2, border + 1, 16, 16), pics.forge().picture("images/ui/icon16.png", sharpness));
    drawTextTopLeft(p, "Pomlets", uiFont(11, true), QPointF(border + 22, border + 3), QColor(255, 255, 255));
    const QRectF close(width - border - 18, border + 2, 16, 14);
    raisedBox(p, close);
    drawText(p, "x", uiFont(11, true), close.center(), controlInk);
    double x = border + 6;
    for (const char* menu : {"Game", "Options", "View", "Help"}) {
        drawTextTopLeft(p, menu, uiFont(11), QPointF(x, border + titleHeight + 3), controlInk);
        x += textWidth(menu, uiFont(11)) + 14;
    }
    const QRectF panelArea(border, border + titleHeight + menuHeight, panelWidth, panelHeight + 8);
    p.fillRect(panelArea, panel.pixel(0, 0));
    if (sharpness == 1) {
        p.drawImage(QPointF(border, panelArea.top() + 8), panel);
    } else {
        p.drawImage(QRectF(border, panelArea.top() + 8, panelWidth, panelHeight), panel);
    }
    p.end();
    return scaledSmooth(shot, int(std::lround(width * scale)) * sharpness, int(std::lround(height * scale)) * sharpness);
}

// A copy of a main-window panel picture to paint on, in panel pixels.
QImage panelCopy(const ManualPictures& pics, const char* file, int sharpness) {
    return pics.forge().picture(QString("images/ui/") + file, sharpness).convertToFormat(QImage::Format_RGB32);
}

// Panel 0 with a mode and a level chosen.
QImage newGameShot(const ManualPictures& pics, int sharpness) {
    QImage panel = panelCopy(pics, "Image7.bmp", sharpness);
    QPainter p(&panel);
    prepare(p);
    scaleTo(p, sharpness);
    dropDown(p, onPanel(layout::tMode), "Arcade");
    // The description label in the window's colours, black on white, its text
    // wrapped at the label's width.
    const QRectF desc = onPanel(layout::tModeDesc);
    p.fillRect(desc, QColor(255, 255, 255));
    p.setFont(uiFont(11));
    p.setPen(controlInk);
    p.drawText(desc, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               "Every level challenges you with new situations and new goals.  How far can you go?");
    listBox(p, onPanel(layout::tLevels), {"Level 1 - First Steps"}, 0);
    p.end();
    return mainWindow(pics, panel, 0.52, sharpness);
}

// Panel 4 with the first theme chosen and its first plate shown.
QImage backgroundsShot(const ManualPictures& pics, int sharpness) {
    QImage panel = panelCopy(pics, "Image1.bmp", sharpness);
    QPainter p(&panel);
    prepare(p);
    scaleTo(p, sharpness);
    dropDown(p, onPanel(layout::theme), "Cells");
    p.drawImage(onPanel(layout::themePic), pics.forge().picture("themes/Cells/plate_01.bmp"));
    scrollBar(p, onPanel(layout::HScroll1), 0.0);
    p.end();
    return mainWindow(pics, panel, 0.52, sharpness);
}

// Panel 5: the playlist and the volume at a quarter.
QImage musicShot(const ManualPictures& pics, int sharpness) {
    QImage panel = panelCopy(pics, "Image9.bmp", sharpness);
    QPainter p(&panel);
    prepare(p);
    scaleTo(p, sharpness);
    listBox(p, onPanel(layout::songs),
            {"Brackwater - Slow River Lights", "Pellandry - Orchard at Noon", "Quillo - Paper Kites",
             "Varnock - Iron Lanterns"},
            -1);
    scrollBar(p, onPanel(layout::HScroll2), 0.25);
    p.end();
    return mainWindow(pics, panel, 0.52, sharpness);
}

// Panel 3: the bank and the store's items over the store's backdrop.
QImage storeShot(const ManualPictures& pics, int sharpness) {
    QImage panel = panelCopy(pics, "store_backdrop.bmp", sharpness);
    QPainter p(&panel);
    prepare(p);
    scaleTo(p, sharpness);
    // Each picture at its place on the panel, in panel pixels.
    const auto put = [&](const layout::Twips& at, const char* file) {
        const QImage& picture = pics.forge().picture(QString("images/ui/") + file, sharpness);
        const QPoint corner = onPanel(at).topLeft().toPoint();
        if (sharpness == 1) {
            p.drawImage(corner, picture);
        } else {
            p.drawImage(QRectF(corner, QSizeF(picture.size()) / sharpness), picture);
        }
    };
    put(layout::Image5, "Image5.bmp");
    drawText(p, "12", sansFont(11), onPanel(layout::tBank).center(), QColor(250, 236, 180));
    put(layout::Image4, "Image4.bmp");
    p.end();
    return mainWindow(pics, panel, 0.52, sharpness);
}

// A game in progress as the game window shows it, scaled down.
QImage gameShot(const ManualPictures& pics, int width, int sharpness) {
    const Forge& forge = pics.forge();
    QImage screen(1024, 768, QImage::Format_RGB32);
    screen.fill(Qt::black);
    QPainter p(&screen);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(QRect(81, 80, 853, 610), forge.picture("themes/Cells/plate_02.bmp"));
    p.drawImage(0, 0, unkeyed(forge.picture("images/frame.bmp")));
    // Column heights and the pieces lying in them, bottom first.
    const std::vector<std::vector<const char*>> columns = {
        {"pomlet1", "rock1", "pomlet2"}, {"pomlet3", "pomlet3"}, {"slammer", "bomb", "pomlet1", "pomlet4"},
        {"pomlet2"}, {"diamond", "pomlet4", "pomlet4"}, {"rock2", "pomlet1"}, {"pomlet2", "bauble", "slammer"},
        {"pomlet3"}, {"calculator", "pomlet1", "pomlet3", "rock3"}, {"pomlet4", "pomlet2"}};
    for (int col = 0; col < 10; ++col) {
        const auto& pieces = columns[size_t(col)];
        for (int row = 0; row < int(pieces.size()); ++row)
            p.drawImage(QRect(80 + 85 * col, 80 + 520 - 85 * row, 90, 90), pics.piece(pieces[size_t(row)]));
    }
    p.drawImage(QRect(80 + 85 * 5, 80 + 140, 90, 90), pics.piece("gorgon"));
    p.drawImage(QRect(10, 620 - 85, 70, 45), pics.piece("pointer"));
    const QFont font = serifFont(16, false);
    drawTextTopLeft(p, "31470", font, QPointF(83, 45), QColor(255, 255, 255));
    drawTextTopLeft(p, "Quillo - Paper Kites", font, QPointF(80, 723), QColor(255, 255, 255));
    p.end();
    return scaledSmooth(screen, width * sharpness, width * 768 / 1024 * sharpness);
}

// The program's icon on a desktop, with its name below it.
QImage desktopIcon(const ManualPictures& pics, int sharpness) {
    QImage shot(120 * sharpness, 84 * sharpness, QImage::Format_RGB32);
    shot.fill(QColor(0, 128, 128));
    QPainter p(&shot);
    prepare(p);
    scaleTo(p, sharpness);
    if (sharpness == 1) {
        p.drawImage(QPointF(36, 8), pics.forge().picture("images/ui/icon48.png"));
    } else {
        p.drawImage(QRectF(36, 8, 48, 48), pics.forge().picture("images/ui/icon48.png", sharpness));
    }
    const QFont font = uiFont(11);
    const double w = textWidth("Pomlets", font);
    const QRectF nameBox(60 - w / 2 - 3, 60, w + 6, 15);
    p.fillRect(nameBox, QColor(10, 36, 106));
    p.setPen(QPen(QColor(255, 255, 255), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(nameBox.adjusted(0.5, 0.5, -0.5, -0.5));
    drawTextTopLeft(p, "Pomlets", font, nameBox.topLeft() + QPointF(3, 1), QColor(255, 255, 255));
    p.end();
    return shot;
}

}  // namespace

void forgeManual(const Forge& forge, const QString& folder) {
    ManualPictures pics(forge, folder);
    // Every picture also comes as its sharp twin at twice the size.
    // Single pieces, at 90 pixels and at 45 (the pieces pages show them small).
    for (const char* name : {"pomlet1", "music", "apple", "btype", "pin", "bomb", "slammer"})
        pics.saveBoth(QString("%1_90.png").arg(name), [&](int s) { return pics.piece(name, s); });
    for (const char* name : {"pomlet1", "rock1", "bomb", "slammer", "bauble", "diamond", "calculator",
                             "calculator_02", "gorgon", "shifter", "bowlingball", "money", "music", "btype"})
        pics.saveBoth(QString("%1_45.png").arg(name), [&](int s) { return scaledSmooth(pics.piece(name, s), 45 * s, 45 * s); });
    pics.saveBoth("pointer.png", [&](int s) { return scaledSmooth(pics.piece("pointer", s), 46 * s, 35 * s); });
    // Strips: the eliminators, the four Pomlets, and two rows between
    // Slammers (mixed ones stay, identical ones go).
    pics.saveBoth("eliminators.png", [&](int s) { return strip(pics, {"slammer", "bomb", "bowlingball"}, 45, 8, s); });
    pics.saveBoth("pomlets.png", [&](int s) { return strip(pics, {"pomlet1", "pomlet2", "pomlet3", "pomlet4"}, 45, 6, s); });
    pics.saveBoth("slam_mixed.png", [&](int s) { return strip(pics, {"slammer", "pomlet1", "pomlet2", "slammer"}, 30, 0, s); });
    pics.saveBoth("slam_same.png",
                  [&](int s) { return strip(pics, {"slammer", "pomlet3", "pomlet3", "pomlet3", "slammer"}, 30, 0, s); });
    // Screenshots.
    pics.saveBoth("desktop.png", [&](int s) { return desktopIcon(pics, s); });
    pics.saveBoth("newgame.png", [&](int s) { return newGameShot(pics, s); });
    pics.saveBoth("backgrounds.png", [&](int s) { return backgroundsShot(pics, s); });
    pics.saveBoth("music_panel.png", [&](int s) { return musicShot(pics, s); });
    pics.saveBoth("store.png", [&](int s) { return storeShot(pics, s); });
    pics.saveBoth("game.png", [&](int s) { return gameShot(pics, 192, s); });
    // The window icon.
    for (int size : {48, 32, 16})
        pics.save(QString("icon%1.png").arg(size), forge.picture(QString("images/ui/icon%1.png").arg(size)));
    pics.writeResourceList();
}

}  // namespace pomlets::forge

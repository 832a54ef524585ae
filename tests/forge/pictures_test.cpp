// The forged pictures, read back from the built program folder: 24-bit BMPs of
// the right size, keyed ones holding pure white only where they are
// transparent, with hard edges, and the forge giving the same bytes each run.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <QRect>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "frontend/window_layout.h"

namespace {

const QString programFolder = QStringLiteral(POMLETS_PROGRAM_DIR);

struct Bmp {
    bool ok = false;
    std::string error;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, top row first

    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

uint32_t le(const QByteArray& b, int at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | uint8_t(b[at + i]);
    return v;
}

Bmp readBmp(const QString& relative) {
    Bmp bmp;
    QFile f(QDir(programFolder).filePath(relative));
    if (!f.open(QIODevice::ReadOnly)) {
        bmp.error = "missing";
        return bmp;
    }
    const QByteArray b = f.readAll();
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        bmp.error = "not a BMP";
        return bmp;
    }
    const int32_t h = int32_t(le(b, 22, 4));
    bmp.width = int(le(b, 18, 4));
    bmp.height = h < 0 ? -h : h;
    if (le(b, 28, 2) != 24 || le(b, 30, 4) != 0) {
        bmp.error = "not uncompressed 24-bit";
        return bmp;
    }
    const int stride = (bmp.width * 3 + 3) & ~3;
    const uint32_t offset = le(b, 10, 4);
    if (qsizetype(offset) + qsizetype(stride) * bmp.height > b.size()) {
        bmp.error = "truncated";
        return bmp;
    }
    bmp.pixels.resize(size_t(bmp.width) * size_t(bmp.height));
    for (int y = 0; y < bmp.height; ++y) {
        const int row = h < 0 ? y : bmp.height - 1 - y;
        const char* src = b.constData() + offset + qsizetype(row) * stride;
        for (int x = 0; x < bmp.width; ++x)
            bmp.pixels[size_t(y) * size_t(bmp.width) + size_t(x)] =
                uint32_t(uint8_t(src[3 * x + 2])) << 16 | uint32_t(uint8_t(src[3 * x + 1])) << 8 | uint8_t(src[3 * x]);
    }
    bmp.ok = true;
    return bmp;
}

constexpr uint32_t white = 0xFFFFFF;
int red(uint32_t c) { return int(c >> 16) & 0xFF; }
int green(uint32_t c) { return int(c >> 8) & 0xFF; }
int blue(uint32_t c) { return int(c) & 0xFF; }
// What an RGB565 display turns into the white key.
bool keyedOn565(uint32_t c) { return red(c) >= 248 && green(c) >= 252 && blue(c) >= 248; }

enum class Kind {
    piece,    // keyed, white all around the shape
    keyed,    // keyed, may reach the picture's edge
    opaque,   // no key
};

struct Expected {
    QString file;
    int width, height;
    Kind kind;
};

std::vector<Expected> expectedPictures() {
    std::vector<Expected> all;
    for (const char* name : {"pomlet1", "pomlet2", "pomlet3", "pomlet4", "rock1", "rock2", "rock3", "slammer",
                             "bomb", "bauble", "diamond", "calculator", "calculator_02", "gorgon", "shifter",
                             "bowlingball", "money", "music", "btype", "pin", "apple", "orange", "cherry", "grapes"})
        all.push_back({QString("images/%1.bmp").arg(name), 90, 90, Kind::piece});
    all.push_back({"images/pointer.bmp", 70, 45, Kind::piece});
    all.push_back({"images/zap_v.bmp", 80, 80, Kind::keyed});
    all.push_back({"images/zap_h.bmp", 80, 80, Kind::keyed});
    all.push_back({"images/explosion.bmp", 300, 300, Kind::piece});
    for (int i = 1; i <= 5; ++i) all.push_back({QString("images/frog0%1.bmp").arg(i), 100, 100, Kind::piece});
    for (char c = 'A'; c <= 'Z'; ++c) all.push_back({QString("images/%1.bmp").arg(c), 50, 50, Kind::piece});
    for (char c = '0'; c <= '9'; ++c) all.push_back({QString("images/%1.bmp").arg(c), 50, 50, Kind::piece});
    all.push_back({"images/!.bmp", 50, 50, Kind::piece});
    all.push_back({"images/Space.bmp", 50, 50, Kind::keyed});
    for (const char* frame : {"frame", "frameA", "frameB", "frameM"})
        all.push_back({QString("images/%1.bmp").arg(frame), 1024, 768, Kind::keyed});
    all.push_back({"images/loading.bmp", 1024, 768, Kind::opaque});
    for (const char* theme : {"Cells", "Tessellane #1 - Pelvaro"})
        for (int i = 1; i <= 5; ++i)
            all.push_back({QString("themes/%1/plate_0%2.bmp").arg(theme).arg(i), 500, 350, Kind::opaque});
    for (const char* panel : {"Image7", "Image8", "Image3", "Image1", "Image9", "Image2", "Image10", "store_backdrop"})
        all.push_back({QString("images/ui/%1.bmp").arg(panel), 241, 338, Kind::opaque});
    all.push_back({"images/ui/Image5.bmp", 88, 38, Kind::opaque});
    all.push_back({"images/ui/Image4.bmp", 224, 290, Kind::opaque});
    all.push_back({"images/ui/fSplash.bmp", 251, 300, Kind::opaque});
    all.push_back({"images/ui/fPieces.bmp", 384, 317, Kind::opaque});
    all.push_back({"images/ui/fControls.bmp", 360, 360, Kind::opaque});
    return all;
}

TEST(ForgedPictures, EveryPictureIsA24BitBmpOfItsSize) {
    for (const Expected& e : expectedPictures()) {
        SCOPED_TRACE(e.file.toStdString());
        const Bmp bmp = readBmp(e.file);
        ASSERT_TRUE(bmp.ok) << bmp.error;
        EXPECT_EQ(bmp.width, e.width);
        EXPECT_EQ(bmp.height, e.height);
    }
}

// White is the key: a keyed picture holds pure white where it is transparent
// and nothing inside its shape that a 16-bit display would key out too; its
// outline is hard, so no pale fringe shows once white is keyed out.
TEST(ForgedPictures, KeyedPicturesUseWhiteOnlyForTransparency) {
    for (const Expected& e : expectedPictures()) {
        if (e.kind == Kind::opaque) continue;
        SCOPED_TRACE(e.file.toStdString());
        const Bmp bmp = readBmp(e.file);
        ASSERT_TRUE(bmp.ok) << bmp.error;
        int nearWhite = 0, paleEdge = 0;
        for (int y = 0; y < bmp.height; ++y) {
            for (int x = 0; x < bmp.width; ++x) {
                const uint32_t c = bmp.at(x, y);
                if (c == white) continue;
                if (keyedOn565(c)) ++nearWhite;
                const bool besideKey = (x > 0 && bmp.at(x - 1, y) == white) ||
                                       (x + 1 < bmp.width && bmp.at(x + 1, y) == white) ||
                                       (y > 0 && bmp.at(x, y - 1) == white) ||
                                       (y + 1 < bmp.height && bmp.at(x, y + 1) == white);
                if (besideKey && std::min({red(c), green(c), blue(c)}) >= 200) ++paleEdge;
            }
        }
        EXPECT_EQ(nearWhite, 0) << "pixels that RGB565 would key out";
        EXPECT_EQ(paleEdge, 0) << "pale pixels on the outline";
        if (e.kind == Kind::piece) {
            int shape = 0;
            for (uint32_t c : bmp.pixels) shape += (c != white);
            EXPECT_GT(shape, bmp.width * bmp.height / 16) << "the shape fills too little of the picture";
            int border = 0;
            for (int i = 0; i < bmp.width; ++i)
                border += (bmp.at(i, 0) != white) + (bmp.at(i, bmp.height - 1) != white);
            for (int i = 0; i < bmp.height; ++i)
                border += (bmp.at(0, i) != white) + (bmp.at(bmp.width - 1, i) != white);
            EXPECT_EQ(border, 0) << "the shape touches the picture's edge";
        }
    }
}

// The name of a picture's sharp twin at twice the size.
QString twinOf(const QString& file) { return QString(file).replace(".bmp", "@2x.bmp"); }

std::vector<Expected> windowPictures() {
    std::vector<Expected> windows;
    for (const Expected& e : expectedPictures())
        if (e.file.startsWith("images/ui/")) windows.push_back(e);
    return windows;
}

// Every picture of the windows has its sharp twin: twice the pixels each way,
// and the same picture, so that the layout painted into it is unchanged (the
// twin averaged down over 2 x 2 pixels is within a small tolerance of the
// picture itself, nowhere off by much).
TEST(ForgedPictures, EveryWindowPictureHasASharpTwinOfTwiceItsSize) {
    for (const Expected& e : windowPictures()) {
        SCOPED_TRACE(e.file.toStdString());
        const Bmp small = readBmp(e.file), sharp = readBmp(twinOf(e.file));
        ASSERT_TRUE(small.ok) << small.error;
        ASSERT_TRUE(sharp.ok) << sharp.error;
        EXPECT_EQ(sharp.width, 2 * small.width);
        EXPECT_EQ(sharp.height, 2 * small.height);
        if (sharp.width != 2 * small.width || sharp.height != 2 * small.height) continue;
        double total = 0;
        int far = 0;
        for (int y = 0; y < small.height; ++y)
            for (int x = 0; x < small.width; ++x) {
                int d = 0;
                for (int shift : {16, 8, 0}) {
                    int sum = 0;
                    for (int dy = 0; dy < 2; ++dy)
                        for (int dx = 0; dx < 2; ++dx) sum += int(sharp.at(2 * x + dx, 2 * y + dy) >> shift) & 0xFF;
                    d += std::abs(sum / 4 - (int(small.at(x, y) >> shift) & 0xFF));
                }
                total += d;
                far += d > 3 * 96;
            }
        EXPECT_LT(total / (small.width * small.height), 3 * 8.0) << "the twin is not the same picture";
        EXPECT_LT(far, small.width * small.height / 200) << "pixels far off the picture";
    }
    // No twin without its picture.
    QDirIterator it(QDir(programFolder).filePath("images"), {"*@2x*"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString twin = QDir(programFolder).relativeFilePath(it.next());
        EXPECT_TRUE(QFile::exists(QDir(programFolder).filePath(QString(twin).replace("@2x", ""))))
            << twin.toStdString();
        EXPECT_TRUE(twin.startsWith("images/ui/")) << "only the windows' pictures have twins: " << twin.toStdString();
    }
}

// The program icon comes in three sizes, transparent around the picture.
TEST(ForgedPictures, ProgramIconHasThreeSizes) {
    for (int size : {48, 32, 16}) {
        const QImage icon(QDir(programFolder).filePath(QString("images/ui/icon%1.png").arg(size)));
        ASSERT_FALSE(icon.isNull()) << size;
        EXPECT_EQ(icon.size(), QSize(size, size));
        EXPECT_TRUE(icon.hasAlphaChannel());
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);
    }
}

// The mode frames are pure white exactly over the field, where the theme plate
// shows, and nowhere else.
TEST(ForgedPictures, FramesAreClearExactlyOverTheField) {
    for (const char* frame : {"images/frame.bmp", "images/frameA.bmp", "images/frameB.bmp", "images/frameM.bmp"}) {
        SCOPED_TRACE(frame);
        const Bmp bmp = readBmp(frame);
        ASSERT_TRUE(bmp.ok) << bmp.error;
        int wrong = 0;
        for (int y = 0; y < bmp.height; ++y)
            for (int x = 0; x < bmp.width; ++x) {
                const bool field = x >= 81 && x < 934 && y >= 80 && y < 690;
                wrong += field != (bmp.at(x, y) == white);
            }
        EXPECT_EQ(wrong, 0);
    }
}

// Every picture kind looks different: no two piece pictures are the same.
TEST(ForgedPictures, PiecePicturesAreDistinct) {
    std::vector<std::pair<QString, Bmp>> pieces;
    for (const Expected& e : expectedPictures())
        if (e.kind == Kind::piece) pieces.emplace_back(e.file, readBmp(e.file));
    for (size_t i = 0; i < pieces.size(); ++i)
        for (size_t j = i + 1; j < pieces.size(); ++j)
            EXPECT_NE(pieces[i].second.pixels, pieces[j].second.pixels)
                << pieces[i].first.toStdString() << " and " << pieces[j].first.toStdString();
}

// Each pictured button lies under its click area: along the middle of every
// side, the picture changes between just inside and just outside the area.
TEST(ForgedPictures, ButtonsLieUnderTheirClickAreas) {
    struct Case {
        const char* file;
        pomlets::layout::Twips area;
        pomlets::layout::Twips picture;  // where the picture lies in the window
        int contrast = 60;                // the least change across the area's edge
    };
    namespace layout = pomlets::layout;
    const layout::Twips fSplash{0, 0, layout::fSplashWidth, layout::fSplashHeight};
    std::vector<Case> cases{
        {"images/ui/Image7.bmp", layout::main_BtnRun, layout::panelPicture},
        {"images/ui/Image2.bmp", layout::launch, layout::panelPicture},
        {"images/ui/Image10.bmp", layout::Image6, layout::Image10},
        {"images/ui/fSplash.bmp", layout::fSplashImage2, fSplash, 18},  // a dark pill on a dark window
    };
    const auto distance = [](uint32_t a, uint32_t b) {
        return std::abs(red(a) - red(b)) + std::abs(green(a) - green(b)) + std::abs(blue(a) - blue(b));
    };
    // The same on the sharp twins, at twice the pixels.
    std::vector<std::pair<Case, int>> runs;
    for (const Case& c : cases)
        for (int scale : {1, 2}) runs.emplace_back(c, scale);
    for (const auto& [c, scale] : runs) {
        const QString file = scale == 1 ? QString(c.file) : twinOf(c.file);
        SCOPED_TRACE(file.toStdString() + " at " + std::to_string(c.area.left) + "," + std::to_string(c.area.top));
        const Bmp bmp = readBmp(file);
        ASSERT_TRUE(bmp.ok) << bmp.error;
        const int left = (c.area.left - c.picture.left) * scale / 15, top = (c.area.top - c.picture.top) * scale / 15;
        const int right = left + c.area.width * scale / 15, bottom = top + c.area.height * scale / 15;
        const int midX = (left + right) / 2, midY = (top + bottom) / 2;
        const int in = 3 * scale, out = 2 * scale;
        const struct { int inX, inY, outX, outY; } sides[4] = {
            {left + in, midY, left - in, midY}, {right - 1 - in, midY, right + out, midY},
            {midX, top + in, midX, top - in},   {midX, bottom - 1 - in, midX, bottom + out}};
        for (const auto& side : sides) {
            if (side.outX < 0 || side.outY < 0 || side.outX >= bmp.width || side.outY >= bmp.height) continue;
            EXPECT_GT(distance(bmp.at(side.inX, side.inY), bmp.at(side.outX, side.outY)), c.contrast)
                << "inside " << side.inX << "," << side.inY << " against outside " << side.outX << "," << side.outY;
        }
    }
}

// The store's six pictured buttons look alike although the Detonator's click
// area is lower than the others: each is the same size, fills its area's
// width and lies wholly inside its area, so every pictured part is clickable.
TEST(ForgedPictures, StoreButtonsAreAlikeAndInsideTheirClickAreas) {
    namespace layout = pomlets::layout;
    for (int scale : {1, 2}) {
        const QString file = scale == 1 ? QString("images/ui/Image4.bmp") : twinOf("images/ui/Image4.bmp");
        SCOPED_TRACE(file.toStdString());
        const Bmp bmp = readBmp(file);
        ASSERT_TRUE(bmp.ok) << bmp.error;
        std::vector<QRect> buttons;
        for (int k = 0; k < 6; ++k) {
            const layout::Twips at = layout::purchase(k);
            const QRect area((at.left - layout::Image4.left) * scale / 15, (at.top - layout::Image4.top) * scale / 15,
                             at.width * scale / 15, at.height * scale / 15);
            // The button's green, searched for well around the area.
            QRect found;
            const QRect around = area.adjusted(-8 * scale, -8 * scale, 8 * scale, 8 * scale);
            for (int y = around.top(); y <= around.bottom(); ++y)
                for (int x = around.left(); x <= around.right(); ++x) {
                    const uint32_t c = bmp.at(x, y);
                    if (green(c) > red(c) + 40 && green(c) > blue(c) + 40) found |= QRect(x, y, 1, 1);
                }
            SCOPED_TRACE("button " + std::to_string(k));
            ASSERT_FALSE(found.isEmpty());
            EXPECT_TRUE(area.contains(found)) << "green outside the click area";
            EXPECT_GE(found.width(), area.width() - 3 * scale);
            buttons.push_back(found);
        }
        for (const QRect& b : buttons) {
            EXPECT_LE(std::abs(b.width() - buttons[2].width()), scale);
            EXPECT_LE(std::abs(b.height() - buttons[2].height()), scale);
        }
    }
}

// The bank and the items picture lie over the store's backdrop without a
// seam: along their edges they show the backdrop they cover.
TEST(ForgedPictures, StorePicturesMatchTheBackdropTheyCover) {
    namespace layout = pomlets::layout;
    for (const auto& [file, at] : {std::pair{"images/ui/Image5.bmp", layout::Image5}, {"images/ui/Image4.bmp", layout::Image4}})
        for (int scale : {1, 2}) {
            const QString picture = scale == 1 ? QString(file) : twinOf(file);
            SCOPED_TRACE(picture.toStdString());
            const Bmp bmp = readBmp(picture);
            const Bmp ground = readBmp(scale == 1 ? QString("images/ui/store_backdrop.bmp") : twinOf("images/ui/store_backdrop.bmp"));
            ASSERT_TRUE(bmp.ok && ground.ok);
            // Where the window puts them, in pixels of the backdrop picture.
            const int dx = int(std::lround(at.left / 15.0)) * scale;
            const int dy = (int(std::lround(at.top / 15.0)) - layout::panelPicture.top / 15) * scale;
            int ring = 0, same = 0;
            for (int y = 0; y < bmp.height; ++y)
                for (int x = 0; x < bmp.width; ++x) {
                    if (x >= scale && y >= scale && x < bmp.width - scale && y < bmp.height - scale) continue;
                    const uint32_t a = bmp.at(x, y), b = ground.at(x + dx, y + dy);
                    ++ring;
                    same += std::abs(red(a) - red(b)) <= 3 && std::abs(green(a) - green(b)) <= 3 &&
                            std::abs(blue(a) - blue(b)) <= 3;
                }
            EXPECT_GT(same, ring * 7 / 10) << same << " of " << ring << " edge pixels match the backdrop";
        }
}

// Nothing painted touches a window's edge: a band a few pixels wide along
// every visible edge of each window picture holds only its backdrop, which
// changes slowly (a gradient with faint bubbles), at both sizes.
TEST(ForgedPictures, WindowPicturesKeepClearOfTheWindowEdges) {
    namespace layout = pomlets::layout;
    // The panels' pictures start 8 pixels down the panel and their last row
    // lies below the client area.
    const int visibleRows = (layout::clientHeight - layout::panelPicture.top) / 15;
    for (const Expected& e : windowPictures()) {
        if (e.file.contains("Image5") || e.file.contains("Image4")) continue;  // inside the store panel
        for (int scale : {1, 2}) {
            const QString file = scale == 1 ? e.file : twinOf(e.file);
            SCOPED_TRACE(file.toStdString());
            const Bmp bmp = readBmp(file);
            ASSERT_TRUE(bmp.ok) << bmp.error;
            const bool panel = e.height == 338;
            const int width = bmp.width, height = panel ? visibleRows * scale : bmp.height;
            const int band = 4 * scale;
            // Across the band, from the edge inwards, each line of pixels
            // keeps the colour it has at the edge: the backdrop hardly changes.
            int off = 0;
            const auto lightness = [](uint32_t c) { return (red(c) * 3 + green(c) * 6 + blue(c)) / 10; };
            const auto differs = [&](int x, int y, int edgeX, int edgeY) {
                off += std::abs(lightness(bmp.at(x, y)) - lightness(bmp.at(edgeX, edgeY))) > 40;
            };
            for (int y = 0; y < height; ++y)
                for (int i = 0; i < band; ++i) {
                    differs(i, y, 0, y);
                    differs(width - 1 - i, y, width - 1, y);
                }
            for (int x = 0; x < width; ++x)
                for (int i = 0; i < band; ++i) {
                    differs(x, i, x, 0);
                    differs(x, height - 1 - i, x, height - 1);
                }
            EXPECT_EQ(off, 0) << "pixels of a picture on the window's edge";
        }
    }
}

// The row pointer, wherever it stands, leaves the rail's row numbers and
// marks in view: no lit pixel of the rail lies under the pointer's picture.
TEST(ForgedPictures, RowPointerCoversNoRowNumber) {
    const Bmp pointer = readBmp("images/pointer.bmp");
    ASSERT_TRUE(pointer.ok) << pointer.error;
    for (const char* file : {"images/frame.bmp", "images/frameA.bmp", "images/frameB.bmp", "images/frameM.bmp"}) {
        SCOPED_TRACE(file);
        const Bmp frame = readBmp(file);
        ASSERT_TRUE(frame.ok) << frame.error;
        int covered = 0;
        for (int row = 0; row < 7; ++row)
            for (int y = 0; y < 45; ++y)
                for (int x = 0; x < 70; ++x) {
                    if (pointer.at(x, y) == white) continue;
                    const int fx = 10 + x, fy = 620 - 85 * row + y;
                    // Inside the rail, away from its rim.
                    if (fx < 9 || fx > 53) continue;
                    const uint32_t c = frame.at(fx, fy);
                    covered += std::max({red(c), green(c), blue(c)}) > 40;
                }
        EXPECT_EQ(covered, 0);
    }
}

// Point popups are written in white across the middle of a piece and rise
// over the pieces above it: over the Slammer, the band where the figures pass
// is dark enough for white text to read (a contrast of at least 3 to 1).
TEST(ForgedPictures, WhitePopupTextReadsOverTheSlammer) {
    const Bmp slammer = readBmp("images/slammer.bmp");
    ASSERT_TRUE(slammer.ok) << slammer.error;
    const auto linear = [](int v) {
        const double c = v / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    int band = 0, poor = 0;
    // The text starts 40 pixels into the piece: a space, then the figures.
    for (int y = 0; y < slammer.height; ++y)
        for (int x = 40; x < 62; ++x) {
            const uint32_t c = slammer.at(x, y);
            if (c == white) continue;
            const double l = 0.2126 * linear(red(c)) + 0.7152 * linear(green(c)) + 0.0722 * linear(blue(c));
            ++band;
            poor += 1.05 / (l + 0.05) < 3.0;
        }
    EXPECT_LT(poor, band / 20) << poor << " of " << band << " pixels too light under white text";
}

// A second run of the forge writes exactly the bytes of the built program
// folder: the forge takes nothing from the clock or the machine's fonts.
TEST(ForgedPictures, ForgeIsDeterministic) {
    const QString forge = QDir(programFolder).filePath("../tools/forge/forge");
    ASSERT_TRUE(QFile::exists(forge)) << forge.toStdString();
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    run.setProcessEnvironment(env);
    run.start(forge, {out.filePath("Pomlets"), out.filePath("contact-sheet.png"),
                      "/usr/share/fonts/truetype/liberation2"});
    ASSERT_TRUE(run.waitForFinished(120000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    int compared = 0;
    QDirIterator it(out.filePath("Pomlets"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString fresh = it.next();
        const QString relative = QDir(out.filePath("Pomlets")).relativeFilePath(fresh);
        QFile a(fresh), b(QDir(programFolder).filePath(relative));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly));
        ASSERT_TRUE(b.open(QIODevice::ReadOnly)) << relative.toStdString();
        EXPECT_TRUE(a.readAll() == b.readAll()) << relative.toStdString();
        ++compared;
    }
    EXPECT_GE(compared, int(expectedPictures().size()));
}

}  // namespace

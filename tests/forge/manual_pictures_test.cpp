// The help viewer's pictures: the forge writes them beside the program folder
// with the resource list that the manual embeds, the same bytes on every run.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "frontend/window_layout.h"

namespace {

const QString builtPictures = QDir(QStringLiteral(POMLETS_PROGRAM_DIR)).filePath("../manual-pictures");

TEST(ManualPictures, ResourceListNamesEveryPicture) {
    QFile qrc(QDir(builtPictures).filePath("manual.qrc"));
    ASSERT_TRUE(qrc.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString list = QString::fromUtf8(qrc.readAll());
    const QStringList pictures = QDir(builtPictures).entryList({"*.png"}, QDir::Files);
    ASSERT_FALSE(pictures.isEmpty());
    for (const QString& name : pictures) {
        EXPECT_TRUE(list.contains("<file>" + name + "</file>")) << name.toStdString();
        const QImage image(QDir(builtPictures).filePath(name));
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        // Pieces sit on the grey pages: no white square around them.
        if (name.endsWith("_45.png") || name.endsWith("_90.png")) {
            EXPECT_TRUE(image.hasAlphaChannel()) << name.toStdString();
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << name.toStdString();
        }
    }
    EXPECT_EQ(list.count("<file>"), pictures.size());
}

// The small picture of the mode choice shows the panel as the window shows it:
// the mode's description in a white box, like the list boxes around it, not
// in the panel's dark colours.
TEST(ManualPictures, ModeChoicePictureShowsAWhiteDescriptionBox) {
    const QImage shot(QDir(builtPictures).filePath("newgame.png"));
    ASSERT_FALSE(shot.isNull());
    // The picture is the window scaled to 0.52: border 3, title bar 18, menu
    // bar 19 and 8 above the panel picture, which starts 120 twips down.
    namespace layout = pomlets::layout;
    const auto at = [](double twipsX, double twipsY) {
        return QPoint(int((3 + twipsX / 15.0) * 0.52), int((48 + (twipsY - layout::panelPicture.top) / 15.0) * 0.52));
    };
    const layout::Twips box = layout::tModeDesc;
    int white = 0, samples = 0;
    for (int x = box.left + 150; x < box.left + box.width - 150; x += 150) {
        const QColor c = shot.pixelColor(at(x, box.top + box.height - 90));
        ++samples;
        white += c.red() > 235 && c.green() > 235 && c.blue() > 235;
    }
    EXPECT_GT(white, samples * 3 / 4) << "the description box is not white";
    const QColor list = shot.pixelColor(at(box.left + box.width / 2, layout::tLevels.top + layout::tLevels.height - 150));
    EXPECT_GT(list.lightness(), 235) << "the level list is not white";
}

TEST(ManualPictures, ForgeWritesTheSameBytesEachRun) {
    const QString forge = QDir(QStringLiteral(POMLETS_PROGRAM_DIR)).filePath("../tools/forge/forge");
    ASSERT_TRUE(QFile::exists(forge)) << forge.toStdString();
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    run.setProcessEnvironment(env);
    run.start(forge, {out.filePath("Pomlets"), out.filePath("contact-sheet.png"),
                      "/usr/share/fonts/truetype/liberation2", out.filePath("manual-pictures")});
    ASSERT_TRUE(run.waitForFinished(120000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    const QStringList fresh = QDir(out.filePath("manual-pictures")).entryList(QDir::Files);
    QStringList built = QDir(builtPictures).entryList(QDir::Files);
    built.removeAll("qrc_manual_pictures.cpp");
    EXPECT_EQ(fresh, built);
    for (const QString& name : fresh) {
        QFile a(QDir(out.filePath("manual-pictures")).filePath(name)), b(QDir(builtPictures).filePath(name));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly));
        ASSERT_TRUE(b.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_TRUE(a.readAll() == b.readAll()) << name.toStdString();
    }
}

}  // namespace

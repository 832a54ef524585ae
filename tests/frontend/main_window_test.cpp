// The main window after start-up, its menus, panels, mode choice and exit.
#include <QFile>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QImage>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "frontend/artwork.h"
#include "frontend/window_layout.h"
#include "frontend_fixture.h"
#include "support/text_lines.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

TEST_F(FrontendTest, StartUpLeavesWelcomeOverModeChoiceAndFilledLists) {
    FMain& w = start();
    EXPECT_EQ(shownPanels(), (std::vector<int>{0, 7}));
    EXPECT_TRUE(w.frame[0]->isEnabled());
    EXPECT_TRUE(w.frame[7]->isEnabled());
    for (int i = 1; i <= 6; ++i) EXPECT_FALSE(w.frame[static_cast<size_t>(i)]->isEnabled()) << "panel " << i;
    // Panel 7 lies above panel 0.
    const QObjectList& stack = w.centralWidget()->children();
    EXPECT_GT(stack.indexOf(w.frame[7]), stack.indexOf(w.frame[0]));

    ASSERT_EQ(w.tMode->count(), 3);
    EXPECT_EQ(w.tMode->itemText(0), "Freestyle");
    EXPECT_EQ(w.tMode->itemText(1), "Arcade");
    EXPECT_EQ(w.tMode->itemText(2), "B-Type");
    EXPECT_EQ(w.tMode->currentIndex(), -1);
    ASSERT_EQ(modes.size(), 4u);
    EXPECT_EQ(lastModeIndex, 3);
    EXPECT_TRUE(modes[3].name.empty());
    EXPECT_TRUE(modes[3].description.empty());

    ASSERT_EQ(w.scoreModes->count(), 1);
    EXPECT_EQ(w.scoreModes->currentText(), "Freestyle");
    EXPECT_FALSE(w.scores_freestyle->isHidden());
    EXPECT_EQ(w.scores_freestyle->count(), 10);

    ASSERT_EQ(w.theme->count(), 2);
    EXPECT_EQ(w.theme->itemText(0), "Cells");
    EXPECT_EQ(w.theme->itemText(1), "Tessellane #1 - Pelvaro");
    EXPECT_EQ(w.theme->currentText(), QString::fromStdString(themeName));
    EXPECT_EQ(w.HScroll1->value(), 1);

    EXPECT_GE(lastBandIndex, 0);
    EXPECT_EQ(w.allBands->count(), lastBandIndex + 1);
    EXPECT_EQ(bandNames.size(), bandUrls.size());
    ASSERT_EQ(w.songs->count(), 4);
    for (int i = 1; i < w.songs->count(); ++i)
        EXPECT_LT(QString::compare(w.songs->item(i - 1)->text(), w.songs->item(i)->text(), Qt::CaseInsensitive), 0);
    EXPECT_EQ(lastSongIndex, -1);
    EXPECT_EQ(w.HScroll2->value(), musicVolume);
    EXPECT_FALSE(fileExists(folder->file("temp")));
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(FrontendTest, BandFileFillsArraysInFileOrderAndListSorted) {
    writeScrambled("init/6859", {"zeta band,https://zeta.example.org/", "Alpha,https://alpha.example.org/",
                                 "mid,"});
    FMain& w = start();
    ASSERT_EQ(lastBandIndex, 2);
    EXPECT_EQ(bandNames, (std::vector<std::string>{"zeta band", "Alpha", "mid"}));
    EXPECT_EQ(bandUrls, (std::vector<std::string>{"https://zeta.example.org/", "https://alpha.example.org/", ""}));
    ASSERT_EQ(w.allBands->count(), 3);
    EXPECT_EQ(w.allBands->item(0)->text(), "Alpha");
    EXPECT_EQ(w.allBands->item(1)->text(), "mid");
    EXPECT_EQ(w.allBands->item(2)->text(), "zeta band");
}

TEST_F(FrontendTest, EmptyBandFileGivesNoBands) {
    writeScrambled("init/6859", {});
    FMain& w = start();
    EXPECT_EQ(lastBandIndex, -1);
    EXPECT_EQ(w.allBands->count(), 0);
}

TEST_F(FrontendTest, MissingDataFilesAreReportedAndStartUpGoesOn) {
    std::filesystem::remove(folder->file("init/6859"));
    std::filesystem::remove(folder->file("init/6095"));
    FMain& w = start();
    EXPECT_EQ(shownBoxes().size(), 2u);
    EXPECT_EQ(lastBandIndex, -1);
    EXPECT_EQ(w.tMode->count(), 3);
    EXPECT_EQ(shownPanels(), (std::vector<int>{0, 7}));
    EXPECT_FALSE(fileExists(folder->file("temp")));
}

TEST_F(FrontendTest, UnknownSavedThemeFallsBackToTheFirstTheme) {
    FMain& w = start();
    // The profile of the copy names a real theme; load one that does not.
    themeName = "No Such Theme";
    w.popThemes();
    EXPECT_EQ(w.theme->currentText(), "Cells");
    EXPECT_EQ(themeName, "Cells");
}

TEST_F(FrontendTest, WindowIsFixedWithItsCaptionAndMenus) {
    FMain& w = start();
    EXPECT_EQ(w.windowTitle(), "Pomlets");
    EXPECT_EQ(w.centralWidget()->size(), QSize(241, 345));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);

    std::vector<std::string> captions;
    for (QAction* menu : w.menuBar()->actions()) {
        captions.push_back(menu->text().toStdString());
        for (QAction* item : menu->menu()->actions()) {
            captions.push_back("  " + item->text().toStdString());
            EXPECT_TRUE(item->isVisible() && item->isEnabled() && !item->isChecked());
            EXPECT_TRUE(item->shortcut().isEmpty());
        }
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Game", "  New", "  Quit", "Options", "  Spend Credits",
                                                  "  Backgrounds", "  Music", "View", "  High Scores", "  Bands",
                                                  "  Credits", "Help", "  About", "  Manual", "  Pieces",
                                                  "  Controls"}));
}

TEST_F(FrontendTest, ControlsLieAtTheirPositions) {
    FMain& w = start();
    // Spot checks of the layout table itself.
    EXPECT_EQ(layout::main_BtnRun.left, 2280);
    EXPECT_EQ(layout::purchase(2).height, 255);
    EXPECT_EQ(layout::tpurchase(0).width, 555);
    struct Case {
        QWidget* control;
        layout::Twips twips;
    };
    std::vector<Case> cases{
        {w.tMode, layout::tMode},         {w.tModeDesc, layout::tModeDesc},
        {w.tLevels, layout::tLevels},     {w.main_BtnRun, layout::main_BtnRun},
        {w.Image7, layout::panelPicture}, {w.scoreModes, layout::scoreModes},
        {w.scores_freestyle, layout::scores_freestyle}, {w.Text1, layout::Text1},
        {w.tBank, layout::tBank},         {w.Image4, layout::Image4},
        {w.Image5, layout::Image5},       {w.theme, layout::theme},
        {w.themePic, layout::themePic},   {w.HScroll1, layout::HScroll1},
        {w.songs, layout::songs},         {w.HScroll2, layout::HScroll2},
        {w.allBands, layout::allBands},   {w.launch, layout::launch},
        {w.Image10, layout::Image10},     {w.Image6, layout::Image6},
    };
    for (int k = 0; k < 6; ++k) {
        cases.push_back({w.tpurchase[static_cast<size_t>(k)], layout::tpurchase(k)});
        cases.push_back({w.purchase[static_cast<size_t>(k)], layout::purchase(k)});
    }
    for (const auto& c : cases) {
        const layout::Twips& t = c.twips;
        const QRect expected(qRound(t.left / 15.0), qRound(t.top / 15.0), qRound(t.width / 15.0),
                             qRound(t.height / 15.0));
        EXPECT_EQ(c.control->geometry(), expected) << c.control->metaObject()->className() << " at " << t.left
                                                   << "," << t.top;
    }
    EXPECT_EQ(w.HScroll1->minimum(), 1);
    EXPECT_EQ(w.HScroll1->maximum(), 5);
    EXPECT_EQ(w.HScroll2->minimum(), 0);
    EXPECT_EQ(w.HScroll2->maximum(), 100);
    EXPECT_EQ(w.HScroll2->pageStep(), 10);
    EXPECT_EQ(w.HScroll2->singleStep(), 1);
    // Click areas lie above their panel's picture.
    const QObjectList& panel0 = w.frame[0]->children();
    EXPECT_GT(panel0.indexOf(w.main_BtnRun), panel0.indexOf(w.Image7));
    EXPECT_TRUE(w.main_BtnRun->pixmap().isNull());
}

TEST_F(FrontendTest, EveryMenuItemShowsItsPanelAndHidesTheWelcome) {
    FMain& w = start();
    struct Case {
        QAction* item;
        int panel;
    };
    const std::vector<Case> cases{{w.mNew, 0},         {w.mStore, 3}, {w.mBackgrounds, 4}, {w.mMusic, 5},
                                  {w.mScores, 1},      {w.mBands, 6}, {w.mCredits, 2},     {w.mNew, 0}};
    for (const auto& c : cases) {
        c.item->trigger();
        EXPECT_EQ(shownPanels(), std::vector<int>{c.panel}) << c.item->text().toStdString();
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(w.frame[static_cast<size_t>(i)]->isEnabled(), i == c.panel) << c.item->text().toStdString();
    }
    w.mLanguage_Click();
    EXPECT_EQ(shownPanels(), std::vector<int>{6});
}

TEST_F(FrontendTest, WelcomeClickLeadsToTheModeChoice) {
    FMain& w = start();
    w.Image6->click();
    EXPECT_EQ(shownPanels(), std::vector<int>{0});
}

TEST_F(FrontendTest, PanelSwitchKeepsListsAndSelections) {
    FMain& w = start();
    w.tMode->setCurrentIndex(2);
    w.tLevels->setCurrentRow(1);
    w.mCredits->trigger();
    w.mNew->trigger();
    EXPECT_EQ(w.tMode->currentText(), "B-Type");
    EXPECT_EQ(w.tLevels->currentRow(), 1);
    EXPECT_EQ(w.tLevels->count(), 3);
}

TEST_F(FrontendTest, ModeChoiceFillsDescriptionAndLevels) {
    writeScrambled("init/6537", {"First Steps", "12", "Odd One", "x7", "Halves", "2.5"});
    FMain& w = start();

    w.tMode->setCurrentIndex(0);
    EXPECT_EQ(w.tModeDesc->text().toStdString(), modes[0].description);
    ASSERT_EQ(w.tLevels->count(), 1);
    EXPECT_EQ(w.tLevels->item(0)->text(), "No levels to select.  Just click Play!");

    w.tMode->setCurrentIndex(2);
    EXPECT_EQ(w.tModeDesc->text().toStdString(), modes[2].description);
    ASSERT_EQ(w.tLevels->count(), 3);
    EXPECT_EQ(w.tLevels->item(0)->text(), "Mild");
    EXPECT_EQ(w.tLevels->item(1)->text(), "Medium");
    EXPECT_EQ(w.tLevels->item(2)->text(), "Spicy");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(w.tLevels->item(i)->data(Qt::UserRole).toInt(), 0);

    w.tMode->setCurrentIndex(1);
    EXPECT_EQ(w.tModeDesc->text().toStdString(), modes[1].description);
    ASSERT_EQ(w.tLevels->count(), 3);
    EXPECT_EQ(w.tLevels->item(0)->text(), "First Steps");
    EXPECT_EQ(w.tLevels->item(0)->data(Qt::UserRole).toInt(), 12);
    EXPECT_EQ(w.tLevels->item(1)->data(Qt::UserRole).toInt(), 0);
    EXPECT_EQ(w.tLevels->item(2)->data(Qt::UserRole).toInt(), 2);  // halves go to the even number
    EXPECT_FALSE(fileExists(folder->file("temp")));

    // Choosing the same mode again rebuilds the list and loses the selection.
    w.tLevels->setCurrentRow(2);
    QCoreApplication::processEvents();  // the player's choice comes in a later event
    emit w.tMode->activated(1);
    EXPECT_EQ(w.tLevels->count(), 3);
    EXPECT_EQ(w.tLevels->currentRow(), -1);

    w.tMode->setCurrentIndex(0);
    ASSERT_EQ(w.tLevels->count(), 1);
    EXPECT_EQ(w.tLevels->item(0)->text(), "No levels to select.  Just click Play!");
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(FrontendTest, ArcadeWithEmptyOrMissingLevelList) {
    writeScrambled("init/6537", {});
    FMain& w = start();
    w.tMode->setCurrentIndex(1);
    EXPECT_EQ(w.tLevels->count(), 0);
    EXPECT_TRUE(shownBoxes().empty());

    std::filesystem::remove(folder->file("init/6537"));
    w.tMode->setCurrentIndex(0);
    w.tMode->setCurrentIndex(1);
    EXPECT_EQ(w.tLevels->count(), 0);
    EXPECT_EQ(shownBoxes().size(), 1u);
    EXPECT_FALSE(fileExists(folder->file("temp")));
    EXPECT_TRUE(w.isEnabled());
}

TEST_F(FrontendTest, ScoreTableChoiceShowsOnlyTheFreestyleList) {
    FMain& w = start();
    w.scoreModes->addItem("Midnight Bowling");
    w.scoreModes->setCurrentIndex(1);
    EXPECT_TRUE(w.scores_freestyle->isHidden());
    w.scoreModes->setCurrentIndex(0);
    EXPECT_FALSE(w.scores_freestyle->isHidden());
}

TEST_F(FrontendTest, PlayChecksModeAndLevel) {
    writeScrambled("init/6537", {"First Steps", "12"});
    FMain& w = start();
    w.mNew->trigger();
    w.main_BtnRun->click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Please select a game mode."});
    EXPECT_EQ(shownBoxes()[0].buttons, MsgButtons::OkOnly);

    clearShownBoxes();
    w.tMode->setCurrentIndex(1);
    w.main_BtnRun->click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Please select a level."});

    clearShownBoxes();
    w.tMode->setCurrentIndex(2);
    w.tLevels->setCurrentRow(0);
    const int16_t creditsBefore = credits;
    w.main_BtnRun->click();
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].text.find("B-Type"), std::string::npos);
    EXPECT_EQ(credits, creditsBefore);
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(shownPanels(), std::vector<int>{0});
    EXPECT_EQ(w.tMode->currentText(), "B-Type");
    EXPECT_EQ(w.tLevels->currentRow(), 0);
}

TEST_F(FrontendTest, MissingManualIsReportedAndTheWindowStaysUsable) {
    FMain& w = start();
    ASSERT_FALSE(std::filesystem::exists(folder->file("manual")));
    w.mManual->trigger();
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].text.find("manual"), std::string::npos);
    EXPECT_TRUE(w.isEnabled());
    w.mNew->trigger();
    EXPECT_EQ(shownPanels(), std::vector<int>{0});
}

// A program folder whose name is Latin-1 bytes, no UTF-8 text: the window
// finds its pictures and the theme's plates there, and Help > Manual starts
// the manual that lies beside the game.
TEST_F(FrontendTest, FolderNamedInLatin1BytesShowsPicturesAndStartsTheManual) {
    folder.reset();
    folder = std::make_unique<TempProgramFolder>(Storage::Memory, "pomlets-test-latin1-\351-");
    ASSERT_NE(folder->path().find('\351'), std::string::npos);
    FMain& w = start();
    for (ImageControl* control : {w.Image7, w.Image3, w.storeBackdrop, w.themePic})
        EXPECT_FALSE(control->pixmap().isNull()) << control->objectName().toStdString();
    EXPECT_FALSE(w.windowIcon().isNull());

    folder->writeText("manual", "#!/bin/sh\ntouch started\n");
    ::chmod(folder->file("manual").c_str(), 0755);
    w.mManual->trigger();
    EXPECT_TRUE(shownBoxes().empty()) << shownBoxes()[0].text;
    for (int i = 0; i < 1000 && !std::filesystem::exists(folder->file("started")); ++i) ::usleep(10000);
    EXPECT_TRUE(std::filesystem::exists(folder->file("started")));
}

TEST_F(FrontendTest, CreditsTextHasItsForm) {
    FMain& w = start();
    const std::string text = w.Text1->toPlainText().toStdString();
    EXPECT_EQ(text.rfind("\nPOMLETS\n\n\nGame Concept and Design:\n\n     ", 0), 0u);
    size_t at = 0;
    for (const char* heading : {"Game Concept and Design:", "Programming:", "Artwork:", "Sound:", "Music:",
                                "Testers:", "Marketting:", "Website:", "BBS Administrator:", "Special Thanks:"}) {
        const size_t found = text.find(std::string("\n\n\n") + heading + "\n\n     ", at);
        ASSERT_NE(found, std::string::npos) << heading;
        at = found + 1;
    }
    for (const char* artist : {"Varnock", "Pellandry", "Quillo", "Brackwater"})
        EXPECT_NE(text.find(std::string("     ") + artist + "\n"), std::string::npos);
}

TEST_F(FrontendTest, QuitSavesBothFilesAndClosesTheLogLast) {
    FMain& w = start();
    const std::string profileBefore = folder->readText("init/6702");
    const std::string scoresBefore = folder->readText("init/6095");
    credits = 321;
    highScores[0].name = "Saved At Exit";
    std::filesystem::remove(folder->file("init/6095"));
    w.mExit->trigger();
    EXPECT_TRUE(w.isHidden());
    EXPECT_NE(folder->readText("init/6702"), profileBefore);
    EXPECT_TRUE(std::filesystem::exists(folder->file("init/6095")));
    EXPECT_FALSE(fileExists(folder->file("temp")));

    const auto log = linesOfFile(folder->file("log.txt"));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.front().rfind("LOG OPENED ON ", 0), 0u);
    EXPECT_EQ(log.back().rfind("LOG CLOSED ON ", 0), 0u);

    // A second run finds what the first one saved.
    releaseFMain();
    resetSharedState();
    FMain& again = start();
    EXPECT_EQ(credits, 321);
    EXPECT_EQ(highScores[0].name, "Saved At Exit");
    EXPECT_EQ(again.theme->currentText().toStdString(), themeName);
    (void)scoresBefore;
}

} // namespace
} // namespace pomlets::testing

namespace pomlets::testing {
namespace {

TEST_F(FrontendTest, ForgeArtworkFillsPanelsAndWindows) {
    FMain& w = start();
    const std::vector<std::pair<ImageControl*, const char*>> pictures{
        {w.Image7, "Image7.bmp"}, {w.Image8, "Image8.bmp"}, {w.Image3, "Image3.bmp"},
        {w.Image4, "Image4.bmp"}, {w.Image5, "Image5.bmp"}, {w.storeBackdrop, "store_backdrop.bmp"},
        {w.Image1, "Image1.bmp"}, {w.Image9, "Image9.bmp"}, {w.Image2, "Image2.bmp"},
        {w.Image10, "Image10.bmp"}, {showFSplash().background, "fSplash.bmp"},
        {showFPieces().background, "fPieces.bmp"}, {showFControls().background, "fControls.bmp"}};
    // This test runs at one pixel to a layout pixel and again on a screen of
    // twice the density (QT_SCALE_FACTOR=2): there every control shows the
    // picture's sharp twin, twice the pixels in the same layout size.
    for (const auto& [control, file] : pictures) {
        SCOPED_TRACE(file);
        const qreal ratio = control->devicePixelRatioF();
        const QString shown = QString::fromStdString(ratio > 1.0 ? sharpTwin(uiPicture(file)) : uiPicture(file));
        EXPECT_TRUE(fileExists(folder->file(std::string("images/ui/") + file)));
        ASSERT_FALSE(control->pixmap().isNull());
        EXPECT_EQ(control->pixmap().devicePixelRatio(), ratio > 1.0 ? 2.0 : 1.0);
        // Shown at its own size: the forge paints each picture for its control.
        EXPECT_EQ(control->pixmap().deviceIndependentSize().toSize(), control->size());
        const QImage onDisk(shown);
        ASSERT_FALSE(onDisk.isNull()) << shown.toStdString();
        EXPECT_EQ(control->pixmap().size(), onDisk.size());
        EXPECT_EQ(control->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                  onDisk.convertToFormat(QImage::Format_RGB32));
        if (ratio > 1.0) {
            EXPECT_EQ(onDisk.size(), QImage(QString::fromStdString(uiPicture(file))).size() * 2);
        }
    }
    EXPECT_FALSE(w.windowIcon().isNull());
    // Click areas carry no picture of their own.
    for (ImageControl* area : {w.main_BtnRun, w.Image6, w.launch, w.purchase[0], w.purchase[5]})
        EXPECT_TRUE(area->pixmap().isNull());
}

// A sharp twin that is missing or damaged leaves the picture at its own size,
// on any screen; a damaged picture without a twin shows nothing.
TEST_F(FrontendTest, PictureWithoutAUsableTwinShowsAtItsOwnSize) {
    const QString source = QString::fromStdString(uiPicture("Image5.bmp"));
    const QImage original(source);
    ASSERT_FALSE(original.isNull());
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    struct Case {
        const char* what;
        QByteArray picture, twin;  // an empty twin is left out
        bool shown;
    };
    const std::vector<Case> cases{
        {"no twin", bytes, {}, true},
        {"twin of garbage", bytes, QByteArray(400, 'x'), true},
        {"twin cut short", bytes, bytes.left(60), true},
        {"damaged picture, no twin", bytes.left(60), {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        folder->writeText("own.bmp", c.picture.toStdString());
        std::filesystem::remove(folder->file("own@2x.bmp"));
        if (!c.twin.isEmpty()) folder->writeText("own@2x.bmp", c.twin.toStdString());
        ImageControl control;
        EXPECT_EQ(control.loadPicture(folder->file("own.bmp")), c.shown);
        EXPECT_EQ(control.pixmap().isNull(), !c.shown);
        if (c.shown) {
            EXPECT_EQ(control.pixmap().devicePixelRatio(), 1.0);
            EXPECT_EQ(control.pixmap().size(), original.size());
        }
    }
}

TEST_F(FrontendTest, MissingArtworkLeavesTheWindowUsable) {
    std::filesystem::remove(folder->file("images"));  // the link to the built pictures
    FMain& w = start();
    EXPECT_TRUE(w.Image7->pixmap().isNull());
    EXPECT_TRUE(showFPieces().background->pixmap().isNull());
    w.Image6->click();
    EXPECT_EQ(shownPanels(), std::vector<int>{0});
}

} // namespace
} // namespace pomlets::testing

namespace pomlets::testing {
namespace {

// The windows use the small sans-serif face their layout was made for, and
// every text of every panel is whole in its control: no list needs a
// horizontal scroll bar, the ten high scores show at once, the credits keep
// their own line breaks and the mode descriptions fit their box.
TEST_F(FrontendTest, EveryTextIsWholeInItsControl) {
    FMain& w = start();
    EXPECT_EQ(QFontInfo(w.font()).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(w.tLevels->font()).pixelSize(), 11);
    EXPECT_EQ(QFontInfo(w.Text1->font()).pixelSize(), 13);
    w.show();
    w.Image6->click();
    const auto settle = [] { QCoreApplication::processEvents(); };
    const auto wholeInWidth = [](QListWidget* list, const char* what) {
        EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << what;
        for (int i = 0; i < list->count(); ++i)
            EXPECT_LE(list->visualItemRect(list->item(i)).left() +
                          list->fontMetrics().horizontalAdvance(list->item(i)->text()),
                      list->viewport()->width())
                << what << ": " << list->item(i)->text().toStdString();
    };
    const auto comboWhole = [](QComboBox* combo) {
        for (int i = 0; i < combo->count(); ++i)
            EXPECT_LE(combo->fontMetrics().horizontalAdvance(combo->itemText(i)) + 30, combo->width())
                << combo->itemText(i).toStdString();
    };
    comboWhole(w.tMode);
    for (int mode = 0; mode < w.tMode->count(); ++mode) {
        w.tMode->setCurrentIndex(mode);
        settle();
        SCOPED_TRACE(w.tMode->currentText().toStdString());
        ASSERT_GT(w.tLevels->count(), 0);
        wholeInWidth(w.tLevels, "tLevels");
        EXPECT_LE(w.tModeDesc->heightForWidth(w.tModeDesc->width()), w.tModeDesc->height());
    }

    w.mScores->trigger();
    settle();
    ASSERT_EQ(w.scores_freestyle->count(), 10);
    EXPECT_EQ(w.scores_freestyle->verticalScrollBar()->maximum(), 0) << "not all ten high scores show";
    EXPECT_LE(10 * w.scores_freestyle->sizeHintForRow(0), w.scores_freestyle->viewport()->height());
    wholeInWidth(w.scores_freestyle, "scores_freestyle");
    comboWhole(w.scoreModes);

    w.mCredits->trigger();
    settle();
    EXPECT_EQ(w.Text1->horizontalScrollBar()->maximum(), 0);
    for (QTextBlock line = w.Text1->document()->begin(); line.isValid(); line = line.next())
        EXPECT_EQ(line.layout()->lineCount(), 1) << "re-wrapped: " << line.text().toStdString();

    w.mBackgrounds->trigger();
    settle();
    comboWhole(w.theme);
    w.mMusic->trigger();
    settle();
    wholeInWidth(w.songs, "songs");
    w.mBands->trigger();
    settle();
    wholeInWidth(w.allBands, "allBands");

    // The store's figures: three-figure credits, two-figure counts.
    w.mStore->trigger();
    EXPECT_LE(w.tBank->fontMetrics().horizontalAdvance("999"), w.tBank->width());
    for (QLabel* count : w.tpurchase) EXPECT_LE(count->fontMetrics().horizontalAdvance("99"), count->width());
}

} // namespace
} // namespace pomlets::testing

namespace pomlets::testing {
namespace {

void clickAt(QWidget* widget, QPoint at, Qt::KeyboardModifiers modifiers = {}) {
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, modifiers);
    QCoreApplication::sendEvent(widget, &release);
}

// A click on an entry chooses it; a click on the empty part of a list box
// below its entries keeps the entry chosen, so Play and Visit still find it.
TEST_F(FrontendTest, ClickBelowTheEntriesKeepsTheChoice) {
    FMain& w = start();
    w.show();
    w.Image6->click();
    ASSERT_TRUE(setListText(w.tMode, "B-Type"));
    QCoreApplication::processEvents();
    struct Case {
        QListWidget* list;
        std::function<void()> showPanel;
    };
    const std::vector<Case> cases{{w.tLevels, [&w] { w.mNew->trigger(); }},
                                  {w.allBands, [&w] { w.mBands->trigger(); }},
                                  {w.songs, [&w] { w.mMusic->trigger(); }}};
    for (const Case& c : cases) {
        c.showPanel();
        QCoreApplication::processEvents();
        QListWidget* list = c.list;
        SCOPED_TRACE(list->metaObject()->className());
        ASSERT_GE(list->count(), 2);
        const QRect second = list->visualItemRect(list->item(1));
        clickAt(list->viewport(), second.center());
        ASSERT_EQ(list->currentRow(), 1);
        ASSERT_TRUE(list->item(1)->isSelected());
        const QRect last = list->visualItemRect(list->item(list->count() - 1));
        ASSERT_LT(last.bottom() + 10, list->viewport()->height());
        clickAt(list->viewport(), QPoint(last.center().x(), last.bottom() + 10));
        EXPECT_EQ(list->currentRow(), 1);
        EXPECT_TRUE(list->item(1)->isSelected());
        EXPECT_EQ(list->selectedItems().size(), 1);
        // A click on another entry still chooses it.
        clickAt(list->viewport(), list->visualItemRect(list->item(0)).center());
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_TRUE(list->item(0)->isSelected());
    }
}

} // namespace
} // namespace pomlets::testing

namespace pomlets::testing {
namespace {

// Message boxes carry the program's name, their buttons and no icon.
TEST_F(FrontendTest, MessageBoxesCarryNoIcon) {
    start();
    const struct {
        MsgButtons buttons;
        QMessageBox::StandardButtons standard;
    } kinds[] = {{MsgButtons::OkOnly, QMessageBox::Ok},
                 {MsgButtons::YesNo, QMessageBox::Yes | QMessageBox::No},
                 {MsgButtons::RetryQuit, QMessageBox::Retry | QMessageBox::Discard}};
    for (const auto& kind : kinds) {
        const auto box = messageBoxFor("Please select a game mode.", kind.buttons);
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->windowTitle(), "Pomlets");
        EXPECT_EQ(box->text(), "Please select a game mode.");
        EXPECT_EQ(box->standardButtons(), kind.standard);
    }
    const auto quit = messageBoxFor("Pomlets could not save ...", MsgButtons::RetryQuit);
    EXPECT_EQ(quit->button(QMessageBox::Retry)->text(), "Try Again");
    EXPECT_EQ(quit->button(QMessageBox::Discard)->text(), "Quit Without Saving");
    EXPECT_EQ(quit->defaultButton(), quit->button(QMessageBox::Retry));
}

// A box with a short text is still wide enough for its title bar to show
// "Pomlets" whole beside a window icon and three title-bar buttons.
TEST_F(FrontendTest, ShortMessageBoxesAreWideEnoughForTheirTitle) {
    start();
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int titleNeeds = QFontMetrics(titleFont).horizontalAdvance(QStringLiteral("Pomlets")) + 4 * 28;
    for (const char* text : {"Please select a level.", "Please select a game mode.", "OK"}) {
        for (MsgButtons buttons : {MsgButtons::OkOnly, MsgButtons::YesNo}) {
            const auto box = messageBoxFor(text, buttons);
            box->show();
            QApplication::processEvents();
            EXPECT_GE(box->width(), titleNeeds) << text;
            EXPECT_GE(box->width(), box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->sizeHint().width())
                << text;
            box->hide();
        }
    }
}

} // namespace
} // namespace pomlets::testing

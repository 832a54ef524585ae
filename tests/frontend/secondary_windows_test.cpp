// The about window, the specimen box and the control room.
#include <QFontInfo>
#include <QScrollBar>

#include "frontend/window_layout.h"
#include "frontend_fixture.h"

namespace pomlets::testing {
namespace {

class SecondaryWindowsTest : public FrontendTest {};

const char* const T1 =
    "Pomlets are the most basic playing pieces.  Individual Pomlets can be bombed for 10 points each.  "
    "Identical pomlets can be sandwiched between Slammers for additional bonuses.";
const char* const T9 = "Rocks are worth 20 points each.  They can be bombed, but they cannot be slammed.";

TEST_F(SecondaryWindowsTest, EveryPieceAreaShowsItsText) {
    start().mPieces->trigger();
    FPieces* pieces = fPieces();
    ASSERT_NE(pieces, nullptr);
    EXPECT_EQ(pieces->pieceDesc->toPlainText(), "Click on a piece for its description.\n");
    EXPECT_TRUE(pieces->pieceDesc->isReadOnly());

    const std::vector<std::pair<int, std::string>> cases{
        {0, T1}, {1, T1}, {2, T1}, {3, T1},
        {4, "Slammers work in pairs.  Any number of identical pieces placed vertically or horizontally between "
            "Slammers will be eliminated.  Point bonuses are awarded based on the number of pieces eliminated at "
            "once.  Most pieces can be slammed, however, a few cannot."},
        {5, "Bombs function on a timer approximately 30 seconds long.  Once the timer expires, Bombs explode, and "
            "destroy up to 8 adjacent pieces.  Most pieces can be bombed, however, a few cannot."},
        {6, "Baubles function on a timer approximately 1 to 2 minutes long.  Once the timer expires, Baubles "
            "eliminate themselves and award a 500 point bonus.  If a Bauble is bombed or slammed before its timer "
            "expires, it awards no points and dumps three additional pieces onto the playing field."},
        {7, "Upon settling on the playing field, Diamonds award 100 points.  Diamonds cannot be bombed or slammed."},
        {8, "Calculators come into play with a value between -100 and 100 points.  They function on a timer "
            "approximately 12 seconds long.  Once the timer expires, the Calculator will award its set point "
            "value, and reset its timer.  Calculators can be bombed and slammed."},
        {9, "Gorgons function on a timer approximately 1 minute long.  When the timer expires, the Gorgon will "
            "dump another Gorgon onto the playing field, and reset its timer.  Gorgons may be bombed or slammed "
            "for a 500 point bonus."},
        {10, "Shifters function on a timer approximately 8 seconds long.  When the timer expires, the Shifter will "
             "move left or right the row it occupies.  Shifters can be bombed or slammed for a 25 point bonus."},
        {11, T9}, {12, T9}, {13, T9},
        {14, "Bowling Balls do not remain on the playing field.  While falling, they destroy every piece in their "
             "path."},
        {15, "Money can be bombed or slammed while in play, and awards 1 credit to your bank.  Credits can be "
             "spent in the store to purchase pieces and other special items."},
        {16, "B-Type pieces only appear in B-Type mode.  At the beginning of the game, the playing field will be "
             "populated with these pieces.  They all must be bombed or slammed in order to complete the game."},
        {17, "Music Notes may be bombed and slammed.  If you collect enough of these pieces during Freestyle "
             "mode, bonus songs will be awarded."},
    };
    for (const auto& [index, text] : cases) {
        pieces->pClick[static_cast<size_t>(index)]->click();
        EXPECT_EQ(pieces->pieceDesc->toPlainText().toStdString(), text) << "pClick(" << index << ")";
    }
    // Any other index changes nothing.
    for (int16_t index : {int16_t{-1}, int16_t{18}, int16_t{300}}) {
        pieces->pClick_Click(index);
        EXPECT_EQ(pieces->pieceDesc->toPlainText().toStdString(), cases.back().second);
    }
}

TEST_F(SecondaryWindowsTest, AreasLieOverTheirPieces) {
    FPieces& pieces = showFPieces();
    EXPECT_EQ(pieces.size(), QSize(384, 317));
    EXPECT_EQ(pieces.pClick[0]->geometry(), QRect(16, 16, 49, 57));
    EXPECT_EQ(pieces.pClick[16]->geometry(), QRect(304, 88, 49, 57));
    EXPECT_EQ(pieces.pClick[17]->geometry(), QRect(312, 160, 49, 57));
    for (int i = 0; i < 18; ++i) {
        const layout::Twips t = layout::pClick(i);
        EXPECT_EQ(pieces.pClick[static_cast<size_t>(i)]->geometry(),
                  QRect(qRound(t.left / 15.0), qRound(t.top / 15.0), qRound(t.width / 15.0), qRound(t.height / 15.0)))
            << "pClick(" << i << ")";
    }
    EXPECT_EQ(pieces.pieceDesc->geometry(), QRect(8, 224, 361, 81));
    EXPECT_EQ(showFSplash().size(), QSize(251, 300));
    EXPECT_EQ(fSplash()->Image2->geometry(), QRect(40, 248, 169, 25));
    EXPECT_EQ(showFControls().size(), QSize(360, 360));
}

// Every description shows whole in the box, in the windows' own font.
TEST_F(SecondaryWindowsTest, EveryDescriptionShowsWhole) {
    FPieces& pieces = showFPieces();
    EXPECT_EQ(QFontInfo(pieces.pieceDesc->font()).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(pieces.pieceDesc->font()).pixelSize(), 11);
    for (int16_t index = 0; index < 18; ++index) {
        pieces.pClick_Click(index);
        QCoreApplication::processEvents();
        EXPECT_EQ(pieces.pieceDesc->verticalScrollBar()->maximum(), 0) << "pClick(" << index << ")";
        EXPECT_EQ(pieces.pieceDesc->horizontalScrollBar()->maximum(), 0) << "pClick(" << index << ")";
    }
}

TEST_F(SecondaryWindowsTest, OneWindowPerKindKeepingItsState) {
    FMain& w = start();
    w.mPieces->trigger();
    FPieces* first = fPieces();
    first->pClick[5]->click();
    const QString shown = first->pieceDesc->toPlainText();
    w.mPieces->trigger();
    w.mPieces->trigger();
    EXPECT_EQ(fPieces(), first);
    EXPECT_EQ(first->pieceDesc->toPlainText(), shown);
    EXPECT_TRUE(first->isVisible());

    w.mAbout->trigger();
    FSplash* about = fSplash();
    w.mAbout->trigger();
    EXPECT_EQ(fSplash(), about);
    w.mControls->trigger();
    FControls* controls = fControls();
    w.mControls->trigger();
    EXPECT_EQ(fControls(), controls);
}

TEST_F(SecondaryWindowsTest, ClosedWindowComesBackFresh) {
    FMain& w = start();
    w.mPieces->trigger();
    fPieces()->pClick[9]->click();
    fPieces()->close();
    EXPECT_EQ(fPieces(), nullptr);
    QCoreApplication::processEvents();
    w.mPieces->trigger();
    ASSERT_NE(fPieces(), nullptr);
    EXPECT_EQ(fPieces()->pieceDesc->toPlainText(), "Click on a piece for its description.\n");
}

TEST_F(SecondaryWindowsTest, AllThreeOpenBesideAUsableMainWindow) {
    FMain& w = start();
    w.show();
    w.mAbout->trigger();
    w.mPieces->trigger();
    w.mControls->trigger();
    ASSERT_TRUE(fSplash() && fPieces() && fControls());
    EXPECT_TRUE(fSplash()->isVisible() && fPieces()->isVisible() && fControls()->isVisible());
    EXPECT_EQ(fSplash()->windowTitle(), "about");
    EXPECT_EQ(fPieces()->windowTitle(), "the specimen box");
    EXPECT_EQ(fControls()->windowTitle(), "the control room");
    for (QWidget* window : {static_cast<QWidget*>(fSplash()), static_cast<QWidget*>(fPieces()),
                            static_cast<QWidget*>(fControls())}) {
        EXPECT_FALSE(window->isModal());
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        EXPECT_FALSE(window->windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
    }
    // The main window goes on working beside them.
    w.mCredits->trigger();
    EXPECT_EQ(shownPanels(), std::vector<int>{2});
    // Closing the main window closes them too.
    w.close();
    EXPECT_EQ(fSplash(), nullptr);
    EXPECT_EQ(fPieces(), nullptr);
    EXPECT_EQ(fControls(), nullptr);
}

TEST_F(SecondaryWindowsTest, AboutAreaOpensTheMakersAddress) {
    FSplash& about = showFSplash();
    about.Image2->click();
    ASSERT_EQ(opened.size(), 1u);
    // The site that the about picture shows.
    EXPECT_EQ(opened[0], std::string("https://") + layout::makerSite + "/");
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(fSplash(), &about);
}

} // namespace
} // namespace pomlets::testing

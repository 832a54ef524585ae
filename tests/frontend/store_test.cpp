// The store, the backgrounds, the volume bar and the bands panel.
#include <QColor>
#include <QImage>
#include <QStyle>
#include <QStyleOptionSlider>
#include <filesystem>

#include "datafiles/player_files.h"
#include "frontend/artwork.h"
#include "frontend_fixture.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

class StoreTest : public FrontendTest {
protected:
    FMain& openStore(int16_t withCredits) {
        FMain& w = start();
        credits = withCredits;
        items = {1, 2, 3, 4, 5, 6};
        saveProfile();
        profileBefore = folder->readText("init/6702");
        clearShownBoxes();
        w.mStore->trigger();
        return w;
    }
    std::string profileBefore;

    // Replaces the copy's themes with plates of our own: plate k of the n-th
    // theme is one flat colour, so a preview tells which plate it shows.
    void paintPlates() {
        const std::filesystem::path themes = folder->file("themes");
        std::filesystem::remove(themes);  // the link to the built folder, not its contents
        int n = 0;
        for (const char* name : {"Cells", "Tessellane #1 - Pelvaro"}) {
            std::filesystem::create_directories(themes / name);
            for (int k = 1; k <= 5; ++k) {
                QImage plate(50, 35, QImage::Format_RGB32);
                plate.fill(plateColour(n, k));
                plate.save(QString::fromStdString((themes / name / ("plate_0" + std::to_string(k) + ".bmp")).string()));
            }
            ++n;
        }
    }
    static QColor plateColour(int themeIndex, int plate) { return QColor(40 * plate, 100 + 100 * themeIndex, 30); }
    static QColor previewColour(const FMain& w) {
        return w.themePic->pixmap().isNull() ? QColor() : QColor(w.themePic->pixmap().toImage().pixel(5, 5));
    }
};

TEST_F(StoreTest, StoreShowsCreditsAndCounts) {
    FMain& w = openStore(17);
    EXPECT_EQ(shownPanels(), std::vector<int>{3});
    EXPECT_EQ(w.tBank->text(), "17");
    for (int k = 0; k < 6; ++k) EXPECT_EQ(w.tpurchase[static_cast<size_t>(k)]->text(), QString::number(k + 1));
}

struct PurchaseCase {
    int16_t index;
    const char* question;
    int16_t price;
};

class PurchaseTest : public StoreTest, public ::testing::WithParamInterface<PurchaseCase> {};

TEST_P(PurchaseTest, ExactPriceIsOfferedAndYesPays) {
    const PurchaseCase& c = GetParam();
    FMain& w = openStore(c.price);  // exactly the price is enough
    answer = MsgResult::Yes;
    w.purchase[static_cast<size_t>(c.index)]->click();
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(shownBoxes()[0].text, c.question);
    EXPECT_EQ(shownBoxes()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(credits, 0);
    EXPECT_EQ(items[static_cast<size_t>(c.index)], c.index + 2);
    EXPECT_EQ(w.tBank->text(), "0");
    EXPECT_EQ(w.tpurchase[static_cast<size_t>(c.index)]->text(), QString::number(c.index + 2));
    EXPECT_NE(folder->readText("init/6702"), profileBefore);
    // The saved profile holds the purchase.
    credits = 99;
    items = {};
    loadProfile();
    EXPECT_EQ(credits, 0);
    EXPECT_EQ(items[static_cast<size_t>(c.index)], c.index + 2);
    EXPECT_FALSE(fileExists(folder->file("temp")));
}

INSTANTIATE_TEST_SUITE_P(
    Items, PurchaseTest,
    ::testing::Values(PurchaseCase{0, "Do you want to purchase a Slammer for 2 credits?", 2},
                      PurchaseCase{1, "Do you want to purchase a Bomb for 4 credits?", 4},
                      PurchaseCase{2, "Do you want to purchase a Detonator for 7 credits?", 7},
                      PurchaseCase{3, "Do you want to purchase a Bowling Ball for 10 credits?", 10}));

TEST_F(StoreTest, TooFewCreditsOnlyTellsThePlayer) {
    FMain& w = openStore(9);
    answer = MsgResult::Yes;
    w.purchase[3]->click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Insufficient credits to make this transaction.  Sorry!"});
    EXPECT_EQ(shownBoxes()[0].buttons, MsgButtons::OkOnly);
    EXPECT_EQ(credits, 9);
    EXPECT_EQ(items[3], 4);
    EXPECT_EQ(folder->readText("init/6702"), profileBefore);
}

TEST_F(StoreTest, AFullCountRefusesThePurchaseBeforeAnythingIsTaken) {
    FMain& w = openStore(100);
    items[0] = 32767;
    saveProfile();
    profileBefore = folder->readText("init/6702");
    w.mStore->trigger();
    answer = MsgResult::Yes;
    w.purchase[0]->click();
    EXPECT_EQ(boxTexts(),
              std::vector<std::string>{"You already have 32767 Slammers, the most you can hold.  Nothing was bought."});
    EXPECT_EQ(shownBoxes()[0].buttons, MsgButtons::OkOnly);
    EXPECT_EQ(credits, 100);
    EXPECT_EQ(items[0], 32767);
    EXPECT_EQ(w.tBank->text(), "100");
    EXPECT_EQ(folder->readText("init/6702"), profileBefore);
}

// The credits and every count shown whole in their labels, whatever 16-bit
// value they hold.
TEST_F(StoreTest, EveryCountShowsWhole) {
    FMain& w = openStore(0);
    for (int16_t value : {int16_t{-32768}, int16_t{32767}, int16_t{12345}, int16_t{-1}, int16_t{0}}) {
        credits = value;
        items.fill(value);
        w.mStore->trigger();
        const QString whole = QString::number(value);
        std::vector<QLabel*> labels{w.tBank};
        labels.insert(labels.end(), w.tpurchase.begin(), w.tpurchase.end());
        for (QLabel* label : labels) {
            EXPECT_EQ(label->text(), whole);
            EXPECT_LE(label->fontMetrics().horizontalAdvance(whole), label->contentsRect().width())
                << whole.toStdString() << " in a label " << label->contentsRect().width() << " pixels wide";
        }
    }
}

TEST_F(StoreTest, NoChangesNothing) {
    FMain& w = openStore(50);
    answer = MsgResult::No;
    w.purchase[1]->click();
    EXPECT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(credits, 50);
    EXPECT_EQ(items[1], 2);
    EXPECT_EQ(w.tBank->text(), "50");
    EXPECT_EQ(w.tpurchase[1]->text(), "2");
    EXPECT_EQ(folder->readText("init/6702"), profileBefore);
}

TEST_F(StoreTest, BonusSongAndMidnightBowlingAreNotForSale) {
    FMain& w = openStore(100);
    answer = MsgResult::Yes;
    for (int16_t index : {int16_t{4}, int16_t{5}}) {
        clearShownBoxes();
        w.purchase[static_cast<size_t>(index)]->click();
        ASSERT_EQ(shownBoxes().size(), 1u);
        EXPECT_EQ(shownBoxes()[0].buttons, MsgButtons::OkOnly);
        EXPECT_NE(shownBoxes()[0].text.find("not for sale"), std::string::npos);
    }
    EXPECT_EQ(credits, 100);
    EXPECT_EQ(items[4], 5);
    EXPECT_EQ(items[5], 6);
    EXPECT_EQ(folder->readText("init/6702"), profileBefore);
}

TEST_F(StoreTest, ThemeChoicePreviewsPlateOneAndSavesTheName) {
    paintPlates();
    FMain& w = start();
    w.mBackgrounds->trigger();
    w.HScroll1->setValue(4);
    EXPECT_EQ(previewColour(w), plateColour(w.theme->currentIndex(), 4));
    const std::string before = folder->readText("init/6702");
    w.theme->setCurrentIndex(w.theme->findText("Tessellane #1 - Pelvaro"));
    EXPECT_EQ(w.HScroll1->value(), 1);
    EXPECT_EQ(previewColour(w), plateColour(1, 1));
    EXPECT_EQ(themeName, "Tessellane #1 - Pelvaro");
    EXPECT_NE(folder->readText("init/6702"), before);
    themeName.clear();
    loadProfile();
    EXPECT_EQ(themeName, "Tessellane #1 - Pelvaro");
}

TEST_F(StoreTest, PreviewBarShowsPlatesAndSavesNothing) {
    paintPlates();
    FMain& w = start();
    const int shownTheme = w.theme->currentIndex();
    EXPECT_EQ(previewColour(w), plateColour(shownTheme, 1));
    const std::string before = folder->readText("init/6702");
    const std::string themeBefore = themeName;
    w.HScroll1->setValue(3);
    EXPECT_EQ(previewColour(w), plateColour(shownTheme, 3));
    w.HScroll1->setValue(5);
    EXPECT_EQ(previewColour(w), plateColour(shownTheme, 5));
    EXPECT_EQ(folder->readText("init/6702"), before);
    EXPECT_EQ(themeName, themeBefore);
}

// The panel's picture numbers the plate bar's five thumb places: at every
// value the thumb's centre stands over the number of the plate it shows.
TEST_F(StoreTest, PlateNumbersLieUnderTheThumb) {
    FMain& w = start();
    w.mBackgrounds->trigger();
    const QImage picture(QString::fromStdString(uiPicture("Image1.bmp")));
    ASSERT_FALSE(picture.isNull());
    // The numbers: light ink below the bar and its frame, grouped into runs of
    // columns, in panel pixels (the picture starts 8 pixels down the panel).
    const QRect bar = w.HScroll1->geometry();
    const int pictureTop = w.Image1->y();
    std::vector<double> numbers;
    int runStart = -1;
    for (int x = bar.left(); x <= bar.right() + 1; ++x) {
        bool ink = false;
        for (int y = bar.bottom() + 5; y < bar.bottom() + 16 && x <= bar.right(); ++y)
            ink = ink || QColor(picture.pixel(x, y - pictureTop)).lightness() > 150;
        if (ink && runStart < 0) runStart = x;
        if (!ink && runStart >= 0) {
            numbers.push_back((runStart + x - 1) / 2.0);
            runStart = -1;
        }
    }
    ASSERT_EQ(numbers.size(), 5u);
    for (int value = 1; value <= 5; ++value) {
        SCOPED_TRACE(value);
        w.HScroll1->setValue(value);
        QStyleOptionSlider option;
        option.initFrom(w.HScroll1);
        option.subControls = QStyle::SC_All;
        option.orientation = Qt::Horizontal;
        option.minimum = w.HScroll1->minimum();
        option.maximum = w.HScroll1->maximum();
        option.sliderPosition = option.sliderValue = value;
        option.singleStep = w.HScroll1->singleStep();
        option.pageStep = w.HScroll1->pageStep();
        const QRect thumb =
            w.HScroll1->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, w.HScroll1);
        const double centre = bar.left() + thumb.left() + thumb.width() / 2.0;
        EXPECT_NEAR(numbers[static_cast<size_t>(value - 1)], centre, 2.0);
    }
}

TEST_F(StoreTest, ThemeWithoutPlatesShowsNoPreview) {
    FMain& w = start();
    w.theme->addItem("Bare Walls");
    w.theme->setCurrentIndex(w.theme->findText("Bare Walls"));
    EXPECT_TRUE(w.themePic->pixmap().isNull());
    EXPECT_EQ(themeName, "Bare Walls");
    w.HScroll1->setValue(2);
    EXPECT_TRUE(w.themePic->pixmap().isNull());
    EXPECT_TRUE(w.isEnabled());
}

TEST_F(StoreTest, VolumeFollowsTheBarAndIsSavedLater) {
    FMain& w = start();
    const std::string before = folder->readText("init/6702");
    for (int value : {0, 1, 37, 99, 100}) {
        w.HScroll2->setValue(value);
        EXPECT_EQ(musicVolume, value);
    }
    // Dragging the thumb.
    w.HScroll2->setSliderDown(true);
    w.HScroll2->setSliderPosition(55);
    EXPECT_EQ(musicVolume, 55);
    w.HScroll2->setSliderDown(false);
    // A click in the trough moves it by 10.
    w.HScroll2->setValue(20);
    w.HScroll2->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(musicVolume, 30);
    EXPECT_EQ(folder->readText("init/6702"), before);
}

TEST_F(StoreTest, LaunchOpensTheLastMatchingBand) {
    writeScrambled("init/6859", {"Twice,https://first.example.com/", "Other,https://other.example.com/",
                                 "Twice,https://second.example.com/", "Silent,"});
    FMain& w = start();
    w.mBands->trigger();
    w.launch->click();  // nothing selected
    EXPECT_TRUE(opened.empty());

    auto select = [&](const char* name) {
        auto found = w.allBands->findItems(name, Qt::MatchExactly);
        ASSERT_FALSE(found.empty());
        w.allBands->setCurrentItem(found.front());
    };
    select("Twice");
    w.launch->click();
    EXPECT_EQ(opened, std::vector<std::string>{"https://second.example.com/"});

    select("Other");
    w.launch->click();
    select("Silent");
    w.launch->click();
    EXPECT_EQ(opened, (std::vector<std::string>{"https://second.example.com/", "https://other.example.com/"}));
    EXPECT_TRUE(shownBoxes().empty());
}

} // namespace
} // namespace pomlets::testing

// Texts from files, names and errors at the window edge: shown as plain text
// in the real message and input boxes, and kept as the same Windows-1252
// bytes from the input box through the file to the high-score panel.
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "datafiles/player_files.h"
#include "display/game_window.h"
#include "engine/high_scores.h"
#include "frontend_fixture.h"
#include "platform/windows1252.h"
#include "support/hostile_media.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

// Answers the next modal dialog that opens, through the real widget.
class DialogAnswerer {
public:
    explicit DialogAnswerer(std::function<void(QDialog&)> answer) : answer_(std::move(answer)) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            timer_.stop();
            answered_ = true;
            answer_(*dialog);
        });
        timer_.start();
    }
    bool answered() const { return answered_; }

private:
    QTimer timer_;
    std::function<void(QDialog&)> answer_;
    bool answered_ = false;
};

// Every label of the dialog that shows text shows it as plain text.
bool labelsArePlain(const QDialog& dialog) {
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (!label->text().isEmpty() && label->textFormat() != Qt::PlainText) return false;
    return true;
}

class WindowTextTest : public FrontendTest {
protected:
    void TearDown() override {
        keyboardState().fill(0);
        FrontendTest::TearDown();
        resetDisplayObjects();
    }
};

TEST_F(WindowTextTest, MarkupInAPictureNameReachesTheStopBoxAsPlainText) {
    const std::string markup = "<a href='file:///etc/passwd'><img src='/usr/share/icons/x.png'>click</a>";
    writeScrambled("init/1980", {"Pomlet,1," + markup, "1,0,1,0,0,0,0,0,0,0,0,0,0", "10,0,0,0"});
    FMain& w = start();
    w.mNew->trigger();
    w.tMode->setCurrentIndex(w.tMode->findText("Freestyle"));
    setMessageBoxResponder(nullptr);
    QString shownText;
    bool plain = false;
    DialogAnswerer answerer([&](QDialog& dialog) {
        auto& box = dynamic_cast<QMessageBox&>(dialog);
        shownText = box.text();
        plain = box.textFormat() == Qt::PlainText && labelsArePlain(box);
        box.accept();
    });
    w.main_BtnRun->click();
    ASSERT_TRUE(answerer.answered());
    EXPECT_TRUE(shownText.startsWith(QStringLiteral("The game had to stop"))) << shownText.toStdString();
    EXPECT_TRUE(shownText.contains(fromWindows1252(markup))) << shownText.toStdString();
    EXPECT_TRUE(plain);
    EXPECT_TRUE(w.isEnabled());
    EXPECT_TRUE(opened.empty());
}

TEST_F(WindowTextTest, AccentedNameGoesThroughTheInputBoxTheFileAndThePanelUnchanged) {
    const QString typed = QString::fromUtf8("Ren\u00E9e \u20AC5 <b>x</b>");
    const std::string bytes = "Ren\xE9" "e \x80" "5 <b>x</b>";
    start();
    for (auto& entry : highScores) entry = {"Nobody", 0};
    score = 700;
    setInputBoxResponder(nullptr);
    bool plain = false;
    DialogAnswerer answerer([&](QDialog& dialog) {
        auto& input = dynamic_cast<QInputDialog&>(dialog);
        plain = labelsArePlain(input);
        input.setTextValue(typed);
        input.accept();
    });
    enterHighScore();
    ASSERT_TRUE(answerer.answered());
    EXPECT_TRUE(plain);
    EXPECT_EQ(highScores[0].name, bytes);

    // The file holds the Windows-1252 bytes.
    const std::string plainCopy = folder->file("plain.txt");
    decryptFile(folder->file("init/6095"), plainCopy);
    EXPECT_NE(folder->readText("plain.txt").find("700," + bytes), std::string::npos) << folder->readText("plain.txt");

    // Read back, the name is the same, and the panel shows it as typed.
    highScores[0].name.clear();
    loadHighScores();
    EXPECT_EQ(highScores[0].name, bytes);
    ASSERT_GT(fMain().scores_freestyle->count(), 0);
    EXPECT_TRUE(fMain().scores_freestyle->item(0)->text().endsWith(typed))
        << fMain().scores_freestyle->item(0)->text().toStdString();
}

// The theme preview goes through the same picture check as the game: a
// picture of 3000 x 3000 pixels is more than the game ever shows.
TEST_F(WindowTextTest, AThemePlateClaimingAHugePictureShowsNoPreview) {
    namespace fs = std::filesystem;
    const fs::path themes = folder->file("themes");
    const fs::path built = fs::read_symlink(themes);
    fs::remove(themes);
    fs::copy(built, themes, fs::copy_options::recursive);
    FMain& w = start();
    w.theme->setCurrentIndex(w.theme->findText("Cells"));
    w.theme_Click();
    ASSERT_FALSE(w.themePic->pixmap().isNull()) << "the built plate shows";
    std::ofstream(themes / "Cells" / "plate_01.bmp", std::ios::binary | std::ios::trunc) << runLengthBombBmp(3000, 3000);
    w.theme_Click();
    EXPECT_TRUE(w.themePic->pixmap().isNull());
}

TEST(Windows1252Test, EveryByteSurvivesTheRoundTripAndTheHighRangeIsRight) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(toWindows1252(fromWindows1252(all)), all);
    EXPECT_EQ(fromWindows1252("\x80\x8A\x99\x9F\xA0\xE9\xFF"), QString::fromUtf8("\u20AC\u0160\u2122\u0178\u00A0\u00E9\u00FF"));
    // Characters the code page lacks become one "?" each.
    EXPECT_EQ(toWindows1252(QString::fromUtf8("a\u0100b\U0001F600c")), "a?b?c");
}

} // namespace
} // namespace pomlets::testing

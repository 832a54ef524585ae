// The help viewer's window driven as a reader drives it: topics chosen by
// mouse and keyboard, link labels clicked, one page shown at a time.
#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "manual/form1.h"

namespace pomlets {
namespace {

class ManualWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<Form1>();
        form->show();
    }

    std::vector<int> visiblePages() const {
        std::vector<int> shown;
        for (int i = 0; i < Form1::pageCount; ++i)
            if (form->helpFrame[static_cast<size_t>(i)]->isVisible()) shown.push_back(i);
        return shown;
    }

    void chooseTopic(const QString& text) {
        const auto found = form->topic->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        const QRect r = form->topic->visualItemRect(found.first());
        QTest::mouseClick(form->topic->viewport(), Qt::LeftButton, {}, r.center());
    }

    void click(const char* linkName) {
        LinkLabel* label = form->link(linkName);
        ASSERT_NE(label, nullptr) << linkName;
        ASSERT_TRUE(label->isVisible()) << linkName << " is on a hidden page";
        QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    }

    // Puts the reader on a page without going through the list.
    void openPage(int page) {
        for (QGroupBox* p : form->helpFrame) p->setVisible(false);
        form->helpFrame[static_cast<size_t>(page)]->setVisible(true);
    }

    QString titleOf(int page) const {
        auto* title = form->helpFrame[static_cast<size_t>(page)]->findChild<QLabel*>(
            QStringLiteral("title"), Qt::FindDirectChildrenOnly);
        return title ? title->text() : QString();
    }

    std::unique_ptr<Form1> form;
};

using Pages = std::vector<int>;

TEST_F(ManualWindow, OpensOnTheWelcomePageWithNoTopicChosen) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("pomlets manual"));
    EXPECT_EQ(form->size(), QSize(425, 321));  // 6375 x 4815 twips
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(form->Frame1->geometry(), QRect(0, 0, 129, 321));
    EXPECT_EQ(form->topic->geometry(), QRect(8, 16, 113, 290));
    EXPECT_EQ(visiblePages(), Pages{0});
    EXPECT_EQ(titleOf(0), QStringLiteral("Welcome!"));
    EXPECT_TRUE(form->topic->selectedItems().isEmpty());
    EXPECT_EQ(form->topic->currentRow(), -1);
}

TEST_F(ManualWindow, TopicsInTheirOrder) {
    const char* const expected[] = {"About",          "Getting Started",   "How to Play",  "Game Modes",
                                    "The Pieces",     "The Controls",      "The Store",    "Change Backgrounds",
                                    "Change the Volume", "Game Bonuses",   "Bonus Songs",  "Hints and Tips",
                                    "Troubleshooting", "Uninstalling"};
    ASSERT_EQ(form->topic->count(), 14);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(form->topic->item(i)->text(), QString::fromLatin1(expected[i])) << i;
        EXPECT_EQ(form->topic->item(i)->data(Qt::UserRole).toInt(), 0);
    }
}

TEST_F(ManualWindow, EveryPageHasItsTitle) {
    const char* const titles[Form1::pageCount] = {
        "Welcome!", "About", "Getting Started", "Getting Started (Cont.)", "Game Modes", "Freestyle Mode",
        "Freestyle Mode (Cont.)", "B-Type Mode", "Arcade Mode", "Midnight Bowling Mode", "The Controls",
        "Changing Backgrounds", "Bonus Songs", "How to Play", "How to Play (Cont.)", "How to Play (Cont.)",
        "How to Play (Cont.)", "The Pieces", "The Pieces (Cont.)", "The Pieces (Cont.)", "The Pieces (Cont.)",
        "The Pieces (Cont.)", "The Pieces (Cont.)", "The Pieces (Cont.)", "Change the Volume", "The Store",
        "Hints and Tips", "Uninstalling", "Troubleshooting", "Game Bonuses", "Game Bonuses (Cont.)"};
    for (int i = 0; i < Form1::pageCount; ++i) {
        EXPECT_EQ(titleOf(i), QString::fromLatin1(titles[i])) << "page " << i;
        EXPECT_EQ(form->helpFrame[static_cast<size_t>(i)]->geometry(), QRect(136, 0, 289, 321)) << "page " << i;
        auto* title = form->helpFrame[static_cast<size_t>(i)]->findChild<QLabel*>(QStringLiteral("title"));
        ASSERT_NE(title, nullptr);
        EXPECT_TRUE(title->font().bold());
        EXPECT_EQ(title->geometry().topLeft(), QPoint(8, i == 26 ? 16 : 24)) << "page " << i;
    }
}

// Each topic, chosen with the mouse in list order, shows its page alone; the
// pages follow the topics' texts, not their places in the list.
TEST_F(ManualWindow, EachTopicShowsItsPage) {
    const struct {
        const char* topic;
        int page;
    } topics[] = {{"About", 1},          {"Getting Started", 2},   {"How to Play", 13},
                  {"Game Modes", 4},      {"The Pieces", 17},       {"The Controls", 10},
                  {"The Store", 25},      {"Change Backgrounds", 11}, {"Change the Volume", 24},
                  {"Game Bonuses", 29},   {"Bonus Songs", 12},      {"Hints and Tips", 26},
                  {"Troubleshooting", 28}, {"Uninstalling", 27}};
    for (const auto& t : topics) {
        chooseTopic(QString::fromLatin1(t.topic));
        EXPECT_EQ(visiblePages(), Pages{t.page}) << t.topic;
        ASSERT_EQ(form->topic->selectedItems().size(), 1);
        EXPECT_EQ(form->topic->selectedItems().first()->text(), QString::fromLatin1(t.topic));
    }
}

TEST_F(ManualWindow, KeyboardChoiceShowsTheTopicsPage) {
    chooseTopic(QStringLiteral("About"));
    QTest::keyClick(form->topic, Qt::Key_Down);
    EXPECT_EQ(visiblePages(), Pages{2});  // Getting Started
    QTest::keyClick(form->topic, Qt::Key_Down);
    EXPECT_EQ(visiblePages(), Pages{13});  // How to Play
    QTest::keyClick(form->topic, Qt::Key_End);
    EXPECT_EQ(visiblePages(), Pages{27});  // Uninstalling
}

TEST_F(ManualWindow, TopicTextOfNoPageLeavesEveryPageHidden) {
    form->topic->item(0)->setText(QStringLiteral("Nothing"));
    chooseTopic(QStringLiteral("Nothing"));
    EXPECT_EQ(visiblePages(), Pages{});
    chooseTopic(QStringLiteral("The Store"));
    EXPECT_EQ(visiblePages(), Pages{25});
}

struct Link {
    const char* name;
    const char* caption;
    int from, to;
};
const Link links[] = {
    {"Label9", "Next Page -->", 2, 3},        {"Label10", "<-- Previous Page", 3, 2},
    {"Label14", "click here.", 3, 4},         {"Label19", "click here.", 4, 5},
    {"Label24", "click here.", 4, 7},         {"Label25", "click here.", 4, 8},
    {"Label26", "click here.", 4, 9},         {"Label28", "<-- Return to Game Modes", 5, 4},
    {"Label30", "Next Page -->", 5, 6},       {"Label31", "<-- Previous Page", 6, 5},
    {"Label33", "|<-- Return to Game Modes", 6, 4}, {"Label43", "<-- Return to Game Modes", 7, 4},
    {"Label44", "<-- Return to Game Modes", 8, 4}, {"Label49", "<-- Return to Game Modes", 9, 4},
    {"Label83", "Next Page -->", 13, 14},     {"Label90", "<-- Previous Page", 14, 13},
    {"Label84", "Next Page -->", 14, 15},     {"Label91", "<-- Previous Page", 15, 14},
    {"Label97", "Next Page -->", 15, 16},     {"Label106", "<-- Previous Page", 16, 15},
    {"Label100", "The Pieces -->|", 16, 17},  {"Label113", "Next Page -->", 17, 18},
    {"Label120", "<-- Previous Page", 18, 17}, {"Label116", "Next Page -->", 18, 19},
    {"Label121", "<-- Previous Page", 19, 18}, {"Label126", "Next Page -->", 19, 20},
    {"Label138", "<-- Previous Page", 20, 19}, {"Label133", "Next Page -->", 20, 21},
    {"Label139", "<-- Previous Page", 21, 20}, {"Label143", "Next Page -->", 21, 22},
    {"Label155", "<-- Previous Page", 22, 21}, {"Label151", "Next Page -->", 22, 23},
    {"Label164", "<-- Previous Page", 23, 22}, {"Label189", "Next Page -->", 29, 30},
    {"Label190", "<-- Previous Page", 30, 29},
};

TEST_F(ManualWindow, EveryLinkLabelGoesToItsPage) {
    for (const Link& l : links) {
        openPage(l.from);
        LinkLabel* label = form->link(l.name);
        ASSERT_NE(label, nullptr) << l.name;
        EXPECT_EQ(label->parentWidget(), form->helpFrame[static_cast<size_t>(l.from)]) << l.name;
        EXPECT_EQ(label->text(), QString::fromLatin1(l.caption)) << l.name;
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 255)) << l.name;
        click(l.name);
        EXPECT_EQ(visiblePages(), Pages{l.to}) << l.name;
    }
}

// The pages carry exactly the links of the table, at their places: the row
// of page links at Top 4440, "Next Page -->" right-aligned at the right edge.
TEST_F(ManualWindow, LinksSitWhereTheyBelong) {
    std::set<std::string> expected, found;
    for (const Link& l : links) expected.insert(l.name);
    for (QGroupBox* page : form->helpFrame)
        for (LinkLabel* label : page->findChildren<LinkLabel*>()) found.insert(label->objectName().toStdString());
    EXPECT_EQ(found, expected);
    for (int page : {0, 1, 10, 11, 12, 24, 25, 26, 27, 28})
        EXPECT_TRUE(form->helpFrame[static_cast<size_t>(page)]->findChildren<LinkLabel*>().isEmpty()) << page;

    for (const Link& l : links) {
        const QRect r = form->link(l.name)->geometry();
        const QString caption = QString::fromLatin1(l.caption);
        if (caption == QLatin1String("click here.")) continue;
        EXPECT_EQ(r.top(), 296) << l.name;
        EXPECT_EQ(r.height(), 17) << l.name;
        if (caption.startsWith(QLatin1String("<--"))) {
            EXPECT_EQ(r.left(), 8) << l.name;
        } else if (caption.startsWith(QLatin1String("|<--"))) {
            EXPECT_EQ(r.left(), 152) << l.name;
        } else {
            EXPECT_EQ(r.right() + 1, 281) << l.name;  // "Next Page -->", "The Pieces -->|"
            EXPECT_TRUE(form->link(l.name)->alignment() & Qt::AlignRight) << l.name;
        }
    }
}

TEST_F(ManualWindow, ClickHereFollowsTheLineItFinishes) {
    const struct {
        const char* link;
        const char* line;
    } lines[] = {{"Label14", "For more information on game modes,"},
                 {"Label19", "To learn about Freestyle mode,"},
                 {"Label24", "To learn about B-Type mode,"},
                 {"Label25", "To learn about Arcade mode,"},
                 {"Label26", "To learn about Midnight Bowling mode,"}};
    for (const auto& l : lines) {
        LinkLabel* link = form->link(l.link);
        ASSERT_NE(link, nullptr);
        const QLabel* line = nullptr;
        for (QLabel* label : link->parentWidget()->findChildren<QLabel*>())
            if (label->text() == QLatin1String(l.line)) line = label;
        ASSERT_NE(line, nullptr) << l.line;
        EXPECT_EQ(line->y(), link->y()) << l.link;
        const int lineEnd = line->x() + line->fontMetrics().horizontalAdvance(line->text());
        EXPECT_GE(link->x(), lineEnd) << l.link;
        EXPECT_LE(link->x(), lineEnd + 8) << l.link;
    }
}

TEST_F(ManualWindow, GameModesLinksLeadOutAndBack) {
    chooseTopic(QStringLiteral("Game Modes"));
    const struct {
        const char* out;
        int page;
        const char* back;
    } trips[] = {{"Label19", 5, "Label28"}, {"Label24", 7, "Label43"}, {"Label25", 8, "Label44"},
                 {"Label26", 9, "Label49"}};
    for (const auto& t : trips) {
        click(t.out);
        EXPECT_EQ(visiblePages(), Pages{t.page}) << t.out;
        click(t.back);
        EXPECT_EQ(visiblePages(), Pages{4}) << t.back;
    }
    click("Label19");
    click("Label30");
    click("Label33");
    EXPECT_EQ(visiblePages(), Pages{4});
}

TEST_F(ManualWindow, FollowingLinksKeepsTheTopicChosen) {
    chooseTopic(QStringLiteral("How to Play"));
    click("Label83");
    click("Label84");
    click("Label97");
    EXPECT_EQ(visiblePages(), Pages{16});
    ASSERT_EQ(form->topic->selectedItems().size(), 1);
    EXPECT_EQ(form->topic->selectedItems().first()->text(), QStringLiteral("How to Play"));
    click("Label100");
    EXPECT_EQ(visiblePages(), Pages{17});
    // Page 17 leads only onwards; the topic chosen again shows its own page.
    EXPECT_EQ(form->helpFrame[17]->findChildren<LinkLabel*>().size(), 1);
    chooseTopic(QStringLiteral("How to Play"));
    EXPECT_EQ(visiblePages(), Pages{13});
}

TEST_F(ManualWindow, ControlsPageListsTheKeys) {
    const char* const keys[][2] = {{"Left Arrow Key", "Moves the current row left "},
                                   {"Right Arrow Key", "Moves the current row right "},
                                   {"Up Arrow Key", "Moves the row pointer up "},
                                   {"Down Arrow Key", "Moves the row pointer down "},
                                   {"Esc", "Quits the current game "},
                                   {"N", "Skips the current song "},
                                   {"1", "Drops a Slammer (Freestyle only) "},
                                   {"2", "Drops a Bomb (Freestyle only) "},
                                   {"3", "Activates a Detonator (Freestyle only) "},
                                   {"4", "Drops a Bowling Ball (Freestyle only) "},
                                   {"P", "Pauses the game"}};
    QWidget* page = form->helpFrame[10];
    const auto keyLabels = page->findChildren<QLabel*>(QStringLiteral("key"));
    const auto descriptions = page->findChildren<QLabel*>(QStringLiteral("keyDescription"));
    ASSERT_EQ(keyLabels.size(), 11);
    ASSERT_EQ(descriptions.size(), 11);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(keyLabels[i]->text(), QString::fromLatin1(keys[i][0]));
        EXPECT_EQ(descriptions[i]->text(), QString::fromLatin1(keys[i][1]));
        EXPECT_EQ(keyLabels[i]->pos(), QPoint(16, 104 + 16 * i));
        EXPECT_EQ(descriptions[i]->y(), 104 + 16 * i);
        EXPECT_TRUE(descriptions[i]->alignment() & Qt::AlignRight);
        EXPECT_EQ(descriptions[i]->geometry().right() + 1, 281);
        EXPECT_LT(keyLabels[i]->geometry().right(), descriptions[i]->x());
    }
    bool intro = false, note = false;
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->text() == QLatin1String("In order to play Pomlets, you need to be able to press 11 buttons.  Not "
                                           "all at once, of course.  Anyhow, here they are:"))
            intro = true;
        if (label->text() == QLatin1String("ATTENTION:  If the arrow keys don't work during gameplay, try toggling "
                                           "your number lock on and off.")) {
            note = true;
            EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(192, 0, 0));
        }
    }
    EXPECT_TRUE(intro);
    EXPECT_TRUE(note);
}

TEST_F(ManualWindow, BonusSongsList) {
    const char* const entries[] = {"Collect 3 Music Notes during Freestyle mode",
                                   "Collect 6 Music Notes during Freestyle mode",
                                   "Collect 9 Music Notes during Freestyle mode",
                                   " ",
                                   "Purchase the Bonus Song from the Store",
                                   " ",
                                   "Beat all 3 B-Type Challenges",
                                   " ",
                                   "Beat 10 Arcade levels",
                                   "Beat 25 Arcade levels",
                                   "Beat 50 Arcade levels"};
    ASSERT_NE(form->List1, nullptr);
    EXPECT_EQ(form->List1->parentWidget(), form->helpFrame[12]);
    EXPECT_EQ(form->List1->geometry(), QRect(24, 136, 241, 160));
    ASSERT_EQ(form->List1->count(), 11);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(form->List1->item(i)->text(), QString::fromLatin1(entries[i])) << i;
}

// Everything on a page lies inside it, text labels are tall enough for their
// wrapped text, nothing overlaps, and the content ends above the page links.
TEST_F(ManualWindow, PagesAreLaidOutCleanly) {
    for (int i = 0; i < Form1::pageCount; ++i) {
        QGroupBox* page = form->helpFrame[static_cast<size_t>(i)];
        const QRect inside(0, 0, page->width(), page->height());
        std::vector<QWidget*> content;
        int linkTop = page->height();
        for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(inside.contains(child->geometry())) << "page " << i << ": " << child->objectName().toStdString();
            if (auto* label = qobject_cast<QLabel*>(child); label && label->wordWrap()) {
                EXPECT_LE(label->heightForWidth(label->width()), label->height())
                    << "page " << i << ": " << label->text().toStdString();
            }
            auto* link = qobject_cast<LinkLabel*>(child);
            if (link && link->text() != QLatin1String("click here.")) linkTop = std::min(linkTop, link->y());
            if (!link) content.push_back(child);
        }
        for (size_t a = 0; a < content.size(); ++a) {
            EXPECT_LT(content[a]->geometry().bottom(), linkTop) << "page " << i;
            for (size_t b = a + 1; b < content.size(); ++b)
                EXPECT_FALSE(content[a]->geometry().intersects(content[b]->geometry()))
                    << "page " << i << ": " << content[a]->metaObject()->className() << " and "
                    << content[b]->metaObject()->className();
        }
    }
}

// The small sans-serif face the pages were laid out for, and every topic
// whole in the list, which has no horizontal scroll bar.
TEST_F(ManualWindow, TextIsInTheLayoutsFontAndTopicsFit) {
    EXPECT_EQ(QFontInfo(form->font()).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(form->topic->font()).pixelSize(), 11);
    for (int i = 0; i < form->topic->count(); ++i) {
        QListWidgetItem* entry = form->topic->item(i);
        EXPECT_LE(form->topic->visualItemRect(entry).left() + form->topic->fontMetrics().horizontalAdvance(entry->text()),
                  form->topic->viewport()->width())
            << entry->text().toStdString();
        EXPECT_LE(form->topic->visualItemRect(entry).bottom(), form->topic->viewport()->height());
    }
}

// A click below the topics keeps the topic chosen and its page shown; a click
// on another topic still chooses it.
TEST_F(ManualWindow, ClickBelowTheTopicsKeepsTheChoice) {
    chooseTopic("The Pieces");
    ASSERT_EQ(visiblePages(), Pages{17});
    QListWidget* list = form->topic;
    const QRect last = list->visualItemRect(list->item(list->count() - 1));
    ASSERT_LT(last.bottom() + 10, list->viewport()->height());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 10));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 10));
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->selectedItems().first()->text(), "The Pieces");
    EXPECT_EQ(visiblePages(), Pages{17});
    chooseTopic("About");
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->selectedItems().first()->text(), "About");
    EXPECT_EQ(visiblePages(), Pages{1});
}

// This test runs at one pixel to a layout pixel and again on a screen of
// twice the density (QT_SCALE_FACTOR=2): there every picture is its sharp
// twin, twice the pixels in the same layout size.
TEST_F(ManualWindow, PicturesAreBuiltIn) {
    int pictures = 0;
    for (QGroupBox* page : form->helpFrame)
        for (QLabel* picture : page->findChildren<QLabel*>(QStringLiteral("picture"))) {
            ++pictures;
            const qreal ratio = picture->devicePixelRatioF() > 1.0 ? 2.0 : 1.0;
            ASSERT_FALSE(picture->pixmap().isNull());
            EXPECT_EQ(picture->pixmap().devicePixelRatio(), ratio);
            EXPECT_EQ(picture->size(), picture->pixmap().deviceIndependentSize().toSize());
            EXPECT_EQ(picture->size() * ratio, picture->pixmap().size());
        }
    EXPECT_GE(pictures, 31);
    const QStringList files = QDir(QStringLiteral(":/manual")).entryList();
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        const QImage image(QStringLiteral(":/manual/") + name);
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        // Every page picture has its sharp twin at exactly twice the size (the
        // window icons come in several sizes of their own).
        if (!name.contains(QLatin1String("@2x")) && !name.startsWith(QLatin1String("icon"))) {
            const QString twin = QString(name).replace(QLatin1String(".png"), QLatin1String("@2x.png"));
            EXPECT_EQ(QImage(QStringLiteral(":/manual/") + twin).size(), image.size() * 2) << twin.toStdString();
        }
        if (name.endsWith(QLatin1String("_90.png"))) {
            EXPECT_EQ(image.size(), QSize(90, 90)) << name.toStdString();
        } else if (name.endsWith(QLatin1String("_45.png"))) {
            EXPECT_EQ(image.size(), QSize(45, 45)) << name.toStdString();
        }
    }
    EXPECT_EQ(QImage(QStringLiteral(":/manual/pointer.png")).size(), QSize(46, 35));
}

}  // namespace
}  // namespace pomlets

#include "manual/form1.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QScreen>

#include "manual/pages.h"

namespace pomlets {

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(palette);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
    QLabel::mousePressEvent(event);
}

// A click is a press and a release of the left button on the label.
void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}

namespace {

// The topics in the order of the list; each topic's page is found by its text.
const char* const topicNames[] = {"About",           "Getting Started",    "How to Play",  "Game Modes",
                                  "The Pieces",      "The Controls",       "The Store",    "Change Backgrounds",
                                  "Change the Volume", "Game Bonuses",     "Bonus Songs",  "Hints and Tips",
                                  "Troubleshooting", "Uninstalling"};

// The pages of the topics, in the order in which the texts are compared.
const struct {
    const char* text;
    int16_t page;
} topicPages[] = {
    {"About", 1},          {"Getting Started", 2},    {"Game Modes", 4},     {"The Controls", 10},
    {"Change Backgrounds", 11}, {"Bonus Songs", 12},   {"How to Play", 13},   {"The Pieces", 17},
    {"Change the Volume", 24}, {"The Store", 25},      {"Hints and Tips", 26}, {"Uninstalling", 27},
    {"Troubleshooting", 28}, {"Game Bonuses", 29},
};

// The window's font, the small sans-serif face the pages were laid out for:
// Liberation Sans at 11 pixels (8.25 points at 96 dots an inch), sized in
// pixels so that its metrics do not follow the desktop's resolution.
QFont windowFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

// Takes the mouse presses on the topic list that would land on no topic, so
// that a click below the topics keeps the topic chosen.
class EmptyClickFilter : public QObject {
public:
    explicit EmptyClickFilter(QAbstractItemView* list) : QObject(list), list_(list) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove)
            return QObject::eventFilter(watched, event);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (type == QEvent::MouseMove && mouse->buttons() == Qt::NoButton) return false;
        return !list_->indexAt(mouse->position().toPoint()).isValid();
    }

private:
    QAbstractItemView* list_;
};

}  // namespace

Form1::Form1()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("pomlets manual"));
    QIcon icon;
    for (int size : {48, 32, 16}) icon.addFile(QStringLiteral(":/manual/icon%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    setFont(windowFont());
    setFixedSize(px(6375), px(4815));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(0, 0, px(1935), px(4815));
    topic = new QListWidget(Frame1);
    topic->setObjectName(QStringLiteral("topic"));
    topic->setGeometry(px(120), px(240), px(1695), px(4350));
    topic->setSelectionMode(QAbstractItemView::SingleSelection);
    topic->setSortingEnabled(false);
    topic->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    topic->setTextElideMode(Qt::ElideNone);
    for (const char* name : topicNames) {
        auto* item = new QListWidgetItem(QString::fromLatin1(name), topic);
        item->setData(Qt::UserRole, 0);
    }
    topic->setCurrentRow(-1);
    topic->clearSelection();
    topic->viewport()->installEventFilter(new EmptyClickFilter(topic));

    for (int i = 0; i < pageCount; ++i) {
        auto* page = new QGroupBox(this);
        page->setObjectName(QStringLiteral("helpFrame(%1)").arg(i));
        page->setGeometry(px(2040), 0, px(4335), px(4815));
        page->setVisible(false);
        helpFrame[static_cast<size_t>(i)] = page;
    }
    buildGeneralPages(*this);
    buildModePages(*this);
    buildPlayingPages(*this);
    buildPiecePages(*this);
    makeLinks();

    // A choice by mouse or keyboard changes the selection; a click on the
    // topic already chosen shows its page again.
    connect(topic, &QListWidget::itemSelectionChanged, this, [this] { topic_Click(); });
    connect(topic, &QListWidget::itemClicked, this, [this] { topic_Click(); });

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    Form_Load();
}

void Form1::Form_Load() { helpFrame[0]->setVisible(true); }

void Form1::topic_Click() {
    const QList<QListWidgetItem*> chosen = topic->selectedItems();
    if (chosen.isEmpty()) return;  // no entry chosen: nothing to show
    for (int i = 0; i < pageCount; ++i) helpFrame[static_cast<size_t>(i)]->setVisible(false);
    const QString text = chosen.first()->text();
    for (const auto& entry : topicPages) {
        if (text == QLatin1String(entry.text)) {
            helpFrame[static_cast<size_t>(entry.page)]->setVisible(true);
            return;
        }
    }
}

void Form1::turnPage(int16_t hidePage, int16_t showPage) {
    helpFrame.at(static_cast<size_t>(hidePage))->setVisible(false);
    helpFrame.at(static_cast<size_t>(showPage))->setVisible(true);
}

LinkLabel* Form1::link(const std::string& name) const {
    const auto found = links_.find(name);
    return found == links_.end() ? nullptr : found->second;
}

}  // namespace pomlets

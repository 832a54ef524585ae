#include "frontend/fmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColor>
#include <QFont>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <vector>
#include <memory>

#include "common/brains.h"
#include "datafiles/level_list.h"
#include "datafiles/log.h"
#include "frontend/artwork.h"
#include "frontend/message_box.h"
#include "frontend/secondary_windows.h"
#include "frontend/window_layout.h"
#include "platform/media_checks.h"
#include "platform/program_files.h"
#include "platform/runtime.h"
#include "platform/start_values.h"
#include "platform/windows1252.h"
#include "platform/win32.h"

namespace pomlets {

ImageControl::ImageControl(QWidget* parent) : QLabel(parent) {}

bool ImageControl::loadPicture(const std::string& path) {
    // Only a dense screen looks for the twin: at one pixel to a layout pixel
    // loading costs what it always did.
    if (devicePixelRatioF() > 1.0 && show(sharpTwin(path), 2.0)) return true;
    if (show(path, 1.0)) return true;
    clear();
    return false;
}

bool ImageControl::show(const std::string& path, qreal ratio) {
    QPixmap pixmap;
    std::string file;
    try {
        file = readProgramFile(path, FileKind::Picture);
    } catch (const RuntimeError&) {
        return false;
    }
    if (!pictureIsSane(file) ||
        !pixmap.loadFromData(reinterpret_cast<const uchar*>(file.data()), static_cast<uint>(file.size()), "BMP"))
        return false;
    pixmap.setDevicePixelRatio(ratio);
    setPixmap(pixmap);
    return true;
}

void ImageControl::setStretch(bool stretch) { setScaledContents(stretch); }

void ImageControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked();
    QLabel::mousePressEvent(event);
}

std::function<void()> guarded(std::function<void()> procedure) {
    return [procedure = std::move(procedure)] {
        try {
            procedure();
        } catch (const RuntimeError& error) {
            msgBox(error.description() + " (error " + std::to_string(error.number()) + ")");
        } catch (const std::exception& error) {
            msgBox(error.what());
        }
    };
}

// --- list helpers -------------------------------------------------------------

void onChoice(QComboBox* list, QObject* context, std::function<void()> choice) {
    // A player's choice changes the index first (when it changes) and then
    // reports the activation; the flag keeps one choice from running twice.
    auto changedJustNow = std::make_shared<bool>(false);
    QObject::connect(list, &QComboBox::currentIndexChanged, context, [list, choice, changedJustNow](int index) {
        if (index < 0) return;
        *changedJustNow = true;
        QTimer::singleShot(0, list, [changedJustNow] { *changedJustNow = false; });
        choice();
    });
    QObject::connect(list, &QComboBox::activated, context, [choice, changedJustNow](int) {
        if (*changedJustNow) {
            *changedJustNow = false;
            return;
        }
        choice();
    });
}

void addSorted(QComboBox* list, const QString& text) {
    int at = 0;
    while (at < list->count() && QString::compare(list->itemText(at), text, Qt::CaseInsensitive) <= 0) ++at;
    list->insertItem(at, text);
}

void keepSorted(QListWidget* list) {
    auto busy = std::make_shared<bool>(false);
    QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, list, [list, busy] {
        if (*busy) return;
        *busy = true;
        // Take every entry out, put them in order (a new entry goes after the
        // ones equal to it) and back in; the entries themselves are kept.
        std::vector<QListWidgetItem*> entries;
        while (list->count() > 0) entries.push_back(list->takeItem(0));
        std::stable_sort(entries.begin(), entries.end(), [](QListWidgetItem* a, QListWidgetItem* b) {
            return QString::compare(a->text(), b->text(), Qt::CaseInsensitive) < 0;
        });
        for (QListWidgetItem* entry : entries) list->addItem(entry);
        *busy = false;
    });
}

namespace {

// Takes the mouse presses that would land on no entry, before the list sees them.
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

} // namespace

void keepChoiceOnEmptyClick(QAbstractItemView* list) {
    list->viewport()->installEventFilter(new EmptyClickFilter(list));
}

bool setListText(QComboBox* list, const QString& text) {
    int index = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) return false;
    if (index == list->currentIndex()) {
        // Setting the text again selects the entry again: the choice runs.
        emit list->activated(index);
    } else {
        list->setCurrentIndex(index);
    }
    return true;
}

// --- the window ---------------------------------------------------------------

namespace {

int px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

void place(QWidget* widget, const layout::Twips& at) {
    widget->setGeometry(px(at.left), px(at.top), px(at.width), px(at.height));
}

ImageControl* clickArea(QWidget* parent, const layout::Twips& at) {
    auto* area = new ImageControl(parent);
    place(area, at);
    area->setCursor(Qt::PointingHandCursor);
    return area;
}

ImageControl* background(QWidget* parent, const layout::Twips& at = layout::panelPicture) {
    auto* picture = new ImageControl(parent);
    place(picture, at);
    picture->setStretch(true);
    return picture;
}

using layout::clientHeight;
using layout::clientWidth;

} // namespace

FMain::FMain() {
    setWindowTitle(QStringLiteral("Pomlets"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(windowFont());
    buildMenus();
    buildPanels();
    loadArtwork();

    // Fixed size: the client area and the menu bar above it.
    centralWidget()->setFixedSize(px(clientWidth), px(clientHeight));
    setFixedSize(px(clientWidth), px(clientHeight) + menuBar()->sizeHint().height());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

FMain::~FMain() = default;

void FMain::buildMenus() {
    QMenuBar* bar = menuBar();
    mGame = bar->addMenu(QStringLiteral("Game"));
    mNew = mGame->addAction(QStringLiteral("New"));
    mExit = mGame->addAction(QStringLiteral("Quit"));
    mOptions = bar->addMenu(QStringLiteral("Options"));
    mStore = mOptions->addAction(QStringLiteral("Spend Credits"));
    mBackgrounds = mOptions->addAction(QStringLiteral("Backgrounds"));
    mMusic = mOptions->addAction(QStringLiteral("Music"));
    mView = bar->addMenu(QStringLiteral("View"));
    mScores = mView->addAction(QStringLiteral("High Scores"));
    mBands = mView->addAction(QStringLiteral("Bands"));
    mCredits = mView->addAction(QStringLiteral("Credits"));
    mHelp = bar->addMenu(QStringLiteral("Help"));
    mAbout = mHelp->addAction(QStringLiteral("About"));
    mManual = mHelp->addAction(QStringLiteral("Manual"));
    mPieces = mHelp->addAction(QStringLiteral("Pieces"));
    mControls = mHelp->addAction(QStringLiteral("Controls"));

    connect(mNew, &QAction::triggered, this, guarded([this] { mNew_Click(); }));
    connect(mExit, &QAction::triggered, this, guarded([this] { mExit_Click(); }));
    connect(mStore, &QAction::triggered, this, guarded([this] { mStore_Click(); }));
    connect(mBackgrounds, &QAction::triggered, this, guarded([this] { mBackgrounds_Click(); }));
    connect(mMusic, &QAction::triggered, this, guarded([this] { mMusic_Click(); }));
    connect(mScores, &QAction::triggered, this, guarded([this] { mScores_Click(); }));
    connect(mBands, &QAction::triggered, this, guarded([this] { mBands_Click(); }));
    connect(mCredits, &QAction::triggered, this, guarded([this] { mCredits_Click(); }));
    connect(mAbout, &QAction::triggered, this, guarded([this] { mAbout_Click(); }));
    connect(mManual, &QAction::triggered, this, guarded([this] { mManual_Click(); }));
    connect(mPieces, &QAction::triggered, this, guarded([this] { mPieces_Click(); }));
    connect(mControls, &QAction::triggered, this, guarded([this] { mControls_Click(); }));
}

void FMain::buildPanels() {
    auto* client = new QWidget(this);
    setCentralWidget(client);
    // Created in order, so that panel 7 lies above panel 0.
    for (size_t i = 0; i < frame.size(); ++i) {
        frame[i] = new QWidget(client);
        frame[i]->setObjectName(QStringLiteral("frame%1").arg(i));
        place(frame[i], {0, 0, i >= 5 ? layout::widePanelWidth : clientWidth, clientHeight});
    }

    // Panel 0: mode and level choice.
    Image7 = background(frame[0]);
    tMode = new QComboBox(frame[0]);
    place(tMode, layout::tMode);
    tModeDesc = new QLabel(frame[0]);
    place(tModeDesc, layout::tModeDesc);
    tModeDesc->setWordWrap(true);
    tModeDesc->setTextFormat(Qt::PlainText);
    tModeDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tModeDesc->setAutoFillBackground(true);
    {
        QPalette colours = tModeDesc->palette();
        colours.setColor(QPalette::Window, colours.color(QPalette::Base));
        colours.setColor(QPalette::WindowText, colours.color(QPalette::Text));
        tModeDesc->setPalette(colours);
    }
    tLevels = new QListWidget(frame[0]);
    place(tLevels, layout::tLevels);
    main_BtnRun = clickArea(frame[0], layout::main_BtnRun);
    keepChoiceOnEmptyClick(tLevels);

    // Panel 1: high scores.
    Image8 = background(frame[1]);
    scoreModes = new QComboBox(frame[1]);
    place(scoreModes, layout::scoreModes);
    scores_freestyle = new QListWidget(frame[1]);
    place(scores_freestyle, layout::scores_freestyle);
    keepChoiceOnEmptyClick(scores_freestyle);

    // Panel 2: credits.
    Image3 = background(frame[2]);
    Text1 = new QTextEdit(frame[2]);
    place(Text1, layout::Text1);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setLineWrapMode(QTextEdit::WidgetWidth);
    Text1->setFont(windowFont(13));  // 9.75 points
    Text1->setPlainText(creditsText());

    // Panel 3: store, its two pictures over a plain backdrop.
    storeBackdrop = background(frame[3]);
    Image4 = background(frame[3], layout::Image4);
    Image5 = background(frame[3], layout::Image5);
    tBank = new QLabel(frame[3]);
    place(tBank, layout::tBank);
    tBank->setAlignment(Qt::AlignCenter);
    // The counts sit on the picture's dark boxes: light figures.
    QPalette countColours = tBank->palette();
    countColours.setColor(QPalette::WindowText, QColor(250, 236, 180));
    tBank->setPalette(countColours);
    for (size_t k = 0; k < 6; ++k) {
        tpurchase[k] = new QLabel(frame[3]);
        place(tpurchase[k], layout::tpurchase(static_cast<int>(k)));
        tpurchase[k]->setAlignment(Qt::AlignCenter);
        tpurchase[k]->setPalette(countColours);
        purchase[k] = clickArea(frame[3], layout::purchase(static_cast<int>(k)));
        const auto index = static_cast<int16_t>(k);
        connect(purchase[k], &ImageControl::clicked, this, guarded([this, index] { purchase_Click(index); }));
    }

    // Panel 4: backgrounds.
    Image1 = background(frame[4]);
    theme = new QComboBox(frame[4]);
    place(theme, layout::theme);
    themePic = new ImageControl(frame[4]);
    place(themePic, layout::themePic);
    themePic->setStretch(true);
    HScroll1 = new QScrollBar(Qt::Horizontal, frame[4]);
    place(HScroll1, layout::HScroll1);
    HScroll1->setRange(1, 5);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1);
    HScroll1->setTracking(false);  // the preview changes when a drag ends
    // The panel's picture numbers the thumb's five places under the bar, so
    // the bar keeps the one style whose metrics the picture was made for.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        fusion->setParent(HScroll1);
        HScroll1->setStyle(fusion);
    }

    // Panel 5: music.
    Image9 = background(frame[5]);
    songs = new QListWidget(frame[5]);
    place(songs, layout::songs);
    keepSorted(songs);
    keepChoiceOnEmptyClick(songs);
    HScroll2 = new QScrollBar(Qt::Horizontal, frame[5]);
    place(HScroll2, layout::HScroll2);
    HScroll2->setRange(0, 100);
    HScroll2->setSingleStep(1);
    HScroll2->setPageStep(10);

    // Panel 6: bands.
    Image2 = background(frame[6]);
    allBands = new QListWidget(frame[6]);
    place(allBands, layout::allBands);
    keepSorted(allBands);
    keepChoiceOnEmptyClick(allBands);
    launch = clickArea(frame[6], layout::launch);

    // Panel 7: welcome.
    Image10 = background(frame[7], layout::Image10);
    Image6 = clickArea(frame[7], layout::Image6);

    // Events.
    connect(Image6, &ImageControl::clicked, this, guarded([this] { Image6_Click(); }));
    connect(main_BtnRun, &ImageControl::clicked, this, guarded([this] { main_BtnRun_Click(); }));
    connect(launch, &ImageControl::clicked, this, guarded([this] { launch_Click(); }));
    onChoice(tMode, this, guarded([this] { tMode_Click(); }));
    onChoice(scoreModes, this, guarded([this] { scoreModes_Click(); }));
    onChoice(theme, this, guarded([this] { theme_Click(); }));
    connect(HScroll1, &QScrollBar::valueChanged, this, guarded([this] { HScroll1_Change(); }));
    connect(HScroll2, &QScrollBar::valueChanged, this, guarded([this] { HScroll2_Change(); }));
    connect(HScroll2, &QScrollBar::sliderMoved, this, guarded([this] { HScroll2_Scroll(); }));
}

void FMain::loadArtwork() {
    // A missing picture shows nothing; the window stays usable.
    setWindowIcon(programIcon());
    Image7->loadPicture(uiPicture("Image7.bmp"));
    Image8->loadPicture(uiPicture("Image8.bmp"));
    Image3->loadPicture(uiPicture("Image3.bmp"));
    storeBackdrop->loadPicture(uiPicture("store_backdrop.bmp"));
    Image4->loadPicture(uiPicture("Image4.bmp"));
    Image5->loadPicture(uiPicture("Image5.bmp"));
    Image1->loadPicture(uiPicture("Image1.bmp"));
    Image9->loadPicture(uiPicture("Image9.bmp"));
    Image2->loadPicture(uiPicture("Image2.bmp"));
    Image10->loadPicture(uiPicture("Image10.bmp"));
}

QString FMain::creditsText() {
    struct Section {
        const char* heading;
        std::vector<const char*> entries;
    };
    const std::vector<Section> sections{
        {"Game Concept and Design:", {"Orla Fenwright", "Tamsin Quarle"}},
        {"Programming:", {"Tamsin Quarle", "Ivo Marchbank"}},
        {"Artwork:", {"Pell Oduya", "Orla Fenwright"}},
        {"Sound:", {"Ivo Marchbank"}},
        {"Music:", {"Varnock", "Pellandry", "Quillo", "Brackwater"}},
        {"Testers:", {"Rhona Tilbury", "Caspar Wenlow", "Mireille Dunsop", "Odo Farthingale"}},
        {"Marketting:", {"Hester Gallowmere"}},
        {"Website:", {"Pell Oduya"}},
        {"BBS Administrator:", {"Caspar Wenlow"}},
        {"Special Thanks:",
         {"To our families, who put", "up with late nights and", "falling pieces on every",
          "screen in the house; to", "everyone who played the", "early builds and told us",
          "what they really thought;", "and to the Pomlets", "themselves, who never",
          "once complained about", "being slammed."}},
    };
    QString text = QStringLiteral("\nPOMLETS\n\n\n");
    for (const auto& section : sections) {
        text += fromWindows1252(section.heading) + QStringLiteral("\n\n");
        for (const char* entry : section.entries) text += QStringLiteral("     ") + fromWindows1252(entry) + '\n';
        text += QStringLiteral("\n\n");
    }
    return text;
}

// --- the panel switch and the menus -------------------------------------------

void FMain::showPanel(int k) {
    for (QWidget* panel : frame) {
        panel->setVisible(false);
        panel->setEnabled(false);
    }
    frame[static_cast<size_t>(k)]->setVisible(true);
    frame[static_cast<size_t>(k)]->setEnabled(true);
}

void FMain::mNew_Click() { showPanel(0); }
void FMain::Image6_Click() { mNew_Click(); }
void FMain::mScores_Click() { showPanel(1); }
void FMain::mCredits_Click() { showPanel(2); }
void FMain::mBackgrounds_Click() { showPanel(4); }
void FMain::mMusic_Click() { showPanel(5); }
void FMain::mBands_Click() { showPanel(6); }
void FMain::mLanguage_Click() { showPanel(6); }

// Quit closes the main window, which runs the exit steps.
void FMain::mExit_Click() { close(); }

void FMain::tMode_Click() {
    tLevels->clear();
    const QString mode = tMode->currentText();
    const std::string modeText = toWindows1252(mode);
    for (int i = 0; i <= lastModeIndex && i < static_cast<int>(modes.size()); ++i) {
        if (modeText == modes[static_cast<size_t>(i)].name)
            tModeDesc->setText(fromWindows1252(modes[static_cast<size_t>(i)].description));
    }
    const QString noLevels = QStringLiteral("No levels to select.  Just click Play!");
    if (mode == QLatin1String("Freestyle")) tLevels->addItem(noLevels);
    if (mode == QLatin1String("B-Type")) {
        tLevels->addItem(QStringLiteral("Mild"));
        tLevels->addItem(QStringLiteral("Medium"));
        tLevels->addItem(QStringLiteral("Spicy"));
    }
    if (mode == QLatin1String("Midnight Bowling")) tLevels->addItem(noLevels);
    if (mode == QLatin1String("Arcade")) {
        try {
            const LevelList list = readLevelList();
            for (const LevelListEntry& level : list.levels) {
                tLevels->addItem(fromWindows1252(level.name));
                tLevels->item(tLevels->count() - 1)->setData(Qt::UserRole, level.number);
            }
            if (list.damaged)
                tellOfLevelList("The list of Arcade levels \"init/6537\" is damaged.  The levels that could be read "
                                "from it can be played.");
        } catch (const RuntimeError& error) {
            tellOfLevelList("The list of Arcade levels \"init/6537\" could not be read (" +
                            std::to_string(error.number()) + ", " + error.description() + ").");
        }
    }
}

void FMain::tellOfLevelList(const std::string& problem) {
    if (problem == levelListProblemTold_) return;
    levelListProblemTold_ = problem;
    msgBox(problem);
}

void FMain::scoreModes_Click() {
    scores_freestyle->setVisible(false);
    if (scoreModes->currentText() == QLatin1String("Freestyle")) scores_freestyle->setVisible(true);
}

void FMain::mManual_Click() {
    if (!startProgram(appPath("\\manual")))
        msgBox("The manual could not be started: the program \"manual\" is missing from the Pomlets folder.");
}

void FMain::mAbout_Click() { showFSplash(); }
void FMain::mPieces_Click() { showFPieces(); }
void FMain::mControls_Click() { showFControls(); }

void FMain::closeEvent(QCloseEvent* event) {
    if (gameRunning_) {
        // The window takes no input while a game runs.
        event->ignore();
        return;
    }
    if (!unloaded_) {
        unloaded_ = true;
        Form_Unload();
    }
    closeSecondaryWindows();
    event->accept();
}

// --- the one main window ------------------------------------------------------

namespace {
std::unique_ptr<FMain>& mainWindow() {
    static std::unique_ptr<FMain> window;
    // The main window and its secondary windows closed and deleted.
    POMLETS_LOCAL_RESTORED_BY(window, [] {
        releaseFMain();
        if (QCoreApplication::instance()) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    return window;
}
} // namespace

FMain& fMain() {
    auto& window = mainWindow();
    if (!window) {
        window = std::make_unique<FMain>();
        // A program that ends without releasing the window still lets it go
        // while the application object exists.
        static bool cleanupAdded = false;
        POMLETS_LOCAL_NOT_RESTORED(cleanupAdded, "Qt lets it go at the application's end, once");
        if (!cleanupAdded) {
            cleanupAdded = true;
            qAddPostRoutine(releaseFMain);
        }
    }
    return *window;
}

bool fMainExists() { return mainWindow() != nullptr; }

bool FMain::unloadForLeaving(const std::string& why) {
    if (unloaded_) return false;
    unloaded_ = true;
    if (!loaded_) {
        // A start that stopped halfway saves nothing it did not load.
        closeLog();
        return false;
    }
    try {
        writeLog(why, false);
    } catch (const RuntimeError&) {
        // The files are saved all the same.
    }
    Form_Unload();
    return true;
}

void releaseFMain() {
    closeSecondaryWindows();
    mainWindow().reset();
}

} // namespace pomlets

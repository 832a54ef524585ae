#include "frontend/fmain.h"

#include <QMouseEvent>
#include <QPixmap>
#include <memory>

namespace pomlets {

ImageControl::ImageControl(QWidget* parent) : QLabel(parent) {}

bool ImageControl::loadPicture(const QString& path) {
    QPixmap pixmap;
    if (!pixmap.load(path)) {
        clear();
        return false;
    }
    setPixmap(pixmap);
    return true;
}

void ImageControl::setStretch(bool stretch) { setScaledContents(stretch); }

void ImageControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked();
    QLabel::mousePressEvent(event);
}

FMain::FMain() {
    auto* client = new QWidget(this);
    setCentralWidget(client);
    for (auto& panel : frame) panel = new QWidget(client);

    tMode = new QComboBox(frame[0]);
    tModeDesc = new QLabel(frame[0]);
    tLevels = new QListWidget(frame[0]);
    Image7 = new ImageControl(frame[0]);
    main_BtnRun = new ImageControl(frame[0]);

    Image8 = new ImageControl(frame[1]);
    scoreModes = new QComboBox(frame[1]);
    scores_freestyle = new QListWidget(frame[1]);

    Image3 = new ImageControl(frame[2]);
    Text1 = new QTextEdit(frame[2]);

    Image4 = new ImageControl(frame[3]);
    Image5 = new ImageControl(frame[3]);
    tBank = new QLabel(frame[3]);
    for (auto& label : tpurchase) label = new QLabel(frame[3]);
    for (auto& area : purchase) area = new ImageControl(frame[3]);

    Image1 = new ImageControl(frame[4]);
    theme = new QComboBox(frame[4]);
    themePic = new ImageControl(frame[4]);
    HScroll1 = new QScrollBar(Qt::Horizontal, frame[4]);

    Image9 = new ImageControl(frame[5]);
    songs = new QListWidget(frame[5]);
    songs->setSortingEnabled(true);
    HScroll2 = new QScrollBar(Qt::Horizontal, frame[5]);
    HScroll2->setRange(0, 100);

    Image2 = new ImageControl(frame[6]);
    allBands = new QListWidget(frame[6]);
    allBands->setSortingEnabled(true);
    launch = new ImageControl(frame[6]);

    Image10 = new ImageControl(frame[7]);
    Image6 = new ImageControl(frame[7]);
}

FMain::~FMain() = default;

namespace {
std::unique_ptr<FMain>& mainWindow() {
    static std::unique_ptr<FMain> window;
    return window;
}
} // namespace

FMain& fMain() {
    auto& window = mainWindow();
    if (!window) window = std::make_unique<FMain>();
    return *window;
}

void releaseFMain() { mainWindow().reset(); }

} // namespace pomlets

#include "frontend/secondary_windows.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <cmath>
#include <string>

#include "datafiles/music_list.h"
#include "frontend/artwork.h"
#include "frontend/window_layout.h"
#include "platform/start_values.h"
#include "platform/windows1252.h"

namespace pomlets {

namespace {

int px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

void place(QWidget* widget, const layout::Twips& at) {
    widget->setGeometry(px(at.left), px(at.top), px(at.width), px(at.height));
}

QPointer<FSplash> splashWindow;
POMLETS_NOT_RESTORED(splashWindow, "null once its window is gone, which the main window closes");
QPointer<FPieces> piecesWindow;
POMLETS_NOT_RESTORED(piecesWindow, "null once its window is gone, which the main window closes");
QPointer<FControls> controlsWindow;
POMLETS_NOT_RESTORED(controlsWindow, "null once its window is gone, which the main window closes");

template <typename Window>
Window& showWindow(QPointer<Window>& slot) {
    if (!slot) {
        slot = new Window();
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect area = screen->availableGeometry();
            slot->move(area.center() - QPoint(slot->width() / 2, slot->height() / 2));
        }
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return *slot;
}

} // namespace

SecondaryWindow::SecondaryWindow(const QString& caption, int widthTwips, int heightTwips, const char* picture)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    setWindowIcon(QIcon());
    setFont(windowFont());
    setFixedSize(px(widthTwips), px(heightTwips));
    background = new ImageControl(this);
    background->setGeometry(0, 0, width(), height());
    background->setStretch(true);
    background->loadPicture(uiPicture(picture));
}

void SecondaryWindow::closeEvent(QCloseEvent* event) {
    // Forget the window at once, so the next menu choice makes a fresh one.
    if (splashWindow == this) splashWindow = nullptr;
    if (piecesWindow == this) piecesWindow = nullptr;
    if (controlsWindow == this) controlsWindow = nullptr;
    event->accept();
}

// --- the about window ---------------------------------------------------------------

std::string FSplash::makerAddress() { return std::string("https://") + layout::makerSite + "/"; }

FSplash::FSplash() : SecondaryWindow(QStringLiteral("about"), layout::fSplashWidth, layout::fSplashHeight, "fSplash.bmp") {
    Image2 = new ImageControl(this);
    place(Image2, layout::fSplashImage2);
    Image2->setCursor(Qt::PointingHandCursor);
    connect(Image2, &ImageControl::clicked, this, guarded([this] { Image2_Click(); }));
}

void FSplash::Image2_Click() {
    openExternal(makerAddress());
}

// --- the specimen box ---------------------------------------------------------------

const char* const FPieces::initialText = "Click on a piece for its description.\n";

namespace {

const char* const T1 =
    "Pomlets are the most basic playing pieces.  Individual Pomlets can be bombed for 10 points each.  "
    "Identical pomlets can be sandwiched between Slammers for additional bonuses.";
const char* const T2 =
    "Slammers work in pairs.  Any number of identical pieces placed vertically or horizontally between "
    "Slammers will be eliminated.  Point bonuses are awarded based on the number of pieces eliminated at "
    "once.  Most pieces can be slammed, however, a few cannot.";
const char* const T3 =
    "Bombs function on a timer approximately 30 seconds long.  Once the timer expires, Bombs explode, and "
    "destroy up to 8 adjacent pieces.  Most pieces can be bombed, however, a few cannot.";
const char* const T4 =
    "Baubles function on a timer approximately 1 to 2 minutes long.  Once the timer expires, Baubles "
    "eliminate themselves and award a 500 point bonus.  If a Bauble is bombed or slammed before its timer "
    "expires, it awards no points and dumps three additional pieces onto the playing field.";
const char* const T5 =
    "Upon settling on the playing field, Diamonds award 100 points.  Diamonds cannot be bombed or slammed.";
const char* const T6 =
    "Calculators come into play with a value between -100 and 100 points.  They function on a timer "
    "approximately 12 seconds long.  Once the timer expires, the Calculator will award its set point value, "
    "and reset its timer.  Calculators can be bombed and slammed.";
const char* const T7 =
    "Gorgons function on a timer approximately 1 minute long.  When the timer expires, the Gorgon will dump "
    "another Gorgon onto the playing field, and reset its timer.  Gorgons may be bombed or slammed for a 500 "
    "point bonus.";
const char* const T8 =
    "Shifters function on a timer approximately 8 seconds long.  When the timer expires, the Shifter will "
    "move left or right the row it occupies.  Shifters can be bombed or slammed for a 25 point bonus.";
const char* const T9 = "Rocks are worth 20 points each.  They can be bombed, but they cannot be slammed.";
const char* const T10 =
    "Bowling Balls do not remain on the playing field.  While falling, they destroy every piece in their path.";
const char* const T11 =
    "Money can be bombed or slammed while in play, and awards 1 credit to your bank.  Credits can be spent in "
    "the store to purchase pieces and other special items.";
const char* const T12 =
    "B-Type pieces only appear in B-Type mode.  At the beginning of the game, the playing field will be "
    "populated with these pieces.  They all must be bombed or slammed in order to complete the game.";
const char* const T13 =
    "Music Notes may be bombed and slammed.  If you collect enough of these pieces during Freestyle mode, "
    "bonus songs will be awarded.";

} // namespace

const char* FPieces::descriptionOf(int Index) {
    static const std::array<const char*, 18> texts{T1, T1, T1, T1, T2, T3, T4, T5, T6,
                                                   T7, T8, T9, T9, T9, T10, T11, T12, T13};
    if (Index < 0 || Index > 17) return nullptr;
    return texts[static_cast<size_t>(Index)];
}

FPieces::FPieces() : SecondaryWindow(QStringLiteral("the specimen box"), layout::fPiecesWidth, layout::fPiecesHeight,
                      "fPieces.bmp") {
    for (size_t i = 0; i < pClick.size(); ++i) {
        pClick[i] = new ImageControl(this);
        place(pClick[i], layout::pClick(static_cast<int>(i)));
        pClick[i]->setCursor(Qt::PointingHandCursor);
        const auto index = static_cast<int16_t>(i);
        connect(pClick[i], &ImageControl::clicked, this, guarded([this, index] { pClick_Click(index); }));
    }
    pieceDesc = new QTextEdit(this);
    place(pieceDesc, layout::pieceDesc);
    pieceDesc->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pieceDesc->setReadOnly(true);
    pieceDesc->setPlainText(fromWindows1252(initialText));
}

void FPieces::pClick_Click(int16_t Index) {
    const char* text = descriptionOf(Index);
    if (!text) return;
    pieceDesc->setPlainText(fromWindows1252(text));
}

// --- the control room ----------------------------------------------------------------

FControls::FControls() : SecondaryWindow(QStringLiteral("the control room"), layout::fControlsWidth, layout::fControlsHeight,
                      "fControls.bmp") {}

// --- showing them ---------------------------------------------------------------------

FSplash* fSplash() { return splashWindow.data(); }
FPieces* fPieces() { return piecesWindow.data(); }
FControls* fControls() { return controlsWindow.data(); }

FSplash& showFSplash() { return showWindow(splashWindow); }
FPieces& showFPieces() { return showWindow(piecesWindow); }
FControls& showFControls() { return showWindow(controlsWindow); }

void closeSecondaryWindows() {
    if (splashWindow) splashWindow->close();
    if (piecesWindow) piecesWindow->close();
    if (controlsWindow) controlsWindow->close();
}

} // namespace pomlets

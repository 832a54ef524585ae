// The three small reference windows beside the main window: the about window,
// the piece reference ("the specimen box") and the key reference ("the control
// room"). Each exists at most once, is modeless, and is made afresh after the
// player closes it.
#pragma once

#include <QTextEdit>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>

#include "frontend/fmain.h"

namespace pomlets {

// What the three windows share: a fixed single border without minimise and
// maximise buttons, no icon of their own, centred on the screen, and one
// background picture carrying all of their artwork.
class SecondaryWindow : public QWidget {
    Q_OBJECT
public:
    SecondaryWindow(const QString& caption, int widthTwips, int heightTwips, const char* picture);
    ImageControl* background = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
};

class FSplash : public SecondaryWindow {
    Q_OBJECT
public:
    FSplash();
    ImageControl* Image2 = nullptr;
    // Opens the maker's web site; the window stays open.
    void Image2_Click();
    // The web address of the site that the window's picture shows.
    static std::string makerAddress();
};

class FPieces : public SecondaryWindow {
    Q_OBJECT
public:
    FPieces();
    std::array<ImageControl*, 18> pClick{};
    QTextEdit* pieceDesc = nullptr;
    // Shows the description of the piece under pClick(Index); any other index changes nothing.
    void pClick_Click(int16_t Index);
    static const char* const initialText;
    // The description that pClick(Index) shows, or nullptr for an index without one.
    static const char* descriptionOf(int Index);
};

class FControls : public SecondaryWindow {
    Q_OBJECT
public:
    FControls();
};

// The open windows, or nullptr while a window is closed.
FSplash* fSplash();
FPieces* fPieces();
FControls* fControls();

// Show the window: make it when it is not open, otherwise show the same one
// again and bring it to the front. Return at once.
FSplash& showFSplash();
FPieces& showFPieces();
FControls& showFControls();

// Closes whichever of the three windows are open (at program exit).
void closeSecondaryWindows();

} // namespace pomlets

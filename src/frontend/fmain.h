// The main window between games: menus and eight panels.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QScrollBar>
#include <QTextEdit>
#include <array>

namespace pomlets {

// An image control: shows a picture, or, without one, serves as an invisible
// click area over a pictured button.
class ImageControl : public QLabel {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr);
    // Loads a picture file into the control (stretched when stretch is set);
    // returns false and shows nothing when it cannot be read.
    bool loadPicture(const QString& path);
    void setStretch(bool stretch);
    // What a click does.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class FMain : public QMainWindow {
    Q_OBJECT
public:
    FMain();
    ~FMain() override;

    // Panels.
    std::array<QWidget*, 8> frame{};

    // Panel 0: mode and level choice.
    QComboBox* tMode = nullptr;
    QLabel* tModeDesc = nullptr;
    QListWidget* tLevels = nullptr;
    ImageControl* main_BtnRun = nullptr;
    ImageControl* Image7 = nullptr;
    // Panel 1: high scores.
    QComboBox* scoreModes = nullptr;
    QListWidget* scores_freestyle = nullptr;
    ImageControl* Image8 = nullptr;
    // Panel 2: credits.
    QTextEdit* Text1 = nullptr;
    ImageControl* Image3 = nullptr;
    // Panel 3: store.
    QLabel* tBank = nullptr;
    std::array<QLabel*, 6> tpurchase{};
    std::array<ImageControl*, 6> purchase{};
    ImageControl* Image4 = nullptr;
    ImageControl* Image5 = nullptr;
    // Panel 4: backgrounds.
    QComboBox* theme = nullptr;
    ImageControl* themePic = nullptr;
    QScrollBar* HScroll1 = nullptr;
    ImageControl* Image1 = nullptr;
    // Panel 5: music.
    QListWidget* songs = nullptr;
    QScrollBar* HScroll2 = nullptr;
    ImageControl* Image9 = nullptr;
    // Panel 6: bands.
    QListWidget* allBands = nullptr;
    ImageControl* launch = nullptr;
    ImageControl* Image2 = nullptr;
    // Panel 7: welcome.
    ImageControl* Image10 = nullptr;
    ImageControl* Image6 = nullptr;
};

// The one main window; made on first use.
FMain& fMain();
// Closes and forgets the main window (tests, and program exit).
void releaseFMain();

} // namespace pomlets

// The main window between games: menus and eight panels.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTextEdit>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace pomlets {

// An image control: shows a picture, or, without one, serves as an invisible
// click area over a pictured button.
class ImageControl : public QLabel {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr);
    // Loads a picture file into the control (stretched when stretch is set);
    // returns false and shows nothing when it cannot be read. On a screen of
    // more than one pixel to a layout pixel the file's sharp twin at twice the
    // size is shown instead where there is one, in the same place and size.
    bool loadPicture(const std::string& path);
    void setStretch(bool stretch);
    // What a click does.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Shows the file if it is a sane picture, as `ratio` pixels to a layout pixel.
    bool show(const std::string& path, qreal ratio);
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
    ImageControl* storeBackdrop = nullptr;  // the panel's plain backdrop behind its two pictures
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

    // The menu bar.
    QMenu* mGame = nullptr;
    QMenu* mOptions = nullptr;
    QMenu* mView = nullptr;
    QMenu* mHelp = nullptr;
    QAction* mNew = nullptr;
    QAction* mExit = nullptr;
    QAction* mStore = nullptr;
    QAction* mBackgrounds = nullptr;
    QAction* mMusic = nullptr;
    QAction* mScores = nullptr;
    QAction* mBands = nullptr;
    QAction* mCredits = nullptr;
    QAction* mAbout = nullptr;
    QAction* mManual = nullptr;
    QAction* mPieces = nullptr;
    QAction* mControls = nullptr;

    // Start-up and exit (startup.cpp). Form_Load runs once, before the window
    // is first shown; Form_Unload runs when the window is closed.
    void Form_Load();
    void boot();
    void popModes();
    void popThemes();
    void Form_Unload();

    // The panel switch: hides and disables every panel, then shows and
    // enables panel k.
    void showPanel(int k);

    // Menu and panel events (fmain.cpp).
    void mNew_Click();
    void mExit_Click();
    void Image6_Click();
    void mScores_Click();
    void mCredits_Click();
    void mBackgrounds_Click();
    void mMusic_Click();
    void mBands_Click();
    void mLanguage_Click();
    void tMode_Click();
    void scoreModes_Click();
    void mManual_Click();
    void mAbout_Click();
    void mPieces_Click();
    void mControls_Click();

    // The Play command: one whole game (play_command.cpp).
    void main_BtnRun_Click();
    // True while a game started by the Play command runs.
    bool gameRunning() const { return gameRunning_; }
    // The exit steps on a way out that the player did not choose: once a
    // run, and only after the load event ended (before, the log is only
    // closed), the log noting why first. False when nothing was saved.
    // Touches files, never the display.
    bool unloadForLeaving(const std::string& why);

    // Store, themes, volume and bands (store.cpp).
    void mStore_Click();
    void purchase_Click(int16_t Index);
    void theme_Click();
    void HScroll1_Change();
    // The preview and name of the theme chosen in `theme`, saving nothing.
    void showChosenTheme();
    void HScroll2_Change();
    void HScroll2_Scroll();
    void launch_Click();

    // The credits text of panel 2.
    static QString creditsText();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Tells the player of a problem with the level list, once a run.
    void tellOfLevelList(const std::string& problem);
    void buildMenus();
    void buildPanels();
    void loadArtwork();
    bool loaded_ = false;
    bool unloaded_ = false;
    bool gameRunning_ = false;
    // What the player was told of a level list that could not be read whole:
    // once a run, not at every choice of Arcade.
    std::string levelListProblemTold_;
};

// The one main window; made on first use.
FMain& fMain();
// Closes and forgets the main window: at program exit, and when the program's
// state is put back.
void releaseFMain();
// Whether the main window has been made (fMain makes it when it has not).
bool fMainExists();

// An event procedure as the window system runs it: a run-time error that it
// does not handle itself is shown in a message box and the window stays usable.
std::function<void()> guarded(std::function<void()> procedure);

// A drop-down list whose choice procedure runs when an entry is selected from
// code (when the selection changes) and whenever the player chooses an entry,
// the same one included.
void onChoice(QComboBox* list, QObject* context, std::function<void()> choice);
// Adds an entry to a drop-down list in alphabetical order, ignoring case.
void addSorted(QComboBox* list, const QString& text);
// Keeps a list box sorted alphabetically, ignoring case, whoever adds to it.
void keepSorted(QListWidget* list);
// A click on the empty part of a list box, below its entries, leaves the
// chosen entry chosen, as the player's list boxes do; a click on an entry
// still chooses it.
void keepChoiceOnEmptyClick(QAbstractItemView* list);
// Selects the entry of that text (as setting the list's text does); no entry
// of that text leaves the selection as it was. Returns whether one matched.
bool setListText(QComboBox* list, const QString& text);

} // namespace pomlets

// The welcome page, About, Getting Started, the controls, backgrounds, bonus
// songs, the volume, the store, hints and tips, uninstalling and
// troubleshooting.
#include <QListWidget>

#include "manual/page_kit.h"
#include "manual/pages.h"

namespace pomlets {

namespace {

const char* const supportAddress = "pomlets-support@example.com";
const char* const makerAddress = "pomlets@example.com";

void welcome(Form1& form) {
    PageKit kit(form, 0);
    kit.title("Welcome!");
    kit.text("Welcome to the Pomlets manual!  This manual holds all kinds of information on the game: how to "
             "play it, what every piece does, the game modes, the store and more.");
    kit.text("To begin, choose a topic from the list on the left.");
}

void about(Form1& form) {
    PageKit kit(form, 1);
    kit.title("About");
    kit.pictureBeside("pomlet1_90.png", "Pomlets is a puzzle game of quick thinking, fast reflexes and steady "
                                        "nerves.");
    kit.text("Pieces fall onto the playing field, and you control where they land.  Arrange them so that they "
             "can be eliminated before the field fills up.  Every piece affects the game differently: some "
             "explode, some pay you points, and some just cause trouble.");
    kit.text("If you are new to Pomlets, try Arcade mode first.  It introduces the pieces one by one, so you "
             "can learn what each of them does.");
}

void gettingStarted(Form1& form) {
    PageKit kit(form, 2);
    kit.title("Getting Started");
    kit.text("To start Pomlets, double-click the Pomlets icon on your desktop:");
    kit.picture("desktop.png");
    kit.text("The game opens with its welcome picture.  Click the picture to go on to the New Game window, "
             "where you choose what to play.");
}

void gettingStartedCont(Form1& form) {
    PageKit kit(form, 3);
    kit.title("Getting Started (Cont.)");
    kit.pictureBeside("newgame.png",
                      "This is the New Game window.  First, choose a game mode from the drop-down list.\n\n"
                      "For B-Type or Arcade, also choose a level in the list below it.\n\n"
                      "Then click the button 'Play!' to begin.\n\n"
                      "You can return to this window at any time with Game > New.");
    kit.lineBeforeLink("For more information on game modes,", "Label14");
}

void controls(Form1& form) {
    PageKit kit(form, 10);
    kit.title("The Controls");
    kit.text("In order to play Pomlets, you need to be able to press 11 buttons.  Not all at once, of course.  "
             "Anyhow, here they are:");
    const struct {
        const char* key;
        const char* description;
    } keys[] = {
        {"Left Arrow Key", "Moves the current row left "},
        {"Right Arrow Key", "Moves the current row right "},
        {"Up Arrow Key", "Moves the row pointer up "},
        {"Down Arrow Key", "Moves the row pointer down "},
        {"Esc", "Quits the current game "},
        {"N", "Skips the current song "},
        {"1", "Drops a Slammer (Freestyle only) "},
        {"2", "Drops a Bomb (Freestyle only) "},
        {"3", "Activates a Detonator (Freestyle only) "},
        {"4", "Drops a Bowling Ball (Freestyle only) "},
        {"P", "Pauses the game"},
    };
    QWidget* page = form.helpFrame[10];
    const int rightEdge = px(4335) - px(120);
    int top = px(1560);
    for (const auto& row : keys) {
        auto* key = new QLabel(QString::fromLatin1(row.key), page);
        key->setObjectName(QStringLiteral("key"));
        key->adjustSize();
        key->move(px(240), top);
        auto* description = new QLabel(QString::fromLatin1(row.description), page);
        description->setObjectName(QStringLiteral("keyDescription"));
        description->setAlignment(Qt::AlignRight | Qt::AlignTop);
        description->adjustSize();
        description->move(rightEdge - description->width(), top);
        top += px(240);
    }
    kit.skip(top + 4 - kit.top());
    kit.text("ATTENTION:  If the arrow keys don't work during gameplay, try toggling your number lock on and off.",
             QColor(192, 0, 0));
}

void backgrounds(Form1& form) {
    PageKit kit(form, 11);
    kit.title("Changing Backgrounds");
    kit.pictureBeside("backgrounds.png",
                      "Tired of looking at the same old pictures behind the playing field?  Choose "
                      "Options > Backgrounds.\n\n"
                      "Choose a set of backgrounds in the list at the top.  Use the scroll bar at the bottom "
                      "to preview each member of the set.\n\n"
                      "Then choose Game > New, and play on your new backgrounds.");
}

void bonusSongs(Form1& form) {
    PageKit kit(form, 12);
    kit.title("Bonus Songs");
    kit.text("Besides the songs that come with the game, there are bonus songs to earn.  Each one you earn is "
             "added to your music playlist.  Here is how to get them:");
    form.List1 = new QListWidget(form.helpFrame[12]);
    form.List1->setObjectName(QStringLiteral("List1"));
    form.List1->setGeometry(px(360), px(2040), px(3615), px(2400));
    for (const char* entry :
         {"Collect 3 Music Notes during Freestyle mode", "Collect 6 Music Notes during Freestyle mode",
          "Collect 9 Music Notes during Freestyle mode", " ", "Purchase the Bonus Song from the Store", " ",
          "Beat all 3 B-Type Challenges", " ", "Beat 10 Arcade levels", "Beat 25 Arcade levels",
          "Beat 50 Arcade levels"})
        form.List1->addItem(QString::fromLatin1(entry));
}

void volume(Form1& form) {
    PageKit kit(form, 24);
    kit.title("Change the Volume");
    kit.pictureBeside("music_panel.png",
                      "Choose Options > Music to see the playlist and the volume slider.  Slide it to the "
                      "left for quieter music, to the right for louder.\n\n"
                      "Your changes are saved automatically.  Then choose Game > New to get back to the "
                      "game.\n\n"
                      "The volume starts at 25%.");
}

void store(Form1& form) {
    PageKit kit(form, 25);
    kit.title("The Store");
    kit.pictureBeside("store.png",
                      "Every Money piece you eliminate gives you a Credit.  To spend your Credits, choose "
                      "Options > Spend Credits.\n\n"
                      "The store sells Slammers, Bombs, Bowling Balls and Detonators, which set off every "
                      "Bomb ahead of time.  It also sells the Bonus Song and the Midnight Bowling mode.\n\n"
                      "To buy an item, click the plus-sign button to its right.");
}

void hints(Form1& form) {
    PageKit kit(form, 26);
    kit.title("Hints and Tips", 240);
    kit.text("1.  Put as many pieces as you can between your Slammers: the more pieces, the bigger the bonus.  "
             "It is much easier to do vertically than horizontally.");
    kit.text("2.  Put your Bombs and Slammers on the lowest rows, where they clear the most room.");
    kit.text("3.  Keep your Baubles and your positive Calculators.  They pay you for your patience.");
    kit.text("4.  Destroy negative Calculators and Shifters at once, before they cost you points or mess up "
             "your rows.");
    kit.text("5.  Gorgons are worth many points, so keeping one or two early in the game can pay off.  Just "
             "don't let them take over the field!");
}

void uninstalling(Form1& form) {
    PageKit kit(form, 27);
    kit.title("Uninstalling");
    kit.text("Thanks for playing Pomlets!  We hope you had as much fun playing it as we had making it.");
    kit.text(QStringLiteral("If you have any suggestions for the game, we would love to hear them.  Please "
                            "send them to %1.")
                 .arg(QLatin1String(makerAddress)));
}

void troubleshooting(Form1& form) {
    PageKit kit(form, 28);
    kit.title("Troubleshooting");
    kit.text("Pomlets needs a good share of your computer's resources to run smoothly.  If the game runs slowly "
             "or stutters, close any other programs that are running, including the items on your taskbar, "
             "and defragment your hard disk.");
    kit.text(QStringLiteral("If that does not help, write to %1 and tell us what happens.")
                 .arg(QLatin1String(supportAddress)));
}

}  // namespace

void buildGeneralPages(Form1& form) {
    welcome(form);
    about(form);
    gettingStarted(form);
    gettingStartedCont(form);
    controls(form);
    backgrounds(form);
    bonusSongs(form);
    volume(form);
    store(form);
    hints(form);
    uninstalling(form);
    troubleshooting(form);
}

}  // namespace pomlets

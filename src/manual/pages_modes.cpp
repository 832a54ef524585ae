// The game modes (Freestyle, B-Type, Arcade, Midnight Bowling) and the game
// bonuses.
#include "manual/page_kit.h"
#include "manual/pages.h"

namespace pomlets {

namespace {

void gameModes(Form1& form) {
    PageKit kit(form, 4);
    kit.title("Game Modes");
    kit.text("Pomlets can be played in four different ways.  Each game mode has its own goal, its own pieces "
             "and its own way to win.");
    kit.skip(6);
    kit.lineBeforeLink("To learn about Freestyle mode,", "Label19");
    kit.skip(4);
    kit.lineBeforeLink("To learn about B-Type mode,", "Label24");
    kit.skip(4);
    kit.lineBeforeLink("To learn about Arcade mode,", "Label25");
    kit.skip(4);
    kit.lineBeforeLink("To learn about Midnight Bowling mode,", "Label26");
}

void freestyle(Form1& form) {
    PageKit kit(form, 5);
    kit.title("Freestyle Mode");
    kit.picture("eliminators.png");
    kit.text("In Freestyle mode almost every piece in the game falls onto the field.  Your goal is simple: "
             "get the highest score you can.  The game ends when a piece settles out of play, on top of a "
             "full column.");
    kit.text("Money pieces fall in every mode but Midnight Bowling.  Each one you eliminate gives you a "
             "Credit to spend in the Store.  The pieces you buy there, like the eliminators above, can be "
             "dropped during Freestyle only.");
}

void freestyleCont(Form1& form) {
    PageKit kit(form, 6);
    kit.title("Freestyle Mode (Cont.)");
    kit.pictureBeside("music_90.png", "The Music piece is very rare.  Every one you collect is counted in your "
                                      "record, up to 9 of them, and every 3 give you a bonus song.");
    kit.pictureBeside("apple_90.png", "Freestyle also holds all the bonuses: the Slam, Fruit Cocktail, High "
                                      "Tide, Green Thumb, Pythagorean and Frog bonuses.  See Game Bonuses to "
                                      "learn how to get them.");
}

void bType(Form1& form) {
    PageKit kit(form, 7);
    kit.title("B-Type Mode");
    kit.pictureBeside("btype_90.png", "B-Type mode starts with B-Type pieces in play.  Remove them all in the "
                                      "shortest time you can: the best times go into a high-score list.");
    kit.text("There are three challenges: Mild (20 pieces), Medium (35 pieces) and Spicy (50 pieces).  Beat "
             "all three, and a bonus song is added to your playlist.");
    kit.text("B-Type pieces can be Bombed and Slammed.  No more of them drop in after the start, so every "
             "one you remove brings you closer to the finish.");
}

void arcade(Form1& form) {
    PageKit kit(form, 8);
    kit.title("Arcade Mode");
    kit.text("In Arcade mode every level has its own arrangement of pieces and its own goal: a score to pass, "
             "a number of pieces to destroy, or both.");
    kit.text("The levels get harder as you go.  There are over 50 of them, but only 1 is available at first: "
             "beat a level to unlock the next one.");
    kit.text("Your progress is saved, so the levels you have unlocked are waiting for you the next time you "
             "play.");
}

void midnightBowling(Form1& form) {
    PageKit kit(form, 9);
    kit.title("Midnight Bowling Mode");
    kit.pictureBeside("pin_90.png", "10 Pins, 2 Balls, 10 Frames.\n\n"
                                    "In each frame, ten Pin pieces fall.  Arrange them as a pyramid, like the "
                                    "pins at the end of a bowling lane.");
    kit.text("Then 2 Bowling Balls fall, always just left of the centre.  Points are scored by pinfall, with "
             "extra points for strikes and spares, up to 300 for a perfect game.");
    kit.text("Midnight Bowling is bought in the Store for 40 Credits.  Once bought, it is always available.");
}

void bonuses(Form1& form) {
    PageKit kit(form, 29);
    kit.title("Game Bonuses");
    kit.heading("SLAM BONUS");
    kit.text("Slam several pieces at once: the more pieces you Slam, the more points you get.");
    kit.heading("FRUIT COCKTAIL BONUS");
    kit.text("Bomb all 4 variations of the Pomlet at once for 5000 points.  The Pomlets then get a higher "
             "value and a new look.");
    kit.heading("HIGH TIDE BONUS");
    kit.text("Fill the bottom row with Diamonds for 5000 points.  The Pomlets then get a higher value and a "
             "new look.");
}

void bonusesCont(Form1& form) {
    PageKit kit(form, 30);
    kit.title("Game Bonuses (Cont.)");
    kit.heading("GREEN THUMB BONUS");
    kit.text("Let 50 Baubles mature for 5000 points.  The Pomlets then get a higher value and a new look.");
    kit.heading("PYTHAGOREAN BONUS");
    kit.text("Collect 1500 points from Calculators for a bonus of 2500 points.  From then on, Calculators are "
             "worth 0 to 200.");
    kit.heading("FROG BONUS");
    kit.text("Reach 60,000 points in Freestyle, and the frogs come out to celebrate.  The Frog bonus lasts 1 "
             "minute.");
}

}  // namespace

void buildModePages(Form1& form) {
    gameModes(form);
    freestyle(form);
    freestyleCont(form);
    bType(form);
    arcade(form);
    midnightBowling(form);
    bonuses(form);
    bonusesCont(form);
}

}  // namespace pomlets

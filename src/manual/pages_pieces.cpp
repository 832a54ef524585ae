// The pieces, two to a page, each with its picture and bold heading.
#include "manual/page_kit.h"
#include "manual/pages.h"

namespace pomlets {

namespace {

void pomlets(Form1& form) {
    PageKit kit(form, 17);
    kit.title("The Pieces");
    kit.text("Every piece in Pomlets affects the game differently.  Here is what each of them does.");
    kit.piece("pomlet1_45.png", "Pomlets",
              "The most basic playing pieces.  They can be Bombed and Slammed, for 10 points each.");
    kit.text("Pomlets come in four variations:");
    kit.picture("pomlets.png");
    kit.text("Only identical pieces between Slammers are eliminated: a purple and a green Pomlet are not, but "
             "three white ones are.");
    QLabel* mixed = kit.picture("slam_mixed.png", PageKit::left);
    kit.skip(-(mixed->height() + PageKit::gap));
    QLabel* same = kit.picture("slam_same.png", PageKit::left);
    same->move(PageKit::left + PageKit::width - same->width(), same->y());
}

void rocksAndBombs(Form1& form) {
    PageKit kit(form, 18);
    kit.title("The Pieces (Cont.)");
    kit.piece("rock1_45.png", "Rocks",
              "Rocks come in 3 variations.  They can be Bombed for 20 points each, but Slammers have no effect "
              "on them.  After the Pomlets, they are the most common piece.");
    kit.piece("bomb_45.png", "Bombs",
              "Bombs have a timer of 30 seconds.  When it runs out, they eliminate themselves and every "
              "adjacent piece that can be Bombed.");
}

void slammersAndBaubles(Form1& form) {
    PageKit kit(form, 19);
    kit.title("The Pieces (Cont.)");
    kit.piece("slammer_45.png", "Slammers",
              "Slammers are eliminator pieces.  They work in pairs, like bookends: any number of identical "
              "pieces between two Slammers is eliminated.");
    kit.piece("bauble_45.png", "Baubles",
              "Baubles have a timer of about 1 minute.  When it runs out, they remove themselves and award "
              "500 points.  Bomb or Slam them before that, and they award nothing and dump 3 more pieces "
              "onto the field!");
}

void diamondsAndCalculators(Form1& form) {
    PageKit kit(form, 20);
    kit.title("The Pieces (Cont.)");
    kit.piece("diamond_45.png", "Diamonds",
              "Diamonds cannot be Bombed or Slammed.  They award 100 points as soon as they settle.");
    const int top = kit.top();
    kit.piece("calculator_45.png", "Calculators",
              "Calculators have a value between -100 and 100, which is added to your score about every 10 "
              "seconds.  Remove the negative ones quickly, and keep the positive ones.");
    const int below = kit.top();
    kit.skip(top + 45 + 4 - below);
    kit.picture("calculator_02_45.png", px(240));
    if (kit.top() < below) kit.skip(below - kit.top());
}

void gorgonsAndShifters(Form1& form) {
    PageKit kit(form, 21);
    kit.title("The Pieces (Cont.)");
    kit.piece("gorgon_45.png", "Gorgons",
              "Gorgons have a timer of about 1 minute.  When it runs out, they dump another Gorgon onto the "
              "field and start the timer again.  Bomb or Slam them for 500 points each.");
    kit.piece("shifter_45.png", "Shifters",
              "Shifters have a timer of about 10 seconds.  When it runs out, they move their whole row one "
              "space left or right.  Shifters are worth 25 points each.");
}

void bowlingBallsAndMoney(Form1& form) {
    PageKit kit(form, 22);
    kit.title("The Pieces (Cont.)");
    kit.piece("bowlingball_45.png", "Bowling Balls",
              "Bowling Balls are rare.  They never settle: instead, they eliminate every piece that they hit "
              "as they fall, Diamonds too.");
    kit.piece("money_45.png", "Money",
              "Money is rare too.  Bomb it or Slam it, and you earn a Credit to spend in the Store.");
}

void musicAndBType(Form1& form) {
    PageKit kit(form, 23);
    kit.title("The Pieces (Cont.)");
    kit.piece("music_45.png", "Music Note",
              "Music Notes are very rare.  They can be Bombed or Slammed, and every 3 you eliminate give you "
              "a new song for your playlist.  After 9, they no longer appear.");
    kit.piece("btype_45.png", "B-Type",
              "B-Type pieces appear only in B-Type mode.  They can be Bombed or Slammed.");
    kit.text("Tip: in the game, choose Help > Pieces for a quick reference to every piece.");
}

}  // namespace

void buildPiecePages(Form1& form) {
    pomlets(form);
    rocksAndBombs(form);
    slammersAndBaubles(form);
    diamondsAndCalculators(form);
    gorgonsAndShifters(form);
    bowlingBallsAndMoney(form);
    musicAndBType(form);
}

}  // namespace pomlets

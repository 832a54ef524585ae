// How to Play: the playing field, the row pointer, the end of a game,
// Bombing and Slamming.
#include "manual/page_kit.h"
#include "manual/pages.h"

namespace pomlets {

namespace {

void field(Form1& form) {
    PageKit kit(form, 13);
    kit.title("How to Play");
    kit.text("Pomlets is easy to learn but hard to master.  These pages show you the basics.");
    kit.picture("game.png");
    kit.text("The playing field is the space inside the thick grey border.  It has 7 rows and 10 columns, so "
             "it holds at most 70 pieces.  Pieces fall onto it, and your first job is to control where they "
             "land.");
}

void pointer(Form1& form) {
    PageKit kit(form, 14);
    kit.title("How to Play (Cont.)");
    kit.pictureBeside("pointer.png", "The row pointer on the left side of the field points at the current "
                                     "row.");
    kit.text("The left and right arrow keys move the current row one space left or right.  The up and down "
             "arrow keys move the pointer to another row.  Move a row so that the falling piece lands where "
             "you want it.");
    kit.text("Note: pieces wrap around at the field's borders.  A piece pushed off the right side comes back "
             "in on the left, and the other way round.");
}

void ending(Form1& form) {
    PageKit kit(form, 15);
    kit.title("How to Play (Cont.)");
    kit.text("The game ends when a piece is dumped into a column that is already full.  To keep that from "
             "happening, you eliminate pieces, by Bombing and by Slamming.");
    kit.pictureBeside("bomb_90.png", "Bombs fall onto the field now and then.  Each one has a timer of about "
                                     "30 seconds.  When it runs out, the Bomb eliminates itself and the "
                                     "pieces next to it.");
    kit.text("Some pieces cannot be Bombed.");
}

void slamming(Form1& form) {
    PageKit kit(form, 16);
    kit.title("How to Play (Cont.)");
    kit.pictureBeside("slammer_90.png", "Slammers work in pairs, like bookends.  All the identical pieces "
                                        "between two Slammers, vertically or horizontally, are eliminated.");
    kit.text("Not all pieces can be Slammed.");
    kit.text("There are many more pieces to meet.  To learn about each of them, follow the link below.");
}

}  // namespace

void buildPlayingPages(Form1& form) {
    field(form);
    pointer(form);
    ending(form);
    slamming(form);
}

}  // namespace pomlets

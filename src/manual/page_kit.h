// Builds the content of one manual page: its title, text labels that wrap in
// their rectangle, pictures and piece headings, placed from the top down. Each
// placement returns the label it made; the kit keeps a running top edge below
// the last placement.
#pragma once

#include <QLabel>
#include <QString>

#include <string>

#include "manual/form1.h"

namespace pomlets {

class PageKit {
public:
    // The usable width of a page: 120 twips in from either side.
    static constexpr int left = 8;
    static constexpr int width = 273;
    static constexpr int gap = 7;   // between paragraphs

    PageKit(Form1& form, int page);

    // The bold title at (120, top) twips; the content starts below it.
    QLabel* title(const char* text, int topTwips = 360);
    // A paragraph wrapping within [x, x + w), placed at the running top.
    QLabel* text(const QString& text, int x = left, int w = width);
    // A paragraph in a colour of its own.
    QLabel* text(const QString& text, QColor colour);
    // A bold line, for the headings inside a page, with its text right below.
    QLabel* heading(const QString& text, int x = left);
    // A picture from the manual's resources at x (centred when x < 0).
    QLabel* picture(const char* name, int x = -1);
    // A picture on the left with a paragraph (or several, split by blank
    // lines) beside it; the running top goes below whichever ends lower.
    void pictureBeside(const char* name, const QString& text);
    // A piece: its 45 x 45 picture at Left 240, its bold heading at Left
    // 1080 and its text below the heading, beside the picture.
    void piece(const char* picture, const char* heading, const QString& text);
    // One line of text that a "click here." link finishes.
    QLabel* lineBeforeLink(const QString& text, const std::string& linkName);
    void skip(int pixels) { top_ += pixels; }
    int top() const { return top_; }

private:
    QLabel* place(QLabel* label, int x, int w);

    Form1& form_;
    QWidget* page_;
    int top_ = 0;
};

}  // namespace pomlets

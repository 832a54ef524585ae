// The page links: one label per link, in pure blue, on the page that carries
// it, and its click procedure, which turns from that page to the target.
#include <QFontMetrics>

#include <stdexcept>

#include "manual/form1.h"

namespace pomlets {

void Form1::Label9_Click() { turnPage(2, 3); }
void Form1::Label10_Click() { turnPage(3, 2); }
void Form1::Label14_Click() { turnPage(3, 4); }
void Form1::Label19_Click() { turnPage(4, 5); }
void Form1::Label24_Click() { turnPage(4, 7); }
void Form1::Label25_Click() { turnPage(4, 8); }
void Form1::Label26_Click() { turnPage(4, 9); }
void Form1::Label28_Click() { turnPage(5, 4); }
void Form1::Label30_Click() { turnPage(5, 6); }
void Form1::Label31_Click() { turnPage(6, 5); }
void Form1::Label33_Click() { turnPage(6, 4); }
void Form1::Label43_Click() { turnPage(7, 4); }
void Form1::Label44_Click() { turnPage(8, 4); }
void Form1::Label49_Click() { turnPage(9, 4); }
void Form1::Label83_Click() { turnPage(13, 14); }
void Form1::Label90_Click() { turnPage(14, 13); }
void Form1::Label84_Click() { turnPage(14, 15); }
void Form1::Label91_Click() { turnPage(15, 14); }
void Form1::Label97_Click() { turnPage(15, 16); }
void Form1::Label106_Click() { turnPage(16, 15); }
void Form1::Label100_Click() { turnPage(16, 17); }
void Form1::Label113_Click() { turnPage(17, 18); }
void Form1::Label120_Click() { turnPage(18, 17); }
void Form1::Label116_Click() { turnPage(18, 19); }
void Form1::Label121_Click() { turnPage(19, 18); }
void Form1::Label126_Click() { turnPage(19, 20); }
void Form1::Label138_Click() { turnPage(20, 19); }
void Form1::Label133_Click() { turnPage(20, 21); }
void Form1::Label139_Click() { turnPage(21, 20); }
void Form1::Label143_Click() { turnPage(21, 22); }
void Form1::Label155_Click() { turnPage(22, 21); }
void Form1::Label151_Click() { turnPage(22, 23); }
void Form1::Label164_Click() { turnPage(23, 22); }
void Form1::Label189_Click() { turnPage(29, 30); }
void Form1::Label190_Click() { turnPage(30, 29); }

namespace {

// Where a link label sits on its page.
enum class Place {
    left,       // at Left 120
    right,      // against the right edge, right-aligned
    at2280,     // at Left 2280
    afterLine,  // right after the text line that it finishes
};

struct PageLink {
    const char* name;
    const char* caption;
    int page;
    Place place;
    void (Form1::*click)();
};

const PageLink pageLinks[] = {
    {"Label9", "Next Page -->", 2, Place::right, &Form1::Label9_Click},
    {"Label10", "<-- Previous Page", 3, Place::left, &Form1::Label10_Click},
    {"Label14", "click here.", 3, Place::afterLine, &Form1::Label14_Click},
    {"Label19", "click here.", 4, Place::afterLine, &Form1::Label19_Click},
    {"Label24", "click here.", 4, Place::afterLine, &Form1::Label24_Click},
    {"Label25", "click here.", 4, Place::afterLine, &Form1::Label25_Click},
    {"Label26", "click here.", 4, Place::afterLine, &Form1::Label26_Click},
    {"Label28", "<-- Return to Game Modes", 5, Place::left, &Form1::Label28_Click},
    {"Label30", "Next Page -->", 5, Place::right, &Form1::Label30_Click},
    {"Label31", "<-- Previous Page", 6, Place::left, &Form1::Label31_Click},
    {"Label33", "|<-- Return to Game Modes", 6, Place::at2280, &Form1::Label33_Click},
    {"Label43", "<-- Return to Game Modes", 7, Place::left, &Form1::Label43_Click},
    {"Label44", "<-- Return to Game Modes", 8, Place::left, &Form1::Label44_Click},
    {"Label49", "<-- Return to Game Modes", 9, Place::left, &Form1::Label49_Click},
    {"Label83", "Next Page -->", 13, Place::right, &Form1::Label83_Click},
    {"Label90", "<-- Previous Page", 14, Place::left, &Form1::Label90_Click},
    {"Label84", "Next Page -->", 14, Place::right, &Form1::Label84_Click},
    {"Label91", "<-- Previous Page", 15, Place::left, &Form1::Label91_Click},
    {"Label97", "Next Page -->", 15, Place::right, &Form1::Label97_Click},
    {"Label106", "<-- Previous Page", 16, Place::left, &Form1::Label106_Click},
    {"Label100", "The Pieces -->|", 16, Place::right, &Form1::Label100_Click},
    {"Label113", "Next Page -->", 17, Place::right, &Form1::Label113_Click},
    {"Label120", "<-- Previous Page", 18, Place::left, &Form1::Label120_Click},
    {"Label116", "Next Page -->", 18, Place::right, &Form1::Label116_Click},
    {"Label121", "<-- Previous Page", 19, Place::left, &Form1::Label121_Click},
    {"Label126", "Next Page -->", 19, Place::right, &Form1::Label126_Click},
    {"Label138", "<-- Previous Page", 20, Place::left, &Form1::Label138_Click},
    {"Label133", "Next Page -->", 20, Place::right, &Form1::Label133_Click},
    {"Label139", "<-- Previous Page", 21, Place::left, &Form1::Label139_Click},
    {"Label143", "Next Page -->", 21, Place::right, &Form1::Label143_Click},
    {"Label155", "<-- Previous Page", 22, Place::left, &Form1::Label155_Click},
    {"Label151", "Next Page -->", 22, Place::right, &Form1::Label151_Click},
    {"Label164", "<-- Previous Page", 23, Place::left, &Form1::Label164_Click},
    {"Label189", "Next Page -->", 29, Place::right, &Form1::Label189_Click},
    {"Label190", "<-- Previous Page", 30, Place::left, &Form1::Label190_Click},
};

}  // namespace

void Form1::makeLinks() {
    const int top = px(4440), height = px(255), rightEdge = px(4335) - px(120);
    for (const PageLink& def : pageLinks) {
        auto* label = new LinkLabel(QString::fromLatin1(def.caption), helpFrame[static_cast<size_t>(def.page)]);
        label->setObjectName(QString::fromLatin1(def.name));
        const int width = label->sizeHint().width();
        switch (def.place) {
        case Place::left:
            label->setGeometry(px(120), top, width, height);
            break;
        case Place::right:
            label->setAlignment(Qt::AlignRight | Qt::AlignTop);
            label->setGeometry(rightEdge - width, top, width, height);
            break;
        case Place::at2280:
            label->setGeometry(px(2280), top, width, height);
            break;
        case Place::afterLine: {
            const auto anchor = linkAnchors_.find(def.name);
            if (anchor == linkAnchors_.end())
                throw std::logic_error(std::string("no text line for the link ") + def.name);
            const QLabel* line = anchor->second;
            const int x = line->x() + QFontMetrics(line->font()).horizontalAdvance(line->text() + QLatin1Char(' '));
            label->setGeometry(x, line->y(), width, line->height());
            break;
        }
        }
        connect(label, &LinkLabel::clicked, this, [this, click = def.click] { (this->*click)(); });
        links_[def.name] = label;
    }
}

}  // namespace pomlets

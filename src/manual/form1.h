// The help viewer's one window: the topic list on the left and the 31 pages
// of the manual on the right, one page shown at a time. Pages are reached by
// choosing a topic or by clicking the link labels on the pages.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QWidget>

#include <array>
#include <cstdint>
#include <map>
#include <string>

namespace pomlets {

// A label that reacts to a click, as the manual's page links do.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& caption, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

class Form1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int pageCount = 31;

    // Builds the window and every page, all pages hidden, then loads it
    // (Form_Load shows the welcome page).
    Form1();

    QGroupBox* Frame1 = nullptr;
    QListWidget* topic = nullptr;
    std::array<QGroupBox*, pageCount> helpFrame{};
    QListWidget* List1 = nullptr;  // the bonus songs page's list, without handler

    // Shows page 0.
    void Form_Load();
    // Hides every page, then shows the page of the chosen topic, found by the
    // topic's text; a text of no topic leaves every page hidden.
    void topic_Click();
    // Hides page hidePage, then shows page showPage; the topic list keeps its
    // selection.
    void turnPage(int16_t hidePage, int16_t showPage);

    // The page links, each named after its label.
    void Label9_Click();
    void Label10_Click();
    void Label14_Click();
    void Label19_Click();
    void Label24_Click();
    void Label25_Click();
    void Label26_Click();
    void Label28_Click();
    void Label30_Click();
    void Label31_Click();
    void Label33_Click();
    void Label43_Click();
    void Label44_Click();
    void Label49_Click();
    void Label83_Click();
    void Label90_Click();
    void Label84_Click();
    void Label91_Click();
    void Label97_Click();
    void Label106_Click();
    void Label100_Click();
    void Label113_Click();
    void Label120_Click();
    void Label116_Click();
    void Label121_Click();
    void Label126_Click();
    void Label138_Click();
    void Label133_Click();
    void Label139_Click();
    void Label143_Click();
    void Label155_Click();
    void Label151_Click();
    void Label164_Click();
    void Label189_Click();
    void Label190_Click();

    // The link label of that name ("Label9"), or nullptr.
    LinkLabel* link(const std::string& name) const;

    // For the page builders: the text line that a "click here." link follows.
    void anchorLink(const std::string& linkName, QLabel* line) { linkAnchors_[linkName] = line; }

private:
    void makeLinks();

    std::map<std::string, QLabel*> linkAnchors_;
    std::map<std::string, LinkLabel*> links_;
};

// Positions on the window are given in twips, 15 to a pixel.
constexpr int px(int twips) { return (twips + 7) / 15; }

}  // namespace pomlets

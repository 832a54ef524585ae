#include "manual/page_kit.h"

#include <QPixmap>

#include <algorithm>

namespace pomlets {

PageKit::PageKit(Form1& form, int page) : form_(form), page_(form.helpFrame[static_cast<size_t>(page)]) {}

QLabel* PageKit::place(QLabel* label, int x, int w) {
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(x, top_, w, label->heightForWidth(w));
    top_ = label->geometry().bottom() + 1 + gap;
    return label;
}

QLabel* PageKit::title(const char* text, int topTwips) {
    auto* label = new QLabel(QString::fromLatin1(text), page_);
    label->setObjectName(QStringLiteral("title"));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setGeometry(px(120), px(topTwips), width, px(255));
    top_ = label->geometry().bottom() + 1 + gap;
    return label;
}

QLabel* PageKit::text(const QString& text, int x, int w) { return place(new QLabel(text, page_), x, w); }

QLabel* PageKit::text(const QString& text, QColor colour) {
    auto* label = new QLabel(text, page_);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return place(label, left, width);
}

QLabel* PageKit::heading(const QString& text, int x) {
    auto* label = new QLabel(text, page_);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    place(label, x, width - (x - left));
    top_ -= gap - 1;  // a heading sits right above its text
    return label;
}

namespace {

// A picture of the manual's resources. On a screen of more than one pixel to
// a layout pixel it is the picture's sharp twin at twice the size ("@2x"
// before the extension), shown at the same size in layout pixels.
QPixmap manualPicture(const QString& name, qreal screenRatio) {
    const QString path = QStringLiteral(":/manual/") + name;
    if (screenRatio > 1.0) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        QPixmap sharp(QStringLiteral(":/manual/") + name.left(dot) + QStringLiteral("@2x") + name.mid(dot));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    return QPixmap(path);
}

}  // namespace

QLabel* PageKit::picture(const char* name, int x) {
    auto* label = new QLabel(page_);
    label->setObjectName(QStringLiteral("picture"));
    const QPixmap pixmap = manualPicture(QString::fromLatin1(name), label->devicePixelRatioF());
    label->setPixmap(pixmap);
    label->setToolTip(QString());
    const QSize size = pixmap.deviceIndependentSize().toSize();
    if (x < 0) x = left + (width - size.width()) / 2;
    label->setGeometry(x, top_, size.width(), size.height());
    top_ += size.height() + gap;
    return label;
}

void PageKit::pictureBeside(const char* name, const QString& paragraphs) {
    const int start = top_;
    QLabel* pic = picture(name, left);
    const int below = top_;
    top_ = start;
    const int x = pic->geometry().right() + 1 + 10;
    for (const QString& paragraph : paragraphs.split(QStringLiteral("\n\n"))) text(paragraph, x, left + width - x);
    top_ = std::max(top_, below);
}

void PageKit::piece(const char* pictureName, const char* headingText, const QString& paragraph) {
    const int start = top_;
    picture(pictureName, px(240));
    const int below = top_;
    top_ = start;
    heading(QString::fromLatin1(headingText), px(1080));
    text(paragraph, px(1080), left + width - px(1080));
    top_ = std::max(top_, below);
}

QLabel* PageKit::lineBeforeLink(const QString& line, const std::string& linkName) {
    auto* label = new QLabel(line, page_);
    label->adjustSize();
    label->move(left, top_);
    top_ = label->geometry().bottom() + 1 + gap;
    form_.anchorLink(linkName, label);
    return label;
}

}  // namespace pomlets

#include "frontend/message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "frontend/leaving.h"
#include "platform/start_values.h"
#include "platform/windows1252.h"

namespace pomlets {

namespace {

QString programName() { return QStringLiteral("Pomlets"); }

MsgResult showMessageDialog(const ShownBox& box) {
    const auto shownBox = messageBoxFor(box.text, box.buttons);
    const int answer = shownBox->exec();
    if (box.buttons == MsgButtons::YesNo) return answer == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
    if (box.buttons == MsgButtons::RetryQuit) return answer == QMessageBox::Retry ? MsgResult::Retry : MsgResult::Quit;
    return MsgResult::Ok;
}

std::string showInputDialog(const ShownBox& box, const std::string& defaultText) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(box.title.empty() ? programName() : fromWindows1252(box.title));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(fromWindows1252(box.text));
    dialog.setTextValue(fromWindows1252(defaultText));
    for (QLabel* label : dialog.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted) return {};
    return toWindows1252(dialog.textValue());
}

const BoxCalls dialogs{showMessageDialog, showInputDialog};
BoxCalls calls = dialogs;
POMLETS_NOT_RESTORED(calls, "set once for the run, by the program or by what stands in for its player");

} // namespace

BoxCalls& boxCalls() { return calls; }
const BoxCalls& dialogBoxCalls() { return dialogs; }

int titleBarWidth(const QString& title) {
    // The title in a bold face a little larger than the windows' own, as
    // window managers draw it, beside room for the window's icon and its
    // three title-bar buttons and the bar's margins.
    QFont font = QApplication::font();
    font.setBold(true);
    if (font.pixelSize() > 0) font.setPixelSize(font.pixelSize() * 5 / 4);
    else font.setPointSizeF(font.pointSizeF() * 1.25);
    const int buttons = 4 * 32 + 2 * 16;
    return QFontMetrics(font).horizontalAdvance(title) + buttons;
}

MsgResult msgBox(const std::string& text, MsgButtons buttons) {
    // On the way out nobody is there to answer: a question is answered No,
    // and a failed save is not tried again.
    if (leaving()) {
        if (buttons == MsgButtons::YesNo) return MsgResult::No;
        if (buttons == MsgButtons::RetryQuit) return MsgResult::Quit;
        return MsgResult::Ok;
    }
    return calls.message(ShownBox{false, text, "", buttons});
}

std::unique_ptr<QMessageBox> messageBoxFor(const std::string& text, MsgButtons buttons) {
    // No icon, on the OK boxes and the Yes/No question alike.
    const auto choices = buttons == MsgButtons::YesNo       ? QMessageBox::Yes | QMessageBox::No
                         : buttons == MsgButtons::RetryQuit ? QMessageBox::Retry | QMessageBox::Discard
                                                            : QMessageBox::Ok;
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, programName(), QString(), choices,
                                             QApplication::activeWindow());
    if (buttons == MsgButtons::RetryQuit) {
        box->button(QMessageBox::Retry)->setText(QStringLiteral("Try Again"));
        box->button(QMessageBox::Discard)->setText(QStringLiteral("Quit Without Saving"));
        box->setDefaultButton(QMessageBox::Retry);
        box->setEscapeButton(QMessageBox::Discard);
    }
    // Texts come from files, names and errors: shown as they are, never as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(fromWindows1252(text));
    // A short text makes a narrow box, whose title bar cuts the title
    // ("Po...ts"): the box is made at least as wide as its title needs.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(titleBarWidth(box->windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}

std::string inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) {
    if (leaving()) return {};
    return calls.input(ShownBox{true, prompt, title, MsgButtons::OkOnly}, defaultText);
}

} // namespace pomlets

#include "frontend/message_box.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

#include "platform/start_values.h"
#include "platform/windows1252.h"

namespace pomlets {

namespace {
std::function<MsgResult(const ShownBox&)> messageResponder;
std::function<std::string(const ShownBox&)> inputResponder;
std::vector<ShownBox> shown;
POMLETS_RESTORED(messageResponder, inputResponder, shown);

QString programName() { return QStringLiteral("Pomlets"); }
} // namespace

MsgResult msgBox(const std::string& text, MsgButtons buttons) {
    ShownBox box{false, text, "", buttons};
    shown.push_back(box);
    if (messageResponder) return messageResponder(box);
    const int answer = messageBoxFor(text, buttons)->exec();
    if (buttons == MsgButtons::YesNo) return answer == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
    return MsgResult::Ok;
}

std::unique_ptr<QMessageBox> messageBoxFor(const std::string& text, MsgButtons buttons) {
    // No icon, on the OK boxes and the Yes/No question alike.
    const auto choices = buttons == MsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, programName(), QString(), choices,
                                             QApplication::activeWindow());
    // Texts come from files, names and errors: shown as they are, never as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(fromWindows1252(text));
    return box;
}

std::string inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) {
    ShownBox box{true, prompt, title, MsgButtons::OkOnly};
    shown.push_back(box);
    if (inputResponder) return inputResponder(box);
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title.empty() ? programName() : fromWindows1252(title));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(fromWindows1252(prompt));
    dialog.setTextValue(fromWindows1252(defaultText));
    for (QLabel* label : dialog.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted) return {};
    return toWindows1252(dialog.textValue());
}

void setMessageBoxResponder(std::function<MsgResult(const ShownBox&)> responder) {
    messageResponder = std::move(responder);
}
void setInputBoxResponder(std::function<std::string(const ShownBox&)> responder) {
    inputResponder = std::move(responder);
}
const std::vector<ShownBox>& shownBoxes() { return shown; }
void clearShownBoxes() { shown.clear(); }

} // namespace pomlets

#include "frontend/message_box.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace pomlets {

namespace {
std::function<MsgResult(const ShownBox&)> messageResponder;
std::function<std::string(const ShownBox&)> inputResponder;
std::vector<ShownBox> shown;

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
    return std::make_unique<QMessageBox>(QMessageBox::NoIcon, programName(), QString::fromLatin1(text.c_str()),
                                         choices, QApplication::activeWindow());
}

std::string inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) {
    ShownBox box{true, prompt, title, MsgButtons::OkOnly};
    shown.push_back(box);
    if (inputResponder) return inputResponder(box);
    bool ok = false;
    QString caption = title.empty() ? programName() : QString::fromLatin1(title.c_str());
    QString typed = QInputDialog::getText(QApplication::activeWindow(), caption,
                                          QString::fromLatin1(prompt.c_str()), QLineEdit::Normal,
                                          QString::fromLatin1(defaultText.c_str()), &ok);
    if (!ok) return {};
    return typed.toLatin1().toStdString();
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

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
    if (buttons == MsgButtons::YesNo) {
        auto answer = QMessageBox::question(QApplication::activeWindow(), programName(),
                                            QString::fromLatin1(text.c_str()),
                                            QMessageBox::Yes | QMessageBox::No);
        return answer == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
    }
    QMessageBox::information(QApplication::activeWindow(), programName(),
                             QString::fromLatin1(text.c_str()));
    return MsgResult::Ok;
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

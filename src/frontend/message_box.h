// Message boxes and the input box, in one place so that tests can answer them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMessageBox;
class QString;

namespace pomlets {

// RetryQuit: "Try Again" (the default) and "Quit Without Saving" (Escape).
enum class MsgButtons { OkOnly, YesNo, RetryQuit };
enum class MsgResult { Ok, Yes, No, Retry, Quit };

// Shows a message box captioned with the program's name and waits for the
// answer. On the way out (leaving.h) no box is shown: OK, No to a question,
// Quit to a failed save.
MsgResult msgBox(const std::string& text, MsgButtons buttons = MsgButtons::OkOnly);
// The box that msgBox shows, not yet shown.
std::unique_ptr<QMessageBox> messageBoxFor(const std::string& text, MsgButtons buttons);
// The width a window needs for its title bar to show the title whole.
int titleBarWidth(const QString& title);
// Shows the input box; returns the typed text, or empty text on Cancel and
// on the way out, when no box is shown.
std::string inputBox(const std::string& prompt, const std::string& title = "",
                     const std::string& defaultText = "");

// Tests: answer boxes without showing them. Every box shown is recorded.
struct ShownBox {
    bool input = false;
    std::string text;   // the message or the prompt
    std::string title;  // the input box's title
    MsgButtons buttons = MsgButtons::OkOnly;
};
void setMessageBoxResponder(std::function<MsgResult(const ShownBox&)> responder);
void setInputBoxResponder(std::function<std::string(const ShownBox&)> responder);
const std::vector<ShownBox>& shownBoxes();
void clearShownBoxes();

} // namespace pomlets

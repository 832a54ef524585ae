// Message boxes and the input box, shown in one place through one table, so
// that what shows them can be put in the place of Qt's dialogs.
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

// A box to be shown.
struct ShownBox {
    bool input = false;
    std::string text;   // the message or the prompt
    std::string title;  // the input box's title
    MsgButtons buttons = MsgButtons::OkOnly;
};

// What shows a box and waits for the answer. The default entries show Qt's
// dialogs; msgBox and inputBox call through the table once the program is
// not on its way out.
struct BoxCalls {
    MsgResult (*message)(const ShownBox& box);
    // The typed text, or empty text on Cancel.
    std::string (*input)(const ShownBox& box, const std::string& defaultText);
};
BoxCalls& boxCalls();
// Qt's dialogs, as the table holds them at program start.
const BoxCalls& dialogBoxCalls();

} // namespace pomlets

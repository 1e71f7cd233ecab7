#pragma once
// The one way the core asks the user something or tells them of a fault. The window
// shows a message box, the batch tool prints and answers safely, tests script it.

#include <string>

namespace vantrel {

enum class PromptIcon { None, Information, Exclamation, Critical, Question };
enum class PromptButtons { Ok, OkCancel, RetryCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Retry, Yes, No };

class Prompter {
 public:
  virtual ~Prompter() = default;
  /// text separates its lines with carriage returns; title empty means the program's
  /// own title.
  virtual PromptAnswer Message(const std::string& text, const std::string& title, PromptIcon icon,
                               PromptButtons buttons) = 0;

  PromptAnswer Tell(const std::string& text, const std::string& title = {},
                    PromptIcon icon = PromptIcon::None) {
    return Message(text, title, icon, PromptButtons::Ok);
  }

  /// An input box with OK and Cancel: the text typed, "" when cancelled. Where nobody
  /// can type, nothing is typed.
  virtual std::string Input(const std::string& /*prompt*/, const std::string& /*title*/) {
    return {};
  }
};

/// The answer that never loses data and never loops: Cancel or No where offered.
PromptAnswer SafeAnswer(PromptButtons buttons);

}  // namespace vantrel

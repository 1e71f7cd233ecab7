#pragma once
// A Prompter for tests: records every message and answers from a script.

#include <deque>
#include <string>
#include <vector>

#include "support/prompter.h"

namespace vantrel::testing {

struct RecordedMessage {
  std::string Text;
  std::string Title;
  PromptIcon Icon;
  PromptButtons Buttons;
};

class RecordingPrompter : public Prompter {
 public:
  PromptAnswer Message(const std::string& text, const std::string& title, PromptIcon icon,
                       PromptButtons buttons) override;

  /// Input boxes: the prompt is recorded like a message (buttons OkCancel) and the
  /// typed texts are used in order; once they run out, Cancel ("").
  std::string Input(const std::string& prompt, const std::string& title) override;

  /// Answers used in order; once they run out, the safe answer is given.
  void Script(std::vector<PromptAnswer> answers);
  void ScriptInput(std::vector<std::string> typed);

  std::vector<RecordedMessage> Messages;

 private:
  std::deque<PromptAnswer> answers_;
  std::deque<std::string> typed_;
};

}  // namespace vantrel::testing

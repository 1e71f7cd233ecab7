#include "common/recording_prompter.h"

namespace vantrel::testing {

PromptAnswer RecordingPrompter::Message(const std::string& text, const std::string& title,
                                        PromptIcon icon, PromptButtons buttons) {
  Messages.push_back({text, title, icon, buttons});
  if (answers_.empty()) return SafeAnswer(buttons);
  const PromptAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::string RecordingPrompter::Input(const std::string& prompt, const std::string& title) {
  Messages.push_back({prompt, title, PromptIcon::None, PromptButtons::OkCancel});
  if (typed_.empty()) return {};
  std::string text = typed_.front();
  typed_.pop_front();
  return text;
}

void RecordingPrompter::ScriptInput(std::vector<std::string> typed) {
  typed_.assign(typed.begin(), typed.end());
}

void RecordingPrompter::Script(std::vector<PromptAnswer> answers) {
  answers_.assign(answers.begin(), answers.end());
}

}  // namespace vantrel::testing

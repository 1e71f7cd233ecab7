#include "common/recording_prompter.h"

namespace vantrel::testing {

PromptAnswer RecordingPrompter::Message(const std::string& text, const std::string& title,
                                        PromptIcon icon, PromptButtons buttons) {
  messages.push_back({text, title, icon, buttons});
  if (answers_.empty()) return SafeAnswer(buttons);
  const PromptAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void RecordingPrompter::Script(std::vector<PromptAnswer> answers) {
  answers_.assign(answers.begin(), answers.end());
}

}  // namespace vantrel::testing

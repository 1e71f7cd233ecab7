#include "platform/stderr_prompter.h"

#include "support/text.h"

namespace vantrel {

PromptAnswer StderrPrompter::Message(const std::string& text, const std::string& title, PromptIcon,
                                     PromptButtons buttons) {
  ++count_;
  const std::string shownTitle =
      !title.empty() ? title : (defaultTitle_ != nullptr ? *defaultTitle_ : std::string());
  std::fprintf(out_, "%s: %s\n", shownTitle.c_str(), CarriageReturnsToLineBreaks(text).c_str());
  std::fflush(out_);
  const PromptAnswer answer = SafeAnswer(buttons);
  if (answer == PromptAnswer::Cancel || answer == PromptAnswer::No) ++refusals_;
  return answer;
}

}  // namespace vantrel

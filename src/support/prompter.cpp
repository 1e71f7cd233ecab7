#include "support/prompter.h"

namespace vantrel {

PromptAnswer SafeAnswer(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::Ok:
      return PromptAnswer::Ok;
    case PromptButtons::OkCancel:
      return PromptAnswer::Cancel;
    case PromptButtons::RetryCancel:
      return PromptAnswer::Cancel;
    case PromptButtons::YesNo:
      return PromptAnswer::No;
    case PromptButtons::YesNoCancel:
      return PromptAnswer::Cancel;
  }
  return PromptAnswer::Cancel;
}

}  // namespace vantrel

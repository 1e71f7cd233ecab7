#pragma once
// The batch tool's Prompter: every message goes to stderr as "<title>: <text>" and
// every question gets the answer that neither loses data nor loops.

#include <cstdio>
#include <string>

#include "support/prompter.h"

namespace vantrel {

class StderrPrompter : public Prompter {
 public:
  explicit StderrPrompter(const std::string* defaultTitle, std::FILE* out = stderr)
      : defaultTitle_(defaultTitle), out_(out) {}

  PromptAnswer Message(const std::string& text, const std::string& title, PromptIcon icon,
                       PromptButtons buttons) override;

  int MessageCount() const { return count_; }
  /// Questions that were answered with No or Cancel.
  int Refusals() const { return refusals_; }

 private:
  const std::string* defaultTitle_;
  std::FILE* out_;
  int count_ = 0;
  int refusals_ = 0;
};

}  // namespace vantrel

#pragma once
// The window's Prompter: message boxes and input boxes as Qt dialogs.

#include <QPointer>
#include <QWidget>
#include <string>

#include "support/prompter.h"

namespace vantrel {

class QtPrompter : public Prompter {
 public:
  /// defaultTitle is read at every message: it changes with the definition file.
  explicit QtPrompter(const std::string* defaultTitle) : defaultTitle_(defaultTitle) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  PromptAnswer Message(const std::string& text, const std::string& title, PromptIcon icon,
                       PromptButtons buttons) override;
  std::string Input(const std::string& prompt, const std::string& title) override;

 private:
  QString TitleOf(const std::string& title) const;

  const std::string* defaultTitle_;
  QPointer<QWidget> parent_;
};

}  // namespace vantrel

#pragma once
// Inputs of the window tests: definition and result files, and a file dialog that
// answers from a script.

#include <deque>
#include <string>
#include <vector>

#include "definitions/file_dialog.h"

namespace vantrel::testing {

class ScriptedDialog : public FileDialog {
 public:
  std::string Show(const std::string& title, FileDialogMode mode, const std::string&,
                   const std::string& extension) override {
    Questions.push_back({title, mode, extension});
    if (Answers.empty()) return {};
    std::string answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  struct Asked {
    std::string Title;
    FileDialogMode Mode;
    std::string Extension;
  };
  std::deque<std::string> Answers;
  std::vector<Asked> Questions;
};

/// [GENERAL] lines, then count reports titled "Report n" (or as given).
std::string WindowIni(int count, const std::vector<std::string>& general = {},
                      const std::vector<std::string>& titles = {});

/// A small result file with one test named "Insertion Loss".
std::string ResultText();

}  // namespace vantrel::testing

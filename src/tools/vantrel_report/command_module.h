#pragma once
// The tool's commands live in a module of their own that links Qt, CUPS and qpdf: the
// launcher reads the input while the module loads on a second thread.

#include <string>
#include <thread>

#include "tools/vantrel_report/command_entry.h"

namespace vantrel::report_tool {

class CommandModule {
 public:
  CommandModule() = default;
  CommandModule(const CommandModule&) = delete;
  CommandModule& operator=(const CommandModule&) = delete;
  ~CommandModule();

  void StartLoading();
  /// The commands' entry once loaded, or nullptr after the reason was printed.
  CommandEntry Entry();

 private:
  void Load();

  std::thread loader_;
  bool started_ = false;
  CommandEntry entry_ = nullptr;
  std::string error_;
};

/// Where the module is looked for: beside the program (the build tree), then in the
/// program's library folder (the installed package).
std::string CommandModulePath();

}  // namespace vantrel::report_tool

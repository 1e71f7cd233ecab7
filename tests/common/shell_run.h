#pragma once
// Runs shell commands from tests: quoting, the exit status and what was printed.

#include <set>
#include <string>

namespace vantrel::testing {

/// arg in single quotes, safe for any text.
std::string ShellQuote(const std::string& arg);

struct ShellResult {
  int Status = -1;  // the exit status, -1 when the command did not exit normally
  std::string Out;
  std::string Err;
};

/// Runs command with sh; standard output and error are kept apart.
ShellResult RunShell(const std::string& command);

/// Group `group` of every match of pattern in text.
std::set<std::string> AllMatches(const std::string& text, const std::string& pattern, int group);

/// The options vantrel-report's parser compares its arguments with, read from its source
/// so that no test keeps a list of its own.
std::set<std::string> ReportToolOptions();

}  // namespace vantrel::testing

#include "common/shell_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <regex>

#include "common/temp_dir.h"

namespace vantrel::testing {

std::string ShellQuote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

ShellResult RunShell(const std::string& command) {
  TempDir dir;
  const auto out = dir.path() / "out";
  const auto err = dir.path() / "err";
  const std::string line =
      "{ " + command + "\n} >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string());
  const int raw = std::system(line.c_str());
  ShellResult result;
  result.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.Out = ReadFileBytes(out);
  result.Err = ReadFileBytes(err);
  return result;
}

std::set<std::string> AllMatches(const std::string& text, const std::string& pattern, int group) {
  const std::regex re(pattern);
  std::set<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
       ++it) {
    found.insert((*it)[group]);
  }
  return found;
}

std::set<std::string> ReportToolOptions() {
  return AllMatches(
      ReadFileBytes(std::string(VANTREL_SOURCE_DIR) + "/src/tools/vantrel_report/options.cpp"),
      "a == \"(-[-a-z0-9]+)\"", 1);
}

}  // namespace vantrel::testing

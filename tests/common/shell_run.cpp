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
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadFileBytes(out);
  result.err = ReadFileBytes(err);
  return result;
}

std::set<std::string> ReportToolOptions() {
  const std::string source =
      ReadFileBytes(std::string(VANTREL_SOURCE_DIR) + "/src/tools/vantrel_report/options.cpp");
  static const std::regex compared("a == \"(-[-a-z]+)\"");
  std::set<std::string> options;
  for (auto it = std::sregex_iterator(source.begin(), source.end(), compared);
       it != std::sregex_iterator(); ++it) {
    options.insert((*it)[1]);
  }
  return options;
}

}  // namespace vantrel::testing

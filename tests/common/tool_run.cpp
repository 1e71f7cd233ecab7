#include "common/tool_run.h"

#include <sys/wait.h>

#include <cstdlib>

#include "common/shell_run.h"
#include "common/temp_dir.h"

namespace vantrel::testing {

ToolRun RunReportTool(const std::filesystem::path& scratch, const std::vector<std::string>& args,
                      const std::vector<std::string>& env) {
  std::string command;
  for (const std::string& e : env) command += ShellQuote(e) + " ";
  command = (env.empty() ? "" : "env " + command) + ShellQuote(VANTREL_REPORT_EXE);
  for (const std::string& a : args) command += " " + ShellQuote(a);
  const auto out = scratch / "tool.stdout";
  const auto err = scratch / "tool.stderr";
  command += " >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string());
  ToolRun run;
  const int raw = std::system(command.c_str());
  run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.Out = ReadFileBytes(out);
  run.Err = ReadFileBytes(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

int Occurrences(const std::string& haystack, const std::string& text) {
  int n = 0;
  for (std::size_t at = haystack.find(text); at != std::string::npos;
       at = haystack.find(text, at + text.size())) {
    ++n;
  }
  return n;
}

}  // namespace vantrel::testing

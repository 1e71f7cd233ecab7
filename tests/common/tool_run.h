#pragma once
// Runs the real vantrel-report with arguments and an environment of its own.

#include <filesystem>
#include <string>
#include <vector>

#include "common/shell_run.h"

namespace vantrel::testing {

struct ToolRun {
  int Status = -1;  // exit status; 128 + n when signal n ended it
  std::string Out;
  std::string Err;
};

/// Runs vantrel-report in a shell; env is a list of NAME=value put before it. Output
/// goes through files in scratch.
ToolRun RunReportTool(const std::filesystem::path& scratch, const std::vector<std::string>& args,
                      const std::vector<std::string>& env = {});

/// Times text occurs in haystack.
int Occurrences(const std::string& haystack, const std::string& text);

}  // namespace vantrel::testing

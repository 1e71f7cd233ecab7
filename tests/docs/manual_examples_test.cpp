// Every example definition of the manual renders from the sample result file with no
// message, and passes the layout check when the tool has one.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "docs/manual_text.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::RunShell;
using testing::ShellQuote;
using testing::ShellResult;
using testing::TempDir;

const fs::path kSource = VANTREL_SOURCE_DIR;

std::string ToolCommand(const std::vector<std::string>& args) {
  std::string command = ShellQuote(VANTREL_REPORT_EXE);
  for (const std::string& a : args) command += " " + ShellQuote(a);
  return command;
}

// Qt's notes about the machine it runs on are not messages of the definition.
std::string WithoutPlatformNotes(const std::string& err) {
  std::string kept;
  std::size_t at = 0;
  while (at < err.size()) {
    std::size_t end = err.find('\n', at);
    end = end == std::string::npos ? err.size() : end + 1;
    const std::string line = err.substr(at, end - at);
    if (line.rfind("QStandardPaths:", 0) != 0) kept += line;
    at = end;
  }
  return kept;
}

bool ToolChecksLayout() {
  return RunShell(ToolCommand({"--help"})).Out.find("--check-layout") != std::string::npos;
}

TEST(ManualExamples, EveryExampleDefinitionRendersWithoutAMessage) {
  const bool checkLayout = ToolChecksLayout();
  int examples = 0;
  for (const char* name : {"definition-file.md", "result-file.md", "operator-guide.md"}) {
    const testing::ManualText manual = testing::ReadManual((kSource / "docs" / name).string());
    for (std::size_t i = 0; i < manual.IniExamples.size(); ++i) {
      SCOPED_TRACE(std::string(name) + " example " + std::to_string(i + 1));
      ++examples;
      TempDir dir;
      fs::copy_file(kSource / "samples" / "logo.png", dir.path() / "logo.png");
      const std::string ini = dir.Write("example.ini", manual.IniExamples[i]).string();
      const std::string pdf = (dir.path() / "example.pdf").string();
      std::vector<std::string> args = {
          "--definition", ini, "--data", (kSource / "samples" / "sample-results.txt").string(),
          "--pdf",        pdf, "--quiet"};
      if (checkLayout) args.push_back("--check-layout");
      const ShellResult run = RunShell(ToolCommand(args));
      EXPECT_EQ(run.Status, 0) << run.Err;
      EXPECT_EQ(WithoutPlatformNotes(run.Err), "");
      std::error_code ec;
      EXPECT_GT(fs::file_size(pdf, ec), 1000u) << manual.IniExamples[i];
    }
  }
  EXPECT_GE(examples, 5);
}

}  // namespace
}  // namespace vantrel

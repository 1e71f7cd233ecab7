// What the package installs: a staged install holds every file in its place, and the
// bash completion completes what the tool takes.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "common/shell_run.h"
#include "common/temp_dir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RunShell;
using testing::ShellQuote;
using testing::ShellResult;
using testing::TempDir;

const fs::path kSource = VANTREL_SOURCE_DIR;

// Installs the build under a fresh DESTDIR with the package's prefix.
fs::path StagedInstall(const TempDir& dir) {
  const fs::path stage = dir.path() / "stage";
  const ShellResult run =
      RunShell("DESTDIR=" + ShellQuote(stage.string()) + " " + ShellQuote(VANTREL_CMAKE) +
               " --install " + ShellQuote(VANTREL_BINARY_DIR) + " --prefix /usr");
  EXPECT_EQ(run.Status, 0) << run.Err;
  return stage;
}

TEST(StagedInstall, PutsEveryFileUnderDestdirAndNothingElsewhere) {
  TempDir dir;
  const fs::path stage = StagedInstall(dir);
  for (const char* file :
       {"usr/bin/vantrel-report", "usr/share/man/man1/vantrel-report.1.gz",
        "usr/share/man/man1/vantrel.1.gz", "usr/share/man/man5/vantrel-definition.5.gz",
        "usr/share/vantrel/samples/sample.ini", "usr/share/vantrel/samples/sample-results.txt",
        "usr/share/vantrel/samples/logo.png",
        "usr/share/bash-completion/completions/vantrel-report",
        "usr/share/doc/vantrel/definition-file.md", "usr/share/doc/vantrel/pictures/slot-grid.png",
        "usr/bin/vantrel", "usr/share/applications/vantrel.desktop",
        "usr/share/icons/hicolor/scalable/apps/vantrel.svg",
        "usr/share/icons/hicolor/256x256/apps/vantrel.png",
        "usr/share/doc/vantrel/pictures/main-window.png"}) {
    EXPECT_TRUE(fs::is_regular_file(stage / file)) << file;
  }
  // Nothing of the build's own: no libraries, headers, tests or benchmarks.
  for (const auto& entry : fs::recursive_directory_iterator(stage)) {
    const std::string name = entry.path().filename().string();
    EXPECT_FALSE(name.ends_with(".a") || name.ends_with(".h") || name.ends_with("_tests") ||
                 name.ends_with("_bench"))
        << entry.path();
  }
}

TEST(StagedInstall, InstalledToolMakesTheSamplePdfFromAnotherFolder) {
  TempDir dir;
  const fs::path stage = StagedInstall(dir);
  const fs::path samples = stage / "usr/share/vantrel/samples";
  const fs::path pdf = dir.path() / "x.pdf";
  const ShellResult run =
      RunShell("cd / && " + ShellQuote((stage / "usr/bin/vantrel-report").string()) +
               " --definition " + ShellQuote((samples / "sample.ini").string()) + " --data " +
               ShellQuote((samples / "sample-results.txt").string()) + " --pdf " +
               ShellQuote(pdf.string()) + " --quiet");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(ReadFileBytes(pdf).substr(0, 5), "%PDF-");
}

// COMPREPLY of the completion for the words of a command line; the last word is the
// one being completed.
std::set<std::string> Complete(const TempDir& dir, const std::string& words) {
  const std::string script =
      "PATH=" + ShellQuote(fs::path(VANTREL_REPORT_EXE).parent_path().string()) + ":$PATH; " +
      "source " + ShellQuote((kSource / "packaging/bash-completion/vantrel-report").string()) +
      "; cd " + ShellQuote(dir.path().string()) + "; COMP_WORDS=(" + words + "); " +
      "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _vantrel_report; " +
      "printf '%s\\n' \"${COMPREPLY[@]}\"";
  const ShellResult run = RunShell("bash -c " + ShellQuote(script));
  EXPECT_EQ(run.Status, 0) << run.Err;
  std::set<std::string> replies;
  std::istringstream lines(run.Out);
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) replies.insert(line);
  return replies;
}

TEST(BashCompletion, CompletesOptionsAndTheirFixedValues) {
  TempDir dir;
  EXPECT_EQ(Complete(dir, "vantrel-report --de"), std::set<std::string>{"--definition"});
  EXPECT_EQ(Complete(dir, "vantrel-report --p"),
            (std::set<std::string>{"--profile", "--pdf", "--pdfa", "--pdf-dir", "--png",
                                   "--page-size", "--print", "--printer"}));
  EXPECT_EQ(Complete(dir, "vantrel-report --page-size L"),
            (std::set<std::string>{"Letter", "Legal"}));
}

TEST(BashCompletion, CompletesFilesForFilesAndFoldersForFolders) {
  TempDir dir;
  dir.Write("run.pdf", "");
  dir.Write("run.txt", "");
  dir.Write("cable.ini", "");
  fs::create_directory(dir.path() / "out");
  EXPECT_EQ(Complete(dir, "vantrel-report --pdf ''"), (std::set<std::string>{"run.pdf", "out"}));
  EXPECT_EQ(Complete(dir, "vantrel-report --definition ''"),
            (std::set<std::string>{"cable.ini", "out"}));
  EXPECT_EQ(Complete(dir, "vantrel-report --png ''"), std::set<std::string>{"out"});
  EXPECT_EQ(Complete(dir, "vantrel-report --data run."),
            (std::set<std::string>{"run.pdf", "run.txt"}));
}

TEST(BashCompletion, CompletesReportsAndProfilesOfTheDefinitionGivenBefore) {
  TempDir dir;
  const std::string sample = ShellQuote((kSource / "samples/sample.ini").string());
  EXPECT_EQ(Complete(dir, "vantrel-report --definition " + sample + " --profile ''"),
            (std::set<std::string>{"Everything", "Transmission", "Summary\\ only"}));
  EXPECT_EQ(Complete(dir, "vantrel-report --definition " + sample + " --profile t"),
            std::set<std::string>{"Transmission"});
  EXPECT_EQ(Complete(dir, "vantrel-report --definition " + sample + " --reports 1,"),
            (std::set<std::string>{"1,1", "1,2", "1,3", "1,4", "1,5", "1,6", "1,7"}));
  // Without a definition file there is nothing to offer.
  EXPECT_TRUE(Complete(dir, "vantrel-report --profile ''").empty());
}

TEST(BashCompletion, OffersEveryLongOptionOfTheParser) {
  TempDir dir;
  std::set<std::string> options = testing::ReportToolOptions();
  options.erase("-h");
  EXPECT_EQ(Complete(dir, "vantrel-report -"), options);
}

}  // namespace
}  // namespace vantrel

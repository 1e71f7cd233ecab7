// What every file output of vantrel-report guarantees: a full disk fails the run with
// the system's reason and leaves no half file, new files follow the umask and replaced
// ones keep their mode, a killed run leaves the old file and its leftovers are removed
// by the next run, and the built-in printer replaces nothing it did not make.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "common/file_modes.h"
#include "common/small_disk.h"
#include "common/temp_dir.h"
#include "common/tool_run.h"
#include "sample_files.h"

extern char** environ;

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::FolderNames;
using testing::kNoServer;
using testing::kSampleData;
using testing::kSampleIni;
using testing::ModeOf;
using testing::ReadFileBytes;
using testing::RunReportTool;
using testing::SmallDisk;
using testing::TempDir;
using testing::ToolRun;
using testing::Umask;

ToolRun RunTool(const TempDir& scratch, std::vector<std::string> args,
                std::vector<std::string> env = {}) {
  std::vector<std::string> all{"--definition", kSampleIni, "--data", kSampleData};
  all.insert(all.end(), args.begin(), args.end());
  env.push_back("TMPDIR=" + scratch.path().string());
  env.push_back(kNoServer);
  return RunReportTool(scratch.path(), all, env);
}

TEST(FileOutputs, AFullDiskFailsEveryOutputWithTheReasonAndLeavesNoHalfFile) {
  TempDir dir;
  SmallDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
  fs::create_directory(disk.path() / "csv");
  disk.Fill();
  const std::string on = disk.path().string();
  const std::vector<std::vector<std::string>> outputs{{"--csv", on + "/csv"},
                                                      {"--summary", on + "/summary.csv"},
                                                      {"--summary-pdf", on + "/summary.pdf"}};
  for (const auto& output : outputs) {
    const ToolRun run = RunTool(dir, output);
    EXPECT_EQ(run.Status, 3) << output[0] << run.Err;
    EXPECT_NE(run.Err.find("No space left on device"), std::string::npos) << output[0] << run.Err;
  }
  EXPECT_EQ(FolderNames(disk.path()), (std::vector<std::string>{"csv", "filler"}));
  EXPECT_TRUE(FolderNames(disk.path() / "csv").empty());
}

TEST(FileOutputs, PrintingOntoAFullDiskFailsAndDeliversNothing) {
  TempDir dir;
  SmallDisk disk("256k");
  if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
  // The built-in printer writes beside the result file.
  const fs::path data = disk.path() / "cable.txt";
  fs::copy_file(kSampleData, data);
  disk.Fill();
  const ToolRun run =
      RunReportTool(dir.path(), {"--definition", kSampleIni, "--data", data.string(), "--print"},
                    {kNoServer, "TMPDIR=" + dir.path().string()});
  EXPECT_NE(run.Status, 0) << run.Err;
  EXPECT_NE(run.Err.find("No space left on device"), std::string::npos) << run.Err;
  EXPECT_EQ(FolderNames(disk.path()), (std::vector<std::string>{"cable.txt", "filler"}));
}

TEST(FileOutputs, APrintJobWithAFullTemporaryFolderIsNotSent) {
  const char* queue = std::getenv("VANTREL_TEST_QUEUE");
  const char* spool = std::getenv("VANTREL_TEST_QUEUE_PDF_DIR");
  if (queue == nullptr || spool == nullptr)
    GTEST_SKIP() << "no test print server: eval \"$(scripts/cups-test-server start DIR)\" first";
  TempDir dir;
  SmallDisk tmp("200k");
  if (!tmp.Mounted()) GTEST_SKIP() << tmp.Why();
  const auto count = [&] {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(spool)) ++n;
    return n;
  };
  const std::size_t before = count();
  // The result file's copy fits; the job's PDF does not.
  const ToolRun run = RunReportTool(
      dir.path(),
      {"--definition", kSampleIni, "--data", kSampleData, "--print", "--printer", queue},
      {"TMPDIR=" + tmp.path().string()});
  EXPECT_EQ(run.Status, 4) << run.Err;
  EXPECT_NE(run.Err.find(": No space left on device"), std::string::npos) << run.Err;
  EXPECT_EQ(run.Err.find("cannot be loaded"), std::string::npos) << run.Err;
  EXPECT_EQ(count(), before);
  EXPECT_TRUE(FolderNames(tmp.path()).empty());
}

TEST(FileOutputs, NewFilesFollowTheUmaskAndReplacedOnesKeepTheirMode) {
  TempDir dir;
  const fs::path pdf = dir.path() / "report.pdf";
  const fs::path csv = dir.path() / "summary.csv";
  const fs::path pages = dir.path() / "pages";
  for (const auto& [mask, mode] : {std::pair<mode_t, mode_t>{022, 0644}, {077, 0600}}) {
    Umask umask(mask);
    fs::remove_all(pages);
    fs::remove(pdf);
    fs::remove(csv);
    const ToolRun run =
        RunTool(dir, {"--pdf", pdf.string(), "--png", pages.string(), "--dpi", "20", "--quiet"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const ToolRun summary = RunTool(dir, {"--summary", csv.string(), "--quiet"});
    ASSERT_EQ(summary.Status, 0) << summary.Err;
    EXPECT_EQ(ModeOf(pdf), mode);
    EXPECT_EQ(ModeOf(pages / "page-001.png"), mode);
    EXPECT_EQ(ModeOf(csv), mode);
  }
  Umask umask(077);
  ASSERT_EQ(::chmod(pdf.c_str(), 0644), 0);
  const ToolRun again = RunTool(dir, {"--pdf", pdf.string(), "--quiet"});
  ASSERT_EQ(again.Status, 0) << again.Err;
  EXPECT_EQ(ModeOf(pdf), 0644);
}

// Starts the tool, waits for the part of its output to appear and kills it with -9.
// False when the run ended first.
bool KillInMidWrite(const TempDir& tmp, const fs::path& out, const std::string& pdf) {
  std::vector<std::string> args{VANTREL_REPORT_EXE, "--definition", kSampleIni, "--data",
                                kSampleData,        "--pdf",        pdf,        "--quiet"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env{"TMPDIR=" + tmp.path().string()};
  for (char** e = environ; *e != nullptr; ++e)
    if (std::string(*e).rfind("TMPDIR=", 0) != 0) env.emplace_back(*e);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) return false;
  posix_spawn_file_actions_destroy(&actions);
  bool started = false;
  for (int i = 0; i < 3000 && !started; ++i) {
    for (const std::string& name : FolderNames(out))
      started = started || name.starts_with(".vantrel-");
    if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return started && WIFSIGNALED(status);
}

TEST(FileOutputs, AKilledRunLeavesTheOldFileAndTheNextRunClearsWhatItLeft) {
  TempDir tmp, out, scratch;
  const fs::path pdf = out.path() / "report.pdf";
  const fs::path notes = out.Write("notes.part", "the user's own");
  const fs::path old = out.Write("report.pdf", "%PDF the old, good one %%EOF");
  if (!KillInMidWrite(tmp, out.path(), pdf.string()))
    GTEST_SKIP() << "the run ended before the kill came";
  EXPECT_EQ(ReadFileBytes(pdf), "%PDF the old, good one %%EOF");
  EXPECT_EQ(FolderNames(out.path()).size(), 3u);  // the dead run's part is there
  EXPECT_EQ(FolderNames(tmp.path()).size(), 1u);  // and so is its copy of the result file

  const ToolRun next = RunReportTool(
      scratch.path(), {"--definition", kSampleIni, "--data", kSampleData, "--pdf", pdf.string()},
      {"TMPDIR=" + tmp.path().string()});
  ASSERT_EQ(next.Status, 0) << next.Err;
  EXPECT_EQ(FolderNames(out.path()), (std::vector<std::string>{"notes.part", "report.pdf"}));
  EXPECT_EQ(ReadFileBytes(notes), "the user's own");
  EXPECT_TRUE(FolderNames(tmp.path()).empty());
}

TEST(FileOutputs, TheBuiltInPrinterReplacesOnlyWhatItMadeOrWhatItWasToldTo) {
  TempDir dir;
  const fs::path data = dir.path() / "cable.txt";
  fs::copy_file(kSampleData, data);
  const std::vector<std::string> print{"--definition", kSampleIni, "--data", data.string(),
                                       "--print"};
  const std::vector<std::string> env{kNoServer, "TMPDIR=" + dir.path().string()};
  const ToolRun first = RunReportTool(dir.path(), print, env);
  ASSERT_EQ(first.Status, 0) << first.Err;
  const std::string saved = "saved " + dir.path().string() + "/";
  const std::size_t at = first.Err.find(saved);
  ASSERT_NE(at, std::string::npos) << first.Err;
  const fs::path pdf = first.Err.substr(at + 6, first.Err.find('\n', at) - at - 6);
  EXPECT_EQ(pdf.extension(), ".pdf");

  fs::resize_file(pdf, 10);  // a file of the lab's, now
  const std::string theirs = ReadFileBytes(pdf);
  const ToolRun second = RunReportTool(dir.path(), print, env);
  EXPECT_NE(second.Status, 0);
  EXPECT_NE(second.Err.find("The following filename already exists:"), std::string::npos)
      << second.Err;
  EXPECT_EQ(ReadFileBytes(pdf), theirs);

  std::vector<std::string> overwrite = print;
  overwrite.push_back("--overwrite");
  const ToolRun third = RunReportTool(dir.path(), overwrite, env);
  EXPECT_EQ(third.Status, 0) << third.Err;
  EXPECT_GT(fs::file_size(pdf), 1000u);
}

}  // namespace
}  // namespace vantrel

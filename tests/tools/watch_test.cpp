// The real tool watching a real folder: files written slowly, a bad file, a ZIP made
// by zip, and the markers a crash leaves, each ending in done/ or failed/ once.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "common/tool_run.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RunShell;
using testing::ShellQuote;
using testing::TempDir;

const std::string kSamples = std::string(VANTREL_SOURCE_DIR) + "/samples";
const std::string kHostile = std::string(VANTREL_TEST_DATA_DIR) + "/hostile/";

// Polls until done() holds; a generous deadline, as the sanitizer build is slow.
bool WaitFor(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (std::chrono::steady_clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return done();
}

class WatchedFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(In());
    fs::copy_file(kSamples + "/sample.ini", Path("cable.ini"));
    fs::copy_file(kSamples + "/logo.png", Path("logo.png"));
  }
  void TearDown() override {
    if (!pid_.empty()) Stop();
  }
  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }
  fs::path In() const { return dir_.path() / "in"; }

  void Start(const std::string& output = "--pdf-dir out") {
    // No print server: printing goes to the built-in PDF printer.
    const std::string command =
        "cd " + ShellQuote(dir_.path().string()) + " && CUPS_SERVER=/nonexistent/cups.sock " +
        ShellQuote(VANTREL_REPORT_EXE) + " --watch in --definition cable.ini " + output +
        " >>log.txt 2>>err.txt & echo $!";
    pid_ = RunShell(command).out;
    ASSERT_FALSE(pid_.empty());
    ASSERT_TRUE(WaitFor([&] { return Log("err.txt").find("watching in") != std::string::npos; }));
  }
  // SIGTERM ends the watch after the file in hand.
  void Stop() {
    RunShell("kill -TERM " + pid_);
    // Gone, or a zombie that nobody here reaps.
    EXPECT_TRUE(WaitFor([&] {
      const std::string state = RunShell("ps -o stat= -p " + pid_).out;
      return state.empty() || state[0] == 'Z';
    }));
    EXPECT_NE(Log("err.txt").find("stopped watching in"), std::string::npos);
    pid_.clear();
  }
  std::string Log(const std::string& name) const {
    return fs::exists(Path(name)) ? ReadFileBytes(Path(name)) : std::string();
  }
  bool Logged(const std::string& line) const {
    return Log("log.txt").find(line + "\n") != std::string::npos;
  }

  TempDir dir_;
  std::string pid_;
};

TEST_F(WatchedFolder, EachFileEndsInDoneOrFailedOnceWithItsOutputOrReason) {
  Start();
  // Written in two parts with a pause: taken only once it stopped growing.
  const std::string sample = ReadFileBytes(kSamples + "/sample-results.txt");
  {
    std::ofstream slow(In() / "slow.txt", std::ios::binary);
    slow << sample.substr(0, sample.size() / 2) << std::flush;
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    slow << sample.substr(sample.size() / 2);
  }
  fs::copy_file(kHostile + "no-header.txt", In() / "bad.txt");
  fs::copy_file(kSamples + "/sample-results.txt", Path("zipped.txt"));
  ASSERT_EQ(RunShell("cd " + ShellQuote(dir_.path().string()) + " && zip -q in/run.zip zipped.txt")
                .status,
            0);

  ASSERT_TRUE(WaitFor([&] {
    return Logged("done slow.txt -> out/slow.pdf") && Logged("done run.zip -> out/run.pdf") &&
           Log("log.txt").find("failed bad.txt: ") != std::string::npos;
  })) << Log("log.txt")
      << Log("err.txt");
  Stop();

  EXPECT_TRUE(fs::exists(In() / "done" / "slow.txt"));
  EXPECT_EQ(ReadFileBytes((In() / "done" / "slow.txt").string()), sample);
  EXPECT_TRUE(fs::exists(In() / "done" / "run.zip"));
  EXPECT_TRUE(fs::exists(In() / "failed" / "bad.txt"));
  EXPECT_NE(Log("in/failed/bad.txt.txt").find("it is not a result file"), std::string::npos);
  EXPECT_EQ(Log("in/failed/bad.txt.txt").find("QStandardPaths"), std::string::npos);
  // The whole sample made it into the PDF: its last report's title is on a page.
  const std::string text = RunShell("pdftotext " + ShellQuote(Path("out/slow.pdf")) + " -").out;
  EXPECT_NE(text.find("Return Loss"), std::string::npos);
  // Nothing was produced twice, nothing is left in the folder.
  EXPECT_EQ(testing::Occurrences(Log("log.txt"), "slow.txt"), 1);
  int left = 0;
  for (const auto& e : fs::directory_iterator(In())) left += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(left, 0);
}

TEST_F(WatchedFolder, PrintsEachFileAndLeavesThePrintersPdfsAlone) {
  Start("--print");
  fs::copy_file(kSamples + "/sample-results.txt", In() / "run.txt");
  ASSERT_TRUE(WaitFor([&] { return Logged("done run.txt -> the default printer"); }))
      << Log("log.txt") << Log("err.txt");
  // The built-in printer's PDF lands beside the result file and is not taken as one.
  ASSERT_TRUE(WaitFor([&] { return fs::exists(In() / "Vantrel sample certificate.pdf"); }));
  std::this_thread::sleep_for(std::chrono::seconds(3));
  Stop();
  EXPECT_EQ(Log("log.txt").find("failed"), std::string::npos) << Log("log.txt");
  EXPECT_TRUE(fs::exists(In() / "done" / "run.txt"));
}

TEST_F(WatchedFolder, ARestartFinishesWhatACrashLeftWithoutProducingItTwice) {
  // Produced before the crash but not moved: moved now, no second PDF.
  fs::copy_file(kSamples + "/sample-results.txt", In() / "produced.txt");
  std::ofstream(In() / ".produced.txt.produced").flush();
  // Crashed while its PDF was being written: that PDF never got its name, so again.
  fs::copy_file(kSamples + "/sample-results.txt", In() / "cut.txt");
  std::ofstream(In() / ".cut.txt.in-hand").flush();
  Start();
  ASSERT_TRUE(WaitFor([&] { return Logged("done cut.txt -> out/cut.pdf"); }))
      << Log("log.txt") << Log("err.txt");
  Stop();
  EXPECT_TRUE(Logged("done produced.txt"));
  EXPECT_FALSE(fs::exists(Path("out/produced.pdf")));
  EXPECT_TRUE(fs::exists(In() / "done" / "produced.txt"));
  EXPECT_TRUE(fs::exists(In() / "done" / "cut.txt"));
  EXPECT_FALSE(fs::exists(In() / ".cut.txt.in-hand"));
  EXPECT_FALSE(fs::exists(In() / ".produced.txt.produced"));
}

}  // namespace
}  // namespace vantrel

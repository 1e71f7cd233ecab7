#pragma once
// A real folder watched by the real tool, for the watch's tests.

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

namespace vantrel::testing {

namespace fs = std::filesystem;

inline const std::string kSamples = std::string(VANTREL_SOURCE_DIR) + "/samples";
inline const std::string kHostile = std::string(VANTREL_TEST_DATA_DIR) + "/hostile/";

// One report with one graph: quick to produce, so that many files can be watched.
inline const std::string kTinyIni =
    "[GENERAL]\r\nAPPNAME=Vantrel\r\n[HEADER]\r\nHEADER_1=Cable ID\r\n"
    "[REPORT_1]\r\nTITLE=Loss\r\n[GRAPH_1_1]\r\nDATA_1=Insertion Loss\r\nCOLS_1=2,3,limits\r\n";

/// A result file of one sweep declaring points rows, of which rows are written.
inline std::string TinyResult(const std::string& cable, int points = 5, int rows = 5) {
  std::string text = "Results\t" + cable + ".txt\nCable ID\t" + cable +
                     "\nPairs\t2\nPass/Fail Status\tPASSED\n\nTEST:\tInsertion Loss\n"
                     "Sweep\tLOG\tPoints\t" +
                     std::to_string(points) +
                     "\tStart (MHz)\t1\tStop (MHz)\t100\n"
                     "No\tFreq (MHz)\tPair 1\tPair 2\tLower Limit\tUpper Limit\tStatus\n"
                     "Test Time\t10:00:00\nUnits\tMHz\tdB\tdB\tdB\tdB\n";
  for (int r = 1; r <= rows; ++r)
    text += std::to_string(r) + "\t" + std::to_string(r) + ".0\t-1.5\t-1.6\t-3\tx\tPP\n";
  return text;
}

/// Polls until done() holds; a generous deadline, as the sanitizer build is slow.
inline bool WaitFor(const std::function<bool()>& done, int seconds = 120) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
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
    dir_.Write("tiny.ini", kTinyIni);
  }
  void TearDown() override {
    if (!pid_.empty()) Stop();
  }
  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }
  fs::path In() const { return dir_.path() / "in"; }

  /// Starts a watcher in the background; its pid.
  std::string Launch(const std::string& arguments, const std::string& log, const std::string& err) {
    // No print server: printing goes to the built-in PDF printer.
    const std::string command = "cd " + ShellQuote(dir_.path().string()) +
                                " && CUPS_SERVER=/nonexistent/cups.sock " +
                                ShellQuote(VANTREL_REPORT_EXE) + " " + arguments + " >>" + log +
                                " 2>>" + err + " & echo $!";
    return RunShell(command).Out;
  }
  void Start(const std::string& output = "--pdf-dir out",
             const std::string& definition = "cable.ini") {
    pid_ = Launch("--watch in --definition " + definition + " " + output, "log.txt", "err.txt");
    ASSERT_FALSE(pid_.empty());
    ASSERT_TRUE(WaitFor([&] { return Log("err.txt").find("watching in") != std::string::npos; }));
  }
  static bool Gone(const std::string& pid) {
    // Gone, or a zombie that nobody here reaps.
    const std::string state = RunShell("ps -o stat= -p " + pid).Out;
    return state.empty() || state[0] == 'Z';
  }
  // SIGTERM ends the watch after the file in hand.
  void Stop() {
    RunShell("kill -TERM " + pid_);
    EXPECT_TRUE(WaitFor([&] { return Gone(pid_); }));
    EXPECT_NE(Log("err.txt").find("stopped watching in"), std::string::npos);
    pid_.clear();
  }
  std::string Log(const std::string& name) const {
    return fs::exists(Path(name)) ? ReadFileBytes(Path(name)) : std::string();
  }
  bool Logged(const std::string& line) const {
    return Log("log.txt").find(line + "\n") != std::string::npos;
  }
  /// Written whole under a name the watch skips, then renamed, as a careful writer does.
  void Drop(const std::string& name, const std::string& bytes) const {
    dir_.Write("in/" + name + ".part", bytes);
    fs::rename(In() / (name + ".part"), In() / name);
  }
  int FilesIn(const fs::path& folder) const {
    int n = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) n += e.is_regular_file() ? 1 : 0;
    return n;
  }

  TempDir dir_;
  std::string pid_;
};

}  // namespace vantrel::testing

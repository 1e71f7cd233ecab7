// The real tool watching a real folder: files written slowly, bad files, names that
// collide, a folder it cannot move into, and the claims a dead watcher leaves.

#include <gtest/gtest.h>

#include <sstream>

#include "tools/watch_fixture.h"

namespace vantrel {
namespace {

using namespace testing;

TEST_F(WatchedFolder, TakesAFileOnlyWhenItsLastTestIsWholeAndSkipsWorkInProgress) {
  Start();
  // Paused mid-test for longer than the settle time: taken only once it is whole.
  const std::string sample = ReadFileBytes(kSamples + "/sample-results.txt");
  {
    std::ofstream slow(In() / "slow.txt", std::ios::binary);
    slow << sample.substr(0, sample.size() / 2) << std::flush;
    ASSERT_TRUE(WaitFor([&] {
      return Log("log.txt").find("waiting slow.txt: its last test") != std::string::npos;
    })) << Log("log.txt");
    slow << sample.substr(sample.size() / 2);
  }
  for (const char* name : {"x.part", ".x", "~x", "x~", "x.tmp"}) Drop(name, TinyResult("t"));
  fs::copy_file(kHostile + "no-header.txt", In() / "bad.txt");
  fs::copy_file(kSamples + "/sample-results.txt", Path("zipped.txt"));
  ASSERT_EQ(RunShell("cd " + ShellQuote(dir_.path().string()) + " && zip -q in/run.zip zipped.txt")
                .Status,
            0);

  ASSERT_TRUE(WaitFor([&] {
    return Logged("done slow.txt -> out/slow.pdf") && Logged("done run.zip -> out/run.pdf") &&
           Log("log.txt").find("failed bad.txt: ") != std::string::npos;
  })) << Log("log.txt")
      << Log("err.txt");
  Stop();

  EXPECT_EQ(ReadFileBytes((In() / "done" / "slow.txt").string()), sample);
  EXPECT_TRUE(fs::exists(In() / "done" / "run.zip"));
  EXPECT_TRUE(fs::exists(In() / "failed" / "bad.txt"));
  EXPECT_NE(Log("in/failed/bad.txt.txt").find("it is not a result file"), std::string::npos);
  EXPECT_EQ(Log("in/failed/bad.txt.txt").find("QStandardPaths"), std::string::npos);
  // The whole sample made it into the PDF: its last report's title is on a page.
  const std::string text = RunShell("pdftotext " + ShellQuote(Path("out/slow.pdf")) + " -").Out;
  EXPECT_NE(text.find("Return Loss"), std::string::npos);
  EXPECT_EQ(Occurrences(Log("log.txt"), "done slow.txt"), 1);
  // Work in progress is nobody's input.
  for (const char* name : {"x.part", ".x", "~x", "x~", "x.tmp"})
    EXPECT_TRUE(fs::exists(In() / name)) << name;
  EXPECT_EQ(FilesIn(In()), 5);
  EXPECT_EQ(FilesIn(Path("out")), 2);
}

TEST_F(WatchedFolder, NeverReplacesAnEarlierFileOrReasonOfTheSameName) {
  Start("--pdf-dir out", "tiny.ini");
  Drop("r.txt", "not a result file\n");
  ASSERT_TRUE(WaitFor([&] { return Log("log.txt").find("failed r.txt: ") != std::string::npos; }))
      << Log("log.txt");
  // Its reason would land on failed/r.txt, the earlier file.
  Drop("r", "neither is this\n");
  Drop("a.txt", TinyResult("A1"));
  ASSERT_TRUE(WaitFor([&] {
    return Log("log.txt").find("failed r: ") != std::string::npos &&
           Logged("done a.txt -> out/a.pdf");
  })) << Log("log.txt");
  Drop("a.txt", TinyResult("A2"));
  ASSERT_TRUE(WaitFor([&] { return Logged("done a.txt -> out/a-1.pdf"); })) << Log("log.txt");
  Stop();

  EXPECT_EQ(ReadFileBytes(In() / "failed" / "r.txt"), "not a result file\n");
  EXPECT_EQ(ReadFileBytes(In() / "failed" / "r.1"), "neither is this\n");
  EXPECT_TRUE(fs::exists(In() / "failed" / "r.1.txt"));
  EXPECT_TRUE(fs::exists(In() / "failed" / "r.txt.txt"));
  EXPECT_EQ(FilesIn(In() / "failed"), 4);
  EXPECT_NE(ReadFileBytes(In() / "done" / "a.txt").find("A1"), std::string::npos);
  EXPECT_NE(ReadFileBytes(In() / "done" / "a.txt.1").find("A2"), std::string::npos);
}

TEST_F(WatchedFolder, AFileThatCannotBeMovedOnIsProducedOnceAndSaidOnce) {
  // done/ cannot be made: a file is in the way.
  dir_.Write("in/done", "");
  Start("--pdf-dir out", "tiny.ini");
  Drop("a.txt", TinyResult("A"));
  ASSERT_TRUE(WaitFor([&] {
    return Log("log.txt").find("done a.txt -> out/a.pdf; ") != std::string::npos;
  })) << Log("log.txt");
  // Long enough for several rounds of the watch.
  std::this_thread::sleep_for(std::chrono::seconds(3));
  EXPECT_EQ(FilesIn(Path("out")), 1);
  EXPECT_EQ(Occurrences(Log("log.txt"), "a.txt"), 1) << Log("log.txt");
  EXPECT_NE(Log("log.txt").find("cannot create the folder in/done"), std::string::npos);

  fs::remove(In() / "done");
  ASSERT_TRUE(WaitFor([&] { return fs::exists(In() / "done" / "a.txt"); })) << Log("log.txt");
  Stop();
  EXPECT_EQ(FilesIn(Path("out")), 1);
  EXPECT_TRUE(Logged("moved a.txt into in/done"));
}

TEST_F(WatchedFolder, WaitsWithoutItsDefinitionAndKeepsEachLogLineWhole) {
  Start("--pdf-dir out", "tiny.ini");
  fs::rename(Path("tiny.ini"), Path("away.ini"));
  Drop("a.txt", TinyResult("A"));
  Drop("new\nline.txt", "no result here\n");
  ASSERT_TRUE(WaitFor(
      [&] { return Log("log.txt").find("cannot read the definition file") != std::string::npos; }));
  std::this_thread::sleep_for(std::chrono::seconds(3));
  // Nothing swept into failed/ for want of a definition, and said once.
  EXPECT_TRUE(fs::exists(In() / "a.txt"));
  EXPECT_FALSE(fs::exists(In() / "failed"));
  EXPECT_EQ(Occurrences(Log("log.txt"), "definition"), 1) << Log("log.txt");

  fs::rename(Path("away.ini"), Path("tiny.ini"));
  ASSERT_TRUE(WaitFor([&] {
    return Logged("done a.txt -> out/a.pdf") &&
           Log("log.txt").find("failed new\\nline.txt: ") != std::string::npos;
  })) << Log("log.txt");
  Stop();
  std::istringstream lines(Log("log.txt"));
  for (std::string line; std::getline(lines, line);)
    EXPECT_TRUE(line.starts_with("waiting") || line.starts_with("done") ||
                line.starts_with("failed"))
        << line;
}

// A watch that wrongly starts would run on: the timeout ends it as a failure.
ShellResult RunBounded(const fs::path& dir, const std::vector<std::string>& args) {
  std::string command =
      "cd " + ShellQuote(dir.string()) + " && timeout 60 " + ShellQuote(VANTREL_REPORT_EXE);
  for (const std::string& a : args) command += " " + ShellQuote(a);
  return RunShell(command);
}

TEST_F(WatchedFolder, RefusesToStartWithoutADefinitionItCanUse) {
  Drop("a.txt", TinyResult("A"));
  dir_.Write("empty.ini", "[GENERAL]\r\nAPPNAME=X\r\n");
  for (const std::string& definition : {std::string("missing.ini"), std::string("empty.ini")}) {
    const ShellResult run =
        RunBounded(dir_.path(), {"--watch", "in", "--definition", definition, "--pdf-dir", "out"});
    EXPECT_EQ(run.Status, 2) << definition << run.Err;
    EXPECT_EQ(run.Err.find("watching"), std::string::npos) << run.Err;
  }
  EXPECT_TRUE(fs::exists(In() / "a.txt"));
  EXPECT_FALSE(fs::exists(In() / "failed"));
}

TEST(WatchOptions, ContradictionsAreUsageErrors) {
  TempDir dir;
  dir.Write("d.ini", kTinyIni);
  fs::create_directories(dir.path() / "in");
  const std::vector<std::vector<std::string>> cases = {
      {"--watch", "in", "--definition", "d.ini", "--print", "--pdf-dir", "out"},
      {"--watch", "in", "--definition", "d.ini", "--printer", "p", "--pdf-dir", "out"},
      {"--watch", "in", "--definition", "d.ini"},
      {"--watch", "in", "--pdf-dir", "out"},
      {"--watch", "in", "--definition", "d.ini", "--pdf-dir", "out", "--data", "d.ini"},
      {"--watch", "in", "--definition", "d.ini", "--pdf-dir", "out", "--pdf", "x.pdf"},
      {"--watch", "in", "--definition", "d.ini", "--print", "--separate"},
      {"--definition", "d.ini", "--data", "d.ini", "--pdf-dir", "out"},
  };
  for (const auto& args : cases) {
    const ShellResult run = RunBounded(dir.path(), args);
    EXPECT_EQ(run.Status, 2) << args.back() << run.Err;
    EXPECT_EQ(run.Err.find("watching"), std::string::npos) << run.Err;
  }
  EXPECT_FALSE(fs::exists(dir.path() / "out"));
  EXPECT_FALSE(fs::exists(dir.path() / "in" / ".claims"));
}

TEST_F(WatchedFolder, FinishesWhatADeadWatcherClaimedAndLeavesALiveOnesAlone) {
  const fs::path dead = In() / ".claims" / "host-1-dead";
  const fs::path live = In() / ".claims" / "host-2-live";
  fs::create_directories(dead);
  fs::create_directories(live);
  dir_.Write("in/.claims/host-1-dead/.lock", "");
  // Produced before the crash but not moved: moved now, no second PDF.
  dir_.Write("in/.claims/host-1-dead/produced.txt", TinyResult("P"));
  dir_.Write("in/.claims/host-1-dead/.produced.txt.produced", "out/produced.pdf");
  // Killed while its PDF was being written: that PDF never got its name, so again.
  dir_.Write("in/.claims/host-1-dead/cut.txt", TinyResult("C"));
  dir_.Write("in/.claims/host-1-dead/.cut.txt.in-hand", "out/cut.pdf");
  // Killed after its PDF got its name, before the marker said so.
  dir_.Write("in/.claims/host-1-dead/made.txt", TinyResult("M"));
  dir_.Write("in/.claims/host-1-dead/.made.txt.in-hand", "out/made.pdf");
  dir_.Write("out/made.pdf", "%PDF-1.4 made before\n%%EOF\n");
  dir_.Write("out/.made.pdf.taken", "host-1-dead/made.txt");
  // Killed between reserving its PDF's name and saying so: the name is still its own.
  dir_.Write("in/.claims/host-1-dead/named.txt", TinyResult("R"));
  dir_.Write("out/.named.pdf.taken", "host-1-dead/named.txt");
  // Just claimed.
  dir_.Write("in/.claims/host-1-dead/new.txt", TinyResult("N"));
  // Killed while writing a marker, its pid still seen (a zombie, or on another host).
  dir_.Write("in/.claims/host-1-dead/.vantrel-1-AbC123.part", "out/ne");
  dir_.Write("in/.claims/host-2-live/.lock", "");
  dir_.Write("in/.claims/host-2-live/busy.txt", TinyResult("B"));
  const std::string holder = RunShell("flock " + ShellQuote((live / ".lock").string()) +
                                      " sleep 300 >/dev/null 2>&1 & echo $!")
                                 .Out;
  ASSERT_TRUE(WaitFor([&] {
    return RunShell("flock -n " + ShellQuote((live / ".lock").string()) + " true").Status != 0;
  }));

  Start("--pdf-dir out", "tiny.ini");
  ASSERT_TRUE(WaitFor([&] {
    return Logged("done cut.txt -> out/cut.pdf") && Logged("done new.txt -> out/new.pdf") &&
           Logged("done produced.txt -> out/produced.pdf") &&
           Logged("done made.txt -> out/made.pdf") && Logged("done named.txt -> out/named.pdf");
  })) << Log("log.txt")
      << Log("err.txt");
  ASSERT_TRUE(WaitFor([&] { return !fs::exists(dead); }));
  Stop();
  RunShell("kill " + holder);
  EXPECT_FALSE(fs::exists(Path("out/produced.pdf")));
  EXPECT_EQ(ReadFileBytes(Path("out/made.pdf")), "%PDF-1.4 made before\n%%EOF\n");
  EXPECT_EQ(FilesIn(Path("out")), 4);
  EXPECT_FALSE(fs::exists(Path("out/.made.pdf.taken")));
  EXPECT_FALSE(fs::exists(Path("out/.named.pdf.taken")));
  EXPECT_EQ(FilesIn(In() / "done"), 5);
  EXPECT_TRUE(fs::exists(live / "busy.txt"));
  EXPECT_FALSE(fs::exists(In() / "done" / "busy.txt"));
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

}  // namespace
}  // namespace vantrel

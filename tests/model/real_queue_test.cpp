// Print runs through a real CUPS server and its cups-pdf queue, started here with
// scripts/cups-test-server when the test may (root, cups installed); skipped, saying
// why, when it may not. A server of its own: the queue CI starts is the batch tool
// tests', and two runs in one spool folder would take the same temporary name.

#include <cups/cups.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "common/recording_prompter.h"
#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "model/print_run.h"
#include "model/run_fixture.h"
#include "platform/cups_printers.h"
#include "render/fake_data_source.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

class RealQueue : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::string queue, pdfDir, ownServer, skip, savedServer;
  bool hadServer = false;

  void SetUp() override {
    StartOwnServer();
    if (!skip.empty()) GTEST_SKIP() << skip;
    cupsSetServer(nullptr);  // libcups reads CUPS_SERVER afresh
    ASSERT_TRUE(CupsHasPrinter(queue)) << "the test server has no queue " << queue;
  }

  void TearDown() override {
    if (ownServer.empty()) return;
    if (hadServer)
      setenv("CUPS_SERVER", savedServer.c_str(), 1);
    else
      unsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
    testing::RunShell(
        testing::ShellQuote(std::string(VANTREL_SOURCE_DIR) + "/scripts/cups-test-server") +
        " stop " + testing::ShellQuote(ownServer));
  }

  void StartOwnServer() {
    if (::geteuid() != 0 || testing::RunShell("command -v cupsd").Status != 0 ||
        !fs::exists("/usr/lib/cups/backend/cups-pdf")) {
      skip =
          "no print server: run as root with cups and printer-driver-cups-pdf installed, or "
          "eval \"$(scripts/cups-test-server start DIR)\" first";
      return;
    }
    // The server's filters run as lp: they must reach its spool below our folder.
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    ownServer = (dir.path() / "cups").string();
    const testing::ShellResult started = testing::RunShell(
        testing::ShellQuote(std::string(VANTREL_SOURCE_DIR) + "/scripts/cups-test-server") +
        " start " + testing::ShellQuote(ownServer));
    if (started.Status != 0) {
      ownServer.clear();
      skip = "the test print server did not start: " + started.Err;
      return;
    }
    const auto value = [&](const std::string& name) {
      const std::string key = name + "=";
      const std::size_t at = started.Out.find(key);
      return started.Out.substr(at + key.size(), started.Out.find(';', at) - at - key.size());
    };
    hadServer = !Env("CUPS_SERVER").empty();
    savedServer = Env("CUPS_SERVER");
    setenv("CUPS_SERVER", value("CUPS_SERVER").c_str(), 1);
    queue = value("VANTREL_TEST_QUEUE");
    pdfDir = value("VANTREL_TEST_QUEUE_PDF_DIR");
  }
};

TEST_F(RealQueue, ThePrintServerListsAndCountsTheQueue) {
  bool listed = false;
  for (const PrinterEntry& p : CupsPrinters()) listed = listed || p.Name == queue;
  EXPECT_TRUE(listed);
  EXPECT_EQ(CupsActiveJobs(queue), 0);
  EXPECT_EQ(CupsActiveJobs(queue + "-missing"), -1);
  const PrinterChoice missing = OpenPrinter(queue + "-missing", dir.path().string());
  EXPECT_EQ(missing.Printer, nullptr);
  EXPECT_NE(missing.Error.find(queue + "-missing"), std::string::npos);
}

TEST_F(RealQueue, APdfRunEndsWithThePdfUnderItsNameAndTheTemporaryFileGone) {
  auto state = std::make_unique<ProgramState>();
  testing::FakeDataSource data;
  data.Results["Attenuation Near"] = testing::GraphResult(
      {"1", "2", "4"}, {{"-1", "-2", "-3"}, {"-1", "-2", "-3"}}, {"Freq", "Pair 1", "Pair 2"});
  ReportDefinition& report = state->Reports[0];
  report.Title = "Insertion loss TEST_DESCRIPTION";
  report.SlotsX = report.SlotsY = 1;
  report.GraphCount = 1;
  report.MultiPage = false;
  report.Graphs[0].Data[0] = "Attenuation Near";
  report.Graphs[0].Cols[0] = {1, 2, 3};
  report.Graphs[0].Slot = 1;
  state->Selection[0] = true;
  state->DataFilePath = (dir.path() / "cable.txt").string();
  state->Settings.AutoPdfTempDir = pdfDir;  // no final "/"
  state->Settings.AppName = (dir.path() / "out" / "cable 7.pdf").string();
  state->Settings.PdfWaitSeconds = 60;
  testing::RecordingPrompter ask;
  RenderContext context{.State = *state, .Data = data, .Ask = ask};
  WindowModel model(*state);
  PrintHost host;
  PrintRun run(model, context, host);
  run.SetPrinter(queue);

  const PrintRunResult r = run.PrintCommand(true);
  ASSERT_EQ(r.Pdf, PdfOutcome::Saved) << r.PdfError << r.PrinterError;
  EXPECT_TRUE(ask.Messages.empty());
  const testing::ShellResult text =
      testing::RunShell("pdftotext " + testing::ShellQuote(state->Settings.AppName) + " -");
  EXPECT_NE(text.Out.find("Insertion loss SEQ A"), std::string::npos) << text.Out;
  EXPECT_FALSE(fs::exists(fs::path(pdfDir) / (state->AppTitle + ".pdf")));
}

// The page is the paper the queue is set up with, read from the server: a paper too
// small for a report is said so, not replaced by A4.
TEST_F(RealQueue, ThePageIsTheQueuesPaperAndTooSmallAPaperIsSaid) {
  const auto useMedia = [&](const std::string& media) {
    return testing::RunShell("lpadmin -p " + queue + " -o media-default=" + media).Status;
  };
  ASSERT_EQ(useMedia("iso_a5_148x210mm"), 0);
  std::optional<PaperSize> media = CupsQueueMedia(queue);
  ASSERT_TRUE(media);
  EXPECT_NEAR(media->WidthMm, 148, 1);
  EXPECT_NEAR(media->HeightMm, 210, 1);
  EXPECT_FALSE(CupsQueueMedia(queue + "-missing"));

  ASSERT_EQ(useMedia("om_small_40x45mm"), 0);
  media = CupsQueueMedia(queue);
  ASSERT_TRUE(media);
  EXPECT_NEAR(media->WidthMm, 40, 0.01);
  auto state = std::make_unique<ProgramState>();
  testing::FakeDataSource data;
  data.Results["Attenuation Near"] =
      testing::GraphResult({"1", "2"}, {{"-1", "-2"}}, {"Freq", "Pair 1"});
  ReportDefinition& report = state->Reports[0];
  report.Title = "Loss";
  report.SlotsX = report.SlotsY = 1;
  report.GraphCount = 1;
  report.Graphs[0].Data[0] = "Attenuation Near";
  report.Graphs[0].Cols[0] = {1, 2};
  report.Graphs[0].Slot = 1;
  state->Selection[0] = true;
  state->DataFilePath = (dir.path() / "cable.txt").string();
  testing::RecordingPrompter ask;
  RenderContext context{.State = *state, .Data = data, .Ask = ask};
  WindowModel model(*state);
  PrintHost host;
  PrintRun run(model, context, host);
  run.SetPrinter(queue);
  run.PrintCommand(true);
  bool said = false;
  for (const auto& m : ask.Messages)
    said = said || m.Text == "The Paper size is too small.\rCheck the Printer Setup";
  EXPECT_TRUE(said);
}

// A disabled queue still takes jobs; without a word the certificate would never come.
TEST_F(RealQueue, AStoppedQueueThatTakesTheJobIsSaid) {
  const std::string q = testing::ShellQuote(queue);
  ASSERT_EQ(testing::RunShell("cupsdisable " + q).Status, 0);
  std::string error;
  const int id =
      CupsSubmitFile(queue, dir.Write("job.pdf", "%PDF-1.4\n%%EOF\n").string(), "t", error);
  testing::RunShell("cancel -a " + q + "; cupsenable " + q);
  EXPECT_GT(id, 0);
  EXPECT_NE(error.find("is stopped: it took the job, but prints nothing"), std::string::npos)
      << error;
}

// Every job the server has had for the queue, finished and cancelled ones too.
int AllJobs(const std::string& queue) {
  cups_job_t* jobs = nullptr;
  const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ALL);
  cupsFreeJobs(n > 0 ? n : 0, jobs);
  return n;
}

// The window's run on the test queue, its spool file in a temporary folder of its own.
struct QueueRun : testing::RunFixture {
  std::string SavedTmp;
  QueueRun(int reports, const std::string& queue, const std::string& pdfDir)
      : RunFixture(reports), SavedTmp(Env("TMPDIR")) {
    Model->SetPrinterName(queue);
    State->Settings.AutoPdfTempDir = pdfDir + "/";
    Host.Sleeps = true;
    setenv("TMPDIR", Temp.c_str(), 1);
  }
  ~QueueRun() {
    if (SavedTmp.empty())
      unsetenv("TMPDIR");
    else
      setenv("TMPDIR", SavedTmp.c_str(), 1);
  }
};

TEST_F(RealQueue, CloseWhileTheQueueIsHeldCancelsTheJobAtTheServer) {
  ASSERT_EQ(testing::RunShell("cupsdisable " + queue).Status, 0);
  int held = -1;
  {
    QueueRun f(2, queue, pdfDir);
    f.When(
        RunState::WaitingForQueue,
        [&] {
          held = CupsActiveJobs(queue);
          f.CloseAnsweredYes();
        },
        1);
    f.Model->PrintCommand(true);
    EXPECT_EQ(held, 1);
    EXPECT_TRUE(f.Model->LastPrint().Cancelled);
    EXPECT_EQ(CupsActiveJobs(queue), 0);
    EXPECT_EQ(testing::RunFixture::Files(pdfDir), std::vector<std::string>{});
    f.Model.reset();
    EXPECT_EQ(testing::RunFixture::Files(f.Temp), std::vector<std::string>{});
  }
  testing::RunShell("cupsenable " + queue);
}

TEST_F(RealQueue, CloseWhileProducingSendsNoJob) {
  QueueRun f(3, queue, pdfDir);
  f.When(RunState::Producing, [&] { f.CloseAnsweredYes(); });
  f.Model->PrintCommand(true);
  EXPECT_TRUE(f.Model->LastPrint().Cancelled);
  EXPECT_EQ(AllJobs(queue), 0);
  f.Model.reset();
  EXPECT_EQ(testing::RunFixture::Files(f.Temp), std::vector<std::string>{});
}

TEST_F(RealQueue, PrintAgainDuringTheQueueWaitMakesNoSecondJob) {
  ASSERT_EQ(testing::RunShell("cupsdisable " + queue).Status, 0);
  QueueRun f(1, queue, pdfDir);
  f.When(
      RunState::WaitingForQueue,
      [&] {
        f.Model->PrintCommand(true);
        testing::RunShell("cupsenable " + queue);
      },
      1);
  f.Model->PrintCommand(true);
  ASSERT_EQ(f.Model->LastPrint().Pdf, PdfOutcome::Saved) << f.Model->LastPrint().PdfError;
  EXPECT_EQ(AllJobs(queue), 1);
  EXPECT_TRUE(f.Prompter.Messages.empty());
  EXPECT_TRUE(fs::is_regular_file(f.Final()));
}

}  // namespace
}  // namespace vantrel

#include "model/print_run.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>

#include "common/recording_prompter.h"
#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "platform/print/builtin_pdf_printer.h"
#include "render/fake_data_source.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// Time passes only as the run lets events run, so waits of minutes take no time.
class ClockHost : public PrintHost {
 public:
  double Now = 1000;
  int Pumps = 0;
  bool CancelAfterPumps = false;
  std::vector<std::string> Opened, Tips, Background;
  int Closed = 0;
  std::function<void()> OnPump;  // what happens elsewhere while the run waits
  void ProcessEvents(int maxMs) override {
    ++Pumps;
    Now += std::max(maxMs, 1) / 1000.0;
    if (OnPump) OnPump();
  }
  double Seconds() override { return Now; }
  bool CancelRequested() override { return CancelAfterPumps && Pumps > 10; }
  void OpenFinishedPdf(const std::string& path) override { Opened.push_back(path); }
  void EnterBackground(const std::string& tip) override { Background.push_back(tip); }
  void SetTrayTip(const std::string& tip) override { Tips.push_back(tip); }
  void CloseProgram() override { ++Closed; }
};

// What the test's queues were asked; the run owns the queues themselves.
struct QueueLog {
  std::deque<int> Counts;    // answers of ActiveJobs, the last one repeated; none: 0
  std::string DriverFolder;  // "" : the driver never writes
  std::vector<std::string> Titles;
  std::vector<int> PagesSent;
  std::string Refuse;
  int Opened = 0;
  std::string DriverBytes = "%PDF-1.4 x\n%%EOF\n";  // what the driver has written at first
};

// A queue whose driver leaves "<title>.pdf" in a folder when the job is sent.
class FakeQueue : public Spooler {
 public:
  explicit FakeQueue(QueueLog& log) : log_(log) {}
  std::string Name = "office";

  class Job : public PrintJob {
   public:
    Job(QueueLog& log, std::string title) : log_(log), title_(std::move(title)) {}
    PageTarget& Target() override { return pages_; }
    std::string Finish() override {
      pages_.End();
      if (!log_.Refuse.empty()) return log_.Refuse;
      log_.PagesSent.push_back(pages_.PagesStarted());
      if (!log_.DriverFolder.empty())
        std::ofstream(log_.DriverFolder + "/" + title_ + ".pdf") << log_.DriverBytes;
      return "";
    }

   private:
    QueueLog& log_;
    std::string title_;
    PictureTarget pages_{{.WidthMm = 210, .HeightMm = 297}};
  };

  const std::string& PrinterName() const override { return Name; }
  std::unique_ptr<PrintJob> StartJob(const std::string& title, std::string&) override {
    log_.Titles.push_back(title);
    return std::make_unique<Job>(log_, title);
  }
  int ActiveJobs() override {
    if (log_.Counts.empty()) return 0;
    const int n = log_.Counts.front();
    if (log_.Counts.size() > 1) log_.Counts.pop_front();
    return n;
  }

 private:
  QueueLog& log_;
};

class PrintRunTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  testing::FakeDataSource data;
  testing::RecordingPrompter ask;
  RenderContext context{.State = *state, .Data = data, .Ask = ask};
  WindowModel model{*state};
  ClockHost host;
  PrintRun run{model, context, host};
  testing::TempDir dir;
  QueueLog log;
  std::vector<std::string> statuses;
  std::vector<int> progress;

  class Watch : public WindowModelObserver {
   public:
    explicit Watch(PrintRunTest& t) : t_(t) {}
    void ModelChanged(ModelChange what) override {
      if (what == ModelChange::Status && !t_.model.StatusText().empty())
        t_.statuses.push_back(t_.model.StatusText());
      if (what == ModelChange::Progress) t_.progress.push_back(t_.model.ProgressMax());
    }

   private:
    PrintRunTest& t_;
  } watch{*this};

  void SetUp() override {
    model.AddObserver(&watch);
    data.Results["Attenuation Near"] = testing::GraphResult(
        {"1", "2", "4"}, {{"-1", "-2", "-3"}, {"-1", "-2", "-3"}}, {"Freq", "Pair 1", "Pair 2"});
    for (int r = 0; r < 3; ++r) {
      ReportDefinition& report = state->Reports[static_cast<std::size_t>(r)];
      report.Title = "Report " + std::to_string(r + 1) + " TEST_DESCRIPTION";
      report.SlotsX = 1;
      report.SlotsY = 1;
      report.GraphCount = 1;
      report.MultiPage = false;
      report.Graphs[0].Data[0] = "Attenuation Near";
      report.Graphs[0].Cols[0] = {1, 2, 3};
      report.Graphs[0].Slot = 1;
    }
    state->DataFilePath = (dir.path() / "cable.txt").string();
    fs::create_directory(dir.path() / "spool");
    state->Settings.AutoPdfTempDir = (dir.path() / "spool").string() + "/";
    state->Settings.AppName = (dir.path() / "Out" / "Sub" / "cable 1.pdf").string();
    state->Settings.PdfWaitSeconds = 5;
    log.DriverFolder = (dir.path() / "spool").string();
    UseQueue();
  }
  void TearDown() override { model.RemoveObserver(&watch); }

  void UseQueue() {
    run.SetPrinterOpener([this](const std::string&) {
      ++log.Opened;
      return PrinterChoice{std::make_unique<FakeQueue>(log), ""};
    });
  }
  std::string Final() const { return state->Settings.AppName; }
  std::string Temp(const char* name = "tmpreport000.pdf") const {
    return (dir.path() / "spool" / name).string();
  }
};

TEST_F(PrintRunTest, ThreeReportsInOneJobThenThePdfUnderItsName) {
  state->Selection[0] = state->Selection[1] = state->Selection[2] = true;
  const PrintRunResult r = run.PrintCommand(true);
  EXPECT_TRUE(r.Ok()) << r.PdfError << r.PrinterError;
  EXPECT_EQ(statuses, (std::vector<std::string>{
                          "Printing Report 1 SEQ A  (1/3)", "Printing Report 2 SEQ A  (2/3)",
                          "Printing Report 3 SEQ A  (3/3)", "Sending the printout to office",
                          "Waiting for print queue to empty...",
                          "Waiting for file to appear in: " + state->Settings.AutoPdfTempDir,
                          "Copying pdf file...", "Saved as " + Final()}));
  EXPECT_NE(std::find(progress.begin(), progress.end(), 3), progress.end());
  EXPECT_EQ(log.Titles, std::vector<std::string>{"tmpreport000"});
  EXPECT_EQ(log.PagesSent, std::vector<int>{3});
  EXPECT_EQ(state->AppTitle, "tmpreport000");
  EXPECT_EQ(r.Pdf, PdfOutcome::Saved);
  EXPECT_TRUE(fs::is_regular_file(Final()));  // both folders made on the way
  EXPECT_FALSE(fs::exists(Temp()));
  EXPECT_EQ(host.Opened, std::vector<std::string>{Final()});
  EXPECT_EQ(host.Tips, (std::vector<std::string>{
                           "Waiting for print queue to empty...",
                           "Waiting for file to appear in: " + state->Settings.AutoPdfTempDir,
                           "Copying pdf file..."}));
  // The window is back as it was.
  EXPECT_FALSE(model.PrintingFlag());
  EXPECT_TRUE(model.FileCommandsEnabled());
  EXPECT_EQ(model.ProgressValue(), 0);
  EXPECT_EQ(model.PrintRunState(), RunState::Done);
  EXPECT_TRUE(ask.Messages.empty());
}

TEST_F(PrintRunTest, TheSavedPdfIsNamedByTheHeadersParameters) {
  state->Settings.AppName = (dir.path() / "certs" / "[param1].pdf").string();
  data.Parameters["[param1]"] = "C-7";
  state->Selection[0] = true;
  const PrintRunResult r = run.PrintCommand(true);
  EXPECT_EQ(r.Pdf, PdfOutcome::Saved) << r.PdfError;
  EXPECT_TRUE(fs::is_regular_file(dir.path() / "certs" / "C-7.pdf"));
  EXPECT_FALSE(fs::exists(dir.path() / "certs" / "[param1].pdf"));
}

// Half a sweep must never come out of the printer as a certificate.
TEST_F(PrintRunTest, DataThatMustNotBeCertifiedIsRefusedBeforeThePrinterIsOpened) {
  data.Fault = "a test is incomplete";
  state->Selection[0] = true;
  const PrintRunResult r = run.PrintCommand(true);
  EXPECT_FALSE(r.Ok());
  EXPECT_EQ(r.DataError, "a test is incomplete");
  EXPECT_FALSE(r.Printed);
  EXPECT_EQ(log.Opened, 0);
  ASSERT_EQ(ask.Messages.size(), 1u);
  EXPECT_EQ(ask.Messages[0].Text, "Nothing was printed: a test is incomplete.");
  EXPECT_FALSE(fs::exists(Final()));
  EXPECT_FALSE(model.PrintingFlag());
  EXPECT_TRUE(model.FileCommandsEnabled());
}

TEST_F(PrintRunTest, AnEarlierTemporaryFileMovesTheJobTitleOn) {
  dir.Write("spool/tmpreport000.pdf", "left over");
  state->Selection[0] = true;
  const PrintRunResult r = run.PrintCommand(true);
  EXPECT_EQ(log.Titles, std::vector<std::string>{"tmpreport001"});
  EXPECT_EQ(r.Pdf, PdfOutcome::Saved);
  EXPECT_FALSE(fs::exists(Temp("tmpreport001.pdf")));
  EXPECT_TRUE(fs::exists(Temp("tmpreport000.pdf")));
}

TEST_F(PrintRunTest, AJobLeftOpenIsContinuedAndItsPdfWaitsForItsEnd) {
  state->Selection[0] = true;
  const PrintRunResult first = run.PrintCommand(false);
  EXPECT_TRUE(run.JobOpen());
  EXPECT_EQ(first.Pdf, PdfOutcome::Deferred);
  EXPECT_FALSE(first.JobEnded);
  EXPECT_TRUE(host.Tips.empty());  // no wait on the open job
  const std::string firstName = Final();

  state->Settings.AppName = (dir.path() / "Out" / "cable 2.pdf").string();
  state->Selection[0] = false;
  state->Selection[1] = state->Selection[2] = true;
  const PrintRunResult second = run.PrintCommand(true);
  EXPECT_FALSE(run.JobOpen());
  EXPECT_TRUE(second.JobEnded);
  EXPECT_EQ(log.Titles.size(), 1u);  // one job, one title
  EXPECT_EQ(log.PagesSent, std::vector<int>{3});
  EXPECT_EQ(second.Pdf, PdfOutcome::Saved);
  EXPECT_EQ(second.PdfPath, firstName);  // named when the job began
  EXPECT_TRUE(fs::exists(firstName));
}

TEST_F(PrintRunTest, AJobEndsWithItsLastResultEvenWhenThatOneDrawsNothing) {
  state->Selection[0] = true;
  run.PrintCommand(false);
  state->Selection[0] = false;
  const PrintRunResult last = run.PrintCommand(true);
  EXPECT_FALSE(run.JobOpen());
  EXPECT_EQ(log.PagesSent, std::vector<int>{1});
  EXPECT_EQ(last.Pdf, PdfOutcome::Saved);
}

TEST_F(PrintRunTest, AQueueThatNeverEmptiesIsGivenUpAfterTheWaitLimit) {
  log.Counts = {1};
  state->Selection[0] = true;
  const PrintRunResult r = run.PrintCommand(true);
  EXPECT_EQ(r.Pdf, PdfOutcome::NotAppeared);
  EXPECT_FALSE(r.Ok());
  ASSERT_EQ(ask.Messages.size(), 1u);
  EXPECT_EQ(ask.Messages[0].Title, "Auto PDF Saving");
  EXPECT_NE(ask.Messages[0].Text.find("'office' still holds 1 job(s) after 5 seconds"),
            std::string::npos);
  EXPECT_LT(host.Now, 1000 + 5 + 2);
  EXPECT_FALSE(fs::exists(Final()));
}

TEST_F(PrintRunTest, AFileThatNeverAppearsIsNamedWithItsFolder) {
  log.DriverFolder.clear();
  state->Selection[0] = true;
  const PrintRunResult r = run.PrintCommand(true);
  EXPECT_EQ(r.Pdf, PdfOutcome::NotAppeared);
  ASSERT_EQ(ask.Messages.size(), 1u);
  EXPECT_EQ(ask.Messages[0].Text, "The PDF did not appear in " + state->Settings.AutoPdfTempDir +
                                      "\rtmpreport000.pdf was expected within 5 seconds.\r"
                                      "The report is not saved.");
  EXPECT_TRUE(host.Opened.empty());
}

TEST_F(PrintRunTest, AMissingQueueIsSaidAndNeverWaitedOn) {
  log.Counts = {-1};
  state->Selection[0] = true;
  const PrintRunResult r = run.PrintCommand(true);
  ASSERT_GE(ask.Messages.size(), 1u);
  EXPECT_NE(ask.Messages[0].Text.find("the queue or the print server is missing"),
            std::string::npos);
  EXPECT_EQ(r.Pdf, PdfOutcome::Saved);  // the file was there all the same
}

// A driver may still be writing the file when it appears: the copy waits until its size
// holds still, and so gets the whole certificate.
TEST_F(PrintRunTest, APdfTheDriverIsStillWritingIsCopiedOnlyWhenWhole) {
  log.DriverBytes = "%PDF-1.4 first part\n";
  bool appended = false;
  host.OnPump = [&] {
    if (appended || model.PrintRunState() != RunState::WaitingForFile) return;
    std::ofstream(Temp(), std::ios::app) << "second part\n%%EOF\n";
    appended = true;
  };
  state->Selection[0] = true;
  const PrintRunResult r = run.PrintCommand(true);
  ASSERT_EQ(r.Pdf, PdfOutcome::Saved) << r.PdfError;
  EXPECT_TRUE(appended);
  EXPECT_EQ(testing::ReadFileBytes(Final()), "%PDF-1.4 first part\nsecond part\n%%EOF\n");
}

TEST_F(PrintRunTest, AnExistingPdfIsReplacedOnlyWhenTheAnswerIsYes) {
  state->Selection[0] = true;
  fs::create_directories(dir.path() / "Out" / "Sub");
  dir.Write("Out/Sub/cable 1.pdf", "older report");
  ask.Script({PromptAnswer::No});
  const PrintRunResult no = run.PrintCommand(true);
  EXPECT_EQ(no.Pdf, PdfOutcome::NotReplaced);
  ASSERT_EQ(ask.Messages.size(), 1u);
  EXPECT_EQ(ask.Messages[0].Text, "The following filename already exists:\r" + Final() +
                                      "\r\rDo you want to overwrite this file?\rSelecting No "
                                      "will mean the report is not saved");
  EXPECT_EQ(ask.Messages[0].Buttons, PromptButtons::YesNo);
  EXPECT_EQ(testing::ReadFileBytes(Final()), "older report");
  EXPECT_TRUE(fs::exists(Temp()));  // the temporary file stays

  ask.Script({PromptAnswer::Yes});
  const PrintRunResult yes = run.PrintCommand(true);
  EXPECT_EQ(yes.Pdf, PdfOutcome::Saved);
  EXPECT_EQ(testing::ReadFileBytes(Final()), "%PDF-1.4 x\n%%EOF\n");
  EXPECT_FALSE(fs::exists(Temp("tmpreport001.pdf")));
}

TEST_F(PrintRunTest, AFailedCopyLeavesNothingUnderTheNameAndKeepsTheTemporaryFile) {
  state->Selection[0] = true;
  dir.Write("Out", "a file where the folder should be");
  const PrintRunResult r = run.PrintCommand(true);
  EXPECT_EQ(r.Pdf, PdfOutcome::CopyFailed);
  EXPECT_FALSE(fs::exists(Final()));
  EXPECT_TRUE(fs::exists(Temp()));
  ASSERT_EQ(ask.Messages.size(), 2u);
  EXPECT_EQ(ask.Messages[0].Title, "Directory Error");
  EXPECT_NE(ask.Messages[1].Text.find("It stays in " + Temp()), std::string::npos);
}

TEST_F(PrintRunTest, AMissingPrinterIsSaidBeforeAnyPageAndTheWindowComesBack) {
  run.SetPrinterOpener([](const std::string&) {
    return PrinterChoice{nullptr, "there is no printer named 'gone'"};
  });
  state->Selection[0] = true;
  const PrintRunResult r = run.PrintCommand(true);
  EXPECT_EQ(r.PrinterError, "there is no printer named 'gone'");
  EXPECT_FALSE(r.Printed);
  ASSERT_EQ(ask.Messages.size(), 1u);
  EXPECT_EQ(ask.Messages[0].Text,
            "Problem Printing to the Printer\rthere is no printer named 'gone'");
  EXPECT_FALSE(model.PrintingFlag());
  EXPECT_TRUE(model.FileCommandsEnabled());
}

TEST_F(PrintRunTest, NothingSelectedOpensNoPrinterAndHasNoPdfStep) {
  const PrintRunResult r = run.PrintCommand(true);
  EXPECT_EQ(log.Opened, 0);
  EXPECT_FALSE(r.Printed);
  EXPECT_EQ(r.Pdf, PdfOutcome::None);
  EXPECT_EQ(state->AppTitle, "Vantrel");
}

TEST_F(PrintRunTest, ABackgroundRunUsesTheTrayAndClosesTheProgram) {
  model.SetBackground(true);
  state->Selection[0] = true;
  run.PrintCommand(true);
  EXPECT_EQ(host.Background, std::vector<std::string>{"Vantrel - Printing..."});
  EXPECT_EQ(host.Closed, 1);
  EXPECT_TRUE(model.FileCommandsEnabled());  // never turned off in the background

  host.Closed = 0;
  run.PrintReports(true, true);
  EXPECT_EQ(host.Closed, 0);
}

TEST_F(PrintRunTest, TheBuiltInPrinterWritesTheJobTitleIntoTheSpoolFolder) {
  run.SetPrinterOpener([](const std::string& folder) {
    return PrinterChoice{std::make_unique<BuiltInPdfPrinter>(folder), ""};
  });
  state->Selection[0] = true;
  const PrintRunResult r = run.PrintCommand(true);
  ASSERT_EQ(r.Pdf, PdfOutcome::Saved) << r.PdfError;
  EXPECT_FALSE(fs::exists(Temp()));
  const testing::ShellResult text =
      testing::RunShell("pdftotext " + testing::ShellQuote(Final()) + " -");
  EXPECT_NE(text.Out.find("Report 1 SEQ A"), std::string::npos);
  // No part file is left in the spool folder.
  EXPECT_TRUE(fs::is_empty(dir.path() / "spool"));
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

TEST_F(PrintRunTest, TheTestListComesFirstAndTheReportsOnTheNextPage) {
  run.SetPrinterOpener([](const std::string& folder) {
    return PrinterChoice{std::make_unique<BuiltInPdfPrinter>(folder), ""};
  });
  dir.Write("cable.txt",
            "Results\tcable.txt\nEXIT STATUS:\nSequence COMPLETED and PASSED\nTEST SUMMARY :\n"
            "Attenuation Near Test\tPASS\tClass EA\n");
  model.SetTestListFlag(true);
  state->Selection[0] = true;
  const PrintRunResult r = run.PrintCommand(true);
  ASSERT_EQ(r.Pdf, PdfOutcome::Saved) << r.PdfError;
  const auto page = [&](int n) {
    return testing::RunShell("pdftotext -f " + std::to_string(n) + " -l " + std::to_string(n) +
                             " " + testing::ShellQuote(Final()) + " -")
        .Out;
  };
  EXPECT_NE(page(1).find("TEST SUMMARY"), std::string::npos);
  EXPECT_NE(page(1).find("Attenuation Near Test"), std::string::npos);
  EXPECT_NE(page(2).find("Report 1 SEQ A"), std::string::npos);

  // Without a summary in the file the reports start on the first page.
  dir.Write("cable.txt", "Results\tcable.txt\n");
  fs::remove(Final());
  run.PrintCommand(true);
  EXPECT_NE(page(1).find("Report 1 SEQ A"), std::string::npos);
}

}  // namespace
}  // namespace vantrel

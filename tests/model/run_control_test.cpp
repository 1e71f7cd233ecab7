// A print run under an operator's hands: Print again, close, a fault answered with
// closing, boxes ticked mid-run. Real runs through the built-in PDF printer, with the
// window's events running at every step.

#include <gtest/gtest.h>

#include "common/failing_printer.h"
#include "model/run_fixture.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

const RunState kSteps[] = {RunState::Producing, RunState::WaitingForQueue,
                           RunState::WaitingForFile};

TEST(RunControl, PrintAgainInEachStepIsIgnoredAndTheCertificateIsSaved) {
  for (const RunState step : kSteps) {
    RunFixture f(2);
    bool pressed = false, printEnabled = true;
    f.When(step, [&] {
      printEnabled = f.Model->PrintEnabled();
      f.Model->PrintCommand(true);
      f.Model->PrintPreviewed(0);  // the preview's Print
      pressed = true;
    });
    f.Model->PrintCommand(true);
    const int at = static_cast<int>(step);
    ASSERT_TRUE(pressed) << at;
    EXPECT_FALSE(printEnabled) << at;
    EXPECT_EQ(f.Model->LastPrint().Pdf, PdfOutcome::Saved) << at << f.Model->LastPrint().PdfError;
    EXPECT_EQ(f.Model->LastPrint().Produced, 2) << at;
    EXPECT_TRUE(f.Prompter.Messages.empty()) << at << f.Prompter.Messages[0].Text;
    EXPECT_TRUE(fs::is_regular_file(f.Final())) << at;
    EXPECT_EQ(RunFixture::Files(f.Spool), std::vector<std::string>{}) << at;
    EXPECT_EQ(f.Model->PrintRunState(), RunState::Done);
    EXPECT_TRUE(f.Model->PrintEnabled());
  }
}

TEST(RunControl, CloseInEachStepStopsTheRunAndLeavesNothingBehind) {
  for (const RunState step : kSteps) {
    RunFixture f(3);
    std::string asked;
    f.When(step, [&] {
      f.CloseAnsweredYes();
      asked = f.Prompter.Messages.back().Title;
    });
    f.Model->PrintCommand(true);
    const int at = static_cast<int>(step);
    EXPECT_EQ(asked, "Custom Report Software") << at;
    EXPECT_TRUE(f.Model->LastPrint().Cancelled) << at;
    EXPECT_EQ(f.Model->PrintRunState(), RunState::Cancelled) << at;
    // No partial job: nothing in the printer's folder, nothing under the final name.
    EXPECT_EQ(RunFixture::Files(f.Spool), std::vector<std::string>{}) << at;
    EXPECT_FALSE(fs::exists(f.Final())) << at;
    EXPECT_TRUE(f.Host.Opened.empty()) << at;
    f.Model.reset();  // the program ends
    EXPECT_EQ(RunFixture::Files(f.Temp), std::vector<std::string>{}) << at;
  }
}

TEST(RunControl, TheWaitsSayWhatTheyWaitForAndForHowLong) {
  RunFixture f(1);
  std::vector<std::string> lines;
  f.Host.OnEvents = [&] {
    if (f.Model->WaitedSeconds() >= 0) lines.push_back(f.Model->StatusLine());
  };
  f.Model->PrintCommand(true);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "Waiting for print queue to empty...  (waited 0 s)");
  EXPECT_EQ(lines.back(), "Waiting for file to appear in: " + f.Spool.string() + "/  (waited 0 s)");
  EXPECT_EQ(f.Model->StatusLine(), "Saved as " + f.Final());
}

TEST(RunControl, YesToClosingAfterAFaultEndsTheProgramAndSendsNothing) {
  RunFixture f(3);
  int sent = 0;
  f.Model->Printing().SetPrinterOpener([&](const std::string&) {
    return PrinterChoice{std::make_unique<FailingPrinter>(sent), ""};
  });
  f.Prompter.Script({PromptAnswer::Cancel, PromptAnswer::Yes});
  f.Model->PrintCommand(true);
  ASSERT_GE(f.Prompter.Messages.size(), 2u);
  EXPECT_EQ(f.Prompter.Messages[1].Text, "Do you want to close the report software?");
  EXPECT_TRUE(f.Model->LastPrint().Quit);
  EXPECT_EQ(sent, 0);
  EXPECT_TRUE(f.Model->Quitting());
  EXPECT_EQ(f.Host.Calls.back(), "close");
  // The window's close asks nothing more and the program takes no new run.
  EXPECT_TRUE(f.Model->ConfirmClose());
  EXPECT_EQ(f.Prompter.Messages.size(), 2u);
}

TEST(RunControl, ABoxTickedDuringTheRunForALaterReportPrints) {
  RunFixture f(1);
  f.When(RunState::Producing, [&] { f.Model->SetRowChecked(2, true); });
  f.Model->PrintCommand(true);
  EXPECT_EQ(f.Model->LastPrint().Produced, 2);
  const std::string text = RunShell("pdftotext " + ShellQuote(f.Final()) + " -").Out;
  EXPECT_NE(text.find("Far-end crosstalk"), std::string::npos) << text;
}

TEST(RunControl, NothingTickedOrNothingTestedIsSaid) {
  RunFixture none(0);
  none.State->Selection.fill(false);
  none.Model->PrintCommand(true);
  EXPECT_EQ(none.Model->StatusText(), "No report is ticked: nothing was printed.");
  ASSERT_EQ(none.Prompter.Messages.size(), 1u);
  EXPECT_EQ(none.Prompter.Messages[0].Text,
            "No report is ticked, so nothing was printed.\rTick the reports to print.");

  RunFixture untested(3, "", ResultText());  // its one test is in none of the reports
  untested.Model->PrintCommand(true);
  EXPECT_EQ(untested.Model->StatusText(),
            "3 of the 3 ticked reports were not printed: the result file holds none of their "
            "tests.");
  ASSERT_EQ(untested.Prompter.Messages.size(), 1u);
  EXPECT_EQ(untested.Prompter.Messages[0].Text,
            "Nothing was printed: the result file holds none of the tests of the 3 ticked "
            "report(s).");
}

TEST(RunControl, TheBuiltInPrinterSaysWhereItWrote) {
  RunFixture f(1);
  f.State->Settings.AutoPdfTempDir.clear();
  f.Model->PrintCommand(true);
  const std::string status = f.Model->StatusText();
  ASSERT_EQ(status.rfind("Printed to " + f.Dir.path().string() + "/", 0), 0u) << status;
  EXPECT_TRUE(fs::is_regular_file(status.substr(std::string("Printed to ").size()))) << status;
}

TEST(RunControl, DuringAutoPrintTheWindowDoesNotSayThatNoResultIsLoaded) {
  RunFixture f(1, "AUTOPRINT=TRUE\n", "", false);
  bool claimed = true;
  f.When(RunState::Producing, [&] { claimed = f.Model->ResultNotLoadedShown(); });
  f.Begin();
  EXPECT_TRUE(fs::is_regular_file(f.Final()));
  EXPECT_FALSE(claimed);
}

TEST(RunControl, AZippedResultPrintsItsTestList) {
  RunFixture f(1, "TESTSUMMARY=TRUE\n");
  const std::string zip = (f.Dir.path() / "cable.zip").string();
  ASSERT_EQ(
      RunShell("cd " + ShellQuote(f.Dir.path().string()) + " && zip -q cable.zip cable.txt").Status,
      0);
  ASSERT_TRUE(f.Model->LoadDataFile(zip));
  f.Model->PrintCommand(true);
  ASSERT_EQ(f.Model->LastPrint().Pdf, PdfOutcome::Saved);
  const std::string text = RunShell("pdftotext " + ShellQuote(f.Final()) + " -").Out;
  const std::size_t list = text.find("TEST LIST");
  ASSERT_NE(list, std::string::npos) << text;
  EXPECT_NE(text.find("NEXT (Pair-Pair) Near", list), std::string::npos) << text;
}

}  // namespace
}  // namespace vantrel::testing

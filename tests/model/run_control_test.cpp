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
      printEnabled = f.model->PrintEnabled();
      f.model->PrintCommand(true);
      f.model->PrintPreviewed(0);  // the preview's Print
      pressed = true;
    });
    f.model->PrintCommand(true);
    const int at = static_cast<int>(step);
    ASSERT_TRUE(pressed) << at;
    EXPECT_FALSE(printEnabled) << at;
    EXPECT_EQ(f.model->LastPrint().Pdf, PdfOutcome::Saved) << at << f.model->LastPrint().PdfError;
    EXPECT_EQ(f.model->LastPrint().Produced, 2) << at;
    EXPECT_TRUE(f.prompter.messages.empty()) << at << f.prompter.messages[0].text;
    EXPECT_TRUE(fs::is_regular_file(f.Final())) << at;
    EXPECT_EQ(RunFixture::Files(f.spool), std::vector<std::string>{}) << at;
    EXPECT_EQ(f.model->PrintRunState(), RunState::Done);
    EXPECT_TRUE(f.model->PrintEnabled());
  }
}

TEST(RunControl, CloseInEachStepStopsTheRunAndLeavesNothingBehind) {
  for (const RunState step : kSteps) {
    RunFixture f(3);
    std::string asked;
    f.When(step, [&] {
      f.CloseAnsweredYes();
      asked = f.prompter.messages.back().title;
    });
    f.model->PrintCommand(true);
    const int at = static_cast<int>(step);
    EXPECT_EQ(asked, "Custom Report Software") << at;
    EXPECT_TRUE(f.model->LastPrint().Cancelled) << at;
    EXPECT_EQ(f.model->PrintRunState(), RunState::Cancelled) << at;
    // No partial job: nothing in the printer's folder, nothing under the final name.
    EXPECT_EQ(RunFixture::Files(f.spool), std::vector<std::string>{}) << at;
    EXPECT_FALSE(fs::exists(f.Final())) << at;
    EXPECT_TRUE(f.host.opened.empty()) << at;
    f.model.reset();  // the program ends
    EXPECT_EQ(RunFixture::Files(f.temp), std::vector<std::string>{}) << at;
  }
}

TEST(RunControl, TheWaitsSayWhatTheyWaitForAndForHowLong) {
  RunFixture f(1);
  std::vector<std::string> lines;
  f.host.onEvents = [&] {
    if (f.model->WaitedSeconds() >= 0) lines.push_back(f.model->StatusLine());
  };
  f.model->PrintCommand(true);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "Waiting for print queue to empty...  (waited 0 s)");
  EXPECT_EQ(lines.back(), "Waiting for file to appear in: " + f.spool.string() + "/  (waited 0 s)");
  EXPECT_EQ(f.model->StatusLine(), "Saved as " + f.Final());
}

TEST(RunControl, YesToClosingAfterAFaultEndsTheProgramAndSendsNothing) {
  RunFixture f(3);
  int sent = 0;
  f.model->Printing().SetPrinterOpener([&](const std::string&) {
    return PrinterChoice{std::make_unique<FailingPrinter>(sent), ""};
  });
  f.prompter.Script({PromptAnswer::Cancel, PromptAnswer::Yes});
  f.model->PrintCommand(true);
  ASSERT_GE(f.prompter.messages.size(), 2u);
  EXPECT_EQ(f.prompter.messages[1].text, "Do you want to close the report software?");
  EXPECT_TRUE(f.model->LastPrint().Quit);
  EXPECT_EQ(sent, 0);
  EXPECT_TRUE(f.model->Quitting());
  EXPECT_EQ(f.host.events.back(), "close");
  // The window's close asks nothing more and the program takes no new run.
  EXPECT_TRUE(f.model->ConfirmClose());
  EXPECT_EQ(f.prompter.messages.size(), 2u);
}

TEST(RunControl, ABoxTickedDuringTheRunForALaterReportPrints) {
  RunFixture f(1);
  f.When(RunState::Producing, [&] { f.model->SetRowChecked(2, true); });
  f.model->PrintCommand(true);
  EXPECT_EQ(f.model->LastPrint().Produced, 2);
  const std::string text = RunShell("pdftotext " + ShellQuote(f.Final()) + " -").out;
  EXPECT_NE(text.find("Far-end crosstalk"), std::string::npos) << text;
}

TEST(RunControl, NothingTickedOrNothingTestedIsSaid) {
  RunFixture none(0);
  none.state->Selection.fill(false);
  none.model->PrintCommand(true);
  EXPECT_EQ(none.model->StatusText(), "No report is ticked: nothing was printed.");
  ASSERT_EQ(none.prompter.messages.size(), 1u);
  EXPECT_EQ(none.prompter.messages[0].text,
            "No report is ticked, so nothing was printed.\rTick the reports to print.");

  RunFixture untested(3, "", ResultText());  // its one test is in none of the reports
  untested.model->PrintCommand(true);
  EXPECT_EQ(untested.model->StatusText(),
            "3 of the 3 ticked reports were not printed: the result file holds none of their "
            "tests.");
  ASSERT_EQ(untested.prompter.messages.size(), 1u);
  EXPECT_EQ(untested.prompter.messages[0].text,
            "Nothing was printed: the result file holds none of the tests of the 3 ticked "
            "report(s).");
}

TEST(RunControl, TheBuiltInPrinterSaysWhereItWrote) {
  RunFixture f(1);
  f.state->Settings.AutoPdfTempDir.clear();
  f.model->PrintCommand(true);
  const std::string status = f.model->StatusText();
  ASSERT_EQ(status.rfind("Printed to " + f.dir.path().string() + "/", 0), 0u) << status;
  EXPECT_TRUE(fs::is_regular_file(status.substr(std::string("Printed to ").size()))) << status;
}

TEST(RunControl, DuringAutoPrintTheWindowDoesNotSayThatNoResultIsLoaded) {
  RunFixture f(1, "AUTOPRINT=TRUE\n", "", false);
  bool claimed = true;
  f.When(RunState::Producing, [&] { claimed = f.model->ResultNotLoadedShown(); });
  f.Begin();
  EXPECT_TRUE(fs::is_regular_file(f.Final()));
  EXPECT_FALSE(claimed);
}

TEST(RunControl, AZippedResultPrintsItsTestList) {
  RunFixture f(1, "TESTSUMMARY=TRUE\n");
  const std::string zip = (f.dir.path() / "cable.zip").string();
  ASSERT_EQ(
      RunShell("cd " + ShellQuote(f.dir.path().string()) + " && zip -q cable.zip cable.txt").status,
      0);
  ASSERT_TRUE(f.model->LoadDataFile(zip));
  f.model->PrintCommand(true);
  ASSERT_EQ(f.model->LastPrint().Pdf, PdfOutcome::Saved);
  const std::string text = RunShell("pdftotext " + ShellQuote(f.Final()) + " -").out;
  const std::size_t list = text.find("TEST LIST");
  ASSERT_NE(list, std::string::npos) << text;
  EXPECT_NE(text.find("NEXT (Pair-Pair) Near", list), std::string::npos) << text;
}

}  // namespace
}  // namespace vantrel::testing

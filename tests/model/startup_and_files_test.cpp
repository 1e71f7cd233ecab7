// Start-up, the result and definition file commands, printing several results, and
// closing while printing.

#include <gtest/gtest.h>

#include "model/window_fixture.h"

namespace vantrel::testing {
namespace {

// Records the order of what the window shows against the print commands.
class OrderObserver : public WindowModelObserver {
 public:
  explicit OrderObserver(MainWindowModel& model) : model_(model) {}
  void ModelChanged(ModelChange what) override {
    if (what != ModelChange::Buttons || model_.PreviewButtonsEnabled() == enabled_) return;
    enabled_ = model_.PreviewButtonsEnabled();
    Events.push_back(enabled_ ? "buttons on" : "buttons off");
  }
  std::vector<std::string> Events;

 private:
  MainWindowModel& model_;
  bool enabled_ = true;
};

TEST(Startup, AutoPrintRunsBeforeTheButtonsAreEnabled) {
  WindowFixture f;
  OrderObserver order(*f.Model);
  f.Model->AddObserver(&order);
  f.Model->UsePrintCommand([&](bool endOfJob) {
    order.Events.push_back(endOfJob ? "print, end of job" : "print, job open");
    EXPECT_TRUE(f.Model->StartupInProgress());
  });
  const std::string data = f.WriteResult();
  ASSERT_EQ(f.Start(WindowIni(2, {"AUTOPRINT=TRUE"}), ">N0,1,N<", data), StartupOutcome::Running);
  f.Model->RemoveObserver(&order);
  // The buttons go off and on while files are read; the print comes while they are off
  // and before start-up turns them on for good.
  const std::vector<std::string> tail(order.Events.end() - 2, order.Events.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"print, end of job", "buttons on"}));
  EXPECT_EQ(std::count(order.Events.begin(), order.Events.end(), "buttons on"), 1);
  EXPECT_FALSE(f.Model->StartupInProgress());
  EXPECT_TRUE(f.Model->PrintEnabled());
  EXPECT_FALSE(f.Model->ResultNotLoadedShown());
  EXPECT_EQ(f.Host.Caption, "run.txt - Vantrel");
}

TEST(Startup, WithoutAutoPrintOrWithoutDataNothingPrints) {
  int prints = 0;
  {
    WindowFixture f;
    f.Model->UsePrintCommand([&](bool) { ++prints; });
    f.Start(WindowIni(2), "", f.WriteResult());
    EXPECT_TRUE(f.Model->PrintEnabled());
  }
  {
    WindowFixture f;
    f.Model->UsePrintCommand([&](bool) { ++prints; });
    f.Start(WindowIni(2, {"AUTOPRINT=TRUE"}), "", (f.Dir.path() / "missing.txt").string());
    // A missing file is simply not loaded: no message.
    EXPECT_TRUE(f.Prompter.Messages.empty());
    EXPECT_FALSE(f.Model->PrintEnabled());
    EXPECT_TRUE(f.Model->ResultNotLoadedShown());
    EXPECT_EQ(f.Host.Caption, "Vantrel");
  }
  {
    WindowFixture f;
    f.Model->UsePrintCommand([&](bool) { ++prints; });
    f.Start(WindowIni(2, {"AUTOPRINT=TRUE"}), "", f.Dir.path().string());
    // Nor is a folder.
    EXPECT_TRUE(f.Prompter.Messages.empty());
    EXPECT_TRUE(f.Model->ResultNotLoadedShown());
    EXPECT_EQ(f.Host.Caption, "Vantrel");
  }
  EXPECT_EQ(prints, 0);
}

TEST(Startup, WithoutAUsableTemporaryFolderTheWindowRunsAndSaysWhyNothingLoaded) {
  WindowFixture f;
  f.Model->UseTempFolder((f.Dir.path() / "gone").string());
  EXPECT_EQ(f.Start(WindowIni(2), "", f.WriteResult()), StartupOutcome::Running);
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Text.rfind("Error Creating a temporary File\r\r", 0), 0u);
  EXPECT_TRUE(f.Model->ResultNotLoadedShown());
  EXPECT_FALSE(f.Model->PrintEnabled());
}

TEST(Startup, ShowsTheWindowAndKeepsItOnTopOnlyWhenAsked) {
  WindowFixture f;
  f.Start(WindowIni(1));
  EXPECT_EQ(f.Host.Calls, (std::vector<std::string>{"show", "topmost"}));
  f.Model->KeepOnTop(false);
  EXPECT_EQ(f.Host.Calls.back(), "not topmost");

  WindowFixture off;
  off.Start(WindowIni(1, {"TOPWINDOW=FALSE"}));
  off.Model->KeepOnTop(false);
  EXPECT_EQ(off.Host.Calls, (std::vector<std::string>{"show"}));
}

TEST(Startup, SummaryMenuFollowsTestSummary) {
  WindowFixture f;
  f.Start(WindowIni(1, {"TESTSUMMARY=TRUE"}));
  EXPECT_TRUE(f.Model->SummaryMenuVisible());
  EXPECT_TRUE(f.Model->TestListFlag());
  WindowFixture g;
  g.Start(WindowIni(1));
  EXPECT_FALSE(g.Model->SummaryMenuVisible());
}

TEST(Startup, AnUnreadableDefinitionEndsTheProgramNamingTheFile) {
  WindowFixture f;
  const std::string missing = (f.Dir.path() / "nowhere.ini").string();
  EXPECT_EQ(f.Model->Startup(">I" + missing + "I<"), StartupOutcome::Failed);
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_NE(f.Prompter.Messages[0].Text.find(missing), std::string::npos);
  EXPECT_FALSE(f.Host.Visible);
}

// The progress bar's value and maximum each time it changes.
class ProgressTrail : public WindowModelObserver {
 public:
  explicit ProgressTrail(MainWindowModel& model) : model_(model) {}
  void ModelChanged(ModelChange what) override {
    if (what == ModelChange::Progress)
      Steps.push_back(std::to_string(model_.ProgressValue()) + "/" +
                      std::to_string(model_.ProgressMax()));
  }
  std::vector<std::string> Steps;

 private:
  MainWindowModel& model_;
};

TEST(Files, TheProgressBarFollowsTheReportsWhileADefinitionIsReadAgain) {
  WindowFixture f;
  f.Start(WindowIni(3));
  ProgressTrail trail(*f.Model);
  f.Model->AddObserver(&trail);
  f.Model->ReloadCurrentIni();
  f.Model->LoadDefinitionFile(f.Definition);
  f.Model->RemoveObserver(&trail);
  // Once per report of three, then back to the start; the maximum is set first.
  const std::vector<std::string> once{"0/3", "1/3", "2/3", "3/3", "0/3"};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin() + 1, once.end());
  EXPECT_EQ(trail.Steps, twice);
}

TEST(Files, LoadingAResultFileWithoutTestsDisablesPrinting) {
  WindowFixture f;
  f.Start(WindowIni(2), "", f.WriteResult());
  ASSERT_TRUE(f.Model->PrintEnabled());
  const std::string empty = f.Dir.Write("empty.txt", "[COMMA DELIMITED]\nCable ID,X\n").string();
  EXPECT_FALSE(f.Model->LoadDataFile(empty));
  EXPECT_FALSE(f.Model->PrintEnabled());
  EXPECT_TRUE(f.Model->ResultNotLoadedShown());
  EXPECT_EQ(f.Model->StatusText(), "No test data found in the data file.");
  EXPECT_TRUE(f.Model->PreviewButtonsEnabled());

  EXPECT_TRUE(f.Model->LoadDataFile(f.WriteResult("again.txt")));
  EXPECT_TRUE(f.Model->PrintEnabled());
  EXPECT_FALSE(f.Model->ResultNotLoadedShown());
  EXPECT_EQ(f.Model->StatusText(), "");
}

TEST(Files, TheListFillsTheTitlePlaceholderOnceAResultSaysHow) {
  WindowFixture f;
  f.Start(WindowIni(1, {}, {"IL & RL - TEST_DESCRIPTION"}));
  EXPECT_EQ(f.Model->Rows()[0].ToolTip, "IL & RL - TEST_DESCRIPTION");
  f.Model->LoadDataFile(f.WriteResult());
  EXPECT_EQ(f.Model->Rows()[0].ToolTip, "IL & RL - Seq A");
  EXPECT_EQ(f.Model->Rows()[0].Caption, "IL && RL - Seq A");
}

TEST(Files, OpeningADefinitionReadsTheResultAgain) {
  WindowFixture f;
  f.Start(WindowIni(2), "", f.WriteResult());
  const std::string other = f.Dir.Write("other.ini", WindowIni(3, {}, {"A", "B", "C"})).string();
  f.Dialog.Answers = {other};
  f.Model->OpenDefinitionFile();
  ASSERT_EQ(f.Dialog.Questions.size(), 1u);
  EXPECT_EQ(f.Dialog.Questions[0].Title, "Please select an ini file to open");
  EXPECT_EQ(f.Dialog.Questions[0].Mode, FileDialogMode::Select);
  EXPECT_EQ(f.State->DefinitionPath, other);
  EXPECT_EQ(f.Titles()[2], "C");
  EXPECT_TRUE(f.Model->PrintEnabled());

  f.Model->OpenDefinitionFile();  // cancelled: nothing changes
  EXPECT_EQ(f.State->DefinitionPath, other);
}

TEST(Files, EditIniOpensTheFileWithTheDesktop) {
  WindowFixture f;
  f.Start(WindowIni(1));
  f.Model->EditIni();
  EXPECT_EQ(f.Host.Opened, (std::vector<std::string>{f.Definition}));
}

TEST(Files, SlotsAndEditingControlsToggle) {
  WindowFixture f;
  f.Start(WindowIni(1));
  EXPECT_EQ(f.Model->SlotsCaption(), "Slots Off");
  f.Model->ToggleSlots();
  EXPECT_EQ(f.Model->SlotsCaption(), "Slots On");
  EXPECT_TRUE(f.Model->SlotsFlag());
  EXPECT_FALSE(f.Model->EditingFrameVisible());
  f.Model->ToggleEditingFrame();
  EXPECT_TRUE(f.Model->EditingFrameVisible());
}

struct MultiRun {
  WindowFixture F;
  std::vector<std::pair<std::string, bool>> Prints;  // APPNAME, end of job
  void Choose(PromptAnswer answer, const std::string& folder = "",
              const std::vector<std::string>& names = {"a.txt", "b.txt", "c.txt"}) {
    F.Start(WindowIni(1));
    std::string chosen = (F.Dir.path() / folder).string();
    for (const std::string& name : names) {
      F.WriteResult(folder.empty() ? name : folder + "/" + name);
      chosen += '\0' + name;
    }
    F.Model->SetBackground(true);
    F.Model->UsePrintCommand(
        [this](bool end) { Prints.emplace_back(F.State->Settings.AppName, end); });
    F.Dialog.Answers = {chosen};
    F.Prompter.Script({answer});
    F.Model->ChooseDataFiles();
  }
};

// Only a full stop in the file's own name starts its extension: results without one in
// a folder such as run.v2 keep names of their own.
TEST(MultipleResults, AFullStopInTheFolderNeverNamesTheResults) {
  MultiRun run;
  run.Choose(PromptAnswer::Yes, "run.v2", {"a", "b", "c.txt"});
  ASSERT_EQ(run.Prints.size(), 3u);
  EXPECT_EQ(run.Prints[0].first, "a");
  EXPECT_EQ(run.Prints[1].first, "b");
  EXPECT_EQ(run.Prints[2].first, "c");
}

TEST(MultipleResults, NoPrintsOneJobEndedAfterTheLast) {
  MultiRun run;
  run.Choose(PromptAnswer::No);
  ASSERT_EQ(run.F.Prompter.Messages.size(), 1u);
  EXPECT_EQ(run.F.Prompter.Messages[0].Title, "Multiple Results");
  EXPECT_EQ(run.F.Prompter.Messages[0].Text,
            "3 results are about to be printed.\r\rWould you like to print these as separate "
            "print-outs?\r\r(Select YES, to print separately, or NO, as one print-out)");
  EXPECT_EQ(run.F.Prompter.Messages[0].Buttons, PromptButtons::YesNoCancel);
  EXPECT_FALSE(run.F.Model->Background());
  ASSERT_EQ(run.Prints.size(), 3u);
  EXPECT_EQ(run.Prints[0], (std::pair<std::string, bool>{"a", false}));
  EXPECT_EQ(run.Prints[1], (std::pair<std::string, bool>{"b", false}));
  EXPECT_EQ(run.Prints[2], (std::pair<std::string, bool>{"c", true}));
}

TEST(MultipleResults, YesEndsEveryJobAndCancelPrintsNothing) {
  MultiRun yes;
  yes.Choose(PromptAnswer::Yes);
  ASSERT_EQ(yes.Prints.size(), 3u);
  for (const auto& print : yes.Prints) EXPECT_TRUE(print.second);

  MultiRun cancel;
  cancel.Choose(PromptAnswer::Cancel);
  EXPECT_TRUE(cancel.Prints.empty());
}

TEST(MultipleResults, OneChosenFileIsLoadedNotPrinted) {
  WindowFixture f;
  f.Start(WindowIni(1));
  int prints = 0;
  f.Model->UsePrintCommand([&](bool) { ++prints; });
  f.Dialog.Answers = {f.WriteResult()};
  f.Model->ChooseDataFiles();
  EXPECT_EQ(f.Dialog.Questions[0].Title, "Select Results");
  EXPECT_EQ(f.Dialog.Questions[0].Mode, FileDialogMode::SelectMulti);
  EXPECT_EQ(prints, 0);
  EXPECT_TRUE(f.Model->PrintEnabled());
}

TEST(Closing, WhilePrintingAsksAndNoKeepsTheRunGoing) {
  WindowFixture f;
  f.Start(WindowIni(1));
  EXPECT_TRUE(f.Model->ConfirmClose());  // not printing: no question
  EXPECT_TRUE(f.Prompter.Messages.empty());

  f.Model->SetPrintingFlag(true);
  f.Prompter.Script({PromptAnswer::No});
  EXPECT_FALSE(f.Model->ConfirmClose());
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Title, "Custom Report Software");
  EXPECT_EQ(f.Prompter.Messages[0].Icon, PromptIcon::Question);
  EXPECT_EQ(f.Prompter.Messages[0].Text,
            "The reports are still printing, closing will cancel the current printout.\r\r"
            "Are you sure you want to close the report software?");
  EXPECT_FALSE(f.Model->CancelRequested());

  f.Prompter.Script({PromptAnswer::Yes});
  EXPECT_TRUE(f.Model->ConfirmClose());
  EXPECT_TRUE(f.Model->CancelRequested());
}

}  // namespace
}  // namespace vantrel::testing

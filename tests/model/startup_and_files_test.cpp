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
    events.push_back(enabled_ ? "buttons on" : "buttons off");
  }
  std::vector<std::string> events;

 private:
  MainWindowModel& model_;
  bool enabled_ = true;
};

TEST(Startup, AutoPrintRunsBeforeTheButtonsAreEnabled) {
  WindowFixture f;
  OrderObserver order(*f.model);
  f.model->AddObserver(&order);
  f.model->UsePrintCommand([&](bool endOfJob) {
    order.events.push_back(endOfJob ? "print, end of job" : "print, job open");
    EXPECT_TRUE(f.model->StartupInProgress());
  });
  const std::string data = f.WriteResult();
  ASSERT_EQ(f.Start(WindowIni(2, {"AUTOPRINT=TRUE"}), ">N0,1,N<", data), StartupOutcome::Running);
  f.model->RemoveObserver(&order);
  // The buttons go off and on while files are read; the print comes while they are off
  // and before start-up turns them on for good.
  const std::vector<std::string> tail(order.events.end() - 2, order.events.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"print, end of job", "buttons on"}));
  EXPECT_EQ(std::count(order.events.begin(), order.events.end(), "buttons on"), 1);
  EXPECT_FALSE(f.model->StartupInProgress());
  EXPECT_TRUE(f.model->PrintEnabled());
  EXPECT_FALSE(f.model->ResultNotLoadedShown());
  EXPECT_EQ(f.host.caption, "run.txt - Vantrel");
}

TEST(Startup, WithoutAutoPrintOrWithoutDataNothingPrints) {
  int prints = 0;
  {
    WindowFixture f;
    f.model->UsePrintCommand([&](bool) { ++prints; });
    f.Start(WindowIni(2), "", f.WriteResult());
    EXPECT_TRUE(f.model->PrintEnabled());
  }
  {
    WindowFixture f;
    f.model->UsePrintCommand([&](bool) { ++prints; });
    f.Start(WindowIni(2, {"AUTOPRINT=TRUE"}), "", (f.dir.path() / "missing.txt").string());
    // A missing file is simply not loaded: no message.
    EXPECT_TRUE(f.prompter.messages.empty());
    EXPECT_FALSE(f.model->PrintEnabled());
    EXPECT_TRUE(f.model->ResultNotLoadedShown());
    EXPECT_EQ(f.host.caption, "Vantrel");
  }
  {
    WindowFixture f;
    f.model->UsePrintCommand([&](bool) { ++prints; });
    f.Start(WindowIni(2, {"AUTOPRINT=TRUE"}), "", f.dir.path().string());
    // Nor is a folder.
    EXPECT_TRUE(f.prompter.messages.empty());
    EXPECT_TRUE(f.model->ResultNotLoadedShown());
    EXPECT_EQ(f.host.caption, "Vantrel");
  }
  EXPECT_EQ(prints, 0);
}

TEST(Startup, WithoutAUsableTemporaryFolderTheWindowRunsAndSaysWhyNothingLoaded) {
  WindowFixture f;
  f.model->UseTempFolder((f.dir.path() / "gone").string());
  EXPECT_EQ(f.Start(WindowIni(2), "", f.WriteResult()), StartupOutcome::Running);
  ASSERT_EQ(f.prompter.messages.size(), 1u);
  EXPECT_EQ(f.prompter.messages[0].text.rfind("Error Creating a temporary File\r\r", 0), 0u);
  EXPECT_TRUE(f.model->ResultNotLoadedShown());
  EXPECT_FALSE(f.model->PrintEnabled());
}

TEST(Startup, ShowsTheWindowAndKeepsItOnTopOnlyWhenAsked) {
  WindowFixture f;
  f.Start(WindowIni(1));
  EXPECT_EQ(f.host.events, (std::vector<std::string>{"show", "topmost"}));
  f.model->KeepOnTop(false);
  EXPECT_EQ(f.host.events.back(), "not topmost");

  WindowFixture off;
  off.Start(WindowIni(1, {"TOPWINDOW=FALSE"}));
  off.model->KeepOnTop(false);
  EXPECT_EQ(off.host.events, (std::vector<std::string>{"show"}));
}

TEST(Startup, SummaryMenuFollowsTestSummary) {
  WindowFixture f;
  f.Start(WindowIni(1, {"TESTSUMMARY=TRUE"}));
  EXPECT_TRUE(f.model->SummaryMenuVisible());
  EXPECT_TRUE(f.model->TestListFlag());
  WindowFixture g;
  g.Start(WindowIni(1));
  EXPECT_FALSE(g.model->SummaryMenuVisible());
}

TEST(Startup, AnUnreadableDefinitionEndsTheProgramNamingTheFile) {
  WindowFixture f;
  const std::string missing = (f.dir.path() / "nowhere.ini").string();
  EXPECT_EQ(f.model->Startup(">I" + missing + "I<"), StartupOutcome::Failed);
  ASSERT_EQ(f.prompter.messages.size(), 1u);
  EXPECT_NE(f.prompter.messages[0].text.find(missing), std::string::npos);
  EXPECT_FALSE(f.host.visible);
}

// The progress bar's value and maximum each time it changes.
class ProgressTrail : public WindowModelObserver {
 public:
  explicit ProgressTrail(MainWindowModel& model) : model_(model) {}
  void ModelChanged(ModelChange what) override {
    if (what == ModelChange::Progress)
      steps.push_back(std::to_string(model_.ProgressValue()) + "/" +
                      std::to_string(model_.ProgressMax()));
  }
  std::vector<std::string> steps;

 private:
  MainWindowModel& model_;
};

TEST(Files, TheProgressBarFollowsTheReportsWhileADefinitionIsReadAgain) {
  WindowFixture f;
  f.Start(WindowIni(3));
  ProgressTrail trail(*f.model);
  f.model->AddObserver(&trail);
  f.model->ReloadCurrentIni();
  f.model->LoadDefinitionFile(f.definition);
  f.model->RemoveObserver(&trail);
  // Once per report of three, then back to the start; the maximum is set first.
  const std::vector<std::string> once{"0/3", "1/3", "2/3", "3/3", "0/3"};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin() + 1, once.end());
  EXPECT_EQ(trail.steps, twice);
}

TEST(Files, LoadingAResultFileWithoutTestsDisablesPrinting) {
  WindowFixture f;
  f.Start(WindowIni(2), "", f.WriteResult());
  ASSERT_TRUE(f.model->PrintEnabled());
  const std::string empty = f.dir.Write("empty.txt", "[COMMA DELIMITED]\nCable ID,X\n").string();
  EXPECT_FALSE(f.model->LoadDataFile(empty));
  EXPECT_FALSE(f.model->PrintEnabled());
  EXPECT_TRUE(f.model->ResultNotLoadedShown());
  EXPECT_EQ(f.model->StatusText(), "No test data found in the data file.");
  EXPECT_TRUE(f.model->PreviewButtonsEnabled());

  EXPECT_TRUE(f.model->LoadDataFile(f.WriteResult("again.txt")));
  EXPECT_TRUE(f.model->PrintEnabled());
  EXPECT_FALSE(f.model->ResultNotLoadedShown());
  EXPECT_EQ(f.model->StatusText(), "");
}

TEST(Files, TheListFillsTheTitlePlaceholderOnceAResultSaysHow) {
  WindowFixture f;
  f.Start(WindowIni(1, {}, {"IL & RL - TEST_DESCRIPTION"}));
  EXPECT_EQ(f.model->Rows()[0].ToolTip, "IL & RL - TEST_DESCRIPTION");
  f.model->LoadDataFile(f.WriteResult());
  EXPECT_EQ(f.model->Rows()[0].ToolTip, "IL & RL - Seq A");
  EXPECT_EQ(f.model->Rows()[0].Caption, "IL && RL - Seq A");
}

TEST(Files, OpeningADefinitionReadsTheResultAgain) {
  WindowFixture f;
  f.Start(WindowIni(2), "", f.WriteResult());
  const std::string other = f.dir.Write("other.ini", WindowIni(3, {}, {"A", "B", "C"})).string();
  f.dialog.answers = {other};
  f.model->OpenDefinitionFile();
  ASSERT_EQ(f.dialog.asked.size(), 1u);
  EXPECT_EQ(f.dialog.asked[0].title, "Please select an ini file to open");
  EXPECT_EQ(f.dialog.asked[0].mode, FileDialogMode::Select);
  EXPECT_EQ(f.state->DefinitionPath, other);
  EXPECT_EQ(f.Titles()[2], "C");
  EXPECT_TRUE(f.model->PrintEnabled());

  f.model->OpenDefinitionFile();  // cancelled: nothing changes
  EXPECT_EQ(f.state->DefinitionPath, other);
}

TEST(Files, EditIniOpensTheFileWithTheDesktop) {
  WindowFixture f;
  f.Start(WindowIni(1));
  f.model->EditIni();
  EXPECT_EQ(f.host.opened, (std::vector<std::string>{f.definition}));
}

TEST(Files, SlotsAndEditingControlsToggle) {
  WindowFixture f;
  f.Start(WindowIni(1));
  EXPECT_EQ(f.model->SlotsCaption(), "Slots Off");
  f.model->ToggleSlots();
  EXPECT_EQ(f.model->SlotsCaption(), "Slots On");
  EXPECT_TRUE(f.model->SlotsFlag());
  EXPECT_FALSE(f.model->EditingFrameVisible());
  f.model->ToggleEditingFrame();
  EXPECT_TRUE(f.model->EditingFrameVisible());
}

struct MultiRun {
  WindowFixture f;
  std::vector<std::pair<std::string, bool>> prints;  // APPNAME, end of job
  void Choose(PromptAnswer answer, const std::string& folder = "",
              const std::vector<std::string>& names = {"a.txt", "b.txt", "c.txt"}) {
    f.Start(WindowIni(1));
    std::string chosen = (f.dir.path() / folder).string();
    for (const std::string& name : names) {
      f.WriteResult(folder.empty() ? name : folder + "/" + name);
      chosen += '\0' + name;
    }
    f.model->SetBackground(true);
    f.model->UsePrintCommand(
        [this](bool end) { prints.emplace_back(f.state->Settings.AppName, end); });
    f.dialog.answers = {chosen};
    f.prompter.Script({answer});
    f.model->ChooseDataFiles();
  }
};

// Only a full stop in the file's own name starts its extension: results without one in
// a folder such as run.v2 keep names of their own.
TEST(MultipleResults, AFullStopInTheFolderNeverNamesTheResults) {
  MultiRun run;
  run.Choose(PromptAnswer::Yes, "run.v2", {"a", "b", "c.txt"});
  ASSERT_EQ(run.prints.size(), 3u);
  EXPECT_EQ(run.prints[0].first, "a");
  EXPECT_EQ(run.prints[1].first, "b");
  EXPECT_EQ(run.prints[2].first, "c");
}

TEST(MultipleResults, NoPrintsOneJobEndedAfterTheLast) {
  MultiRun run;
  run.Choose(PromptAnswer::No);
  ASSERT_EQ(run.f.prompter.messages.size(), 1u);
  EXPECT_EQ(run.f.prompter.messages[0].title, "Multiple Results");
  EXPECT_EQ(run.f.prompter.messages[0].text,
            "3 results are about to be printed.\r\rWould you like to print these as separate "
            "print-outs?\r\r(Select YES, to print separately, or NO, as one print-out)");
  EXPECT_EQ(run.f.prompter.messages[0].buttons, PromptButtons::YesNoCancel);
  EXPECT_FALSE(run.f.model->Background());
  ASSERT_EQ(run.prints.size(), 3u);
  EXPECT_EQ(run.prints[0], (std::pair<std::string, bool>{"a", false}));
  EXPECT_EQ(run.prints[1], (std::pair<std::string, bool>{"b", false}));
  EXPECT_EQ(run.prints[2], (std::pair<std::string, bool>{"c", true}));
}

TEST(MultipleResults, YesEndsEveryJobAndCancelPrintsNothing) {
  MultiRun yes;
  yes.Choose(PromptAnswer::Yes);
  ASSERT_EQ(yes.prints.size(), 3u);
  for (const auto& print : yes.prints) EXPECT_TRUE(print.second);

  MultiRun cancel;
  cancel.Choose(PromptAnswer::Cancel);
  EXPECT_TRUE(cancel.prints.empty());
}

TEST(MultipleResults, OneChosenFileIsLoadedNotPrinted) {
  WindowFixture f;
  f.Start(WindowIni(1));
  int prints = 0;
  f.model->UsePrintCommand([&](bool) { ++prints; });
  f.dialog.answers = {f.WriteResult()};
  f.model->ChooseDataFiles();
  EXPECT_EQ(f.dialog.asked[0].title, "Select Results");
  EXPECT_EQ(f.dialog.asked[0].mode, FileDialogMode::SelectMulti);
  EXPECT_EQ(prints, 0);
  EXPECT_TRUE(f.model->PrintEnabled());
}

TEST(Closing, WhilePrintingAsksAndNoKeepsTheRunGoing) {
  WindowFixture f;
  f.Start(WindowIni(1));
  EXPECT_TRUE(f.model->ConfirmClose());  // not printing: no question
  EXPECT_TRUE(f.prompter.messages.empty());

  f.model->SetPrintingFlag(true);
  f.prompter.Script({PromptAnswer::No});
  EXPECT_FALSE(f.model->ConfirmClose());
  ASSERT_EQ(f.prompter.messages.size(), 1u);
  EXPECT_EQ(f.prompter.messages[0].title, "Custom Report Software");
  EXPECT_EQ(f.prompter.messages[0].icon, PromptIcon::Question);
  EXPECT_EQ(f.prompter.messages[0].text,
            "The reports are still printing, closing will cancel the current printout.\r\r"
            "Are you sure you want to close the report software?");
  EXPECT_FALSE(f.model->CancelRequested());

  f.prompter.Script({PromptAnswer::Yes});
  EXPECT_TRUE(f.model->ConfirmClose());
  EXPECT_TRUE(f.model->CancelRequested());
}

}  // namespace
}  // namespace vantrel::testing

// The "Profiles" menu: listing, applying, AUTOPROFILE and adding a profile.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "model/window_fixture.h"

namespace vantrel::testing {
namespace {

std::vector<int> Selected(MainWindowModel& model) {
  std::vector<int> reports;
  for (int i = 0; i < kReportSlots; ++i) {
    if (model.Selection()[i]) reports.push_back(i + 1);
  }
  return reports;
}

TEST(Profiles, MenuListsEveryProfileAndHidesTheRest) {
  WindowFixture f;
  f.Start(WindowIni(4, {"PROFILE_1=First,1", "PROFILE_2=Second,2..3"}));
  const auto& menu = f.Model->ProfileMenu();
  EXPECT_TRUE(f.Model->ProfileSeparatorVisible());
  EXPECT_TRUE(menu[0].Visible);
  EXPECT_EQ(menu[0].Caption, "First");
  EXPECT_EQ(menu[1].Caption, "Second");
  EXPECT_FALSE(menu[2].Visible);

  WindowFixture none;
  none.Start(WindowIni(4));
  EXPECT_FALSE(none.Model->ProfileSeparatorVisible());
  EXPECT_FALSE(none.Model->ProfileMenu()[0].Visible);
}

TEST(Profiles, ApplyReplacesTheSelectionAndSaysOnceWhatIsNotANumber) {
  WindowFixture f;
  f.Start(WindowIni(5, {"PROFILE_1=Mixed,2,x,4", "PROFILE_2=Ranged,1..3,999"}));
  f.Model->ToggleSelectAll();  // everything off ("De-Select" was shown)
  f.Model->SetRowChecked(4, true);
  f.Model->ApplyProfile(0);
  EXPECT_EQ(Selected(*f.Model), (std::vector<int>{2, 4}));
  EXPECT_TRUE(f.Model->Rows()[1].Checked);
  EXPECT_FALSE(f.Model->Rows()[4].Checked);
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Title, "Profile Error");
  EXPECT_NE(f.Prompter.Messages[0].Text.find("Profile Mixed contains a non-numeric entry"),
            std::string::npos);

  // A number beyond the selection's 209 flags writes nothing out of bounds.
  f.Model->ApplyProfile(1);
  EXPECT_EQ(Selected(*f.Model), (std::vector<int>{1, 2, 3}));
  f.Model->ApplyProfile(7);  // no such profile: nothing happens
  EXPECT_EQ(Selected(*f.Model), (std::vector<int>{1, 2, 3}));
}

TEST(Profiles, CheckProfileAppliesTheFirstMatchingPattern) {
  WindowFixture f;
  f.Start(WindowIni(
      5, {"ALLSELECTED=FALSE", "PROFILE_1=CAT6*,1", "PROFILE_2=CAT*,2", "PROFILE_3=Class #,3"}));
  f.Model->CheckProfile("cat6a");
  EXPECT_EQ(Selected(*f.Model), (std::vector<int>{1}));
  f.Model->CheckProfile("Cat5e");
  EXPECT_EQ(Selected(*f.Model), (std::vector<int>{2}));
  f.Model->CheckProfile("class 7");
  EXPECT_EQ(Selected(*f.Model), (std::vector<int>{3}));
  f.Model->CheckProfile("fibre");  // no match: the selection stays
  EXPECT_EQ(Selected(*f.Model), (std::vector<int>{3}));
}

TEST(Profiles, AutoProfileOfTheResultFileSelectsItsReports) {
  WindowFixture f;
  const std::string data = f.WriteResult();
  f.Start(WindowIni(3, {"ALLSELECTED=FALSE", "AUTOPROFILE=Cable ID", "PROFILE_1=CBL-*,3"}), "",
          data);
  EXPECT_EQ(Selected(*f.Model), (std::vector<int>{3}));
  EXPECT_TRUE(f.Model->Rows()[2].Checked);
}

TEST(Profiles, AddWritesTheKeyLineAndListsTheNewProfile) {
  WindowFixture f;
  f.Start(WindowIni(12, {"ALLSELECTED=FALSE", "PROFILE_1=Old,1", "LOGOHEIGHT=10"}));
  for (int row : {0, 1, 9}) f.Model->SetRowChecked(row, true);
  f.Prompter.ScriptInput({"New one"});
  f.Model->AddNewProfile();

  const std::string text = ReadFileBytes(f.Definition);
  // Numbered after the profiles already there, so that the next load does not shadow
  // it with the file's own PROFILE_1.
  EXPECT_NE(text.find("Profile_2=New one,1,2,10"), std::string::npos) << text;
  EXPECT_NE(text.find("LOGOHEIGHT=10"), std::string::npos);
  EXPECT_NE(text.find("[REPORT_12]"), std::string::npos);
  ASSERT_EQ(f.Prompter.Messages.size(), 2u);
  EXPECT_EQ(f.Prompter.Messages[0].Text, "Please enter a name for this profile:");
  EXPECT_EQ(f.Prompter.Messages[1].Text, "New one profile has now been setup.");
  EXPECT_EQ(f.Prompter.Messages[1].Title, "Add Profile");
  EXPECT_EQ(f.Prompter.Messages[1].Icon, PromptIcon::Information);
  EXPECT_EQ(f.Model->ProfileMenu()[1].Caption, "New one");
  EXPECT_TRUE(f.Model->ProfileMenu()[1].Visible);

  // The file read again holds the profile with its reports.
  f.Model->LoadDefinitionFile(f.Definition);
  ASSERT_EQ(f.State->Profiles.LastUsed(), 1);
  f.Model->ApplyProfile(1);
  EXPECT_EQ(Selected(*f.Model), (std::vector<int>{1, 2, 10}));
}

TEST(Profiles, AddRefusesWithTheirMessagesAndLeavesTheFileAlone) {
  WindowFixture f;
  f.Start(WindowIni(3, {"ALLSELECTED=FALSE"}));
  const std::string before = ReadFileBytes(f.Definition);

  f.Model->AddNewProfile();  // nothing selected
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Text,
            "You must have at least 1 report selected to create a new profile");
  EXPECT_EQ(f.Prompter.Messages[0].Icon, PromptIcon::Exclamation);

  f.Model->SetRowChecked(0, true);
  f.Prompter.Messages.clear();
  f.Model->AddNewProfile();  // the input box cancelled
  EXPECT_EQ(f.Prompter.Messages.size(), 1u);

  f.Prompter.Messages.clear();
  f.Prompter.ScriptInput({"A,B"});
  f.Model->AddNewProfile();
  ASSERT_EQ(f.Prompter.Messages.size(), 2u);
  EXPECT_EQ(f.Prompter.Messages[1].Text, "Profile name must not contain a comma.");

  EXPECT_EQ(ReadFileBytes(f.Definition), before);
  EXPECT_FALSE(f.Model->ProfileMenu()[0].Visible);
}

TEST(Profiles, ThirtyOneProfilesAreTheMost) {
  std::vector<std::string> general;
  for (int i = 1; i <= 31; ++i)
    general.push_back("PROFILE_" + std::to_string(i) + "=P" + std::to_string(i) + ",1");
  WindowFixture f;
  f.Start(WindowIni(2, general));
  EXPECT_TRUE(f.Model->ProfileSeparatorVisible());
  EXPECT_TRUE(f.Model->ProfileMenu()[30].Visible);
  EXPECT_EQ(f.Model->ProfileMenu()[30].Caption, "P31");
  f.Model->AddNewProfile();
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Text,
            "The maximum number of profiles has already been configured\r"
            "If you require more, please contact your supplier");
}

}  // namespace
}  // namespace vantrel::testing

namespace vantrel::testing {
namespace {

// A window part that fails the first time it is told of a change of one kind.
class FailingObserver : public WindowModelObserver {
 public:
  explicit FailingObserver(ModelChange when) : when_(when) {}
  void ModelChanged(ModelChange what) override {
    if (what != when_ || failed_) return;
    failed_ = true;
    throw std::runtime_error("the window part failed");
  }

 private:
  ModelChange when_;
  bool failed_ = false;
};

// An input box that cannot be shown.
class BrokenInput : public RecordingPrompter {
 public:
  std::string Input(const std::string&, const std::string&) override {
    throw std::runtime_error("no input box");
  }
};

TEST(Profiles, AFaultInAProfileCommandIsToldUnderItsNameAndTheWindowGoesOn) {
  WindowFixture f;
  f.Start(WindowIni(4, {"PROFILE_1=First,1"}));
  FailingObserver menu(ModelChange::Flags);
  f.Model->AddObserver(&menu);
  f.Model->SetupProfiles();
  f.Model->RemoveObserver(&menu);
  FailingObserver buttons(ModelChange::Rows);
  f.Model->AddObserver(&buttons);
  f.Model->CheckProfile("first");
  f.Model->RemoveObserver(&buttons);
  ASSERT_EQ(f.Prompter.Messages.size(), 2u);
  EXPECT_EQ(f.Prompter.Messages[0].Text,
            "Error in frmMain/SetupProfiles\r\rthe window part failed");
  EXPECT_EQ(f.Prompter.Messages[1].Text, "Error in frmMain/CheckProfile\r\rthe window part failed");
  for (const auto& m : f.Prompter.Messages) {
    EXPECT_EQ(m.Title, "Error");
    EXPECT_EQ(m.Icon, PromptIcon::Exclamation);
  }
  f.Model->CheckProfile("first");  // works again once the window does
  EXPECT_EQ(Selected(*f.Model), (std::vector<int>{1}));

  WindowFixture g;
  BrokenInput broken;
  g.Model = std::make_unique<MainWindowModel>(*g.State, broken, g.Dialog, g.Host);
  g.Model->UseTempFolder(g.Dir.path().string());
  g.Start(WindowIni(2));
  g.Model->AddNewProfile();
  ASSERT_EQ(broken.Messages.size(), 1u);
  EXPECT_EQ(broken.Messages[0].Text, "Error in mnu_NewProfile\r\rno input box");
  EXPECT_EQ(g.Model->ProfileMenu()[0].Visible, false);
}

}  // namespace
}  // namespace vantrel::testing

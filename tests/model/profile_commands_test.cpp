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
  const auto& menu = f.model->ProfileMenu();
  EXPECT_TRUE(f.model->ProfileSeparatorVisible());
  EXPECT_TRUE(menu[0].Visible);
  EXPECT_EQ(menu[0].Caption, "First");
  EXPECT_EQ(menu[1].Caption, "Second");
  EXPECT_FALSE(menu[2].Visible);

  WindowFixture none;
  none.Start(WindowIni(4));
  EXPECT_FALSE(none.model->ProfileSeparatorVisible());
  EXPECT_FALSE(none.model->ProfileMenu()[0].Visible);
}

TEST(Profiles, ApplyReplacesTheSelectionAndSaysOnceWhatIsNotANumber) {
  WindowFixture f;
  f.Start(WindowIni(5, {"PROFILE_1=Mixed,2,x,4", "PROFILE_2=Ranged,1..3,999"}));
  f.model->ToggleSelectAll();  // everything off ("De-Select" was shown)
  f.model->SetRowChecked(4, true);
  f.model->ApplyProfile(0);
  EXPECT_EQ(Selected(*f.model), (std::vector<int>{2, 4}));
  EXPECT_TRUE(f.model->Rows()[1].Checked);
  EXPECT_FALSE(f.model->Rows()[4].Checked);
  ASSERT_EQ(f.prompter.messages.size(), 1u);
  EXPECT_EQ(f.prompter.messages[0].title, "Profile Error");
  EXPECT_NE(f.prompter.messages[0].text.find("Profile Mixed contains a non-numeric entry"),
            std::string::npos);

  // A number beyond the selection's 209 flags writes nothing out of bounds.
  f.model->ApplyProfile(1);
  EXPECT_EQ(Selected(*f.model), (std::vector<int>{1, 2, 3}));
  f.model->ApplyProfile(7);  // no such profile: nothing happens
  EXPECT_EQ(Selected(*f.model), (std::vector<int>{1, 2, 3}));
}

TEST(Profiles, CheckProfileAppliesTheFirstMatchingPattern) {
  WindowFixture f;
  f.Start(WindowIni(
      5, {"ALLSELECTED=FALSE", "PROFILE_1=CAT6*,1", "PROFILE_2=CAT*,2", "PROFILE_3=Class #,3"}));
  f.model->CheckProfile("cat6a");
  EXPECT_EQ(Selected(*f.model), (std::vector<int>{1}));
  f.model->CheckProfile("Cat5e");
  EXPECT_EQ(Selected(*f.model), (std::vector<int>{2}));
  f.model->CheckProfile("class 7");
  EXPECT_EQ(Selected(*f.model), (std::vector<int>{3}));
  f.model->CheckProfile("fibre");  // no match: the selection stays
  EXPECT_EQ(Selected(*f.model), (std::vector<int>{3}));
}

TEST(Profiles, AutoProfileOfTheResultFileSelectsItsReports) {
  WindowFixture f;
  const std::string data = f.WriteResult();
  f.Start(WindowIni(3, {"ALLSELECTED=FALSE", "AUTOPROFILE=Cable ID", "PROFILE_1=CBL-*,3"}), "",
          data);
  EXPECT_EQ(Selected(*f.model), (std::vector<int>{3}));
  EXPECT_TRUE(f.model->Rows()[2].Checked);
}

TEST(Profiles, AddWritesTheKeyLineAndListsTheNewProfile) {
  WindowFixture f;
  f.Start(WindowIni(12, {"ALLSELECTED=FALSE", "PROFILE_1=Old,1", "LOGOHEIGHT=10"}));
  for (int row : {0, 1, 9}) f.model->SetRowChecked(row, true);
  f.prompter.ScriptInput({"New one"});
  f.model->AddNewProfile();

  const std::string text = ReadFileBytes(f.definition);
  // Numbered after the profiles already there, so that the next load does not shadow
  // it with the file's own PROFILE_1.
  EXPECT_NE(text.find("Profile_2=New one,1,2,10"), std::string::npos) << text;
  EXPECT_NE(text.find("LOGOHEIGHT=10"), std::string::npos);
  EXPECT_NE(text.find("[REPORT_12]"), std::string::npos);
  ASSERT_EQ(f.prompter.messages.size(), 2u);
  EXPECT_EQ(f.prompter.messages[0].text, "Please enter a name for this profile:");
  EXPECT_EQ(f.prompter.messages[1].text, "New one profile has now been setup.");
  EXPECT_EQ(f.prompter.messages[1].title, "Add Profile");
  EXPECT_EQ(f.prompter.messages[1].icon, PromptIcon::Information);
  EXPECT_EQ(f.model->ProfileMenu()[1].Caption, "New one");
  EXPECT_TRUE(f.model->ProfileMenu()[1].Visible);

  // The file read again holds the profile with its reports.
  f.model->LoadDefinitionFile(f.definition);
  ASSERT_EQ(f.state->Profiles.LastUsed(), 1);
  f.model->ApplyProfile(1);
  EXPECT_EQ(Selected(*f.model), (std::vector<int>{1, 2, 10}));
}

TEST(Profiles, AddRefusesWithTheirMessagesAndLeavesTheFileAlone) {
  WindowFixture f;
  f.Start(WindowIni(3, {"ALLSELECTED=FALSE"}));
  const std::string before = ReadFileBytes(f.definition);

  f.model->AddNewProfile();  // nothing selected
  ASSERT_EQ(f.prompter.messages.size(), 1u);
  EXPECT_EQ(f.prompter.messages[0].text,
            "You must have at least 1 report selected to create a new profile");
  EXPECT_EQ(f.prompter.messages[0].icon, PromptIcon::Exclamation);

  f.model->SetRowChecked(0, true);
  f.prompter.messages.clear();
  f.model->AddNewProfile();  // the input box cancelled
  EXPECT_EQ(f.prompter.messages.size(), 1u);

  f.prompter.messages.clear();
  f.prompter.ScriptInput({"A,B"});
  f.model->AddNewProfile();
  ASSERT_EQ(f.prompter.messages.size(), 2u);
  EXPECT_EQ(f.prompter.messages[1].text, "Profile name must not contain a comma.");

  EXPECT_EQ(ReadFileBytes(f.definition), before);
  EXPECT_FALSE(f.model->ProfileMenu()[0].Visible);
}

TEST(Profiles, ThirtyOneProfilesAreTheMost) {
  std::vector<std::string> general;
  for (int i = 1; i <= 31; ++i)
    general.push_back("PROFILE_" + std::to_string(i) + "=P" + std::to_string(i) + ",1");
  WindowFixture f;
  f.Start(WindowIni(2, general));
  EXPECT_TRUE(f.model->ProfileSeparatorVisible());
  EXPECT_TRUE(f.model->ProfileMenu()[30].Visible);
  EXPECT_EQ(f.model->ProfileMenu()[30].Caption, "P31");
  f.model->AddNewProfile();
  ASSERT_EQ(f.prompter.messages.size(), 1u);
  EXPECT_EQ(f.prompter.messages[0].text,
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
  f.model->AddObserver(&menu);
  f.model->SetupProfiles();
  f.model->RemoveObserver(&menu);
  FailingObserver buttons(ModelChange::Rows);
  f.model->AddObserver(&buttons);
  f.model->CheckProfile("first");
  f.model->RemoveObserver(&buttons);
  ASSERT_EQ(f.prompter.messages.size(), 2u);
  EXPECT_EQ(f.prompter.messages[0].text,
            "Error in frmMain/SetupProfiles\r\rthe window part failed");
  EXPECT_EQ(f.prompter.messages[1].text, "Error in frmMain/CheckProfile\r\rthe window part failed");
  for (const auto& m : f.prompter.messages) {
    EXPECT_EQ(m.title, "Error");
    EXPECT_EQ(m.icon, PromptIcon::Exclamation);
  }
  f.model->CheckProfile("first");  // works again once the window does
  EXPECT_EQ(Selected(*f.model), (std::vector<int>{1}));

  WindowFixture g;
  BrokenInput broken;
  g.model = std::make_unique<MainWindowModel>(*g.state, broken, g.dialog, g.host);
  g.model->UseTempFolder(g.dir.path().string());
  g.Start(WindowIni(2));
  g.model->AddNewProfile();
  ASSERT_EQ(broken.messages.size(), 1u);
  EXPECT_EQ(broken.messages[0].text, "Error in mnu_NewProfile\r\rno input box");
  EXPECT_EQ(g.model->ProfileMenu()[0].Visible, false);
}

}  // namespace
}  // namespace vantrel::testing

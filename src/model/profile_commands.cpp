// The "Profiles" menu: listing, applying and adding profiles, and AUTOPROFILE.

#include <algorithm>
#include <exception>

#include "definitions/ini_store.h"
#include "definitions/profiles.h"
#include "model/main_window_model.h"
#include "support/text.h"
#include "support/wildcard.h"

namespace vantrel {

namespace {

// A fault inside a profile command is told under the command's long-known name and
// ends that command only; the window goes on.
template <typename Body>
void Guarded(Prompter& prompter, const char* routine, Body&& body) {
  try {
    body();
  } catch (const std::exception& e) {
    prompter.Tell(std::string("Error in ") + routine + "\r\r" + e.what(), "Error",
                  PromptIcon::Exclamation);
  }
}

}  // namespace

void MainWindowModel::SetupProfiles() {
  Guarded(prompter_, "frmMain/SetupProfiles", [this] { FillProfileMenu(); });
}

void MainWindowModel::FillProfileMenu() {
  const int last = std::min(program_.Profiles.LastUsed(), kMaxProfiles - 1);
  profileSeparator_ = last >= 0;
  for (int i = 0; i < kMaxProfiles; ++i) {
    ProfileMenuItem& item = profileMenu_[i];
    item.Visible = i <= last;
    item.Caption = i <= last ? program_.Profiles.Entries[i].Name : std::string();
  }
  Notify(ModelChange::Flags);
}

void MainWindowModel::ApplyProfile(int index) {
  if (index < 0 || index > program_.Profiles.LastUsed()) return;
  SelectReportsByProfile(program_.Profiles.Entries[index], ReportCount(), Selection(), prompter_);
  UpdateButtons();
}

void MainWindowModel::CheckProfile(const std::string& value) {
  Guarded(prompter_, "frmMain/CheckProfile", [&] {
    const std::string wanted = ToUpper(value);
    for (int i = 0; i <= program_.Profiles.LastUsed(); ++i) {
      if (WildcardMatch(wanted, ToUpper(program_.Profiles.Entries[i].Name))) {
        ApplyProfile(i);
        return;
      }
    }
  });
}

void MainWindowModel::AddNewProfile() {
  Guarded(prompter_, "mnu_NewProfile", [this] { AskAndAddProfile(); });
}

void MainWindowModel::AskAndAddProfile() {
  const std::string title = "Add Profile";
  if (program_.Profiles.LastUsed() >= kMaxProfiles - 1) {
    prompter_.Tell(
        "The maximum number of profiles has already been configured\r"
        "If you require more, please contact your supplier",
        title, PromptIcon::Information);
    return;
  }
  std::string list;
  for (int i = 0; i < kMaxReports; ++i) {
    if (Selection()[i]) list += "," + std::to_string(i + 1);
  }
  if (list.empty()) {
    prompter_.Tell("You must have at least 1 report selected to create a new profile", title,
                   PromptIcon::Exclamation);
    return;
  }
  const std::string name = prompter_.Input("Please enter a name for this profile:", title);
  if (name.empty()) return;
  if (name.find(',') != std::string::npos) {
    prompter_.Tell("Profile name must not contain a comma.", title, PromptIcon::Exclamation);
    return;
  }
  // A line break would end the key line early and write a line of its own.
  if (name.find_first_of("\r\n") != std::string::npos) {
    prompter_.Tell("Profile name must be a single line.", title, PromptIcon::Exclamation);
    return;
  }
  ProfileEntry entry;
  entry.Name = name;
  entry.Reports = SplitList(list);
  entry.Count = static_cast<int16_t>(entry.Reports.size());
  program_.Profiles.Entries.push_back(std::move(entry));
  SetupProfiles();
  // An un-numbered "Profile=" line would be numbered 1 at the next load and hidden
  // behind a PROFILE_1 already in the file; the profiles are read as PROFILE_1, 2, ...
  // without gaps, so the next number is free.
  const std::string key = "Profile_" + std::to_string(program_.Profiles.Entries.size());
  if (!InsertProfileLine(program_.DefinitionPath, key + "=" + name + list, prompter_)) return;
  prompter_.Tell(name + " profile has now been setup.", title, PromptIcon::Information);
}

}  // namespace vantrel

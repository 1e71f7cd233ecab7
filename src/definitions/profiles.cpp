#include "definitions/profiles.h"

#include <algorithm>

#include "support/number.h"

namespace vantrel {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::size_t LastSeparator(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash;
}

// What is wrong with one entry that is not a report number.
std::string EntryFault(const std::string& element) {
  const std::size_t dots = element.find("..");
  if (dots == std::string::npos) return "the entry '" + element + "', which is not a number";
  const std::string from = element.substr(0, dots);
  const std::string to = element.substr(dots + 2);
  const std::string range = "the range " + element;
  if (!IsNumeric(from) || !IsNumeric(to)) return range + ", whose ends are not both numbers";
  if (Val(to) < Val(from)) return range + ", which ends below its start";
  return range + ", which spans more reports than a definition file can hold";
}

}  // namespace

std::string ProfileFault(const ProfileEntry& profile) {
  const std::size_t count =
      std::min(static_cast<std::size_t>(std::max<int>(profile.Count, 0)), profile.Reports.size());
  std::string first;
  std::size_t faults = 0;
  for (std::size_t i = 1; i < count; ++i) {
    if (IsNumeric(profile.Reports[i])) continue;
    if (faults++ == 0) first = EntryFault(profile.Reports[i]);
  }
  if (faults == 0) return "";
  std::string text = "Profile " + profile.Name + " contains a non-numeric entry: " + first;
  if (faults > 1) text += ", and " + std::to_string(faults - 1) + " more such entries";
  return text + ".\r\rThese entries select no report.";
}

void SelectReportsByProfile(const ProfileEntry& profile, int numReports, ReportSelection& selection,
                            Prompter& prompter) {
  // Said once, however many entries are wrong.
  if (const std::string fault = ProfileFault(profile); !fault.empty()) {
    prompter.Tell(fault, "Profile Error", PromptIcon::Exclamation);
  }
  const int cleared = std::clamp(numReports, 0, kMaxReports);
  std::fill(selection.begin(), selection.begin() + cleared, false);
  const std::size_t count =
      std::min(static_cast<std::size_t>(std::max<int>(profile.Count, 0)), profile.Reports.size());
  for (std::size_t i = 1; i < count; ++i) {
    const std::string& element = profile.Reports[i];
    if (!IsNumeric(element)) continue;
    const auto report = WholeNumberOf(element);
    if (report && *report >= 1 && *report <= kReportSlots) selection[*report - 1] = true;
  }
}

std::string FolderOf(std::string_view path) {
  std::string folder(path);
  // Only a full stop in the file's own name starts an extension, not one in a folder.
  const std::size_t dot = folder.rfind('.');
  const std::size_t slash = LastSeparator(folder);
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) folder.erase(dot);
  // A bare file name lies in no folder: its first letter is none either.
  if (LastSeparator(folder) == std::string::npos) return {};
  while (folder.size() > 1 && !IsSeparator(folder.back())) folder.pop_back();
  return folder;
}

std::string FileNameOf(std::string_view path) {
  const std::size_t slash = LastSeparator(path);
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace vantrel

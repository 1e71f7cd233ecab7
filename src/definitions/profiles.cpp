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

}  // namespace

std::vector<std::string> ProfileFaults(const ProfileEntry& profile) {
  const std::size_t count =
      std::min(static_cast<std::size_t>(std::max<int>(profile.Count, 0)), profile.Reports.size());
  const std::string text = "Profile " + profile.Name + " contains a non-numeric entry";
  std::size_t bad = 0;
  for (std::size_t i = 1; i < count; ++i) bad += IsNumeric(profile.Reports[i]) ? 0 : 1;
  // Thousands of words in one list would ask for thousands of message boxes.
  std::vector<std::string> faults(std::min(bad, kMaxProfileFaults), text);
  if (bad > kMaxProfileFaults)
    faults.back() += "\r\rAnd " + std::to_string(bad - kMaxProfileFaults) +
                     " more entries of this profile are not report numbers either.";
  return faults;
}

void SelectReportsByProfile(const ProfileEntry& profile, int numReports, ReportSelection& selection,
                            Prompter& prompter) {
  for (const std::string& fault : ProfileFaults(profile))
    prompter.Tell(fault, "Profile Error", PromptIcon::Exclamation);
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

#include "tools/vantrel_report/output_selection.h"

#include <charconv>

#include "definitions/profiles.h"
#include "support/text.h"

namespace vantrel::report_tool {

namespace {

bool ParseNumber(const std::string& text, int& value) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  return ec == std::errc() && end == t.data() + t.size();
}

}  // namespace

std::string ParseReportList(const std::string& list, int numReports, ReportSelection& selection) {
  ReportSelection chosen{};
  const int last = std::min(numReports, kMaxReports);
  for (const std::string& part : SplitAt(list, ',')) {
    if (Trim(part).empty()) continue;
    std::string from = part, to = part;
    if (const auto dots = part.find(".."); dots != std::string::npos) {
      from = part.substr(0, dots);
      to = part.substr(dots + 2);
    } else if (const auto dash = part.find('-', 1); dash != std::string::npos) {
      from = part.substr(0, dash);
      to = part.substr(dash + 1);
    }
    int a = 0, b = 0;
    if (!ParseNumber(from, a) || !ParseNumber(to, b) || a > b)
      return "--reports: '" + Trim(part) + "' is not a report number or range";
    if (a < 1 || b > last)
      return "--reports: report " + std::to_string(a < 1 ? a : b) +
             " is not defined (the file has " + std::to_string(last) + ")";
    for (int r = a; r <= b; ++r) chosen[static_cast<std::size_t>(r - 1)] = true;
  }
  selection = chosen;
  return {};
}

bool SelectProfile(ProgramState& state, const std::string& name, Prompter& prompter) {
  for (const ProfileEntry& entry : state.Profiles.Entries) {
    if (!entry.Name.empty() && EqualsNoCase(Trim(entry.Name), Trim(name))) {
      SelectReportsByProfile(entry, state.Ini.NumReports, state.Selection, prompter);
      return true;
    }
  }
  return false;
}

}  // namespace vantrel::report_tool

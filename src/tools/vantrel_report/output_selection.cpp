#include "tools/vantrel_report/output_selection.h"

#include <algorithm>
#include <vector>

#include "definitions/ini_store.h"
#include "definitions/profiles.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel::report_tool {

std::string ParseReportList(const std::string& list, int numReports, ReportSelection& selection) {
  ReportSelection chosen{};
  const int last = std::min(numReports, kMaxReports);
  // Element 0 of a split list is never expanded, hence the leading comma.
  const std::vector<std::string> elements = SplitList("," + list);
  for (std::size_t i = 1; i < elements.size(); ++i) {
    const auto n = WholeNumberOf(elements[i]);
    if (!n) return "--reports: '" + elements[i] + "' is neither a report number nor a range a..b";
    if (*n < 1 || *n > last) {
      return "--reports: there is no report " + std::to_string(*n) + " (the definition file has " +
             std::to_string(last) + ")";
    }
    chosen[static_cast<std::size_t>(*n - 1)] = true;
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

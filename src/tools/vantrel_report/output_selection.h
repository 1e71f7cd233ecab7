#pragma once
// Which reports a batch run produces.

#include <string>

#include "definitions/program_state.h"
#include "support/prompter.h"

namespace vantrel::report_tool {

/// "1,3,5..8": 1-based report numbers and ranges, as in profiles. Empty error means
/// success; anything else, or a number outside 1..numReports, is an error.
std::string ParseReportList(const std::string& list, int numReports, ReportSelection& selection);

/// Selects the reports of the profile named name (any case); false when there is none.
bool SelectProfile(ProgramState& state, const std::string& name, Prompter& prompter);

}  // namespace vantrel::report_tool

#include <cstdio>
#include <memory>
#include <string>

#include "definitions/ini_store.h"
#include "definitions/program_state.h"
#include "definitions/report_reader.h"
#include "definitions/settings_reader.h"
#include "definitions/unread_keys.h"
#include "platform/stderr_prompter.h"
#include "support/number.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/output_selection.h"

namespace vantrel::report_tool {

namespace {

int UsageError(const std::string& text) {
  std::fprintf(stderr, "vantrel-report: %s\n", text.c_str());
  return kExitUsage;
}

void PrintProfiles(const char* kind, const ProfileTable& table) {
  for (const ProfileEntry& entry : table.Entries) {
    std::string reports;
    for (std::size_t i = 1; i < entry.Reports.size(); ++i) {
      if (i > 1) reports += ',';
      reports += entry.Reports[i];
    }
    std::printf("%s\t%s\t%s\n", kind, entry.Name.c_str(), reports.c_str());
  }
}

}  // namespace

int RunList(const Options& options) {
  if (options.Definition.empty()) return UsageError("--list needs --definition FILE");
  // The program state is large; it lives on the heap.
  auto state = std::make_unique<ProgramState>();
  StderrPrompter prompter(&state->AppTitle);
  if (!LoadIni(options.Definition, state->Ini, prompter)) return kExitUsage;
  state->DefinitionPath = options.Definition;
  const UnreadKeys unread(state->Ini);
  ReadSettings(*state, prompter, {});
  const int numReports = state->Ini.NumReports;
  if (options.Reports) {
    const std::string error = ParseReportList(*options.Reports, numReports, state->Selection);
    if (!error.empty()) return UsageError(error);
  }
  ReadReportsIni(*state, prompter);
  // A misspelt key would silently keep its default; say so where the file is checked.
  for (const std::string& entry : unread.Unread()) {
    std::fprintf(stderr, "vantrel-report: %s has no effect: nothing reads it there\n",
                 entry.c_str());
  }

  for (int r = 1; r <= numReports; ++r) {
    const ReportDefinition& report = state->Reports[r - 1];
    std::printf("report\t%d\t%d\t%dx%d\t%d\t%d\t%s\n", r, state->Selection[r - 1] ? 1 : 0,
                report.SlotsX, report.SlotsY, report.GraphCount, report.TableCount,
                report.Title.c_str());
  }
  PrintProfiles("profile", state->Profiles);
  PrintProfiles("sequenceprofile", state->SequenceProfiles);
  return std::fflush(stdout) == 0 ? kExitOk : kExitUsage;
}

}  // namespace vantrel::report_tool

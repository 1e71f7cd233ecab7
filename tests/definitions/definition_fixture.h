#pragma once
// Loads a definition file written in the test and reads it the way start-up does.

#include <memory>
#include <string>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"
#include "definitions/ini_store.h"
#include "definitions/program_state.h"
#include "definitions/report_reader.h"
#include "definitions/settings_reader.h"

namespace vantrel::testing {

/// Lines are joined with CR LF, as the files arrive from the instruments' machines.
inline std::string IniText(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

struct LoadedDefinition {
  TempDir Dir;
  RecordingPrompter Prompter;
  std::unique_ptr<ProgramState> State = std::make_unique<ProgramState>();

  /// LoadIni and the settings reader; with reports also the report definitions.
  bool Load(const std::string& text, bool reports = true, const std::string& reportList = {}) {
    const std::string path = Dir.Write("def.ini", text).string();
    if (!LoadIni(path, State->Ini, Prompter)) return false;
    ReadSettings(*State, Prompter, reportList);
    if (reports) ReadReportsIni(*State, Prompter);
    return true;
  }
  const ReportDefinition& Report(int r) const { return State->Reports[r - 1]; }
  const GraphDefinition& Graph(int r, int g) const { return Report(r).Graphs[g - 1]; }
  const TableDefinition& Table(int r, int t) const { return Report(r).Tables[t - 1]; }
};

}  // namespace vantrel::testing

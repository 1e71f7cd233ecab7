#include "tools/vantrel_report/opened_run.h"

#include <cstdio>

#include "definitions/ini_store.h"
#include "definitions/settings_reader.h"
#include "platform/signal_cleanup.h"
#include "platform/temp_folder.h"
#include "tools/vantrel_report/output_file.h"
#include "tools/vantrel_report/output_selection.h"

namespace vantrel::report_tool {

namespace {

// The data file's header may name a profile to start with.
class ProfileHost : public NullDataHost {
 public:
  ProfileHost(ProgramState& state, Prompter& prompter) : state_(state), prompter_(prompter) {}
  void ApplyProfile(const std::string& value) override { SelectProfile(state_, value, prompter_); }

 private:
  ProgramState& state_;
  Prompter& prompter_;
};

}  // namespace

int Fail(const std::string& what, int code) {
  std::fprintf(stderr, "vantrel-report: %s\n", what.c_str());
  return code;
}

int OpenRun(const Options& o, OpenedRun& run, const std::function<void()>& beforeData) {
  if (o.Definition.empty()) return Fail("--definition FILE is needed", kExitUsage);
  if (o.Data.empty()) return Fail("--data FILE is needed", kExitUsage);
  RemoveTemporaryFilesOnSignals();
  run.State = std::make_unique<ProgramState>();
  ProgramState& state = *run.State;
  run.Prompter = std::make_unique<StderrPrompter>(&state.AppTitle);
  Prompter& prompter = *run.Prompter;
  if (!LoadIni(o.Definition, state.Ini, prompter))
    return Fail("cannot load the definition file " + o.Definition, kExitUsage);
  state.DefinitionPath = o.Definition;
  ReadSettings(state, prompter, "");
  FindLogoBeside(state.Settings, o.Definition);
  // Refused before anything is written: the instrument's raw result must survive.
  // With --separate, --pdf names the folder the PDFs go to.
  if (!o.Pdf.empty() && !o.Separate) {
    const std::string refusal = OutputRefusal(o.Pdf, {o.Data, o.Definition, state.Settings.Logo});
    if (!refusal.empty()) return Fail(refusal, kExitUsage);
  }

  const TempFolder tempFolder = FindTempFolder();
  if (!tempFolder.Error.empty()) return Fail(tempFolder.Error, kExitNotLoaded);
  run.Host = std::make_unique<ProfileHost>(state, prompter);
  run.Data = std::make_unique<ObjData>(state, prompter, *run.Host);
  run.Data->UseTempFolder(tempFolder.Path);
  state.DataFilePath = o.Data;
  if (beforeData) beforeData();
  if (!run.Data->SetFile(o.Data))
    return Fail("the data file " + o.Data + " was not loaded", kExitNotLoaded);

  if (o.Reports) {
    const std::string error = ParseReportList(*o.Reports, state.Ini.NumReports, state.Selection);
    if (!error.empty()) return Fail(error, kExitUsage);
  } else if (o.Profile) {
    if (!SelectProfile(state, *o.Profile, prompter))
      return Fail("there is no profile named '" + *o.Profile + "'", kExitUsage);
  }
  return kExitOk;
}

}  // namespace vantrel::report_tool

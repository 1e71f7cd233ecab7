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
  if (o.definition.empty()) return Fail("--definition FILE is needed", kExitUsage);
  if (o.data.empty()) return Fail("--data FILE is needed", kExitUsage);
  RemoveTemporaryFilesOnSignals();
  run.state = std::make_unique<ProgramState>();
  ProgramState& state = *run.state;
  run.prompter = std::make_unique<StderrPrompter>(&state.AppTitle);
  Prompter& prompter = *run.prompter;
  if (!LoadIni(o.definition, state.Ini, prompter))
    return Fail("cannot load the definition file " + o.definition, kExitUsage);
  state.DefinitionPath = o.definition;
  ReadSettings(state, prompter, "");
  FindLogoBeside(state.Settings, o.definition);
  // Refused before anything is written: the instrument's raw result must survive.
  // With --separate, --pdf names the folder the PDFs go to.
  if (!o.pdf.empty() && !o.separate) {
    const std::string refusal = OutputRefusal(o.pdf, {o.data, o.definition, state.Settings.Logo});
    if (!refusal.empty()) return Fail(refusal, kExitUsage);
  }

  const TempFolder tempFolder = FindTempFolder();
  if (!tempFolder.error.empty()) return Fail(tempFolder.error, kExitNotLoaded);
  run.host = std::make_unique<ProfileHost>(state, prompter);
  run.data = std::make_unique<ObjData>(state, prompter, *run.host);
  run.data->UseTempFolder(tempFolder.path);
  state.DataFilePath = o.data;
  if (beforeData) beforeData();
  if (!run.data->SetFile(o.data))
    return Fail("the data file " + o.data + " was not loaded", kExitNotLoaded);

  if (o.reports) {
    const std::string error = ParseReportList(*o.reports, state.Ini.NumReports, state.Selection);
    if (!error.empty()) return Fail(error, kExitUsage);
  } else if (o.profile) {
    if (!SelectProfile(state, *o.profile, prompter))
      return Fail("there is no profile named '" + *o.profile + "'", kExitUsage);
  }
  return kExitOk;
}

}  // namespace vantrel::report_tool

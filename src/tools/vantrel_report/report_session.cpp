#include "tools/vantrel_report/report_session.h"

#include <cstdio>
#include <cstdlib>

#include "definitions/ini_store.h"
#include "definitions/settings_reader.h"
#include "platform/signal_cleanup.h"
#include "platform/temp_folder.h"
#include "results/data_host.h"
#include "support/text.h"
#include "tools/vantrel_report/output_file.h"
#include "tools/vantrel_report/output_selection.h"

namespace vantrel::report_tool {

// The data file's header may name a profile to start with.
class ReportSession::Host : public NullDataHost {
 public:
  Host(ProgramState& state, Prompter& prompter) : state_(state), prompter_(prompter) {}
  void ApplyProfile(const std::string& value) override { SelectProfile(state_, value, prompter_); }

 private:
  ProgramState& state_;
  Prompter& prompter_;
};

namespace {

// Qt's own notes (XDG_RUNTIME_DIR and the like) are not the tool's to say unless asked.
void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "vantrel-report: %s\n", text.toLocal8Bit().constData());
    std::abort();
  }
}

}  // namespace

std::unique_ptr<QGuiApplication> StartGui(bool verbose) {
  if (!verbose) qInstallMessageHandler(QuietQt);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "vantrel-report";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

int Fail(const std::string& what, int code) {
  std::fprintf(stderr, "vantrel-report: %s\n", what.c_str());
  return code;
}

std::string MissingData(ObjData& data, const Options& o) {
  const std::string fault = data.CertificationFault(o.allowIncomplete);
  if (fault.empty() || data.UnreadableTests() > 0) return fault;
  return fault + " (--allow-incomplete accepts such reports)";
}

std::string ShownTitle(RenderContext& context, const std::string& title) {
  return ReplaceAll(title, "TEST_DESCRIPTION", context.Data.TestDescription());
}

ReportSession::ReportSession() = default;
ReportSession::~ReportSession() = default;

int ReportSession::Open(const Options& o) {
  if (o.definition.empty()) return Fail("--definition FILE is needed", kExitUsage);
  if (o.data.empty()) return Fail("--data FILE is needed", kExitUsage);
  RemoveTemporaryFilesOnSignals();
  app_ = StartGui(o.verbose);
  // The definitions are far too large for the stack.
  state_ = std::make_unique<ProgramState>();
  ProgramState& state = *state_;
  prompter_ = std::make_unique<StderrPrompter>(&state.AppTitle);
  if (!LoadIni(o.definition, state.Ini, *prompter_))
    return Fail("cannot load the definition file " + o.definition, kExitUsage);
  state.DefinitionPath = o.definition;
  ReadSettings(state, *prompter_, "");
  FindLogoBeside(state.Settings, o.definition);
  // Refused before anything is written: the instrument's raw result must survive.
  // With --separate, --pdf names the folder the PDFs go to.
  if (!o.pdf.empty() && !o.separate) {
    const std::string refusal = OutputRefusal(o.pdf, {o.data, o.definition, state.Settings.Logo});
    if (!refusal.empty()) return Fail(refusal, kExitUsage);
  }

  const TempFolder tempFolder = FindTempFolder();
  if (!tempFolder.error.empty()) return Fail(tempFolder.error, kExitNotLoaded);
  host_ = std::make_unique<Host>(state, *prompter_);
  data_ = std::make_unique<ObjData>(state, *prompter_, *host_);
  data_->UseTempFolder(tempFolder.path);
  state.DataFilePath = o.data;
  if (!data_->SetFile(o.data))
    return Fail("the data file " + o.data + " was not loaded", kExitNotLoaded);

  if (o.reports) {
    const std::string error = ParseReportList(*o.reports, state.Ini.NumReports, state.Selection);
    if (!error.empty()) return Fail(error, kExitUsage);
  } else if (o.profile) {
    if (!SelectProfile(state, *o.profile, *prompter_))
      return Fail("there is no profile named '" + *o.profile + "'", kExitUsage);
  }

  source_ = std::make_unique<ObjDataSource>(*data_);
  source_->AllowIncomplete(o.allowIncomplete);
  context_ = std::make_unique<RenderContext>(
      RenderContext{.State = state, .Data = *source_, .Ask = *prompter_, .SlotsFlag = o.slots});
  UseDefinitionColours(*context_);
  // The definitions are read once here so that the PDF's title and the report
  // titles of the progress lines are known before the first page.
  context_->ReadReports();
  if (SelectedCount() == 0) return Fail("no report is selected; nothing was written", kExitOutput);
  return kExitOk;
}

int ReportSession::LoadData(const std::string& path) {
  state_->DataFilePath = path;
  if (!data_->SetFile(path))
    return Fail("the data file " + path + " was not loaded", kExitNotLoaded);
  return kExitOk;
}

int ReportSession::SelectedCount() const {
  int selected = 0;
  for (bool on : state_->Selection) selected += on ? 1 : 0;
  return selected;
}

}  // namespace vantrel::report_tool

#include "tools/vantrel_report/report_session.h"

#include <cstdio>
#include <cstdlib>

#include "render/font_metrics.h"
#include "support/text.h"

namespace vantrel::report_tool {

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

std::string MissingData(ObjData& data, const Options& o) {
  const std::string fault = data.CertificationFault(o.AllowIncomplete);
  if (fault.empty() || data.UnreadableTests() > 0) return fault;
  return fault + " (--allow-incomplete accepts such reports)";
}

std::string ShownTitle(RenderContext& context, const std::string& title) {
  return ReplaceAll(title, "TEST_DESCRIPTION", context.Data.TestDescription());
}

ReportSession::ReportSession() = default;
ReportSession::~ReportSession() = default;

int ReportSession::Open(const Options& o, OpenedRun* opened) {
  if (opened != nullptr) {
    run_ = std::move(*opened);
  } else if (const int status = OpenRun(o, run_); status != kExitOk) {
    return status;
  }
  app_ = StartGui(o.Verbose);
  fontsWarm_ = WarmUpPrintFonts();
  ProgramState& state = State();
  StderrPrompter& prompter = *run_.Prompter;
  source_ = std::make_unique<ObjDataSource>(*run_.Data);
  source_->AllowIncomplete(o.AllowIncomplete);
  context_ = std::make_unique<RenderContext>(
      RenderContext{.State = state, .Data = *source_, .Ask = prompter, .SlotsFlag = o.Slots});
  UseDefinitionColours(*context_);
  // The definitions are read once here so that the PDF's title and the report
  // titles of the progress lines are known before the first page.
  context_->ReadReports();
  if (SelectedCount() == 0) return Fail("no report is selected; nothing was written", kExitOutput);
  return kExitOk;
}

int ReportSession::LoadData(const std::string& path) {
  State().DataFilePath = path;
  if (!Data().SetFile(path))
    return Fail("the data file " + path + " was not loaded", kExitNotLoaded);
  return kExitOk;
}

int ReportSession::SelectedCount() const {
  int selected = 0;
  for (bool on : run_.State->Selection) selected += on ? 1 : 0;
  return selected;
}

}  // namespace vantrel::report_tool

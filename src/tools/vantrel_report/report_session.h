#pragma once
// The definition file, the data file and the report selection of one run of the
// tool, loaded as the output and the layout check both need them.

#include <QGuiApplication>
#include <memory>

#include "definitions/program_state.h"
#include "platform/stderr_prompter.h"
#include "render/objdata_source.h"
#include "render/render_context.h"
#include "results/obj_data.h"
#include "tools/vantrel_report/options.h"

namespace vantrel::report_tool {

class ReportSession {
 public:
  ReportSession();
  ~ReportSession();
  /// kExitOk, or the exit status after the reason was printed.
  int Open(const Options& options);
  ProgramState& State() { return *state_; }
  RenderContext& Context() { return *context_; }
  const ObjData& Data() const { return *data_; }
  ObjData& Data() { return *data_; }
  /// Makes path the current data file, the selection kept; kExitOk or the status.
  int LoadData(const std::string& path);
  int SelectedCount() const;

 private:
  class Host;
  std::unique_ptr<QGuiApplication> app_;
  std::unique_ptr<ProgramState> state_;
  std::unique_ptr<StderrPrompter> prompter_;
  std::unique_ptr<Host> host_;
  std::unique_ptr<ObjData> data_;
  std::unique_ptr<ObjDataSource> source_;
  std::unique_ptr<RenderContext> context_;
};

/// Why a run over data must not write its output: a test of the file that cannot be
/// read, or an incomplete one without --allow-incomplete; "" when nothing lacks. Every
/// test is judged, not only those the selected reports show.
std::string MissingData(ObjData& data, const Options& options);

/// A report title as its page shows it, the test description filled in.
std::string ShownTitle(RenderContext& context, const std::string& title);

/// The offscreen GUI that fonts, PDFs and pictures need; Qt's own warnings only when
/// verbose.
std::unique_ptr<QGuiApplication> StartGui(bool verbose);

/// Prints "vantrel-report: what" and gives code.
int Fail(const std::string& what, int code);

}  // namespace vantrel::report_tool

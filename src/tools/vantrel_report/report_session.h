#pragma once
// The definition file, the data file and the report selection of one run of the
// tool, loaded as the output and the layout check both need them.

#include <QGuiApplication>
#include <future>
#include <memory>

#include "render/objdata_source.h"
#include "render/render_context.h"
#include "tools/vantrel_report/opened_run.h"
#include "tools/vantrel_report/options.h"

namespace vantrel::report_tool {

class ReportSession {
 public:
  ReportSession();
  ~ReportSession();
  /// kExitOk, or the exit status after the reason was printed. A run already opened
  /// from the same options is taken over instead of read again.
  int Open(const Options& options, OpenedRun* opened = nullptr);
  ProgramState& State() { return *run_.State; }
  RenderContext& Context() { return *context_; }
  const ObjData& Data() const { return *run_.Data; }
  ObjData& Data() { return *run_.Data; }
  /// Makes path the current data file, the selection kept; kExitOk or the status.
  int LoadData(const std::string& path);
  int SelectedCount() const;

 private:
  std::unique_ptr<QGuiApplication> app_;
  // Destroyed before the GUI it needs.
  std::future<void> fontsWarm_;
  OpenedRun run_;
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

}  // namespace vantrel::report_tool

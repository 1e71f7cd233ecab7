#include <cstdio>

#include "render/layout_check.h"
#include "render/page_target.h"
#include "render/report_job.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/report_session.h"

namespace vantrel::report_tool {

namespace {

class FindingPrinter : public ReportObserver {
 public:
  void PagePlanned(const PagePlan& page) override {
    for (const LayoutFinding& f : CheckLayout(page)) {
      std::printf("%s\n", FindingLine(page, f).c_str());
      ++findings_;
    }
  }
  int Findings() const { return findings_; }

 private:
  int findings_ = 0;
};

}  // namespace

int RunCheckLayout(const Options& o) {
  ReportSession session;
  if (const int status = session.Open(o); status != kExitOk) return status;
  RenderContext& context = session.Context();
  FindingPrinter printer;
  context.Observer = &printer;
  PictureTarget target(PaperByName(o.PageSize));
  const JobProgress progress = [&](const std::string& title, int n, int total) {
    if (!o.Quiet)
      std::fprintf(stderr, "Checking %s  (%d/%d)\n", ShownTitle(context, title).c_str(), n, total);
  };
  const ReportJobResult r =
      ProduceSelectedReports(context, target, session.State().Selection, progress);
  context.Observer = nullptr;
  if (!r.AllProduced()) return Fail("not every selected report was laid out", kExitOutput);
  return printer.Findings() > 0 ? kExitLayoutFindings : kExitOk;
}

}  // namespace vantrel::report_tool

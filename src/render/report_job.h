#pragma once
// One job holding every selected report, each after the first on a new page. Used
// by the batch tool and by the print run.

#include <functional>
#include <string>

#include "render/page_target.h"
#include "render/render_context.h"
#include "render/report_producer.h"

namespace vantrel {

struct ReportJobResult {
  int Selected = 0;    // reports in the selection
  int Produced = 0;    // drawn completely
  int Skipped = 0;     // the data file lacks their tests
  int Failed = 0;      // faulted, cancelled or too small a page
  bool Quit = false;   // the user asked to close the program
  bool Ended = false;  // the target's job was completed
  std::string Error;   // the target's fault, when it could not be completed
  bool AllProduced() const { return Failed == 0 && !Quit && Error.empty(); }
};

/// Called before each report with its title, its place in the selection and the count.
using JobProgress = std::function<void(const std::string& title, int n, int total)>;

/// Gives a target that keeps one (a PDF) the record of the current files, before it
/// is begun.
void RecordCertificate(RenderContext& context, PageTarget& target);

/// Walks selection (index i for report i+1) in order. The target is begun here and
/// ended when any page was drawn; with nothing drawn no page is started at all.
ReportJobResult ProduceSelectedReports(RenderContext& context, PageTarget& target,
                                       const ReportSelection& selection,
                                       const JobProgress& progress = {});

}  // namespace vantrel

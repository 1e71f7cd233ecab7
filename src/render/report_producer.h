#pragma once
// Draws one report definition page by page: frame, logo, title bands, header block,
// graphs and tables on the slot grid. Each page is laid out as a plan first and
// painted when complete.

#include <cstdint>
#include <functional>

#include "render/page_canvas.h"
#include "render/page_layout.h"
#include "render/page_plan.h"
#include "render/page_target.h"
#include "render/render_context.h"
#include "render/slot_layout.h"

namespace vantrel {

/// Carried from one report to the next within one job.
struct JobPageState {
  bool FirstPage = true;    // false: the next report starts with a new page
  bool Printed = false;     // something was sent; the caller owes End()
  int16_t PageCounter = 0;  // pages that carried a number
  bool HeaderDone = false;
  bool LogoDone = false;
};

enum class ProduceOutcome {
  Drawn,          // every page of the report was drawn
  NotTested,      // printing: the data file lacks every test of the report
  Busy,           // a production was already running
  PaperTooSmall,  // reported to the user, nothing drawn
  Cancelled,      // stopped between items; what was drawn stays
  Faulted,        // a fault was answered Cancel, then No to closing the program
  QuitRequested,  // the user asked to close the program
};

class ReportProducer {
 public:
  explicit ReportProducer(RenderContext& context) : context_(context) {}

  /// reportIndex is 0-based. In preview the report is drawn once, on one page.
  ProduceOutcome ProduceReport(int reportIndex, bool preview, PageTarget& target,
                               JobPageState& job);

  /// Asks a running production to stop at its next check point.
  void RequestCancel() { cancelRequested_ = true; }
  bool Busy() const { return busy_; }
  /// Lets pending events run (set by the window), then reports a cancel request.
  std::function<void()> ProcessEvents;
  bool CheckCancel();

 private:
  /// Fetches the page's data, lays it out; job's header and page counters move on.
  PageLayout PlanPage(const PageRequest& in, double widthMm, double heightMm, JobPageState& job);
  /// Plans, asks about faults, paints. Drawn, or the outcome that ends the report.
  ProduceOutcome DrawPage(const PageRequest& in, PageTarget& target, JobPageState& job,
                          bool& cancelled);

  RenderContext& context_;
  bool busy_ = false;
  bool cancelRequested_ = false;
};

}  // namespace vantrel

#include "render/report_producer.h"

#include <exception>
#include <memory>

#include "render/page_data.h"
#include "render/page_header.h"
#include "render/paint_pipeline.h"
#include "render/plan_painter.h"
#include "render/routine_fault.h"
#include "render/slot_layout.h"

namespace vantrel {

namespace {

// Clears the busy flag however the call ends.
struct BusyGuard {
  bool& Flag;
  explicit BusyGuard(bool& f) : Flag(f) { Flag = true; }
  ~BusyGuard() { Flag = false; }
};

}  // namespace

bool ReportProducer::CheckCancel() {
  if (ProcessEvents) ProcessEvents();
  return cancelRequested_;
}

PageLayout ReportProducer::PlanPage(const PageRequest& in, double widthMm, double heightMm,
                                    JobPageState& job) {
  ProgramState& state = context_.State;
  const ReportDefinition& report = state.Reports[static_cast<std::size_t>(in.ReportIndex)];
  FillHeaderLabels(state.Header);
  const bool headerShown = !(report.HideHeader || in.NoHeader);
  const auto cancel = [this] { return CheckCancel(); };
  const PageData data =
      FetchPageData(context_.Data, state, report, in.ColumnOffset, headerShown, cancel);
  const FontMetrics& fonts = context_.Fonts ? *context_.Fonts : PrintFontMetrics();
  PageRequest request = in;
  request.PageCounter = job.PageCounter;
  PageLayout page = LayOutPage(context_, request, data, widthMm, heightMm, fonts, cancel);
  if (page.Result == PageResult::NeedsMarkBand) {
    // Failure is known only once the items are laid out: lay the page out again
    // with room at the top for the mark.
    request.MarkBand = true;
    page = LayOutPage(context_, request, data, widthMm, heightMm, fonts, cancel);
  }
  for (const PlanTable& table : page.Plan.Tables) {
    if (table.LeftOut.empty()) continue;
    context_.Ask.Tell("Table " + std::to_string(table.Number) + " of report " +
                          std::to_string(in.ReportIndex + 1) + " (" + report.Title + ") has " +
                          std::to_string(table.LeftOut.size()) +
                          " rows more than its space can show at a readable size.\r\rThose "
                          "rows are left off the page.",
                      {}, PromptIcon::Exclamation);
  }
  job.PageCounter = page.PageCounter;
  if (page.HeaderDone) {
    job.HeaderDone = true;
    job.LogoDone = true;
  }
  return page;
}

ProduceOutcome ReportProducer::DrawPage(const PageRequest& in, PageTarget& target,
                                        JobPageState& job, bool& cancelled) {
  bool pageStarted = false;
  for (;;) {
    std::string fault;
    bool device = false;
    // A retried page is planned again from the same counters.
    JobPageState attempt = job;
    try {
      if (!attempt.FirstPage && !pageStarted) {
        if (PaintPipeline* pipe = context_.Pipeline) {
          pipe->Queue([&target, pipe] {
            if (!target.NewPage()) pipe->Fail(target.Error());
          });
        } else if (!target.NewPage()) {
          throw OutputDeviceError(target.Error());
        }
      }
      attempt.FirstPage = false;
      attempt.Printed = true;
      pageStarted = true;
      PageLayout page = PlanPage(in, target.PageWidthMm(), target.PageHeightMm(), attempt);
      PagePlan& plan = page.Plan;
      cancelled = page.Result == PageResult::Cancelled;
      if (PaintPipeline* pipe = context_.Pipeline) {
        if (!cancelled && context_.Observer) context_.Observer->PagePlanned(plan);
        // A target begun lazily begins here, on this thread, before painting moves on.
        target.Painter();
        auto queued = std::make_shared<const PagePlan>(std::move(plan));
        pipe->Queue([queued, &target] { PaintPlan(*queued, target); });
        job = attempt;
        return ProduceOutcome::Drawn;
      }
      // What was laid out before a cancel is still shown.
      PaintPlan(plan, target);
      job = attempt;
      if (!cancelled && context_.Observer) context_.Observer->PagePlanned(plan);
      return ProduceOutcome::Drawn;
    } catch (const OutputDeviceError& e) {
      device = !target.IsFileOutput();
      fault = std::string("Error: ") +
              (*e.what() != '\0' ? e.what() : "the output could not be written");
    } catch (const RoutineFault& e) {
      fault = e.what();
    } catch (const std::exception& e) {
      fault = std::string("Error: ") + e.what();
    } catch (...) {
      fault = "Error: unknown fault";
    }
    job.FirstPage = attempt.FirstPage;
    job.Printed = attempt.Printed;
    const PromptAnswer answer = context_.Ask.Message(
        device ? "Problem Printing to the Printer\rCheck that it is online" : fault, {},
        PromptIcon::Exclamation, PromptButtons::RetryCancel);
    if (answer == PromptAnswer::Retry) continue;
    const PromptAnswer close =
        context_.Ask.Message("Do you want to close the report software?", "Reports",
                             PromptIcon::Exclamation, PromptButtons::YesNo);
    return close == PromptAnswer::Yes ? ProduceOutcome::QuitRequested : ProduceOutcome::Faulted;
  }
}

ProduceOutcome ReportProducer::ProduceReport(int reportIndex, bool preview, PageTarget& target,
                                             JobPageState& job) {
  if (busy_) return ProduceOutcome::Busy;
  if (reportIndex < 0 || reportIndex >= kReportSlots) return ProduceOutcome::Faulted;
  cancelRequested_ = false;
  BusyGuard busy(busy_);
  ReportDataSource& data = context_.Data;
  data.ResetNumCols();
  if (context_.ReadReports) context_.ReadReports();
  const ProgramState& state = context_.State;
  const ReportDefinition& report = state.Reports[static_cast<std::size_t>(reportIndex)];
  if (!preview) {
    if (!data.CheckTested(reportIndex)) return ProduceOutcome::NotTested;
  }
  if (CheckCancel()) {
    job.FirstPage = false;
    return ProduceOutcome::Cancelled;
  }

  TellSlotsPastGrid(report, context_.Ask);
  PageRequest in;
  in.ReportIndex = reportIndex;
  for (;; ++in.Page) {
    in.NoHeader = job.HeaderDone && state.Header.FirstPageOnly;
    in.NoLogo = job.LogoDone && state.Settings.FirstPageOnly;
    if (target.PageWidthMm() < 50 || target.PageHeightMm() < 50) {
      context_.Ask.Tell("The Paper size is too small.\rCheck the Printer Setup");
      return ProduceOutcome::PaperTooSmall;
    }
    bool cancelled = false;
    const ProduceOutcome outcome = DrawPage(in, target, job, cancelled);
    if (outcome != ProduceOutcome::Drawn) return outcome;
    if (cancelled) return ProduceOutcome::Cancelled;

    if (report.GraphCount > 0)
      in.ColumnOffset += report.GraphCount;
    else if (report.TableCount > 0)
      in.ColumnOffset += CountTablePairColumns(report);
    const bool more = data.MoreColsToShow(in.ColumnOffset);
    if (!(more && report.MultiPage && !preview && in.ColumnOffset != 0)) break;
    // A report never runs to more pages than a 16-bit page count holds.
    if (in.Page >= 1000) break;
  }
  return ProduceOutcome::Drawn;
}

}  // namespace vantrel

#include "render/report_producer.h"

#include <exception>
#include <memory>

#include "render/graph_plotter.h"
#include "render/page_header.h"
#include "render/paint_pipeline.h"
#include "render/plan_painter.h"
#include "render/report_colours.h"
#include "render/slot_layout.h"
#include "render/table_drawer.h"
#include "render/text_box.h"
#include "support/text.h"

namespace vantrel {

namespace {

// Clears the busy flag however the call ends.
struct BusyGuard {
  bool& flag;
  explicit BusyGuard(bool& f) : flag(f) { flag = true; }
  ~BusyGuard() { flag = false; }
};

void Label(PageCanvas& canvas, const MmRect& r, const std::string& text) {
  CanvasStateGuard keep(canvas);
  canvas.FontSize = 9;
  canvas.FontBold = false;
  canvas.CurrentX = r.Left;
  canvas.CurrentY = r.Top;
  canvas.PrintAid(text);
}

int AtLeastOne(int n) { return n > 0 ? n : 1; }

// Height of the band a page without logo gets for the large fail mark.
constexpr float kFailMarkBand = 14;

}  // namespace

bool ReportProducer::CheckCancel() {
  if (ProcessEvents) ProcessEvents();
  return cancelRequested_;
}

void ReportProducer::PlanTitleBands(PageCanvas& canvas, const BandLayout& layout, bool hasTitle,
                                    bool hasSubHeader, const ReportDefinition& report) {
  const AppSettings& s = context_.State.Settings;
  if (hasTitle) {
    CanvasStateGuard keep(canvas);
    canvas.Item = "title";
    canvas.FontSize = 12;
    canvas.FontBold = true;
    const std::string title =
        ReplaceAll(report.Title, "TEST_DESCRIPTION", context_.Data.TestDescription());
    if (s.NewTables) {
      DrawTextBox(canvas, title, layout.Title, HAlign::Centre, VAlign::Middle, false,
                  TitleBandColour(context_), TitleTextColour(context_));
    } else {
      DrawTextBox(canvas, title, layout.Title, HAlign::Centre, VAlign::Middle, false, kNoFill,
                  std::nullopt);
    }
    if (context_.SlotsFlag) Label(canvas, layout.Title, "Title");
  }
  if (hasSubHeader) {
    CanvasStateGuard keep(canvas);
    canvas.Item = "sub-header";
    canvas.FontSize = 9;
    canvas.FontBold = false;
    if (s.NewTables) {
      DrawTextBox(canvas, report.SubHeader, layout.SubHeader, HAlign::Centre, VAlign::Middle, false,
                  kBandBlue, kWhite);
    } else {
      DrawTextBox(canvas, report.SubHeader, layout.SubHeader, HAlign::Centre, VAlign::Middle, false,
                  kNoFill, std::nullopt);
    }
    if (context_.SlotsFlag) Label(canvas, layout.SubHeader, "Sub Title");
  }
  canvas.Item.clear();
}

void ReportProducer::PlanSlotAid(PageCanvas& canvas, const SlotGrid& slots, int slotsX,
                                 int slotsY) {
  int n = 0;
  for (int r = 0; r < slotsY; ++r) {
    for (int c = 0; c < slotsX; ++c) {
      const MmRect cell = SlotRect(slots, c, r);
      canvas.DrawWidth = 1;
      canvas.Box(cell.Left, cell.Top, cell.Right(), cell.Bottom());
      Label(canvas, cell, "Slot " + std::to_string(++n));
    }
  }
}

ReportProducer::PageResult ReportProducer::PlanPage(const PageInput& in, PagePlan& plan,
                                                    JobPageState& job) {
  const ProgramState& state = context_.State;
  const AppSettings& s = state.Settings;
  const ReportDefinition& report = state.Reports[static_cast<std::size_t>(in.ReportIndex)];
  const int slotsX = AtLeastOne(report.SlotsX), slotsY = AtLeastOne(report.SlotsY);
  PageCanvas canvas(plan, context_.Fonts ? *context_.Fonts : PrintFontMetrics());
  canvas.FontName = "Arial";
  canvas.FontSize = 9;
  canvas.FontTransparent = true;
  canvas.ForeColor = kBlack;
  canvas.FillColor = kWhite;
  canvas.FillStyle = 1;
  bool failed = false;
  const float border = report.Border;
  if (context_.SlotsFlag) {
    canvas.Box(border, border, canvas.ScaleWidth() - border, canvas.ScaleHeight() - border);
    Label(canvas, {0, 0, border, border}, s.PageName);
  }
  LogoLayout logo;
  MmRect headerRect;
  canvas.Item = "logo";
  float logoHeight = DrawLogo(context_, canvas, border, in.NoLogo, logo);
  if (in.MarkBand && logoHeight <= 0) {
    logo.Band.Height = kFailMarkBand;
    logoHeight = kFailMarkBand;
  }
  const MmRect& logoRect = logo.Band;
  canvas.Item.clear();
  if (CheckCancel()) return PageResult::Cancelled;
  const bool hidden = report.HideHeader || in.NoHeader;
  LayOutHeader(context_, canvas, border, logoRect, logoHeight, hidden, headerRect);
  DrawPageNumber(context_, canvas, headerRect, job.PageCounter);
  if (CheckCancel()) return PageResult::Cancelled;

  BandInput bands;
  bands.PageWidth = plan.WidthMm;
  bands.PageHeight = plan.HeightMm;
  bands.Logo = logoRect;
  bands.LogoHeight = logoHeight;
  bands.Header = headerRect;
  bands.NewTables = s.NewTables;
  bands.HasTitle = !Trim(report.Title).empty();
  bands.HasSubHeader = !Trim(report.SubHeader).empty();
  // A page number at the foot gets its own line below the slots.
  if (s.PageNum != PageNumberPlace::None && !AtTop(s.PageNum)) bands.FootReserve = 4;
  const BandLayout layout = LayOutBands(bands);
  PlanTitleBands(canvas, layout, bands.HasTitle, bands.HasSubHeader, report);
  const SlotGrid slots = MakeSlotGrid(layout.SlotArea, slotsX, slotsY, border);
  if (context_.SlotsFlag) PlanSlotAid(canvas, slots, slotsX, slotsY);

  context_.Data.TakeIncompleteRead();
  const int graphs = std::min<int>(report.GraphCount, kMaxGraphs);
  for (int g = 0; g < graphs; ++g) {
    if (CheckCancel()) return PageResult::Cancelled;
    canvas.Item = "graph " + std::to_string(g + 1);
    PlotGraph2(context_, canvas, report.Graphs[static_cast<std::size_t>(g)], slots, in.ColumnOffset,
               g, slotsX, slotsY, failed);
  }
  const int tables = std::min<int>(report.TableCount, kMaxTables);
  for (int t = 0; t < tables; ++t) {
    if (CheckCancel()) return PageResult::Cancelled;
    canvas.Item = "table " + std::to_string(t + 1);
    DrawTable(context_, canvas, report.Tables[static_cast<std::size_t>(t)], slots, in.ColumnOffset,
              slotsX, slotsY, failed, t + 1);
  }
  canvas.Item.clear();
  if (CheckCancel()) return PageResult::Cancelled;
  if (!hidden) {
    const bool shownFailed = ReportFailedStatus(context_, failed);
    const bool incomplete = context_.Data.TakeIncompleteRead();
    canvas.Item = "header block";
    DrawHeaderBlock(context_, canvas, headerRect, shownFailed, incomplete);
    canvas.Item = "fail mark";
    const bool marked = DrawBigFail(context_, canvas, shownFailed, logo);
    canvas.Item.clear();
    if (!marked) return PageResult::NeedsMarkBand;
    job.HeaderDone = true;
    job.LogoDone = true;
  }
  return PageResult::Planned;
}

ProduceOutcome ReportProducer::DrawPage(const PageInput& in, PageTarget& target, JobPageState& job,
                                        bool& cancelled) {
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
      PagePlan plan;
      plan.WidthMm = target.PageWidthMm();
      plan.HeightMm = target.PageHeightMm();
      plan.Report = in.ReportIndex + 1;
      plan.Page = in.Page;
      PageResult result = PlanPage(in, plan, attempt);
      if (result == PageResult::NeedsMarkBand) {
        // Failure is known only once the items are laid out: lay the page out
        // again with room at the top for the mark.
        PageInput again = in;
        again.MarkBand = true;
        attempt = job;
        attempt.FirstPage = false;
        attempt.Printed = true;
        plan.Items.clear();
        plan.Graphs.clear();
        plan.Tables.clear();
        result = PlanPage(again, plan, attempt);
      }
      cancelled = result == PageResult::Cancelled;
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
    } catch (const OutputDeviceError&) {
      device = true;
    } catch (const std::exception& e) {
      fault = e.what();
    } catch (...) {
      fault = "unknown fault";
    }
    job.FirstPage = attempt.FirstPage;
    job.Printed = attempt.Printed;
    const PromptAnswer answer = context_.Ask.Message(
        device ? "Problem Printing to the Printer\rCheck that it is online" : "Error: " + fault, {},
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
  PageInput in;
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

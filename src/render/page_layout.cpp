#include "render/page_layout.h"

#include <future>

#include "render/graph_plotter.h"
#include "render/page_canvas.h"
#include "render/page_header.h"
#include "render/paint_pipeline.h"
#include "render/report_colours.h"
#include "render/routine_fault.h"
#include "render/slot_layout.h"
#include "render/table_drawer.h"
#include "render/text_box.h"
#include "support/text.h"

namespace vantrel {

namespace {

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

void PlanTitleBands(const LayoutContext& context, PageCanvas& canvas, const BandLayout& layout,
                    bool hasTitle, bool hasSubHeader, const ReportDefinition& report,
                    const PageData& data) {
  const AppSettings& s = context.State.Settings;
  if (hasTitle) {
    CanvasStateGuard keep(canvas);
    canvas.Item = "title";
    canvas.FontSize = 12;
    canvas.FontBold = true;
    const std::string title = ReplaceAll(report.Title, "TEST_DESCRIPTION", data.TestDescription);
    if (s.NewTables) {
      DrawTextBox(canvas, title, layout.Title, HAlign::Centre, VAlign::Middle, false,
                  TitleBandColour(context), TitleTextColour(context));
    } else {
      DrawTextBox(canvas, title, layout.Title, HAlign::Centre, VAlign::Middle, false, kNoFill,
                  std::nullopt);
    }
    if (context.SlotsFlag) Label(canvas, layout.Title, "Title");
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
    if (context.SlotsFlag) Label(canvas, layout.SubHeader, "Sub Title");
  }
  canvas.Item.clear();
}

void PlanSlotAid(PageCanvas& canvas, const SlotGrid& slots, int slotsX, int slotsY) {
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

// Graph g of the page, its faults named for the routine.
void PlanGraphItem(const LayoutContext& context, PageCanvas& canvas, const PageData& data,
                   const ReportDefinition& report, const SlotGrid& slots, std::size_t g, int slotsX,
                   int slotsY, bool& failed, bool& incomplete) {
  canvas.Item = "graph " + std::to_string(g + 1);
  NamedFaults(kPlotGraphRoutine, [&] {
    DrawGraph(context, canvas, data, data.Graphs[g], report.Graphs[g], slots, static_cast<int>(g),
              slotsX, slotsY, failed, incomplete);
  });
}

struct GraphsOutcome {
  bool Failed = false;
  bool Incomplete = false;
};

// Graphs count from first on, every step-th, each drawn on a canvas of its own that
// starts from state's drawing state.
std::vector<PagePlan> PlanGraphs(const LayoutContext& context, const PageCanvas& state,
                                 const PageData& data, const ReportDefinition& report,
                                 const SlotGrid& slots, int slotsX, int slotsY, std::size_t first,
                                 std::size_t step, GraphsOutcome& outcome) {
  std::vector<PagePlan> plans;
  for (std::size_t g = first; g < data.Graphs.size(); g += step) {
    PagePlan& plan = plans.emplace_back();
    plan.WidthMm = state.ScaleWidth();
    plan.HeightMm = state.ScaleHeight();
    PageCanvas canvas(plan, state.Metrics());
    canvas.CopyStateOf(state);
    PlanGraphItem(context, canvas, data, report, slots, g, slotsX, slotsY, outcome.Failed,
                  outcome.Incomplete);
  }
  return plans;
}

// The graphs of a page on two threads at once, added to the page in their order: each
// graph puts its drawing state back when done, so none depends on the one before.
void PlanGraphsAtOnce(const LayoutContext& context, PageCanvas& canvas, const PageData& data,
                      const ReportDefinition& report, const SlotGrid& slots, int slotsX, int slotsY,
                      bool& failed, bool& incomplete) {
  GraphsOutcome odd, even;
  const auto laidOutOdds = [&] {
    return PlanGraphs(context, canvas, data, report, slots, slotsX, slotsY, 1, 2, odd);
  };
  std::future<std::vector<PagePlan>> other;
  if (context.LayoutHelper != nullptr) {
    auto task = std::make_shared<std::packaged_task<std::vector<PagePlan>()>>(laidOutOdds);
    other = task->get_future();
    context.LayoutHelper->Queue([task] { (*task)(); });
  } else {
    other = std::async(std::launch::async, laidOutOdds);
  }
  std::vector<PagePlan> evens;
  try {
    evens = PlanGraphs(context, canvas, data, report, slots, slotsX, slotsY, 0, 2, even);
  } catch (...) {
    other.wait();
    throw;
  }
  std::vector<PagePlan> odds = other.get();
  PagePlan& page = canvas.Plan();
  for (std::size_t i = 0; i < evens.size() + odds.size(); ++i) {
    PagePlan& part = i % 2 == 0 ? evens[i / 2] : odds[i / 2];
    for (PlanItem& item : part.Items) page.Items.push_back(std::move(item));
    for (PlanGraph& graph : part.Graphs) page.Graphs.push_back(std::move(graph));
  }
  failed = failed || odd.Failed || even.Failed;
  incomplete = incomplete || odd.Incomplete || even.Incomplete;
}

}  // namespace

PageLayout LayOutPage(const LayoutContext& context, const PageRequest& in, const PageData& data,
                      double widthMm, double heightMm, const FontMetrics& fonts,
                      const std::function<bool()>& cancel) {
  PageLayout out;
  out.PageCounter = in.PageCounter;
  PagePlan& plan = out.Plan;
  plan.WidthMm = widthMm;
  plan.HeightMm = heightMm;
  plan.Report = in.ReportIndex + 1;
  plan.Page = in.Page;
  const auto stop = [&] {
    if (!cancel || !cancel()) return false;
    out.Result = PageResult::Cancelled;
    return true;
  };

  const ProgramState& state = context.State;
  const AppSettings& s = state.Settings;
  const ReportDefinition& report = state.Reports[static_cast<std::size_t>(in.ReportIndex)];
  const int slotsX = AtLeastOne(report.SlotsX), slotsY = AtLeastOne(report.SlotsY);
  PageCanvas canvas(plan, fonts);
  canvas.FontName = "Arial";
  canvas.FontSize = 9;
  canvas.FontTransparent = true;
  canvas.ForeColor = kBlack;
  canvas.FillColor = kWhite;
  canvas.FillStyle = 1;
  bool failed = false;
  bool incomplete = false;
  const float border = report.Border;
  if (context.SlotsFlag) {
    canvas.Box(border, border, canvas.ScaleWidth() - border, canvas.ScaleHeight() - border);
    Label(canvas, {.Top = border, .Left = border}, s.PageName);
  }
  LogoLayout logo;
  MmRect headerRect;
  canvas.Item = "logo";
  float logoHeight = DrawLogo(context, canvas, border, in.NoLogo, logo);
  if (in.MarkBand && logoHeight <= 0) {
    logo.Band.Height = kFailMarkBand;
    logoHeight = kFailMarkBand;
  }
  const MmRect& logoRect = logo.Band;
  canvas.Item.clear();
  if (stop()) return out;
  const bool hidden = report.HideHeader || in.NoHeader;
  LayOutHeader(context, canvas, border, logoRect, logoHeight, hidden, headerRect);
  DrawPageNumber(context, canvas, headerRect, out.PageCounter);
  if (stop()) return out;

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
  PlanTitleBands(context, canvas, layout, bands.HasTitle, bands.HasSubHeader, report, data);
  const SlotGrid slots = MakeSlotGrid(layout.SlotArea, slotsX, slotsY, border);
  if (context.SlotsFlag) PlanSlotAid(canvas, slots, slotsX, slotsY);

  if (context.LayoutThreads > 1 && data.Graphs.size() > 1) {
    if (stop()) return out;
    PlanGraphsAtOnce(context, canvas, data, report, slots, slotsX, slotsY, failed, incomplete);
  } else {
    for (std::size_t g = 0; g < data.Graphs.size(); ++g) {
      if (stop()) return out;
      PlanGraphItem(context, canvas, data, report, slots, g, slotsX, slotsY, failed, incomplete);
    }
  }
  for (std::size_t t = 0; t < data.Tables.size(); ++t) {
    if (stop()) return out;
    canvas.Item = "table " + std::to_string(t + 1);
    DrawTable(context, canvas, data, data.Tables[t], report.Tables[t], slots, in.ColumnOffset,
              slotsX, slotsY, failed, incomplete, static_cast<int>(t) + 1);
  }
  canvas.Item.clear();
  if (stop()) return out;
  if (!hidden) {
    const bool shownFailed = ReportFailedStatus(context, data, failed);
    canvas.Item = "header block";
    DrawHeaderBlock(context, canvas, headerRect, data, shownFailed, incomplete);
    canvas.Item = "fail mark";
    const bool marked = DrawBigFail(context, canvas, shownFailed, logo);
    canvas.Item.clear();
    if (!marked) {
      out.Result = PageResult::NeedsMarkBand;
      return out;
    }
    out.HeaderDone = true;
  }
  return out;
}

}  // namespace vantrel

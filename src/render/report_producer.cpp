#include "render/report_producer.h"

#include <exception>
#include <stdexcept>

#include "render/graph_plotter.h"
#include "render/page_header.h"
#include "render/slot_layout.h"
#include "render/table_drawer.h"
#include "render/text_box.h"
#include "support/text.h"

namespace vantrel {

namespace {

constexpr Rgb kBandBlue = 0 | (128 << 8) | (240 << 16);

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
  canvas.Print(text);
}

}  // namespace

bool ReportProducer::CheckCancel() {
  if (ProcessEvents) ProcessEvents();
  return cancelRequested_;
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
  ProgramState& state = context_.State;
  const ReportDefinition& report = state.Reports[static_cast<std::size_t>(reportIndex)];
  const AppSettings& s = state.Settings;
  if (!preview) {
    if (!data.CheckTested(reportIndex)) return ProduceOutcome::NotTested;
  }
  if (CheckCancel()) {
    job.FirstPage = false;
    return ProduceOutcome::Cancelled;
  }

  const int slotsX = report.SlotsX > 0 ? report.SlotsX : 1;
  const int slotsY = report.SlotsY > 0 ? report.SlotsY : 1;
  int offset = 0;
  bool cancelled = false;
  for (int page = 1;; ++page) {
    const bool noHeader = job.HeaderDone && state.Header.FirstPageOnly;
    const bool noLogo = job.LogoDone && s.FirstPageOnly;
    const double pageWidth = target.PageWidthMm(), pageHeight = target.PageHeightMm();
    if (pageWidth < 50 || pageHeight < 50) {
      context_.Ask.Tell("The Paper size is too small.\rCheck the Printer Setup");
      return ProduceOutcome::PaperTooSmall;
    }
    // A fault while drawing is asked about; Retry draws the page again.
    ProduceOutcome outcome = ProduceOutcome::Drawn;
    bool pageStarted = false;
    for (;;) {
      std::string fault;
      try {
        if (!job.FirstPage && !pageStarted) {
          if (!target.NewPage()) throw std::runtime_error("printer");
        }
        job.FirstPage = false;
        job.Printed = true;
        pageStarted = true;
        PageCanvas canvas(target);
        if (preview) canvas.Cls();
        canvas.FontName = "Arial";
        canvas.FontSize = 9;
        canvas.FontTransparent = true;
        canvas.ForeColor = kBlack;
        canvas.FillColor = kWhite;
        canvas.FillStyle = 1;
        bool failed = false;
        const float border = report.Border;
        if (context_.SlotsFlag) {
          canvas.Box(border, border, static_cast<float>(pageWidth) - border,
                     static_cast<float>(pageHeight) - border);
          Label(canvas, {0, 0, border, border}, s.PageName);
        }
        MmRect logoRect, headerRect;
        const float logoHeight = DrawLogo(context_, canvas, border, noLogo, logoRect);
        if (CheckCancel()) {
          cancelled = true;
          break;
        }
        const bool hidden = report.HideHeader || noHeader;
        LayOutHeader(context_, canvas, border, logoRect, logoHeight, hidden, headerRect);
        DrawPageNumber(context_, canvas, headerRect, job.PageCounter);
        if (CheckCancel()) {
          cancelled = true;
          break;
        }

        BandInput bands;
        bands.PageWidth = pageWidth;
        bands.PageHeight = pageHeight;
        bands.Logo = logoRect;
        bands.LogoHeight = logoHeight;
        bands.Header = headerRect;
        bands.NewTables = s.NewTables;
        bands.HasTitle = !Trim(report.Title).empty();
        bands.HasSubHeader = !Trim(report.SubHeader).empty();
        // A page number at the foot gets its own line below the slots.
        if (s.PageNum != "NONE" && !StartsWith(s.PageNum, "TOP")) bands.FootReserve = 4;
        const BandLayout layout = LayOutBands(bands);
        if (bands.HasTitle) {
          CanvasStateGuard keep(canvas);
          canvas.FontSize = 12;
          canvas.FontBold = true;
          const std::string title =
              ReplaceAll(report.Title, "TEST_DESCRIPTION", data.TestDescription());
          if (s.NewTables) {
            const Rgb fill = EqualsNoCase(s.TableColor, "BLUE") || !context_.Colour
                                 ? kBandBlue
                                 : context_.Colour(s.TableColor);
            DrawTextBox(canvas, title, layout.Title, HAlign::Centre, VAlign::Middle, false, fill,
                        context_.Colour ? context_.Colour(s.HeaderTextColor) : kWhite);
          } else {
            DrawTextBox(canvas, title, layout.Title, HAlign::Centre, VAlign::Middle, false, kNoFill,
                        std::nullopt);
          }
          if (context_.SlotsFlag) Label(canvas, layout.Title, "Title");
        }
        if (bands.HasSubHeader) {
          CanvasStateGuard keep(canvas);
          canvas.FontSize = 9;
          canvas.FontBold = false;
          if (s.NewTables) {
            DrawTextBox(canvas, report.SubHeader, layout.SubHeader, HAlign::Centre, VAlign::Middle,
                        false, kBandBlue, kWhite);
          } else {
            DrawTextBox(canvas, report.SubHeader, layout.SubHeader, HAlign::Centre, VAlign::Middle,
                        false, kNoFill, std::nullopt);
          }
          if (context_.SlotsFlag) Label(canvas, layout.SubHeader, "Sub Title");
        }
        const SlotGrid slots = MakeSlotGrid(layout.SlotArea, slotsX, slotsY, border);
        if (context_.SlotsFlag) {
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
        const int graphs = std::min<int>(report.GraphCount, kMaxGraphs);
        for (int g = 0; g < graphs && !cancelled; ++g) {
          if (CheckCancel()) {
            cancelled = true;
            break;
          }
          DrawnGraph drawn{reportIndex + 1, page, g + 1, {}, {}, {}};
          if (PlotGraph2(context_, canvas, report.Graphs[static_cast<std::size_t>(g)], slots,
                         offset, g, slotsX, slotsY, failed, context_.Observer ? &drawn : nullptr) &&
              context_.Observer)
            context_.Observer->GraphDrawn(drawn);
        }
        const int tables = std::min<int>(report.TableCount, kMaxTables);
        for (int t = 0; t < tables && !cancelled; ++t) {
          if (CheckCancel()) {
            cancelled = true;
            break;
          }
          DrawnTable drawn{reportIndex + 1, page, t + 1, {}};
          if (DrawTable(context_, canvas, report.Tables[static_cast<std::size_t>(t)], slots, offset,
                        slotsX, slotsY, failed, context_.Observer ? &drawn : nullptr) &&
              context_.Observer)
            context_.Observer->TableDrawn(drawn);
        }
        if (cancelled || CheckCancel()) {
          cancelled = true;
          break;
        }
        if (!hidden) {
          const bool shownFailed = ReportFailedStatus(context_, failed);
          DrawHeaderBlock(context_, canvas, headerRect, shownFailed);
          DrawBigFail(context_, canvas, shownFailed);
          job.HeaderDone = true;
          job.LogoDone = true;
        }
        break;
      } catch (const std::exception& e) {
        fault = e.what();
      } catch (...) {
        fault = "unknown fault";
      }
      const bool printer = fault == "printer";
      const PromptAnswer answer = context_.Ask.Message(
          printer ? "Problem Printing to the Printer\rCheck that it is online" : "Error: " + fault,
          {}, PromptIcon::Exclamation, PromptButtons::RetryCancel);
      if (answer == PromptAnswer::Retry) continue;
      const PromptAnswer close =
          context_.Ask.Message("Do you want to close the report software?", "Reports",
                               PromptIcon::Exclamation, PromptButtons::YesNo);
      outcome =
          close == PromptAnswer::Yes ? ProduceOutcome::QuitRequested : ProduceOutcome::Faulted;
      break;
    }
    if (outcome != ProduceOutcome::Drawn) return outcome;
    if (cancelled) return ProduceOutcome::Cancelled;

    if (report.GraphCount > 0)
      offset += report.GraphCount;
    else if (report.TableCount > 0)
      offset += CountTablePairColumns(report);
    const bool more = data.MoreColsToShow(offset);
    if (!(more && report.MultiPage && !preview && offset != 0)) break;
    // A report never runs to more pages than a 16-bit page count holds.
    if (page >= 1000) break;
  }
  return ProduceOutcome::Drawn;
}

}  // namespace vantrel

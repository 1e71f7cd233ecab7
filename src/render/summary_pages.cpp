#include "render/summary_pages.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

#include "render/font_metrics.h"
#include "render/page_canvas.h"
#include "render/page_header.h"
#include "render/report_colours.h"
#include "render/text_box.h"

namespace vantrel {

namespace {

constexpr float kRowMm = 5.2f;
constexpr float kTitleBandMm = 9;
constexpr float kCellPoints = 8;

bool LooksNumeric(const std::string& text) {
  if (text.empty()) return false;
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return end != text.c_str() && *end == '\0';
}

// Body cells keep one size and are cut to fit; a path keeps its end, where the file's
// name is.
std::string Fitted(const PageCanvas& canvas, const std::string& text, float width, bool keepEnd) {
  const float room = std::max(0.0f, width - 2 * TextBoxInset(canvas)) + 1e-3f;
  if (!keepEnd || canvas.TextWidth(text) <= room)
    return Ellipsized(canvas.Metrics(), canvas.Font(), text, room);
  static const std::string kEllipsis = "\u2026";
  std::size_t from = 0;
  while (from < text.size()) {
    ++from;
    while (from < text.size() && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80) ++from;
    const std::string candidate = kEllipsis + text.substr(from);
    if (canvas.TextWidth(candidate) <= room) return candidate;
  }
  return kEllipsis;
}

struct Frame {
  float Left = 0, Width = 0, TableTop = 0, FootTop = 0;
};

// Logo, title band and note; where the table may start and where the foot line goes.
Frame PlanTop(RenderContext& context, PageCanvas& canvas, const SummaryTable& table, float border) {
  Frame f;
  f.Left = border + 5;
  f.Width = canvas.ScaleWidth() - 2 * f.Left;
  LogoLayout logo;
  canvas.Item = "logo";
  const float logoHeight = DrawLogo(context, canvas, border, false, logo);
  float y = logoHeight > 0 ? logo.Band.Top + logoHeight + 3 : border + 3;

  canvas.Item = "title";
  canvas.FontSize = 13;
  canvas.FontBold = true;
  DrawTextBox(canvas, table.Title,
              {.Width = f.Width, .Height = kTitleBandMm, .Top = y, .Left = f.Left}, HAlign::Centre,
              VAlign::Middle, false, static_cast<long long>(TitleBandColour(context)),
              TitleTextColour(context));
  y += kTitleBandMm + 1.5f;
  canvas.Item = "note";
  canvas.FontSize = kCellPoints;
  canvas.FontBold = false;
  DrawTextBox(canvas, table.Note, {.Width = f.Width, .Height = kRowMm, .Top = y, .Left = f.Left},
              HAlign::Left, VAlign::Middle, false, kNoFill, std::nullopt);
  f.TableTop = y + kRowMm + 2;
  f.FootTop = canvas.ScaleHeight() - border - kRowMm - 1;
  return f;
}

std::vector<float> ColumnWidths(const SummaryTable& table, float width) {
  const std::size_t n = std::max<std::size_t>(table.Heads.size(), 1);
  std::vector<float> weights = table.Weights;
  weights.resize(n, weights.empty() ? 1.0f : 0.0f);
  float sum = std::accumulate(weights.begin(), weights.end(), 0.0f);
  if (sum <= 0) {
    std::fill(weights.begin(), weights.end(), 1.0f);
    sum = static_cast<float>(n);
  }
  for (float& w : weights) w = w / sum * width;
  return weights;
}

void PlanRow(RenderContext& context, PageCanvas& canvas, const std::vector<std::string>& cells,
             const std::vector<float>& widths, float left, float top, int row, bool head,
             const SummaryRow* body) {
  float x = left;
  canvas.FontBold = head || (body && body->Closing);
  // A reason in place of figures spans the cells between the cable and the status.
  const bool spanned = body && !body->Reason.empty();
  for (std::size_t c = 0; c < widths.size(); ++c) {
    const bool last = c + 1 == widths.size();
    float width = widths[c];
    std::string text = c < cells.size() ? cells[c] : std::string();
    if (spanned && c == 2) {
      for (std::size_t k = c + 1; k + 1 < widths.size(); ++k) width += widths[k];
      text = body->Reason;
    }
    if (spanned && last) text = "ERROR";
    const HAlign h = head                 ? HAlign::Centre
                     : LooksNumeric(text) ? HAlign::Right
                     : last               ? HAlign::Centre
                                          : HAlign::Left;
    std::optional<Rgb> colour;
    if (body && body->Failed && last) colour = FailColour(context);
    if (body && !body->Failed && last && text == "PASS") colour = kPassGreen;
    canvas.Cell = {1, row, static_cast<int>(c)};
    // Heads are set smaller rather than cut: a cut head leaves its column unnamed.
    const std::string shown = head ? text : Fitted(canvas, text, width, c == 0);
    DrawTextBox(canvas, shown, {.Width = width, .Height = kRowMm, .Top = top, .Left = x}, h,
                VAlign::Middle, true, head ? static_cast<long long>(kBandGrey) : kNoFill, colour,
                shown == text ? std::string() : text);
    x += width;
    if (spanned && c == 2) c = widths.size() - 2;
  }
  canvas.Cell = {};
  canvas.FontBold = false;
}

}  // namespace

std::vector<PagePlan> PlanSummaryPages(RenderContext& context, const SummaryTable& table,
                                       PaperSize paper) {
  const float border = context.State.Reports[0].Border;
  const FontMetrics& metrics = context.Fonts ? *context.Fonts : PrintFontMetrics();

  // The first page tells how many rows a page holds; every page has the same top.
  std::vector<PagePlan> pages;
  std::size_t next = 0;
  do {
    PagePlan& plan = pages.emplace_back();
    plan.WidthMm = paper.WidthMm;
    plan.HeightMm = paper.HeightMm;
    plan.Report = 1;
    plan.Page = static_cast<int>(pages.size());
    PageCanvas canvas(plan, metrics);
    canvas.FontName = "Arial";
    const Frame frame = PlanTop(context, canvas, table, border);
    const std::vector<float> widths = ColumnWidths(table, frame.Width);
    const int fits =
        std::max(1, static_cast<int>(std::floor((frame.FootTop - frame.TableTop) / kRowMm)) - 1);

    canvas.Item = "summary table";
    canvas.FontSize = kCellPoints;
    PlanRow(context, canvas, table.Heads, widths, frame.Left, frame.TableTop, 0, true, nullptr);
    int row = 0;
    for (; row < fits && next < table.Rows.size(); ++row, ++next) {
      const SummaryRow& r = table.Rows[next];
      const float top = frame.TableTop + static_cast<float>(row + 1) * kRowMm;
      PlanRow(context, canvas, r.Cells, widths, frame.Left, top, row + 1, false, &r);
      if (r.Closing && next + 1 < table.Rows.size())
        plan.Add(PlanLine{{.X = frame.Left, .Y = top + kRowMm},
                          {.X = frame.Left + frame.Width, .Y = top + kRowMm},
                          kBlack,
                          0.5f,
                          LineStyle::Solid});
    }
    plan.Tables.push_back(
        {.Number = 1, .Rows = row + 1, .Columns = static_cast<int>(widths.size()), .LeftOut = {}});
  } while (next < table.Rows.size());

  // Now that the count is known, every page says which of how many it is.
  for (PagePlan& plan : pages) {
    PageCanvas canvas(plan, metrics);
    canvas.FontName = "Arial";
    canvas.FontSize = kCellPoints;
    canvas.Item = "page number";
    const float left = border + 5;
    DrawTextBox(canvas, "Page " + std::to_string(plan.Page) + " of " + std::to_string(pages.size()),
                {.Width = static_cast<float>(plan.WidthMm) - 2 * left,
                 .Height = kRowMm,
                 .Top = static_cast<float>(plan.HeightMm) - border - kRowMm - 1,
                 .Left = left},
                HAlign::Right, VAlign::Middle, false, kNoFill, std::nullopt);
  }
  return pages;
}

}  // namespace vantrel

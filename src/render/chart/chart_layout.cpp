#include "render/chart/chart_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "render/layout_rules.h"
#include "render/text_box.h"

namespace vantrel::chart {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr float kPad = 1.0f;
constexpr float kLabelGap = 0.8f;  // between a tick label and the frame
constexpr float kKeyLine = 5;      // length of a legend entry's line sample
constexpr float kKeyGap = 0.8f;    // between the sample and its text
constexpr float kEntryGap = 2;     // between legend entries

class Measure {
 public:
  Measure(const FontMetrics& metrics, const std::string& family)
      : metrics_(metrics), family_(family) {}
  FontSpec Font(float points, bool bold) const { return {family_, points, bold}; }
  float Width(const std::string& text, const FontSpec& f) const {
    return metrics_.TextWidth(text, f);
  }
  float Height(const FontSpec& f) const { return metrics_.TextHeight(f); }
  const FontMetrics& Metrics() const { return metrics_; }

 private:
  const FontMetrics& metrics_;
  const std::string& family_;
};

bool AnyLegend(const ChartModel& chart) {
  return std::any_of(chart.Sets.begin(), chart.Sets.end(),
                     [](const DataSet& s) { return !s.Legend.empty(); });
}

bool Blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

// The legend as a grid of equal columns at the foot: as many columns as the widest
// entry allows, set smaller and then cut when the rows would take more than a third
// of the chart.
struct LegendGrid {
  FontSpec Font;
  float ColumnWidth = 0;
  int Columns = 1;
  int Entries = 0;
  int Rows() const { return Entries == 0 ? 0 : (Entries + Columns - 1) / Columns; }
};

LegendGrid LayOutLegendGrid(const ChartModel& chart, const Measure& m, FontSpec font, float width,
                            float height) {
  LegendGrid out;
  if (!AnyLegend(chart)) return out;
  int entries = 0;
  for (const DataSet& set : chart.Sets) entries += set.Legend.empty() ? 0 : 1;
  const auto rowsFor = [&](float columnWidth) {
    const int columns = std::max(1, static_cast<int>((width + kEntryGap) / columnWidth));
    return std::pair{columns, (entries + columns - 1) / columns};
  };
  const auto widest = [&](const FontSpec& f) {
    float most = 0;
    for (const DataSet& set : chart.Sets)
      if (!set.Legend.empty()) most = std::max(most, m.Width(set.Legend, f));
    return std::min(width, kKeyLine + kKeyGap + most + kEntryGap);
  };
  const float room = height / 3;
  for (;;) {
    out.ColumnWidth = widest(font);
    auto [columns, rows] = rowsFor(out.ColumnWidth);
    // At the smallest size narrower columns take more entries a row, their texts cut.
    while (font.Points <= kSmallestPoints && rows * m.Height(font) > room &&
           out.ColumnWidth > 4 * (kKeyLine + kKeyGap)) {
      out.ColumnWidth *= 0.85f;
      std::tie(columns, rows) = rowsFor(out.ColumnWidth);
    }
    out.Columns = columns;
    if (rows * m.Height(font) <= room || font.Points <= kSmallestPoints) break;
    font.Points = std::max(kSmallestPoints, font.Points - 0.5f);
  }
  out.Font = font;
  out.Entries = entries;
  return out;
}

// A title as large as its box allows up to its own size, and cut at the smallest.
BoxedText FitTitle(const Measure& m, const std::string& text, FontSpec font, float length,
                   float across) {
  BoxedText out{text, {}, font, {}};
  if (text.empty() || length <= 0) return out;
  out.Font.Points = std::min(
      font.Points, FitPoints(m.Metrics(), font, text, MmRect{.Width = length, .Height = across},
                             font.Points, kSmallestPoints));
  out.Text = Ellipsized(m.Metrics(), out.Font, text, length);
  if (out.Text != text) out.Whole = text;
  return out;
}

// Labels of ticks whose value the axis shows, thinned until none touches the next and
// with decimals enough to tell neighbours apart.
template <class Place>
void SpaceLabels(AxisLayout& axis, const std::string& format, Place extentAt, float gap,
                 const MmRect& area, bool xAxis) {
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<float> centres, extents;
    for (const Tick& t : axis.Ticks) {
      const double f = axis.Fraction(t.Value);
      const float along = std::isnan(f) ? 0 : static_cast<float>(f);
      centres.push_back(xAxis ? area.Left + along * area.Width
                              : area.Bottom() - along * area.Height);
      extents.push_back(t.Label.empty() ? 0 : extentAt(t.Label));
    }
    ThinLabels(axis.Ticks, centres, extents, gap);
    if (axis.Log || !DistinctLabels(axis.Ticks, format)) break;
  }
}

// The plot area: what is left of outer below the title, above the legend, the x
// labels and title, and right of the y labels and title. Sets the title too.
MmRect PlaceArea(const Measure& m, const MmRect& outer, const ChartModel& chart,
                 const LegendGrid& legend, ChartLayout& out) {
  const float axisH = m.Height(out.AxisFont);
  const float inner = outer.Width - 2 * kPad;
  const FontSpec titleSize = m.Font(chart.TitlePoints, true);
  const BoxedText title = Blank(chart.Title)
                              ? BoxedText{}
                              : FitTitle(m, chart.Title, titleSize, inner, m.Height(titleSize));
  float top = outer.Top + kPad;
  if (!title.Text.empty()) {
    top += m.Height(title.Font) + kPad / 2;
    out.Title = title;
    out.Title->Box = {.Width = inner,
                      .Height = m.Height(title.Font),
                      .Top = outer.Top + kPad / 2,
                      .Left = outer.Left + kPad};
  }
  float bottom = outer.Bottom() - kPad;
  bottom -= static_cast<float>(legend.Rows()) * m.Height(legend.Font);
  const float axisTitleH = m.Height(m.Font(chart.AxisTitlePoints, false));
  if (!chart.X.Title.empty()) bottom -= axisTitleH;
  bottom -= axisH + kLabelGap;  // tick labels

  float labelWidth = 0;
  for (const Tick& t : out.Y.Ticks)
    if (t.Major) labelWidth = std::max(labelWidth, m.Width(t.Label, out.AxisFont));
  float left = outer.Left + kPad + labelWidth + kLabelGap;
  if (!chart.Y.Title.empty()) left += axisTitleH + kLabelGap;
  float lastXLabel = 0;
  for (const Tick& t : out.X.Ticks)
    if (t.Major) lastXLabel = m.Width(t.Label, out.AxisFont);
  const float right = outer.Right() - kPad - lastXLabel / 2;
  top += axisH / 2;  // room for the top y label
  const float areaRight = std::max(left + 1, right), areaBottom = std::max(top + 1, bottom);
  return {.Width = areaRight - left, .Height = areaBottom - top, .Top = top, .Left = left};
}

// Tick labels under and left of the area. The lowest y label rises clear of the x
// labels where both meet. Returns the top of the x labels.
float PlaceTickLabels(const Measure& m, ChartLayout& out) {
  const MmRect& area = out.Area;
  const float axisH = m.Height(out.AxisFont);
  const float xLabelTop = area.Bottom() + 0.6f;
  float firstXLeft = area.Right();
  for (const Tick& t : out.X.Ticks) {
    if (!t.Major || t.Label.empty()) continue;
    const float px = area.Left + static_cast<float>(out.X.Fraction(t.Value)) * area.Width;
    const float lw = m.Width(t.Label, out.AxisFont);
    firstXLeft = std::min(firstXLeft, px - lw / 2);
    out.XLabels.push_back({t.Label, px - lw / 2, xLabelTop});
  }
  for (const Tick& t : out.Y.Ticks) {
    if (!t.Major || t.Label.empty()) continue;
    const float py = area.Bottom() - static_cast<float>(out.Y.Fraction(t.Value)) * area.Height;
    float labelTop = py - axisH / 2;
    if (labelTop + axisH > xLabelTop && firstXLeft < area.Left - kLabelGap + 0.05f)
      labelTop = xLabelTop - 0.1f - axisH;
    out.YLabels.push_back(
        {t.Label, area.Left - kLabelGap - m.Width(t.Label, out.AxisFont), labelTop});
  }
  return xLabelTop;
}

void PlaceAxisTitles(const Measure& m, const MmRect& outer, const ChartModel& chart,
                     float xLabelTop, ChartLayout& out) {
  const MmRect& area = out.Area;
  const FontSpec axisTitleSize = m.Font(chart.AxisTitlePoints, false);
  const float axisTitleH = m.Height(axisTitleSize);
  if (!chart.X.Title.empty()) {
    out.XTitle = FitTitle(m, chart.X.Title, axisTitleSize, area.Width, axisTitleH);
    out.XTitle->Box = {.Width = area.Width,
                       .Height = axisTitleH,
                       .Top = xLabelTop - 0.6f + kLabelGap + m.Height(out.AxisFont),
                       .Left = area.Left};
  }
  if (!chart.Y.Title.empty()) {
    out.YTitle = FitTitle(m, chart.Y.Title, axisTitleSize, area.Height, axisTitleH);
    out.YTitle->Box = {
        .Width = axisTitleH, .Height = area.Height, .Top = area.Top, .Left = outer.Left + kPad};
  }
}

void PlaceLegend(const Measure& m, const MmRect& outer, const ChartModel& chart,
                 const LegendGrid& grid, ChartLayout& out) {
  const float legendH = m.Height(grid.Font);
  float ly = outer.Bottom() - kPad - static_cast<float>(grid.Rows()) * legendH;
  const float textRoom = grid.ColumnWidth - kKeyLine - kKeyGap - kEntryGap;
  out.LegendFont = grid.Font;
  for (const DataSet& set : chart.Sets) {
    if (set.Legend.empty()) continue;
    const int column = static_cast<int>(out.Legend.size()) % grid.Columns;
    if (!out.Legend.empty() && column == 0) ly += legendH;
    const float lx = outer.Left + kPad + static_cast<float>(column) * grid.ColumnWidth;
    LegendKey key;
    key.LineLeft = lx;
    key.LineRight = lx + kKeyLine;
    key.LineY = ly + legendH / 2;
    key.Colour = set.Colour;
    key.Style = set.Style;
    key.Text = Ellipsized(m.Metrics(), grid.Font, set.Legend, textRoom);
    if (key.Text != set.Legend) key.Whole = set.Legend;
    key.TextLeft = lx + kKeyLine + kKeyGap;
    key.Box = {.Width = grid.ColumnWidth - kKeyLine - kEntryGap,
               .Height = legendH,
               .Top = ly,
               .Left = lx + kKeyLine};
    out.Legend.push_back(std::move(key));
  }
}

}  // namespace

DataRange RangeOf(const ChartModel& chart, bool xAxis, bool log) {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -lo;
  for (const DataSet& set : chart.Sets) {
    for (const ChartPoint& pt : set.Points) {
      // A point without both coordinates is never drawn, so it sets no range.
      if (pt.Missing || !std::isfinite(pt.X) || !std::isfinite(pt.Y)) continue;
      const double v = xAxis ? pt.X : pt.Y;
      if (!std::isfinite(v) || (log && v <= 0)) continue;
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  }
  if (lo > hi) return {kNaN, kNaN};
  return {lo, hi};
}

ChartLayout LayOutChart(const FontMetrics& metrics, const std::string& family, const MmRect& outer,
                        const ChartModel& chart) {
  ChartLayout out;
  if (outer.Width <= 0 || outer.Height <= 0) return out;
  out.Drawn = true;
  const Measure m(metrics, family);
  out.AxisFont = m.Font(chart.AxisPoints, false);
  const DataRange xr = RangeOf(chart, true, chart.X.Log);
  const DataRange yr = RangeOf(chart, false, chart.Y.Log);
  out.X = ResolveAxis(chart.X, xr.Min, xr.Max);
  out.Y = ResolveAxis(chart.Y, yr.Min, yr.Max);
  const LegendGrid legend =
      LayOutLegendGrid(chart, m, out.AxisFont, outer.Width - 2 * kPad, outer.Height);
  out.Area = PlaceArea(m, outer, chart, legend, out);
  const float axisH = m.Height(out.AxisFont);
  SpaceLabels(
      out.X, chart.X.LabelFormat, [&](const std::string& l) { return m.Width(l, out.AxisFont); },
      1.0f, out.Area, true);
  SpaceLabels(
      out.Y, chart.Y.LabelFormat, [&](const std::string&) { return axisH; }, 0.2f, out.Area, false);
  const float xLabelTop = PlaceTickLabels(m, out);
  PlaceAxisTitles(m, outer, chart, xLabelTop, out);
  PlaceLegend(m, outer, chart, legend, out);
  return out;
}

}  // namespace vantrel::chart

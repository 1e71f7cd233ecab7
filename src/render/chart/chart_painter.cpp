#include "render/chart/chart_painter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "render/page_canvas.h"

namespace vantrel::chart {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

LineStyle StyleOf(int style) {
  switch (style) {
    case 1:
      return LineStyle::Dash;
    case 2:
      return LineStyle::Dot;
    case 3:
      return LineStyle::DashDot;
    case 4:
      return LineStyle::DashDotDot;
    default:
      return LineStyle::Solid;
  }
}

bool AnyLegend(const ChartModel& chart) {
  return std::any_of(chart.Sets.begin(), chart.Sets.end(),
                     [](const DataSet& s) { return !s.Legend.empty(); });
}

bool Blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

// Writes one run into the plan with its box; the canvas's state is not touched.
class ChartWriter {
 public:
  ChartWriter(PageCanvas& canvas, const std::string& item)
      : plan_(canvas.Plan()), metrics_(canvas.Metrics()), family_(canvas.FontName), item_(item) {}

  FontSpec Font(float points, bool bold) const { return {family_, points, bold}; }
  float Width(const std::string& text, const FontSpec& f) const {
    return metrics_.TextWidth(text, f);
  }
  float Height(const FontSpec& f) const { return metrics_.TextHeight(f); }

  // Text whose run starts at (x, top), in a box of its own extent unless one is given.
  void Text(const std::string& text, const FontSpec& f, float x, float top,
            const MmRect* box = nullptr) {
    PlanText out;
    out.Text = text;
    out.Run = {Width(text, f), Height(f), top, x};
    out.Box = box != nullptr ? *box : out.Run;
    out.Ascent = metrics_.Ascent(f);
    out.Points = f.Points;
    out.Bold = f.Bold;
    out.Item = item_;
    plan_.Add(std::move(out));
  }

  // Text centred in box.
  void Centred(const std::string& text, const FontSpec& f, const MmRect& box) {
    const float w = Width(text, f);
    Text(text, f, box.Left + (box.Width - w) / 2, box.Top + (box.Height - Height(f)) / 2, &box);
  }

  // Text turned to read upwards, centred along the box's height.
  void Upwards(const std::string& text, const FontSpec& f, const MmRect& box) {
    PlanText out;
    out.Text = text;
    const float length = Width(text, f);
    out.Run = {Height(f), length, box.Top + (box.Height - length) / 2,
               box.Left + (box.Width - Height(f)) / 2};
    out.Box = box;
    out.Ascent = metrics_.Ascent(f);
    out.Points = f.Points;
    out.Bold = f.Bold;
    out.Vertical = true;
    out.Item = item_;
    plan_.Add(std::move(out));
  }

  void Line(float x1, float y1, float x2, float y2, ChartRgb colour, float width,
            LineStyle style = LineStyle::Solid) {
    plan_.Add(PlanLine{{x1, y1}, {x2, y2}, colour, width, style});
  }

  PagePlan& Plan() { return plan_; }

 private:
  PagePlan& plan_;
  const FontMetrics& metrics_;
  std::string family_;
  std::string item_;
};

// One set as polylines broken at missing points. Points that share a sliver of the
// page a quarter of a millimetre wide are drawn as their lowest and highest value:
// the line looks the same and the page holds a fraction of the points.
PlanCurve CurveOf(const DataSet& set, const AxisLayout& x, const AxisLayout& y,
                  const MmRect& area) {
  PlanCurve curve;
  curve.Clip = area;
  constexpr float kSliver = 0.25f;
  constexpr float kStill = 0.1f;
  struct Bucket {
    long index = -1;
    int count = 0;
    MmPoint low, high, last;
    int lowAt = 0, highAt = 0;
  } b;
  bool open = false;
  const auto add = [&](const MmPoint& pt) { curve.Runs.back().push_back(pt); };
  const auto flush = [&]() {
    if (b.count == 0) return;
    const MmPoint& first = b.lowAt <= b.highAt ? b.low : b.high;
    const MmPoint& second = b.lowAt <= b.highAt ? b.high : b.low;
    if (!open) {
      curve.Runs.emplace_back();
      open = true;
    }
    add(first);
    if (b.count > 1) {
      if (second.X != first.X || second.Y != first.Y) add(second);
      if (std::fabs(b.last.Y - second.Y) > kStill) add(b.last);
    }
    b.count = 0;
  };
  int n = 0;
  for (const ChartPoint& pt : set.Points) {
    ++n;
    const double fx = pt.Missing ? kNaN : x.Fraction(pt.X);
    const double fy = pt.Missing ? kNaN : y.Fraction(pt.Y);
    if (std::isnan(fx) || std::isnan(fy)) {
      flush();
      open = false;
      continue;
    }
    const MmPoint q{static_cast<float>(area.Left + fx * area.Width),
                    static_cast<float>(area.Bottom() - fy * area.Height)};
    const long index = static_cast<long>(std::floor((q.X - area.Left) / kSliver));
    if (b.count > 0 && index != b.index) flush();
    if (b.count == 0) {
      b.index = index;
      b.low = b.high = b.last = q;
      b.lowAt = b.highAt = n;
      b.count = 1;
      continue;
    }
    ++b.count;
    b.last = q;
    if (q.Y > b.low.Y) b.low = q, b.lowAt = n;
    if (q.Y < b.high.Y) b.high = q, b.highAt = n;
  }
  flush();
  curve.Colour = set.Colour;
  curve.WidthMm = 0.18f + 0.12f * static_cast<float>(std::clamp(set.Thickness, 0, 10));
  curve.Style = StyleOf(set.Style);
  return curve;
}

struct LegendEntry {
  std::string text;
  ChartRgb colour;
  int style;
  float width;
};

// Legend rows at the foot, wrapped to width.
std::vector<std::vector<LegendEntry>> LegendRows(const ChartModel& chart, const ChartWriter& w,
                                                 const FontSpec& font, float width) {
  std::vector<std::vector<LegendEntry>> rows;
  if (!AnyLegend(chart)) return rows;
  rows.emplace_back();
  float used = 0;
  for (const DataSet& set : chart.Sets) {
    if (set.Legend.empty()) continue;
    const float entry = 5 + 0.8f + w.Width(set.Legend, font) + 2.5f;
    if (used > 0 && used + entry > width) {
      rows.emplace_back();
      used = 0;
    }
    rows.back().push_back({set.Legend, set.Colour, set.Style, entry});
    used += entry;
  }
  return rows;
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

void DrawChart(PageCanvas& canvas, const MmRect& outer, const ChartModel& chart) {
  if (outer.Width <= 0 || outer.Height <= 0) return;
  ChartWriter w(canvas, canvas.Item);
  const FontSpec titleFont = w.Font(chart.TitlePoints, true);
  const FontSpec axisFont = w.Font(chart.AxisPoints, false);
  const FontSpec axisTitleFont = w.Font(chart.AxisTitlePoints, false);
  const float titleH = w.Height(titleFont), axisH = w.Height(axisFont),
              axisTitleH = w.Height(axisTitleFont);

  const DataRange xr = RangeOf(chart, true, chart.X.Log);
  const DataRange yr = RangeOf(chart, false, chart.Y.Log);
  const AxisLayout x = ResolveAxis(chart.X, xr.Min, xr.Max);
  const AxisLayout y = ResolveAxis(chart.Y, yr.Min, yr.Max);

  constexpr float pad = 1.0f;
  float top = outer.Top + pad;
  const bool hasTitle = !Blank(chart.Title);
  if (hasTitle) top += titleH + pad / 2;
  float bottom = outer.Bottom() - pad;

  const auto legendRows = LegendRows(chart, w, axisFont, outer.Width - 2 * pad);
  bottom -= static_cast<float>(legendRows.size()) * axisH;
  const float legendTop = bottom;
  const bool hasXTitle = !chart.X.Title.empty();
  const bool hasYTitle = !chart.Y.Title.empty();
  if (hasXTitle) bottom -= axisTitleH;
  bottom -= axisH + 0.8f;  // tick labels

  float labelWidth = 0;
  for (const Tick& t : y.Ticks)
    if (t.Major) labelWidth = std::max(labelWidth, w.Width(t.Label, axisFont));
  float left = outer.Left + pad + labelWidth + 0.8f;
  if (hasYTitle) left += axisTitleH + 0.8f;
  float lastXLabel = 0;
  for (const Tick& t : x.Ticks)
    if (t.Major) lastXLabel = w.Width(t.Label, axisFont);
  const float right = outer.Right() - pad - lastXLabel / 2;
  top += axisH / 2;  // room for the top y label
  const float areaRight = std::max(left + 1, right), areaBottom = std::max(top + 1, bottom);
  const MmRect area{areaRight - left, areaBottom - top, top, left};

  if (hasTitle)
    w.Centred(chart.Title, titleFont, {outer.Width, titleH, outer.Top + pad / 2, outer.Left});

  // Grid.
  constexpr float hair = 0.1f;
  for (const Tick& t : x.Ticks) {
    const double f = x.Fraction(t.Value);
    if (std::isnan(f)) continue;
    const float px = area.Left + static_cast<float>(f) * area.Width;
    w.Line(px, area.Top, px, area.Bottom(), chart.GridColour, t.Major ? hair : hair * 0.6f,
           t.Major ? LineStyle::Solid : LineStyle::Dot);
  }
  for (const Tick& t : y.Ticks) {
    const double f = y.Fraction(t.Value);
    if (std::isnan(f)) continue;
    const float py = area.Bottom() - static_cast<float>(f) * area.Height;
    w.Line(area.Left, py, area.Right(), py, chart.GridColour, t.Major ? hair : hair * 0.6f,
           t.Major ? LineStyle::Solid : LineStyle::Dot);
  }

  for (const bool onTop : {false, true})
    for (const DataSet& set : chart.Sets)
      if (set.OnTop == onTop) w.Plan().Add(CurveOf(set, x, y, area));

  // Frame and labels.
  w.Plan().Add(PlanBox{area, false, kWhite, true, kBlack, 0.2f, canvas.Item});
  for (const Tick& t : x.Ticks) {
    if (!t.Major) continue;
    const float px = area.Left + static_cast<float>(x.Fraction(t.Value)) * area.Width;
    w.Text(t.Label, axisFont, px - w.Width(t.Label, axisFont) / 2, area.Bottom() + 0.6f);
  }
  for (const Tick& t : y.Ticks) {
    if (!t.Major) continue;
    const float py = area.Bottom() - static_cast<float>(y.Fraction(t.Value)) * area.Height;
    w.Text(t.Label, axisFont, area.Left - 0.8f - w.Width(t.Label, axisFont), py - axisH / 2);
  }
  if (hasXTitle)
    w.Centred(chart.X.Title, axisTitleFont,
              {area.Width, axisTitleH, area.Bottom() + 0.8f + axisH, area.Left});
  if (hasYTitle)
    w.Upwards(chart.Y.Title, axisTitleFont, {axisTitleH, area.Height, area.Top, outer.Left + pad});

  float ly = legendTop;
  for (const auto& row : legendRows) {
    float lx = outer.Left + pad;
    for (const LegendEntry& e : row) {
      const float mid = ly + axisH / 2;
      w.Line(lx, mid, lx + 5, mid, e.colour, 0.4f, StyleOf(e.style));
      w.Text(e.text, axisFont, lx + 5 + 0.8f, ly);
      lx += e.width;
    }
    ly += axisH;
  }
}

}  // namespace vantrel::chart

#include "render/chart/chart_painter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "render/layout_rules.h"
#include "render/page_canvas.h"
#include "render/text_box.h"

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
            const MmRect* box = nullptr, const std::string& whole = {}) {
    PlanText out;
    out.Text = text;
    out.Whole = whole;
    out.Run = {Width(text, f), Height(f), top, x};
    out.Box = box != nullptr ? *box : out.Run;
    out.Ascent = metrics_.Ascent(f);
    out.Points = f.Points;
    out.Bold = f.Bold;
    out.Item = item_;
    plan_.Add(std::move(out));
  }

  // Text centred in box.
  void Centred(const std::string& text, const FontSpec& f, const MmRect& box,
               const std::string& whole = {}) {
    const float w = Width(text, f);
    Text(text, f, box.Left + (box.Width - w) / 2, box.Top + (box.Height - Height(f)) / 2, &box,
         whole);
  }

  // Text turned to read upwards, centred along the box's height.
  void Upwards(const std::string& text, const FontSpec& f, const MmRect& box,
               const std::string& whole = {}) {
    PlanText out;
    out.Text = text;
    out.Whole = whole;
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
  const FontMetrics& Metrics() const { return metrics_; }

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
  // A point that lies on the line between its neighbours (within kOnLine, across every
  // point passed over since the last one kept) adds nothing to the picture.
  constexpr float kOnLine = 0.01f;
  std::vector<MmPoint> passed;  // dropped since the run's last kept point
  const auto near = [](const MmPoint& a, const MmPoint& e, const MmPoint& p) {
    const float dx = e.X - a.X, dy = e.Y - a.Y;
    const float length = std::hypot(dx, dy);
    if (length == 0) return std::hypot(p.X - a.X, p.Y - a.Y) <= kOnLine;
    // Within the segment's span and close to its line.
    const float along = ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / length;
    if (along < 0 || along > length) return false;
    return std::fabs((p.X - a.X) * dy - (p.Y - a.Y) * dx) / length <= kOnLine;
  };
  const auto add = [&](const MmPoint& pt) {
    std::vector<MmPoint>& run = curve.Runs.back();
    if (run.size() >= 2 && passed.size() < 64) {
      const MmPoint& anchor = run[run.size() - 2];
      passed.push_back(run.back());
      if (std::all_of(passed.begin(), passed.end(),
                      [&](const MmPoint& q) { return near(anchor, pt, q); })) {
        run.back() = pt;
        return;
      }
      passed.clear();
    } else {
      passed.clear();
    }
    run.push_back(pt);
  };
  const auto flush = [&]() {
    if (b.count == 0) return;
    const MmPoint& first = b.lowAt <= b.highAt ? b.low : b.high;
    const MmPoint& second = b.lowAt <= b.highAt ? b.high : b.low;
    if (!open) {
      curve.Runs.emplace_back();
      passed.clear();
      open = true;
    }
    add(first);
    if (b.count > 1) {
      if (second.X != first.X || second.Y != first.Y) add(second);
      if (std::fabs(b.last.Y - second.Y) > kStill) add(b.last);
    }
    b.count = 0;
  };
  const AxisFractions xFraction(x), yFraction(y);
  int n = 0;
  for (const ChartPoint& pt : set.Points) {
    ++n;
    const double fx = pt.Missing ? kNaN : xFraction(pt.X);
    const double fy = pt.Missing ? kNaN : yFraction(pt.Y);
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
  std::string whole;  // before it was cut to its column; empty when it was not
  ChartRgb colour;
  int style;
};

// The legend as a grid of equal columns at the foot: as many columns as the widest
// entry allows, set smaller and then cut when the rows would take more than a third
// of the chart.
struct LegendLayout {
  FontSpec font;
  float columnWidth = 0;
  int columns = 1;
  std::vector<LegendEntry> entries;
  int Rows() const {
    return entries.empty() ? 0 : (static_cast<int>(entries.size()) + columns - 1) / columns;
  }
};

constexpr float kKeyLine = 5;    // length of an entry's line sample
constexpr float kKeyGap = 0.8f;  // between the sample and its text
constexpr float kEntryGap = 2;   // between entries

LegendLayout LayOutLegend(const ChartModel& chart, const ChartWriter& w, FontSpec font, float width,
                          float height) {
  LegendLayout out;
  if (!AnyLegend(chart)) return out;
  const auto rowsFor = [&](float columnWidth) {
    const int columns = std::max(1, static_cast<int>((width + kEntryGap) / columnWidth));
    int n = 0;
    for (const DataSet& set : chart.Sets) n += set.Legend.empty() ? 0 : 1;
    return std::pair{columns, (n + columns - 1) / columns};
  };
  const auto widest = [&](const FontSpec& f) {
    float most = 0;
    for (const DataSet& set : chart.Sets)
      if (!set.Legend.empty()) most = std::max(most, w.Width(set.Legend, f));
    return std::min(width, kKeyLine + kKeyGap + most + kEntryGap);
  };
  const float room = height / 3;
  for (;;) {
    out.columnWidth = widest(font);
    auto [columns, rows] = rowsFor(out.columnWidth);
    // At the smallest size narrower columns take more entries a row, their texts cut.
    while (font.Points <= kSmallestPoints && rows * w.Height(font) > room &&
           out.columnWidth > 4 * (kKeyLine + kKeyGap)) {
      out.columnWidth *= 0.85f;
      std::tie(columns, rows) = rowsFor(out.columnWidth);
    }
    out.columns = columns;
    if (rows * w.Height(font) <= room || font.Points <= kSmallestPoints) break;
    font.Points = std::max(kSmallestPoints, font.Points - 0.5f);
  }
  out.font = font;
  const float textRoom = out.columnWidth - kKeyLine - kKeyGap - kEntryGap;
  for (const DataSet& set : chart.Sets) {
    if (set.Legend.empty()) continue;
    LegendEntry e{set.Legend, {}, set.Colour, set.Style};
    e.text = Ellipsized(w.Metrics(), font, set.Legend, textRoom);
    if (e.text != set.Legend) e.whole = set.Legend;
    out.entries.push_back(std::move(e));
  }
  return out;
}

// A title as large as its box allows up to its own size, and cut at the smallest.
struct FittedText {
  std::string text;
  std::string whole;
  FontSpec font;
};
FittedText FitTitle(const ChartWriter& w, const std::string& text, FontSpec font, float length,
                    float across) {
  FittedText out{text, {}, font};
  if (text.empty() || length <= 0) return out;
  out.font.Points = std::min(font.Points, FitPoints(w.Metrics(), font, text, {length, across, 0, 0},
                                                    font.Points, kSmallestPoints));
  out.text = Ellipsized(w.Metrics(), out.font, text, length);
  if (out.text != text) out.whole = text;
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
  const FontSpec axisFont = w.Font(chart.AxisPoints, false);
  const float axisH = w.Height(axisFont);
  constexpr float pad = 1.0f;
  constexpr float labelGap = 0.8f;  // between a tick label and the frame

  const DataRange xr = RangeOf(chart, true, chart.X.Log);
  const DataRange yr = RangeOf(chart, false, chart.Y.Log);
  AxisLayout x = ResolveAxis(chart.X, xr.Min, xr.Max);
  AxisLayout y = ResolveAxis(chart.Y, yr.Min, yr.Max);

  const float inner = outer.Width - 2 * pad;
  const FontSpec titleSize = w.Font(chart.TitlePoints, true);
  const FittedText title = Blank(chart.Title)
                               ? FittedText{}
                               : FitTitle(w, chart.Title, titleSize, inner, w.Height(titleSize));
  float top = outer.Top + pad;
  if (!title.text.empty()) top += w.Height(title.font) + pad / 2;
  float bottom = outer.Bottom() - pad;

  const LegendLayout legend = LayOutLegend(chart, w, axisFont, inner, outer.Height);
  const float legendH = w.Height(legend.font);
  bottom -= static_cast<float>(legend.Rows()) * legendH;
  const float legendTop = bottom;
  const FontSpec axisTitleSize = w.Font(chart.AxisTitlePoints, false);
  const float axisTitleH = w.Height(axisTitleSize);
  const bool hasXTitle = !chart.X.Title.empty();
  const bool hasYTitle = !chart.Y.Title.empty();
  if (hasXTitle) bottom -= axisTitleH;
  bottom -= axisH + labelGap;  // tick labels

  float labelWidth = 0;
  for (const Tick& t : y.Ticks)
    if (t.Major) labelWidth = std::max(labelWidth, w.Width(t.Label, axisFont));
  float left = outer.Left + pad + labelWidth + labelGap;
  if (hasYTitle) left += axisTitleH + labelGap;
  float lastXLabel = 0;
  for (const Tick& t : x.Ticks)
    if (t.Major) lastXLabel = w.Width(t.Label, axisFont);
  const float right = outer.Right() - pad - lastXLabel / 2;
  top += axisH / 2;  // room for the top y label
  const float areaRight = std::max(left + 1, right), areaBottom = std::max(top + 1, bottom);
  const MmRect area{areaRight - left, areaBottom - top, top, left};

  SpaceLabels(
      x, chart.X.LabelFormat, [&](const std::string& l) { return w.Width(l, axisFont); }, 1.0f,
      area, true);
  SpaceLabels(
      y, chart.Y.LabelFormat, [&](const std::string&) { return axisH; }, 0.2f, area, false);

  if (!title.text.empty())
    w.Centred(title.text, title.font,
              {inner, w.Height(title.font), outer.Top + pad / 2, outer.Left + pad}, title.whole);

  // Grid: major lines as one path, minor ones as another, so that the pen is set twice
  // instead of once per line.
  constexpr float hair = 0.1f;
  PlanCurve major, minor;
  major.Colour = minor.Colour = chart.GridColour;
  major.WidthMm = hair;
  minor.WidthMm = hair * 0.6f;
  minor.Style = LineStyle::Dot;
  major.Clipped = minor.Clipped = false;
  for (const Tick& t : x.Ticks) {
    const double f = x.Fraction(t.Value);
    if (std::isnan(f)) continue;
    const float px = area.Left + static_cast<float>(f) * area.Width;
    (t.Major ? major : minor).Runs.push_back({{px, area.Top}, {px, area.Bottom()}});
  }
  for (const Tick& t : y.Ticks) {
    const double f = y.Fraction(t.Value);
    if (std::isnan(f)) continue;
    const float py = area.Bottom() - static_cast<float>(f) * area.Height;
    (t.Major ? major : minor).Runs.push_back({{area.Left, py}, {area.Right(), py}});
  }
  for (PlanCurve* grid : {&minor, &major})
    if (!grid->Runs.empty()) w.Plan().Add(std::move(*grid));

  // The frame goes under the curves: a limit on the edge of the range stays in sight.
  w.Plan().Add(PlanBox{area, false, kWhite, true, kBlack, 0.2f, canvas.Item});
  for (const bool onTop : {false, true}) {
    for (const DataSet& set : chart.Sets) {
      if (set.OnTop != onTop) continue;
      PlanCurve curve = CurveOf(set, x, y, area);
      const float half = curve.WidthMm / 2;
      curve.Clip = {area.Width + 2 * half, area.Height + 2 * half, area.Top - half,
                    area.Left - half};
      w.Plan().Add(std::move(curve));
    }
  }

  // Tick labels. The lowest y label rises clear of the x labels where both meet.
  const float xLabelTop = area.Bottom() + 0.6f;
  float firstXLeft = area.Right();
  for (const Tick& t : x.Ticks) {
    if (!t.Major || t.Label.empty()) continue;
    const float px = area.Left + static_cast<float>(x.Fraction(t.Value)) * area.Width;
    const float lw = w.Width(t.Label, axisFont);
    firstXLeft = std::min(firstXLeft, px - lw / 2);
    w.Text(t.Label, axisFont, px - lw / 2, xLabelTop);
  }
  for (const Tick& t : y.Ticks) {
    if (!t.Major || t.Label.empty()) continue;
    const float py = area.Bottom() - static_cast<float>(y.Fraction(t.Value)) * area.Height;
    float labelTop = py - axisH / 2;
    if (labelTop + axisH > xLabelTop && firstXLeft < area.Left - labelGap + 0.05f)
      labelTop = xLabelTop - 0.1f - axisH;
    w.Text(t.Label, axisFont, area.Left - labelGap - w.Width(t.Label, axisFont), labelTop);
  }
  if (hasXTitle) {
    const FittedText t = FitTitle(w, chart.X.Title, axisTitleSize, area.Width, axisTitleH);
    w.Centred(t.text, t.font,
              {area.Width, axisTitleH, xLabelTop - 0.6f + labelGap + axisH, area.Left}, t.whole);
  }
  if (hasYTitle) {
    const FittedText t = FitTitle(w, chart.Y.Title, axisTitleSize, area.Height, axisTitleH);
    w.Upwards(t.text, t.font, {axisTitleH, area.Height, area.Top, outer.Left + pad}, t.whole);
  }

  float ly = legendTop;
  for (std::size_t i = 0; i < legend.entries.size(); ++i) {
    const LegendEntry& e = legend.entries[i];
    const int column = static_cast<int>(i) % legend.columns;
    if (i > 0 && column == 0) ly += legendH;
    const float lx = outer.Left + pad + static_cast<float>(column) * legend.columnWidth;
    const float mid = ly + legendH / 2;
    w.Line(lx, mid, lx + kKeyLine, mid, e.colour, 0.4f, StyleOf(e.style));
    const MmRect box{legend.columnWidth - kKeyLine - kEntryGap, legendH, ly, lx + kKeyLine};
    w.Text(e.text, legend.font, lx + kKeyLine + kKeyGap, ly, &box, e.whole);
  }
}

}  // namespace vantrel::chart

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
    out.Run = {.Width = Width(text, f), .Height = Height(f), .Top = top, .Left = x};
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
    out.Run = {.Width = Height(f),
               .Height = length,
               .Top = box.Top + (box.Height - length) / 2,
               .Left = box.Left + (box.Width - Height(f)) / 2};
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
    plan_.Add(PlanLine{{.X = x1, .Y = y1}, {.X = x2, .Y = y2}, colour, width, style});
  }

  PagePlan& Plan() { return plan_; }

 private:
  PagePlan& plan_;
  const FontMetrics& metrics_;
  std::string family_;
  std::string item_;
};

// Builds a curve's runs from page points. Points that share a sliver of the page a
// quarter of a millimetre wide are kept as their lowest and highest value: the line
// looks the same and the page holds a fraction of the points.
class RunBuilder {
 public:
  explicit RunBuilder(PlanCurve& curve, float areaLeft) : curve_(curve), areaLeft_(areaLeft) {}

  // Point n of the set at q on the page.
  void Point(const MmPoint& q, int n) {
    const long index = static_cast<long>(std::floor((q.X - areaLeft_) / kSliver));
    if (b_.Count > 0 && index != b_.Index) Flush();
    if (b_.Count == 0) {
      b_.Index = index;
      b_.Low = b_.High = b_.Last = q;
      b_.LowAt = b_.HighAt = n;
      b_.Count = 1;
      return;
    }
    ++b_.Count;
    b_.Last = q;
    if (q.Y > b_.Low.Y) b_.Low = q, b_.LowAt = n;
    if (q.Y < b_.High.Y) b_.High = q, b_.HighAt = n;
  }

  // A point that cannot be drawn ends the run.
  void Gap() {
    Flush();
    open_ = false;
  }

  void Flush() {
    if (b_.Count == 0) return;
    const MmPoint& first = b_.LowAt <= b_.HighAt ? b_.Low : b_.High;
    const MmPoint& second = b_.LowAt <= b_.HighAt ? b_.High : b_.Low;
    if (!open_) {
      curve_.Runs.emplace_back();
      passed_.clear();
      open_ = true;
    }
    Add(first);
    if (b_.Count > 1) {
      if (second.X != first.X || second.Y != first.Y) Add(second);
      if (std::fabs(b_.Last.Y - second.Y) > kStill) Add(b_.Last);
    }
    b_.Count = 0;
  }

 private:
  static constexpr float kSliver = 0.25f;
  static constexpr float kStill = 0.1f;
  // A point that lies on the line between its neighbours (within kOnLine, across every
  // point passed over since the last one kept) adds nothing to the picture.
  static constexpr float kOnLine = 0.01f;

  // The line from a run's point before last to a new point, measured once for all the
  // points passed over since.
  struct Segment {
    Segment(const MmPoint& a, const MmPoint& e)
        : A(a), Dx(e.X - a.X), Dy(e.Y - a.Y), Length(std::hypot(Dx, Dy)) {}

    bool Near(const MmPoint& p) const {
      if (Length == 0) return std::hypot(p.X - A.X, p.Y - A.Y) <= kOnLine;
      // Within the segment's span and close to its line.
      const float along = ((p.X - A.X) * Dx + (p.Y - A.Y) * Dy) / Length;
      if (along < 0 || along > Length) return false;
      return std::fabs((p.X - A.X) * Dy - (p.Y - A.Y) * Dx) / Length <= kOnLine;
    }

    MmPoint A;
    float Dx, Dy, Length;
  };

  void Add(const MmPoint& pt) {
    std::vector<MmPoint>& run = curve_.Runs.back();
    if (run.size() >= 2 && passed_.size() < 64) {
      const Segment segment(run[run.size() - 2], pt);
      passed_.push_back(run.back());
      if (std::all_of(passed_.begin(), passed_.end(),
                      [&](const MmPoint& q) { return segment.Near(q); })) {
        run.back() = pt;
        return;
      }
      passed_.clear();
    } else {
      passed_.clear();
    }
    run.push_back(pt);
  }

  struct Bucket {
    long Index = -1;
    int Count = 0;
    MmPoint Low, High, Last;
    int LowAt = 0, HighAt = 0;
  };
  PlanCurve& curve_;
  float areaLeft_;
  Bucket b_;
  bool open_ = false;
  std::vector<MmPoint> passed_;  // dropped since the run's last kept point
};

// The x fractions of a chart's points by index: its sets share one frequency column, so
// each fraction (a logarithm on a log axis) is worked out once, not once per set.
class XFractions {
 public:
  explicit XFractions(const AxisLayout& x) : fraction_(x) {}

  double At(std::size_t i, double x) {
    if (i >= xs_.size()) {
      xs_.resize(i + 1, kNaN);  // NaN equals nothing: such a place is worked out
      fractions_.resize(i + 1);
    }
    if (xs_[i] != x) {
      xs_[i] = x;
      fractions_[i] = fraction_(x);
    }
    return fractions_[i];
  }

 private:
  AxisFractions fraction_;
  std::vector<double> xs_, fractions_;
};

// One set as polylines broken at missing points.
PlanCurve CurveOf(const DataSet& set, XFractions& xFraction, const AxisLayout& y,
                  const MmRect& area) {
  PlanCurve curve;
  curve.Clip = area;
  RunBuilder runs(curve, area.Left);
  const AxisFractions yFraction(y);
  int n = 0;
  for (const ChartPoint& pt : set.Points) {
    ++n;
    const double fx = pt.Missing ? kNaN : xFraction.At(static_cast<std::size_t>(n - 1), pt.X);
    const double fy = pt.Missing ? kNaN : yFraction(pt.Y);
    if (std::isnan(fx) || std::isnan(fy)) {
      runs.Gap();
      continue;
    }
    runs.Point({.X = static_cast<float>(area.Left + fx * area.Width),
                .Y = static_cast<float>(area.Bottom() - fy * area.Height)},
               n);
  }
  runs.Flush();
  curve.Colour = set.Colour;
  curve.WidthMm = 0.18f + 0.12f * static_cast<float>(std::clamp(set.Thickness, 0, 10));
  curve.Style = StyleOf(set.Style);
  return curve;
}

// Grid: major lines as one path, minor ones as another, so that the pen is set twice
// instead of once per line.
void DrawGrid(ChartWriter& w, const ChartLayout& layout, ChartRgb colour) {
  const MmRect& area = layout.Area;
  constexpr float hair = 0.1f;
  PlanCurve major, minor;
  major.Colour = minor.Colour = colour;
  major.WidthMm = hair;
  minor.WidthMm = hair * 0.6f;
  minor.Style = LineStyle::Dot;
  major.Clipped = minor.Clipped = false;
  for (const Tick& t : layout.X.Ticks) {
    const double f = layout.X.Fraction(t.Value);
    if (std::isnan(f)) continue;
    const float px = area.Left + static_cast<float>(f) * area.Width;
    (t.Major ? major : minor)
        .Runs.push_back({{.X = px, .Y = area.Top}, {.X = px, .Y = area.Bottom()}});
  }
  for (const Tick& t : layout.Y.Ticks) {
    const double f = layout.Y.Fraction(t.Value);
    if (std::isnan(f)) continue;
    const float py = area.Bottom() - static_cast<float>(f) * area.Height;
    (t.Major ? major : minor)
        .Runs.push_back({{.X = area.Left, .Y = py}, {.X = area.Right(), .Y = py}});
  }
  for (PlanCurve* grid : {&minor, &major})
    if (!grid->Runs.empty()) w.Plan().Add(std::move(*grid));
}

// Limit curves go last, so that they stay in sight over the data.
void DrawCurves(ChartWriter& w, const ChartLayout& layout, const ChartModel& chart) {
  const MmRect& area = layout.Area;
  XFractions xFractions(layout.X);
  for (const bool onTop : {false, true}) {
    for (const DataSet& set : chart.Sets) {
      if (set.OnTop != onTop) continue;
      PlanCurve curve = CurveOf(set, xFractions, layout.Y, area);
      const float half = curve.WidthMm / 2;
      curve.Clip = {.Width = area.Width + 2 * half,
                    .Height = area.Height + 2 * half,
                    .Top = area.Top - half,
                    .Left = area.Left - half};
      w.Plan().Add(std::move(curve));
    }
  }
}

void DrawTexts(ChartWriter& w, const ChartLayout& layout) {
  for (const TickLabel& l : layout.XLabels) w.Text(l.Text, layout.AxisFont, l.Left, l.Top);
  for (const TickLabel& l : layout.YLabels) w.Text(l.Text, layout.AxisFont, l.Left, l.Top);
  if (const auto& t = layout.XTitle) w.Centred(t->Text, t->Font, t->Box, t->Whole);
  if (const auto& t = layout.YTitle) w.Upwards(t->Text, t->Font, t->Box, t->Whole);
  for (const LegendKey& k : layout.Legend) {
    w.Line(k.LineLeft, k.LineY, k.LineRight, k.LineY, k.Colour, 0.4f, StyleOf(k.Style));
    w.Text(k.Text, layout.LegendFont, k.TextLeft, k.Box.Top, &k.Box, k.Whole);
  }
}

}  // namespace

void DrawChart(PageCanvas& canvas, const MmRect& outer, const ChartModel& chart) {
  const ChartLayout layout = LayOutChart(canvas.Metrics(), canvas.FontName, outer, chart);
  if (!layout.Drawn) return;
  ChartWriter w(canvas, canvas.Item);
  if (const auto& t = layout.Title) w.Centred(t->Text, t->Font, t->Box, t->Whole);
  DrawGrid(w, layout, chart.GridColour);
  // The frame goes under the curves: a limit on the edge of the range stays in sight.
  w.Plan().Add(PlanBox{layout.Area, false, kWhite, true, kBlack, 0.2f, canvas.Item});
  DrawCurves(w, layout, chart);
  DrawTexts(w, layout);
}

}  // namespace vantrel::chart

#include "render/chart/chart_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>

#include "render/page_canvas.h"

namespace vantrel::chart {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Fonts {
  QFont title, axis, axisTitle;
};

QFont FontOf(const PageCanvas& canvas, float points, bool bold) {
  QFont font(QString::fromStdString(canvas.FontName));
  font.setPointSizeF(std::max(1.0f, points));
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

QPen PenOf(ChartRgb colour, double widthDots, Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(ToQColor(colour));
  pen.setWidthF(widthDots);
  pen.setStyle(style);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

Qt::PenStyle StyleOf(int style) {
  switch (style) {
    case 1:
      return Qt::DashLine;
    case 2:
      return Qt::DotLine;
    case 3:
      return Qt::DashDotLine;
    case 4:
      return Qt::DashDotDotLine;
    default:
      return Qt::SolidLine;
  }
}

bool AnyLegend(const ChartModel& chartSpec) {
  return std::any_of(chartSpec.Sets.begin(), chartSpec.Sets.end(),
                     [](const DataSet& s) { return !s.Legend.empty(); });
}

// One set as polylines broken at missing points. Points that share a sliver of the
// page a quarter of a millimetre wide are drawn as their lowest and highest value:
// the line looks the same and the page holds a fraction of the points.
void DrawSet(QPainter& p, const DataSet& set, const AxisLayout& x, const AxisLayout& y,
             const QRectF& area, double k) {
  QPainterPath path;
  const double sliver = 0.25 * k;
  const double still = 0.1 * k;
  struct Bucket {
    long index = -1;
    int count = 0;
    QPointF low, high, last;
    int lowAt = 0, highAt = 0;
  } b;
  bool open = false;
  const auto flush = [&]() {
    if (b.count == 0) return;
    const QPointF& first = b.lowAt <= b.highAt ? b.low : b.high;
    const QPointF& second = b.lowAt <= b.highAt ? b.high : b.low;
    if (!open) {
      path.moveTo(first);
      open = true;
    } else {
      path.lineTo(first);
    }
    if (b.count > 1) {
      if (second != first) path.lineTo(second);
      const QPointF& end = second;
      if (std::fabs(b.last.y() - end.y()) > still) path.lineTo(b.last);
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
    const QPointF q(area.left() + fx * area.width(), area.bottom() - fy * area.height());
    const long index = static_cast<long>(std::floor((q.x() - area.left()) / sliver));
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
    if (q.y() > b.low.y()) b.low = q, b.lowAt = n;
    if (q.y() < b.high.y()) b.high = q, b.highAt = n;
  }
  flush();
  const double width = (0.18 + 0.12 * std::clamp(set.Thickness, 0, 10)) * k;
  p.setPen(PenOf(set.Colour, width, StyleOf(set.Style)));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
}

}  // namespace

DataRange RangeOf(const ChartModel& chartSpec, bool xAxis, bool log) {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -lo;
  for (const DataSet& set : chartSpec.Sets) {
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

void DrawChart(PageCanvas& canvas, const MmRect& rect, const ChartModel& chartSpec) {
  if (rect.Width <= 0 || rect.Height <= 0) return;
  QPainter& p = canvas.Painter();
  p.save();
  const double k = canvas.DotsPerMm();
  const QRectF outer(rect.Left * k, rect.Top * k, rect.Width * k, rect.Height * k);
  QPaintDevice* device = p.device();
  const Fonts fonts{FontOf(canvas, chartSpec.TitlePoints, true), FontOf(canvas, chartSpec.AxisPoints, false),
                    FontOf(canvas, chartSpec.AxisTitlePoints, false)};
  const QFontMetricsF titleM(fonts.title, device), axisM(fonts.axis, device),
      axisTitleM(fonts.axisTitle, device);

  const DataRange xr = RangeOf(chartSpec, true, chartSpec.X.Log);
  const DataRange yr = RangeOf(chartSpec, false, chartSpec.Y.Log);
  const AxisLayout x = ResolveAxis(chartSpec.X, xr.Min, xr.Max);
  const AxisLayout y = ResolveAxis(chartSpec.Y, yr.Min, yr.Max);

  const double pad = 1.0 * k;
  double top = outer.top() + pad;
  const bool hasTitle = !QString::fromStdString(chartSpec.Title).trimmed().isEmpty();
  if (hasTitle) top += titleM.height() + pad / 2;
  double bottom = outer.bottom() - pad;

  // Legend rows at the foot, wrapped to the chart's width.
  struct Entry {
    QString text;
    ChartRgb colour;
    int style;
    double width;
  };
  std::vector<std::vector<Entry>> legendRows;
  const double swatch = 5 * k;
  if (AnyLegend(chartSpec)) {
    legendRows.emplace_back();
    double used = 0;
    for (const DataSet& set : chartSpec.Sets) {
      if (set.Legend.empty()) continue;
      const QString text = QString::fromStdString(set.Legend);
      const double w = swatch + 0.8 * k + axisM.horizontalAdvance(text) + 2.5 * k;
      if (used > 0 && used + w > outer.width() - 2 * pad) {
        legendRows.emplace_back();
        used = 0;
      }
      legendRows.back().push_back({text, set.Colour, set.Style, w});
      used += w;
    }
    bottom -= legendRows.size() * axisM.height();
  }
  const double legendTop = bottom;
  const bool hasXTitle = !chartSpec.X.Title.empty();
  const bool hasYTitle = !chartSpec.Y.Title.empty();
  if (hasXTitle) bottom -= axisTitleM.height();
  bottom -= axisM.height() + 0.8 * k;  // tick labels

  double labelWidth = 0;
  for (const Tick& t : y.Ticks)
    if (t.Major)
      labelWidth = std::max(labelWidth, axisM.horizontalAdvance(QString::fromStdString(t.Label)));
  double left = outer.left() + pad + labelWidth + 0.8 * k;
  if (hasYTitle) left += axisTitleM.height() + 0.8 * k;
  double lastXLabel = 0;
  for (const Tick& t : x.Ticks)
    if (t.Major) lastXLabel = axisM.horizontalAdvance(QString::fromStdString(t.Label));
  const double right = outer.right() - pad - lastXLabel / 2;
  top += axisM.height() / 2;  // room for the top y label
  const QRectF area(QPointF(left, top),
                    QPointF(std::max(left + k, right), std::max(top + k, bottom)));

  // Title.
  if (hasTitle) {
    p.setFont(fonts.title);
    p.setPen(Qt::black);
    p.drawText(QRectF(outer.left(), outer.top() + pad / 2, outer.width(), titleM.height()),
               Qt::AlignHCenter | Qt::AlignVCenter, QString::fromStdString(chartSpec.Title));
  }

  // Grid.
  const double hair = 0.1 * k;
  for (const Tick& t : x.Ticks) {
    const double f = x.Fraction(t.Value);
    if (std::isnan(f)) continue;
    const double px = area.left() + f * area.width();
    p.setPen(
        PenOf(chartSpec.GridColour, t.Major ? hair : hair * 0.6, t.Major ? Qt::SolidLine : Qt::DotLine));
    p.drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
  }
  for (const Tick& t : y.Ticks) {
    const double f = y.Fraction(t.Value);
    if (std::isnan(f)) continue;
    const double py = area.bottom() - f * area.height();
    p.setPen(
        PenOf(chartSpec.GridColour, t.Major ? hair : hair * 0.6, t.Major ? Qt::SolidLine : Qt::DotLine));
    p.drawLine(QPointF(area.left(), py), QPointF(area.right(), py));
  }

  // Sets, clipped to the plot area.
  p.save();
  p.setClipRect(area);
  for (const bool onTop : {false, true})
    for (const DataSet& set : chartSpec.Sets)
      if (set.OnTop == onTop) DrawSet(p, set, x, y, area, k);
  p.restore();

  // Frame and labels.
  p.setPen(PenOf(0x000000, 0.2 * k));
  p.setBrush(Qt::NoBrush);
  p.drawRect(area);
  p.setFont(fonts.axis);
  p.setPen(Qt::black);
  for (const Tick& t : x.Ticks) {
    if (!t.Major) continue;
    const double px = area.left() + x.Fraction(t.Value) * area.width();
    const QString label = QString::fromStdString(t.Label);
    const double w = axisM.horizontalAdvance(label);
    p.drawText(QPointF(px - w / 2, area.bottom() + 0.6 * k + axisM.ascent()), label);
  }
  for (const Tick& t : y.Ticks) {
    if (!t.Major) continue;
    const double py = area.bottom() - y.Fraction(t.Value) * area.height();
    const QString label = QString::fromStdString(t.Label);
    const double w = axisM.horizontalAdvance(label);
    p.drawText(QPointF(area.left() - 0.8 * k - w, py - axisM.height() / 2 + axisM.ascent()), label);
  }
  p.setFont(fonts.axisTitle);
  if (hasXTitle) {
    const QRectF band(area.left(), area.bottom() + 0.8 * k + axisM.height(), area.width(),
                      axisTitleM.height());
    p.drawText(band, Qt::AlignHCenter | Qt::AlignVCenter, QString::fromStdString(chartSpec.X.Title));
  }
  if (hasYTitle) {
    p.save();
    p.translate(outer.left() + pad, area.bottom());
    p.rotate(-90);
    p.drawText(QRectF(0, 0, area.height(), axisTitleM.height()),
               Qt::AlignHCenter | Qt::AlignVCenter, QString::fromStdString(chartSpec.Y.Title));
    p.restore();
  }

  // Legend.
  p.setFont(fonts.axis);
  double ly = legendTop;
  for (const auto& row : legendRows) {
    double lx = outer.left() + pad;
    for (const Entry& e : row) {
      const double mid = ly + axisM.height() / 2;
      p.setPen(PenOf(e.colour, 0.4 * k, StyleOf(e.style)));
      p.drawLine(QPointF(lx, mid), QPointF(lx + swatch, mid));
      p.setPen(Qt::black);
      p.drawText(QPointF(lx + swatch + 0.8 * k, ly + axisM.ascent()), e.text);
      lx += e.width;
    }
    ly += axisM.height();
  }
  p.restore();
}

}  // namespace vantrel::chart

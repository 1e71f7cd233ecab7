#include "render/plan_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "render/page_canvas.h"

namespace vantrel {

namespace {

Qt::PenStyle QtStyle(LineStyle style) {
  switch (style) {
    case LineStyle::Dash:
      return Qt::DashLine;
    case LineStyle::Dot:
      return Qt::DotLine;
    case LineStyle::DashDot:
      return Qt::DashDotLine;
    case LineStyle::DashDotDot:
      return Qt::DashDotDotLine;
    case LineStyle::Solid:
      break;
  }
  return Qt::SolidLine;
}

class Painter {
 public:
  Painter(QPainter& p, double dotsPerMm)
      : p_(p),
        k_(dotsPerMm),
        // The PDF writer prints each coordinate with up to six decimals, which the zlib
        // behind it then has to squeeze; whole device dots (1/600 inch for our PDFs) are
        // finer than any printer draws and make the stream half as long.
        wholeDots_(p.paintEngine() != nullptr && p.paintEngine()->type() == QPaintEngine::Pdf) {}

  void operator()(const PlanBox& box) {
    const QRectF rect = Rect(box.Rect);
    if (box.Filled) p_.fillRect(rect, ToQColor(box.Fill));
    if (!box.Outlined) return;
    QPen pen = Pen(box.Outline, box.LineMm, LineStyle::Solid);
    pen.setJoinStyle(Qt::MiterJoin);
    p_.setPen(pen);
    p_.setBrush(Qt::NoBrush);
    p_.drawRect(rect);
  }

  void operator()(const PlanLine& line) {
    p_.setPen(Pen(line.Colour, line.WidthMm, line.Style));
    p_.drawLine(LinePoint(line.From), LinePoint(line.To));
  }

  void operator()(const PlanCurve& curve) {
    QPainterPath path;
    for (const auto& run : curve.Runs) {
      if (run.empty()) continue;
      QPointF last = LinePoint(run.front());
      path.moveTo(last);
      for (std::size_t i = 1; i < run.size(); ++i) {
        const QPointF next = LinePoint(run[i]);
        if (next == last && i + 1 < run.size()) continue;
        path.lineTo(next);
        last = next;
      }
    }
    p_.save();
    if (curve.Clipped) p_.setClipRect(Rect(curve.Clip));
    QPen pen = Pen(curve.Colour, curve.WidthMm, curve.Style);
    pen.setJoinStyle(Qt::RoundJoin);
    p_.setPen(pen);
    p_.setBrush(Qt::NoBrush);
    p_.drawPath(path);
    p_.restore();
  }

  void operator()(const PlanText& text) {
    if (text.Text.empty()) return;
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(std::max(1.0f, text.Points));
    font.setBold(text.Bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    p_.setFont(font);
    p_.setPen(ToQColor(text.Colour));
    const QString s = QString::fromStdString(text.Text);
    // A bitmap's glyphs advance by whole pixels and come out wider than measured; the
    // run is held to the length the layout gave it, so that it keeps inside its box.
    const double wanted = (text.Vertical ? text.Run.Height : text.Run.Width) * k_;
    const bool bitmap = p_.device() != nullptr && p_.device()->devType() == QInternal::Image;
    const double drawn = bitmap ? QFontMetricsF(font, p_.device()).horizontalAdvance(s) : 0;
    const double stretch =
        drawn > 0 && std::fabs(drawn - wanted) > 0.003 * wanted ? wanted / drawn : 1;
    p_.save();
    if (!text.Vertical) {
      p_.translate(text.Run.Left * k_, (text.Run.Top + text.Ascent) * k_);
    } else {
      p_.translate(text.Run.Left * k_, text.Run.Bottom() * k_);
      p_.rotate(-90);
      p_.translate(0, text.Ascent * k_);
    }
    if (stretch != 1) p_.scale(stretch, 1);
    p_.drawText(QPointF(0, 0), s);
    p_.restore();
  }

  void operator()(const PlanImage& image) {
    if (image.Picture) p_.drawImage(Rect(image.Rect), *image.Picture);
  }

 private:
  QRectF Rect(const MmRect& r) const {
    return QRectF(r.Left * k_, r.Top * k_, r.Width * k_, r.Height * k_);
  }
  QPointF Point(const MmPoint& pt) const { return QPointF(pt.X * k_, pt.Y * k_); }
  QPointF LinePoint(const MmPoint& pt) const {
    const QPointF q = Point(pt);
    return wholeDots_ ? QPointF(std::round(q.x()), std::round(q.y())) : q;
  }
  QPen Pen(Rgb colour, float widthMm, LineStyle style) const {
    QPen pen(ToQColor(colour));
    pen.setWidthF(widthMm * k_);
    pen.setStyle(QtStyle(style));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
  }

  QPainter& p_;
  double k_;
  bool wholeDots_;
};

}  // namespace

void PaintPlan(const PagePlan& plan, PageTarget& target) {
  QPainter& p = target.Painter();
  if (!p.isActive()) throw OutputDeviceError("the output device has no page to paint on");
  const double k = target.DotsPerMm();
  p.save();
  p.fillRect(QRectF(0, 0, plan.WidthMm * k, plan.HeightMm * k), Qt::white);
  Painter painter(p, k);
  for (const PlanItem& item : plan.Items) std::visit(painter, item);
  p.restore();
}

}  // namespace vantrel

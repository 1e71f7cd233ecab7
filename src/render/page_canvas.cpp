#include "render/page_canvas.h"

#include <QFontMetricsF>
#include <QPainter>

namespace vantrel {

namespace {

// Metrics at the device's own resolution, so that what is measured is what is drawn.
QFontMetricsF MetricsOn(PageTarget& target, const QFont& font) {
  QPaintDevice* device = target.Painter().device();
  return device != nullptr ? QFontMetricsF(font, device) : QFontMetricsF(font);
}

}  // namespace

QColor ToQColor(Rgb colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

PageCanvas::PageCanvas(PageTarget& target) : target_(target) {}

QFont PageCanvas::CurrentFont() const {
  QFont font(QString::fromStdString(FontName));
  font.setPointSizeF(std::max(1.0f, FontSize));
  font.setBold(FontBold);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

float PageCanvas::TextWidth(const std::string& text) const {
  const QFontMetricsF metrics = MetricsOn(target_, CurrentFont());
  return static_cast<float>(metrics.horizontalAdvance(QString::fromStdString(text)) /
                            target_.DotsPerMm());
}

float PageCanvas::TextHeight(const std::string&) const {
  const QFontMetricsF metrics = MetricsOn(target_, CurrentFont());
  return static_cast<float>(metrics.height() / target_.DotsPerMm());
}

void PageCanvas::Print(const std::string& text) {
  QPainter& p = Painter();
  const QFont font = CurrentFont();
  const QFontMetricsF metrics = MetricsOn(target_, font);
  const double k = target_.DotsPerMm();
  const QString s = QString::fromStdString(text);
  const QPointF topLeft(CurrentX * k, CurrentY * k);
  if (!FontTransparent) {
    p.fillRect(QRectF(topLeft, QSizeF(metrics.horizontalAdvance(s), metrics.height())), Qt::white);
  }
  p.setFont(font);
  p.setPen(ToQColor(ForeColor));
  p.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), s);
  CurrentX += static_cast<float>(metrics.horizontalAdvance(s) / k);
}

namespace {

QPen PenFor(const PageCanvas& canvas, Rgb colour) {
  QPen pen(ToQColor(colour));
  pen.setWidthF(std::max(1, canvas.DrawWidth) * kMmPerDrawWidth * canvas.DotsPerMm());
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

}  // namespace

void PageCanvas::Line(float x1, float y1, float x2, float y2) {
  QPainter& p = Painter();
  const double k = target_.DotsPerMm();
  p.setPen(PenFor(*this, ForeColor));
  p.drawLine(QPointF(x1 * k, y1 * k), QPointF(x2 * k, y2 * k));
}

void PageCanvas::Box(float x1, float y1, float x2, float y2) {
  QPainter& p = Painter();
  const double k = target_.DotsPerMm();
  const QRectF rect(QPointF(std::min(x1, x2) * k, std::min(y1, y2) * k),
                    QPointF(std::max(x1, x2) * k, std::max(y1, y2) * k));
  if (FillStyle == 0) p.fillRect(rect, ToQColor(FillColor));
  p.setPen(PenFor(*this, ForeColor));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect);
}

void PageCanvas::PaintPicture(const QImage& picture, float x, float y, float w, float h) {
  const double k = target_.DotsPerMm();
  Painter().drawImage(QRectF(x * k, y * k, w * k, h * k), picture);
}

void PageCanvas::Cls() {
  const double k = target_.DotsPerMm();
  Painter().fillRect(QRectF(0, 0, ScaleWidth() * k, ScaleHeight() * k), Qt::white);
}

}  // namespace vantrel

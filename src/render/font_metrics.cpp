#include "render/font_metrics.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <algorithm>

namespace vantrel {

namespace {

constexpr double kMeasureDpi = 600;
constexpr double kDotsPerMm = kMeasureDpi / 25.4;

// A device of the measuring resolution; fonts are scaled to it as on the PDF.
QPaintDevice& MeasuringDevice() {
  static QImage device = [] {
    QImage image(1, 1, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(kMeasureDpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
  }();
  return device;
}

}  // namespace

QtFontMetrics::QtFontMetrics() = default;
QtFontMetrics::~QtFontMetrics() = default;

QtFontMetrics::Measured& QtFontMetrics::MeasuredOf(const FontSpec& wanted) const {
  const int centiPoints = static_cast<int>(std::max(1.0f, wanted.Points) * 100 + 0.5f);
  auto key = std::make_tuple(wanted.Family, centiPoints, wanted.Bold);
  auto it = cache_.find(key);
  if (it == cache_.end()) {
    QFont font(QString::fromStdString(wanted.Family));
    font.setPointSizeF(centiPoints / 100.0);
    font.setBold(wanted.Bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    Measured m;
    m.Metrics = std::make_unique<QFontMetricsF>(font, &MeasuringDevice());
    m.Height = static_cast<float>(m.Metrics->height() / kDotsPerMm);
    m.Ascent = static_cast<float>(m.Metrics->ascent() / kDotsPerMm);
    it = cache_.emplace(key, std::move(m)).first;
  }
  return it->second;
}

float QtFontMetrics::TextWidth(std::string_view text, const FontSpec& font) const {
  constexpr std::size_t kMaxRemembered = 8192;  // a program left running keeps its memory
  const std::lock_guard lock(mutex_);
  Measured& m = MeasuredOf(font);
  if (const auto it = m.Widths.find(text); it != m.Widths.end()) return it->second;
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const float width = static_cast<float>(m.Metrics->horizontalAdvance(s) / kDotsPerMm);
  if (m.Widths.size() >= kMaxRemembered) m.Widths.clear();
  m.Widths.emplace(std::string(text), width);
  return width;
}

float QtFontMetrics::TextHeight(const FontSpec& font) const {
  const std::lock_guard lock(mutex_);
  return MeasuredOf(font).Height;
}

float QtFontMetrics::Ascent(const FontSpec& font) const {
  const std::lock_guard lock(mutex_);
  return MeasuredOf(font).Ascent;
}

const FontMetrics& PrintFontMetrics() {
  static const QtFontMetrics metrics;
  return metrics;
}

void WarmUpThreadFonts() {
  for (const bool bold : {false, true}) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    QFontMetricsF(font, &MeasuringDevice()).horizontalAdvance(QStringLiteral("0123456789"));
  }
}

std::future<void> WarmUpPrintFonts() {
  return std::async(std::launch::async, [] {
    const FontMetrics& fonts = PrintFontMetrics();
    fonts.TextWidth("0123456789", FontSpec{});
    fonts.TextWidth("0123456789", FontSpec{.Bold = true});
  });
}

float FixedWidthMetrics::TextWidth(std::string_view text, const FontSpec& font) const {
  std::size_t characters = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++characters;
  return static_cast<float>(characters) * 0.6f * font.Points * kMmPerPoint;
}

float FixedWidthMetrics::TextHeight(const FontSpec& font) const {
  return 1.2f * font.Points * kMmPerPoint;
}

float FixedWidthMetrics::Ascent(const FontSpec& font) const {
  return 0.95f * font.Points * kMmPerPoint;
}

}  // namespace vantrel

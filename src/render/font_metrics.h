#pragma once
// How wide and tall text comes out, in millimetres. Layout measures through this, so
// that it can be tested without a font system.

#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>

class QFontMetricsF;

namespace vantrel {

struct FontSpec {
  std::string Family = "Arial";
  float Points = 9;
  bool Bold = false;
};

class FontMetrics {
 public:
  virtual ~FontMetrics() = default;
  virtual float TextWidth(std::string_view text, const FontSpec& font) const = 0;
  /// Line height: ascent plus descent.
  virtual float TextHeight(const FontSpec& font) const = 0;
  virtual float Ascent(const FontSpec& font) const = 0;
};

/// The fonts as the printer and the PDF set them (measured at 600 dots per inch, no
/// hinting), so that every target gets the same layout.
class QtFontMetrics : public FontMetrics {
 public:
  QtFontMetrics();
  ~QtFontMetrics() override;
  float TextWidth(std::string_view text, const FontSpec& font) const override;
  float TextHeight(const FontSpec& font) const override;
  float Ascent(const FontSpec& font) const override;

 private:
  // Layout fits each text by trying sizes, and measures the same heads, ticks and
  // values on every page; Qt shapes the text anew on each call.
  struct TextHash {
    using is_transparent = void;  // looked up by string_view, no copy per call
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  struct Measured {
    std::unique_ptr<QFontMetricsF> Metrics;
    float Height = 0;
    float Ascent = 0;
    std::unordered_map<std::string, float, TextHash, std::equal_to<>> Widths;
  };
  Measured& MeasuredOf(const FontSpec& font) const;
  // Graphs of one page are laid out on more than one thread.
  mutable std::mutex mutex_;
  mutable std::map<std::tuple<std::string, int, bool>, Measured> cache_;
};

/// The metrics of the printed page, made once.
const FontMetrics& PrintFontMetrics();

/// Measures the page's usual font on a thread of its own, so that the font system's
/// start (its configuration, the font list, the first font file) is not paid by the
/// first page's layout. Needs the GUI; wait for it before the GUI ends.
std::future<void> WarmUpPrintFonts();
/// Qt makes each thread's fonts anew: makes the calling thread's print fonts, so that a
/// thread that lays out pages pays for them before its first page.
void WarmUpThreadFonts();

/// Every character 0.6 of the size wide and lines 1.2 of it high: layout tests'
/// fonts.
class FixedWidthMetrics : public FontMetrics {
 public:
  float TextWidth(std::string_view text, const FontSpec& font) const override;
  float TextHeight(const FontSpec& font) const override;
  float Ascent(const FontSpec& font) const override;
};

/// Millimetres in a point.
inline constexpr float kMmPerPoint = 25.4f / 72.0f;

}  // namespace vantrel

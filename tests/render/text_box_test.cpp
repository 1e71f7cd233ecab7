// Shortening and splitting texts: the same answers as trying every cut, without trying
// every cut, so that a title of thousands of characters costs little more than its length.

#include "render/text_box.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/text.h"

namespace vantrel {
namespace {

// Fixed-width metrics that count how many characters were measured.
class CountingMetrics : public FixedWidthMetrics {
 public:
  float TextWidth(std::string_view text, const FontSpec& font) const override {
    Measured += text.size();
    return FixedWidthMetrics::TextWidth(text, font);
  }
  mutable std::size_t Measured = 0;
};

std::string EllipsizedByEveryCut(const FontMetrics& m, const FontSpec& font,
                                 const std::string& text, float width) {
  if (m.TextWidth(text, font) <= width + 1e-3f) return text;
  for (std::size_t n = text.size(); n-- > 0;) {
    if ((static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) continue;
    const std::string candidate = text.substr(0, n) + "\u2026";
    if (m.TextWidth(candidate, font) <= width + 1e-3f) return candidate;
  }
  return {};
}

std::vector<std::string> TwoLinesByEveryBlank(const FontMetrics& m, const FontSpec& font,
                                              const std::string& text) {
  std::vector<std::string> best{text};
  float shortest = m.TextWidth(text, font);
  for (std::size_t at = text.find(' '); at != std::string::npos; at = text.find(' ', at + 1)) {
    const std::string first = Trim(text.substr(0, at)), second = Trim(text.substr(at + 1));
    if (first.empty() || second.empty()) continue;
    const float longer = std::max(m.TextWidth(first, font), m.TextWidth(second, font));
    if (longer < shortest) shortest = longer, best = {first, second};
  }
  return best;
}

TEST(Ellipsized, CutsWhereTryingEveryCutWouldAndMeasuresLittle) {
  const FixedWidthMetrics m;
  const FontSpec font;
  for (const std::string text : {"Zoë Ångström", "Insertion loss - CAT6A", "x", "ééééé"}) {
    for (float width = 0; width < 20; width += 0.7f)
      EXPECT_EQ(Ellipsized(m, font, text, width), EllipsizedByEveryCut(m, font, text, width))
          << text << " in " << width;
  }
  std::string title;
  while (title.size() < 8000) title += "TEST_DESCRIPTION [param1] ";
  const CountingMetrics counting;
  const std::string cut = Ellipsized(counting, font, title, 180);
  EXPECT_EQ(cut, EllipsizedByEveryCut(m, font, title, 180));
  EXPECT_LT(counting.Measured, 40 * title.size());  // every cut: thousands of times the length
}

TEST(TwoLines, SplitsWhereTryingEveryBlankWouldAndMeasuresLittle) {
  const FixedWidthMetrics m;
  const FontSpec font;
  for (const std::string text : {"one two three four", "a  b", " lead and trail ", "long-word x",
                                 "nosplit", "x y", "aaaa bb cc dddd", "a b c d e f g h"}) {
    EXPECT_EQ(TwoLines(m, font, text), TwoLinesByEveryBlank(m, font, text)) << text;
  }
  std::string title;
  while (title.size() < 8000) title += "Cable ID [param2] ";
  const CountingMetrics counting;
  EXPECT_EQ(TwoLines(counting, font, title), TwoLinesByEveryBlank(m, font, title));
  EXPECT_LT(counting.Measured, 40 * title.size());
}

}  // namespace
}  // namespace vantrel

#include "render/text_box.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "render/layout_rules.h"
#include "support/text.h"

namespace vantrel {

TextPosition PlaceText(const MmRect& rect, float inset, float textWidth, float textHeight, HAlign h,
                       VAlign v) {
  const float left = rect.Left + inset;
  const float top = rect.Top + inset;
  const float width = rect.Width - 2 * inset;
  const float height = rect.Height - 2 * inset;
  TextPosition at;
  switch (h) {
    case HAlign::Left:
      at.X = left;
      break;
    case HAlign::Centre:
      at.X = left + width / 2 - textWidth / 2;
      break;
    case HAlign::Right:
      at.X = left + width - textWidth;
      break;
  }
  switch (v) {
    case VAlign::Bottom:
      at.Y = top + height - textHeight;
      break;
    case VAlign::Middle:
      at.Y = top + height / 2 - textHeight / 2;
      break;
    case VAlign::Top:
      at.Y = top;
      break;
  }
  return at;
}

float TextBoxInset(const PageCanvas& canvas) { return 0.2f * canvas.TextHeight("Myf"); }

float FitPoints(const FontMetrics& metrics, FontSpec font, const std::string& text,
                const MmRect& rect, float maxPoints, float minPoints) {
  const auto fits = [&](float points) {
    font.Points = points;
    const float height = metrics.TextHeight(font);
    return height <= rect.Height + 1e-3f &&
           metrics.TextWidth(text, font) <= rect.Width - 0.4f * height + 1e-3f;
  };
  if (fits(maxPoints)) return maxPoints;
  // Text grows in proportion to its size: start near the answer, then step down.
  font.Points = maxPoints;
  const float height = metrics.TextHeight(font), width = metrics.TextWidth(text, font);
  float guess = maxPoints * std::min(rect.Height / height, rect.Width / (width + 0.4f * height));
  guess = std::clamp(std::floor(guess * 4) / 4 + 0.25f, minPoints, maxPoints);
  for (float p = guess; p > minPoints; p -= 0.25f)
    if (fits(p)) return p;
  return minPoints;
}

std::string Ellipsized(const FontMetrics& metrics, const FontSpec& font, const std::string& text,
                       float width) {
  // The same tolerance as FitPoints: a text fitted to the box is never cut after all.
  width += 1e-3f;
  if (metrics.TextWidth(text, font) <= width) return text;
  static const std::string kEllipsis = "\u2026";
  // Where each UTF-8 character starts: the text is cut only there.
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  const auto fits = [&](std::size_t characters) {
    return metrics.TextWidth(text.substr(0, starts[characters]) + kEllipsis, font) <= width;
  };
  // A longer cut is never narrower, so the longest that fits is found by halving: a
  // long title is measured a few dozen times, not once per character.
  std::size_t lo = 0, hi = starts.size();  // fits(lo) is unknown, hi never fits
  if (!fits(0)) return {};
  while (hi - lo > 1) {
    const std::size_t mid = lo + (hi - lo) / 2;
    (fits(mid) ? lo : hi) = mid;
  }
  return text.substr(0, starts[lo]) + kEllipsis;
}

std::vector<std::string> TwoLines(const FontMetrics& metrics, const FontSpec& font,
                                  const std::string& text) {
  // Only a blank with text on both sides splits.
  const std::string_view inner = TrimView(text);
  const std::size_t begin =
      inner.empty() ? 0 : static_cast<std::size_t>(inner.data() - text.data());
  const std::size_t end = begin + inner.size();
  std::vector<std::size_t> blanks;
  for (std::size_t at = text.find(' '); at != std::string::npos; at = text.find(' ', at + 1))
    if (at > begin && at + 1 < end) blanks.push_back(at);
  const auto split = [&](std::size_t i) {
    return std::vector<std::string>{Trim(text.substr(0, blanks[i])),
                                    Trim(text.substr(blanks[i] + 1))};
  };
  const auto widths = [&](const std::vector<std::string>& two) {
    return std::pair{metrics.TextWidth(two[0], font), metrics.TextWidth(two[1], font)};
  };
  // The first line only grows and the second only shrinks from blank to blank, so the
  // longer of the two is shortest where they cross: found by halving, not by trying
  // every blank.
  std::size_t lo = 0, hi = blanks.size();
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    const auto [first, second] = widths(split(mid));
    if (first >= second) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  std::vector<std::string> best{text};
  float shortest = metrics.TextWidth(text, font);
  // The earlier of two equal splits wins.
  for (std::size_t i = lo > 0 ? lo - 1 : 0; i <= lo && i < blanks.size(); ++i) {
    std::vector<std::string> two = split(i);
    const auto [first, second] = widths(two);
    if (std::max(first, second) < shortest)
      shortest = std::max(first, second), best = std::move(two);
  }
  return best;
}

void DrawTextBox(PageCanvas& canvas, const std::string& text, const MmRect& rect, HAlign h,
                 VAlign v, bool border, long long fill, std::optional<Rgb> textColour,
                 const std::string& whole) {
  // Text too large for its box is set smaller, down to the smallest readable size,
  // and cut there, rather than run into the next cell.
  const float savedSize = canvas.FontSize;
  if (!text.empty() && rect.Width > 0 && rect.Height > 0)
    canvas.FontSize = FitPoints(canvas.Metrics(), canvas.Font(), text, rect, savedSize,
                                std::min(savedSize, kSmallestPoints));
  const float inset = TextBoxInset(canvas);
  const std::string shown =
      Ellipsized(canvas.Metrics(), canvas.Font(), text, std::max(0.0f, rect.Width - 2 * inset));
  const float height = canvas.TextHeight(shown);
  TextPosition at = PlaceText(rect, inset, canvas.TextWidth(shown), height, h, v);
  // A line taller than the inset leaves stays inside the box.
  at.Y = std::max(rect.Top, std::min(at.Y, rect.Bottom() - height));
  if (fill != kNoFill) {
    canvas.FillStyle = 0;
    canvas.FillColor = static_cast<Rgb>(fill);
    if (!border) canvas.ForeColor = static_cast<Rgb>(fill);
    canvas.Box(rect.Left, rect.Top, rect.Right(), rect.Bottom());
    canvas.FillStyle = 1;
  }
  canvas.CurrentX = at.X;
  canvas.CurrentY = at.Y;
  if (textColour) canvas.ForeColor = *textColour;
  canvas.PrintIn(shown, rect, !whole.empty() ? whole : shown == text ? std::string() : text);
  canvas.FontSize = savedSize;
  canvas.ForeColor = kBlack;
  if (border) {
    canvas.Box(rect.Left, rect.Top, rect.Right(), rect.Bottom());
  }
}

}  // namespace vantrel

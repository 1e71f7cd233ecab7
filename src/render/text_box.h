#pragma once
// Text written into a box with an inset, alignment, optional fill and outline.

#include <optional>
#include <string>
#include <vector>

#include "render/font_metrics.h"
#include "render/mm_rect.h"
#include "render/page_canvas.h"

namespace vantrel {

enum class HAlign { Left = 0, Centre = 1, Right = 2 };
enum class VAlign { Bottom = 0, Middle = 1, Top = 2 };

/// The fill value that means "no fill".
inline constexpr long long kNoFill = -1;

struct TextPosition {
  float X = 0;
  float Y = 0;
};

/// Where text of the given extent starts inside rect shrunk by inset on every side.
TextPosition PlaceText(const MmRect& rect, float inset, float textWidth, float textHeight, HAlign h,
                       VAlign v);

/// The inset of a text box in the canvas's current font.
float TextBoxInset(const PageCanvas& canvas);

/// The largest size from maxPoints down at which text fits rect with the inset of
/// a text box: its width inside the inset, its line height inside rect. minPoints
/// when even that is too large.
float FitPoints(const FontMetrics& metrics, FontSpec font, const std::string& text,
                const MmRect& rect, float maxPoints, float minPoints);

/// text cut at a character and ended with an ellipsis so that it is at most width
/// wide; text itself when it fits.
std::string Ellipsized(const FontMetrics& metrics, const FontSpec& font, const std::string& text,
                       float width);

/// text split at the blank that makes its longer line shortest; text alone when it has
/// no blank.
std::vector<std::string> TwoLines(const FontMetrics& metrics, const FontSpec& font,
                                  const std::string& text);

/// fill is an Rgb value or kNoFill; without textColour the text keeps ForeColor.
/// ForeColor is black afterwards. whole: the text this is a part of (one line of a
/// wrapped text), for exports.
void DrawTextBox(PageCanvas& canvas, const std::string& text, const MmRect& rect, HAlign h,
                 VAlign v, bool border, long long fill, std::optional<Rgb> textColour,
                 const std::string& whole = {});

}  // namespace vantrel

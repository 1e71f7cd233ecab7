#pragma once
// Text written into a box with an inset, alignment, optional fill and outline.

#include <optional>
#include <string>

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

/// fill is an Rgb value or kNoFill; without textColour the text keeps ForeColor.
/// ForeColor is black afterwards.
void DrawTextBox(PageCanvas& canvas, const std::string& text, const MmRect& rect, HAlign h,
                 VAlign v, bool border, long long fill, std::optional<Rgb> textColour);

}  // namespace vantrel

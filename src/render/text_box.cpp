#include "render/text_box.h"

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

void DrawTextBox(PageCanvas& canvas, const std::string& text, const MmRect& rect, HAlign h,
                 VAlign v, bool border, long long fill, std::optional<Rgb> textColour) {
  const float inset = TextBoxInset(canvas);
  // Text wider than its box is set smaller rather than run into the next cell.
  const float savedSize = canvas.FontSize;
  const float room = rect.Width - 2 * inset;
  for (int step = 0; step < 8 && room > 0 && canvas.TextWidth(text) > room; ++step) {
    canvas.FontSize = savedSize * (1.0f - 0.06f * static_cast<float>(step + 1));
  }
  const TextPosition at =
      PlaceText(rect, inset, canvas.TextWidth(text), canvas.TextHeight(text), h, v);
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
  canvas.Print(text);
  canvas.FontSize = savedSize;
  canvas.ForeColor = kBlack;
  if (border) {
    canvas.Box(rect.Left, rect.Top, rect.Right(), rect.Bottom());
  }
}

}  // namespace vantrel

#include "render/page_canvas.h"

#include <algorithm>

namespace vantrel {

QColor ToQColor(Rgb colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

void PageCanvas::Print(const std::string& text) {
  PrintIn(
      text,
      {.Width = TextWidth(text), .Height = TextHeight(text), .Top = CurrentY, .Left = CurrentX});
}

void PageCanvas::PrintIn(const std::string& text, const MmRect& box, const std::string& whole) {
  const FontSpec font = Font();
  const MmRect run{.Width = metrics_.TextWidth(text, font),
                   .Height = metrics_.TextHeight(font),
                   .Top = CurrentY,
                   .Left = CurrentX};
  if (!FontTransparent) plan_.Add(PlanBox{run, true, kWhite, false, kWhite, 0, Item});
  PlanText out;
  out.Text = text;
  out.Whole = whole;
  out.Box = box;
  out.Run = run;
  out.Ascent = metrics_.Ascent(font);
  out.Points = FontSize;
  out.Bold = FontBold;
  out.Colour = ForeColor;
  out.Item = Item;
  out.Aid = Aid;
  out.Cell = Cell;
  plan_.Add(std::move(out));
  CurrentX += run.Width;
}

void PageCanvas::PrintAid(const std::string& text) {
  const bool was = Aid;
  Aid = true;
  Print(text);
  Aid = was;
}

void PageCanvas::Line(float x1, float y1, float x2, float y2) {
  plan_.Add(PlanLine{{.X = x1, .Y = y1},
                     {.X = x2, .Y = y2},
                     ForeColor,
                     static_cast<float>(std::max(1, DrawWidth)) * kMmPerDrawWidth,
                     LineStyle::Solid});
}

void PageCanvas::Box(float x1, float y1, float x2, float y2) {
  PlanBox box;
  box.Rect = {.Width = std::abs(x2 - x1),
              .Height = std::abs(y2 - y1),
              .Top = std::min(y1, y2),
              .Left = std::min(x1, x2)};
  box.Filled = FillStyle == 0;
  box.Fill = FillColor;
  box.Outline = ForeColor;
  box.LineMm = static_cast<float>(std::max(1, DrawWidth)) * kMmPerDrawWidth;
  box.Item = Item;
  plan_.Add(box);
}

void PageCanvas::PaintPicture(std::shared_ptr<const QImage> picture, float x, float y, float w,
                              float h) {
  plan_.Add(PlanImage{std::move(picture), {.Width = w, .Height = h, .Top = y, .Left = x}, Item});
}

}  // namespace vantrel

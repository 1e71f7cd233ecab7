#pragma once
// The drawing surface every report routine draws on: millimetres from the page's
// top-left corner, with the drawing state the routines set and read back. What is
// drawn is recorded in a page plan; nothing is painted here.

#include <QColor>
#include <QImage>
#include <cstdint>
#include <memory>
#include <string>

#include "render/font_metrics.h"
#include "render/page_plan.h"

namespace vantrel {

QColor ToQColor(Rgb colour);

/// Line width of one DrawWidth step; device pixels differ by a factor of 10
/// between a bitmap and a PDF, so the step is fixed on the page instead.
inline constexpr float kMmPerDrawWidth = 0.2f;

class PageCanvas {
 public:
  PageCanvas(PagePlan& plan, const FontMetrics& metrics) : plan_(plan), metrics_(metrics) {}

  // Drawing state.
  float CurrentX = 0;
  float CurrentY = 0;
  std::string FontName = "Arial";
  float FontSize = 9;  // points
  bool FontBold = false;
  bool FontTransparent = true;
  Rgb ForeColor = kBlack;
  Rgb FillColor = kBlack;
  int FillStyle = 1;  // 0 solid, 1 transparent
  int DrawWidth = 1;
  /// Recorded with every text, for the layout check's findings.
  std::string Item;
  bool Aid = false;
  CellAddress Cell;

  float ScaleWidth() const { return static_cast<float>(plan_.WidthMm); }
  float ScaleHeight() const { return static_cast<float>(plan_.HeightMm); }
  float ScaleLeft() const { return 0; }
  float ScaleTop() const { return 0; }

  FontSpec Font() const { return {FontName, FontSize, FontBold}; }
  float TextWidth(const std::string& text) const { return metrics_.TextWidth(text, Font()); }
  float TextHeight(const std::string&) const { return metrics_.TextHeight(Font()); }

  /// Draws text with its top-left corner at (CurrentX, CurrentY) and moves CurrentX
  /// past it; its box is the run itself.
  void Print(const std::string& text);
  /// Likewise, with the box the layout gave the text; whole is the text before it
  /// was cut to fit, when it was.
  void PrintIn(const std::string& text, const MmRect& box, const std::string& whole = {});
  /// A label of the layout aid, which the layout check leaves alone.
  void PrintAid(const std::string& text);
  void Line(float x1, float y1, float x2, float y2);
  /// Outline of the box with corners (x1, y1), (x2, y2); filled when FillStyle is 0.
  void Box(float x1, float y1, float x2, float y2);
  void PaintPicture(std::shared_ptr<const QImage> picture, float x, float y, float w, float h);

  /// Takes over the drawing state of other, not its plan.
  void CopyStateOf(const PageCanvas& other) {
    CurrentX = other.CurrentX;
    CurrentY = other.CurrentY;
    FontName = other.FontName;
    FontSize = other.FontSize;
    FontBold = other.FontBold;
    FontTransparent = other.FontTransparent;
    ForeColor = other.ForeColor;
    FillColor = other.FillColor;
    FillStyle = other.FillStyle;
    DrawWidth = other.DrawWidth;
    Item = other.Item;
    Aid = other.Aid;
    Cell = other.Cell;
  }

  PagePlan& Plan() { return plan_; }
  const FontMetrics& Metrics() const { return metrics_; }

 private:
  PagePlan& plan_;
  const FontMetrics& metrics_;
};

/// Puts the canvas's font and colour state back when a routine is done with it.
class CanvasStateGuard {
 public:
  explicit CanvasStateGuard(PageCanvas& canvas)
      : canvas_(canvas),
        fontName_(canvas.FontName),
        fontSize_(canvas.FontSize),
        bold_(canvas.FontBold),
        fore_(canvas.ForeColor),
        fill_(canvas.FillColor),
        fillStyle_(canvas.FillStyle),
        drawWidth_(canvas.DrawWidth) {}
  ~CanvasStateGuard() {
    canvas_.FontName = fontName_;
    canvas_.FontSize = fontSize_;
    canvas_.FontBold = bold_;
    canvas_.ForeColor = fore_;
    canvas_.FillColor = fill_;
    canvas_.FillStyle = fillStyle_;
    canvas_.DrawWidth = drawWidth_;
  }
  CanvasStateGuard(const CanvasStateGuard&) = delete;
  CanvasStateGuard& operator=(const CanvasStateGuard&) = delete;

 private:
  PageCanvas& canvas_;
  std::string fontName_;
  float fontSize_;
  bool bold_;
  Rgb fore_, fill_;
  int fillStyle_, drawWidth_;
};

}  // namespace vantrel

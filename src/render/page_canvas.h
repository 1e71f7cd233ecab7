#pragma once
// The drawing surface every report routine draws on: millimetres from the page's
// top-left corner, with the drawing state the routines set and read back.

#include <QFont>
#include <QImage>
#include <cstdint>
#include <string>

#include "render/page_target.h"

class QPainter;

namespace vantrel {

/// Red in the low byte, then green, then blue.
using Rgb = uint32_t;
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kRed = 0x0000FF;

QColor ToQColor(Rgb colour);

/// Line width of one DrawWidth step; device pixels differ by a factor of 10
/// between a bitmap and a PDF, so the step is fixed on the page instead.
inline constexpr double kMmPerDrawWidth = 0.2;

class PageCanvas {
 public:
  explicit PageCanvas(PageTarget& target);

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

  float ScaleWidth() const { return static_cast<float>(target_.PageWidthMm()); }
  float ScaleHeight() const { return static_cast<float>(target_.PageHeightMm()); }
  float ScaleLeft() const { return 0; }
  float ScaleTop() const { return 0; }

  float TextWidth(const std::string& text) const;
  float TextHeight(const std::string& text) const;

  /// Draws text with its top-left corner at (CurrentX, CurrentY) and moves CurrentX
  /// past it.
  void Print(const std::string& text);
  void Line(float x1, float y1, float x2, float y2);
  /// Outline of the box with corners (x1, y1), (x2, y2); filled when FillStyle is 0.
  void Box(float x1, float y1, float x2, float y2);
  void PaintPicture(const QImage& picture, float x, float y, float w, float h);
  void Cls();
  bool NewPage() { return target_.NewPage(); }

  PageTarget& Target() { return target_; }
  /// The painter, for the chart renderer, with millimetre helpers below.
  QPainter& Painter() { return target_.Painter(); }
  double DotsPerMm() const { return target_.DotsPerMm(); }
  /// The current font as the device sees it.
  QFont CurrentFont() const;

 private:
  PageTarget& target_;
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

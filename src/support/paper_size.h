#pragma once
// A sheet of paper and the edges of it a printer cannot print on, in millimetres,
// portrait: what a print queue reports and what a page is laid out on.

namespace vantrel {

struct PaperSize {
  double WidthMm = 210;
  double HeightMm = 297;
  /// Edges the printer cannot print on; the page drawn is what lies within them.
  double LeftMm = 0;
  double TopMm = 0;
  double RightMm = 0;
  double BottomMm = 0;
  double PrintableWidthMm() const { return WidthMm - LeftMm - RightMm; }
  double PrintableHeightMm() const { return HeightMm - TopMm - BottomMm; }
};

}  // namespace vantrel

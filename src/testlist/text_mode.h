#pragma once
// Printing line by line on the page canvas, as a terminal would: a current position,
// Tab to a character column, text with or without a line end, bold, underline and
// colours. Pages are laid out first and painted when complete; a line that would
// run off the bottom starts the next page.

#include <deque>
#include <memory>
#include <string>

#include "render/page_canvas.h"
#include "render/page_plan.h"

namespace vantrel {

class TextMode {
 public:
  TextMode(double widthMm, double heightMm, const FontMetrics& metrics);

  PageCanvas& Canvas() { return *canvas_; }
  bool Underline = false;

  /// Text at the current position, which moves past it.
  void Print(const std::string& text);
  /// Text, then the start of the next line.
  void PrintLine(const std::string& text = {});
  /// Moves to column (1 is the left edge; one column is the width of an "x"); a
  /// position already past it goes to that column of the next line.
  void Tab(int column);
  /// Text centred across the page on the current line.
  void PrintCentred(const std::string& text);

  /// A deque: the canvas refers to the last page while more are added.
  std::deque<PagePlan>& Pages() { return pages_; }

 private:
  void LineEnd();
  void StartPage();

  double width_, height_;
  const FontMetrics& metrics_;
  std::deque<PagePlan> pages_;
  std::unique_ptr<PageCanvas> canvas_;
};

}  // namespace vantrel

#pragma once
// A grid of equal cells over a rectangle, shared by tables and the page header.

#include <string>
#include <vector>

#include "render/mm_rect.h"
#include "render/page_canvas.h"
#include "render/text_box.h"

namespace vantrel {

class CellGrid {
 public:
  CellGrid() = default;
  /// columns and rows below 1 count as 1.
  CellGrid(const MmRect& rect, int columns, int rows);

  int Columns() const { return columns_; }
  int Rows() const { return rows_; }
  const MmRect& Area() const { return area_; }
  /// A cell outside the grid gives an empty rectangle.
  MmRect Cell(int column, int row) const;

 private:
  MmRect area_;
  int columns_ = 0;
  int rows_ = 0;
};

/// Row height of an automatic-height grid in the canvas's current font.
float AutoRowHeight(const PageCanvas& canvas);

/// With autoHeight the rectangle's height becomes rows automatic rows first; rect
/// is updated. With outline (the layout aid) every cell is drawn.
CellGrid BuildCellGrid(PageCanvas& canvas, MmRect& rect, int columns, int rows, bool autoHeight,
                       bool outline);

void GridText(PageCanvas& canvas, const CellGrid& grid, const std::string& text, int column,
              int row, bool border, long long fill, std::optional<Rgb> textColour, HAlign h,
              VAlign v);

}  // namespace vantrel

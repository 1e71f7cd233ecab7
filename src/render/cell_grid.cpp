#include "render/cell_grid.h"

#include <algorithm>

namespace vantrel {

CellGrid::CellGrid(const MmRect& rect, int columns, int rows)
    : area_(rect), columns_(std::max(1, columns)), rows_(std::max(1, rows)) {}

MmRect CellGrid::Cell(int column, int row) const {
  if (column < 0 || row < 0 || column >= columns_ || row >= rows_) return {};
  return {.Width = area_.Width / static_cast<float>(columns_),
          .Height = area_.Height / static_cast<float>(rows_),
          .Top = row * area_.Height / static_cast<float>(rows_) + area_.Top,
          .Left = column * area_.Width / static_cast<float>(columns_) + area_.Left};
}

float AutoRowHeight(const PageCanvas& canvas) { return canvas.TextHeight("Mfy") * 1.4f; }

CellGrid BuildCellGrid(PageCanvas& canvas, MmRect& rect, int columns, int rows, bool autoHeight,
                       bool outline) {
  if (autoHeight) rect.Height = AutoRowHeight(canvas) * static_cast<float>(std::max(1, rows));
  CellGrid grid(rect, columns, rows);
  if (outline) {
    CanvasStateGuard keep(canvas);
    canvas.ForeColor = kBlack;
    canvas.FillStyle = 1;
    for (int c = 0; c < grid.Columns(); ++c) {
      for (int r = 0; r < grid.Rows(); ++r) {
        const MmRect cell = grid.Cell(c, r);
        canvas.Box(cell.Left, cell.Top, cell.Right(), cell.Bottom());
      }
    }
  }
  return grid;
}

void GridText(PageCanvas& canvas, const CellGrid& grid, const std::string& text, int column,
              int row, bool border, long long fill, std::optional<Rgb> textColour, HAlign h,
              VAlign v) {
  canvas.DrawWidth = 1;
  DrawTextBox(canvas, text, grid.Cell(column, row), h, v, border, fill, textColour);
}

}  // namespace vantrel

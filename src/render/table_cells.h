#pragma once
// What a table shows, cell by cell, worked out apart from painting.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/app_settings.h"
#include "definitions/table_definition.h"
#include "render/font_metrics.h"
#include "render/mm_rect.h"
#include "render/page_canvas.h"
#include "render/report_data_source.h"

namespace vantrel {

bool IsSingleValueTest(std::string_view name);

/// Pair-pair columns a test has with pairs pairs; 0 for any other test.
int PairCombinations(std::string_view name, int pairs);

/// Column positions of the table that are shown, in order. Position 0 (the
/// frequency or row titles) is left out when hideFirst; a pair column beyond what
/// the data holds is skipped. On a later page (columnOffset not 0) a pair beyond the
/// cable's pairs is still shown when pairInBlock says the read block holds it.
std::vector<int> VisibleTableColumns(const std::vector<ColumnCode>& cols, std::string_view test,
                                     int pairs, int columnOffset, bool hideFirst,
                                     const std::vector<bool>& pairInBlock = {});

struct TableCell {
  std::string Text;
  Rgb Colour = kBlack;
};

struct TableCells {
  /// [row][shown column]; row 0 is the header row.
  std::vector<std::vector<TableCell>> Rows;
};

/// The texts and colours of a table over its prepared grid. grid is [column][row]
/// with column 0 the labels; position p >= 1 of the table reads gridColumnOf(p).
/// summary: the grid columns follow the table's positions one to one.
TableCells ComputeTableCells(const TableDefinition& table, const AppSettings& settings,
                             const ValueGrid& grid, const std::vector<std::string>& headings,
                             const std::vector<int>& visible, bool summary);

/// Where a table's cells go and at which sizes: every body cell at one size, every
/// header cell at one size, the header on two lines when that lets it be larger.
struct TableLayout {
  float BodyPoints = 9;
  float HeaderPoints = 9;
  float ColumnWidth = 0;
  std::vector<float> RowTops;  // one per row, and the bottom of the last
  /// Each header cell's text, on one line or two.
  std::vector<std::vector<std::string>> HeaderLines;
  MmRect Cell(int column, int row, float left) const;
};

/// font is the table's font; headerRow: row 0 of cells is the header row.
TableLayout LayOutTable(const FontMetrics& metrics, const FontSpec& font, const TableCells& cells,
                        bool headerRow, const MmRect& area, int columns);

}  // namespace vantrel

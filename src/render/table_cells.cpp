#include "render/table_cells.h"

#include <array>
#include <cmath>

#include "support/number.h"
#include "support/text.h"

namespace vantrel {

bool IsSingleValueTest(std::string_view name) {
  static const std::array<std::string_view, 7> kNames = {"dc resistance",
                                                         "dc resistance unbalance",
                                                         "mutual capacitance",
                                                         "capacitance unbalance: pair-gr",
                                                         "capacitance unbalance: pair-ground",
                                                         "dcr unbalance: pair-pair",
                                                         "dc loop resistance"};
  const std::string n = ToLower(Trim(name));
  for (std::string_view k : kNames)
    if (n == k) return true;
  return false;
}

int PairCombinations(std::string_view name, int pairs) {
  static const std::array<std::string_view, 9> kOnce = {
      "next (pair-pair) near",    "next (pair-pair) far",    "acr (pair-pair) near",
      "acr (pair-pair) far",      "elnext (pair-pair) near", "elnext (pair-pair) far",
      "dcr unbalance: pair-pair", "skew (pair-pair) near",   "skew (pair-pair) far"};
  static const std::array<std::string_view, 4> kTwice = {
      "fext (pair-pair) near", "fext (pair-pair) far", "elfext (pair-pair) near",
      "elfext (pair-pair) far"};
  const std::string n = ToLower(Trim(name));
  const int once = pairs > 1 ? pairs * (pairs - 1) / 2 : 0;
  for (std::string_view k : kOnce)
    if (n == k) return once;
  for (std::string_view k : kTwice)
    if (n == k) return 2 * once;
  return 0;
}

std::vector<int> VisibleTableColumns(const std::vector<ColumnCode>& cols, std::string_view test,
                                     int pairs, int offset, bool hideFirst) {
  std::vector<int> shown;
  const int combinations = PairCombinations(test, pairs);
  for (int c = 0; c < static_cast<int>(cols.size()); ++c) {
    if (c == 0) {
      if (!hideFirst) shown.push_back(0);
      continue;
    }
    const ColumnCode code = cols[static_cast<std::size_t>(c)];
    if (pairs > 0 && code >= 0 && code < code::kEmp) {
      // Column 2 holds pair 1.
      const int pair = code - 1 + offset;
      const int limit = combinations > 0 ? combinations : pairs;
      if (pair > limit) continue;
    }
    shown.push_back(c);
  }
  return shown;
}

namespace {

std::string CellOf(const TextGrid& grid, int column, int row) {
  if (column < 0 || column >= static_cast<int>(grid.size())) return {};
  const auto& col = grid[static_cast<std::size_t>(column)];
  if (row < 0 || row >= static_cast<int>(col.size())) return {};
  return col[static_cast<std::size_t>(row)];
}

int GridRows(const TextGrid& grid) {
  std::size_t rows = 0;
  for (const auto& col : grid) rows = std::max(rows, col.size());
  return static_cast<int>(rows);
}

}  // namespace

TableCells ComputeTableCells(const TableDefinition& table, const AppSettings& settings,
                             const TextGrid& grid, const std::vector<std::string>& headings,
                             const std::vector<int>& visible, bool summary) {
  TableCells out;
  const auto gridColumn = [&](int position) {
    return summary || position == 0 ? position : position + 1;
  };
  std::vector<TableCell> header;
  for (int p : visible) {
    std::string text;
    const std::string heading =
        p < static_cast<int>(headings.size()) ? Trim(headings[static_cast<std::size_t>(p)]) : "";
    if (p < static_cast<int>(table.Headers.size())) {
      text = table.Headers[static_cast<std::size_t>(p)];
      if (EqualsNoCase(Trim(text), "COL_NAME")) text = heading;
    } else {
      text = heading;
    }
    header.push_back({text, kBlack});
  }
  out.Rows.push_back(std::move(header));

  const std::string format = !Trim(table.Format).empty() ? table.Format : settings.TableFormat;
  const bool noFormatting = EqualsNoCase(Trim(format), "NO FORMATTING");
  const int rows = GridRows(grid);
  const bool titled = static_cast<int>(table.FreqTitles.size()) == rows && rows > 0;
  for (int r = 0; r < rows; ++r) {
    std::vector<TableCell> line;
    for (int p : visible) {
      TableCell cell;
      std::string text = CellOf(grid, gridColumn(p), r);
      if (text.size() > 1 && text.front() == '~') {
        text.erase(0, 1);
        cell.Colour = kRed;
      }
      if (p == 0) {
        if (titled)
          text = table.FreqTitles[static_cast<std::size_t>(r)];
        else if (!summary && IsNumeric(text))
          text = FormatNumber(Val(text), "0.###");
      } else if (!summary && IsNumeric(text)) {
        double v = Val(text);
        if (table.AbsData) v = std::fabs(v);
        if (table.ReverseData) v = -v;
        if (!noFormatting)
          text = FormatNumber(v, format);
        else if (table.AbsData || table.ReverseData)
          text = FormatGeneral(v);
      }
      if (summary && EqualsNoCase(Trim(text), "FAIL")) cell.Colour = kRed;
      cell.Text = text;
      line.push_back(std::move(cell));
    }
    out.Rows.push_back(std::move(line));
  }
  return out;
}

}  // namespace vantrel

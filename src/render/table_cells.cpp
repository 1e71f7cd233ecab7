#include "render/table_cells.h"

#include <array>
#include <cmath>

#include "render/layout_rules.h"
#include "render/text_box.h"
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
                                     int pairs, int offset, bool hideFirst,
                                     const std::vector<bool>& pairInBlock) {
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
      const bool inBlock = static_cast<std::size_t>(c) < pairInBlock.size() &&
                           pairInBlock[static_cast<std::size_t>(c)];
      if (pair > limit && (combinations > 0 || offset == 0 || !inBlock)) continue;
    }
    shown.push_back(c);
  }
  return shown;
}

namespace {

const GridCell& CellOf(const ValueGrid& grid, int column, int row) {
  static const GridCell kNoCell;
  if (column < 0 || column >= static_cast<int>(grid.size())) return kNoCell;
  const auto& col = grid[static_cast<std::size_t>(column)];
  if (row < 0 || row >= static_cast<int>(col.size())) return kNoCell;
  return col[static_cast<std::size_t>(row)];
}

int GridRows(const ValueGrid& grid) {
  std::size_t rows = 0;
  for (const auto& col : grid) rows = std::max(rows, col.size());
  return static_cast<int>(rows);
}

}  // namespace

TableCells ComputeTableCells(const TableDefinition& table, const AppSettings& settings,
                             const ValueGrid& grid, const std::vector<std::string>& headings,
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
      const GridCell& source = CellOf(grid, gridColumn(p), r);
      std::string text = source.Text();
      if (source.Failed()) cell.Colour = kRed;
      // A text written with a leading "~" is a failed value; a lone "~" is just a text.
      if (!source.IsNumber() && text.size() > 1 && text.front() == '~') {
        text.erase(0, 1);
        cell.Colour = kRed;
      }
      std::optional<double> number;
      if (!summary) {
        if (source.IsNumber())
          number = source.Value();
        else if (IsNumeric(text))
          number = Val(text);
      }
      if (p == 0) {
        if (titled)
          text = table.FreqTitles[static_cast<std::size_t>(r)];
        else if (number)
          text = FormatNumber(*number, "0.###");
      } else if (number) {
        double v = *number;
        if (table.AbsData) v = std::fabs(v);
        if (table.ReverseData) v = -v;
        if (!noFormatting)
          text = FormatNumber(v, format);
        else if (table.AbsData || table.ReverseData)
          text = FormatGeneral(v);
      }
      if (summary && settings.FailTextRed && EqualsNoCase(Trim(text), "FAIL")) cell.Colour = kRed;
      cell.Text = text;
      line.push_back(std::move(cell));
    }
    out.Rows.push_back(std::move(line));
  }
  return out;
}

MmRect TableLayout::Cell(int column, int row, float left) const {
  if (row < 0 || row + 1 >= static_cast<int>(RowTops.size())) return {};
  const auto r = static_cast<std::size_t>(row);
  return {.Width = ColumnWidth,
          .Height = RowTops[r + 1] - RowTops[r],
          .Top = RowTops[r],
          .Left = left + static_cast<float>(column) * ColumnWidth};
}

namespace {

// The largest size, up to font's, at which every text fits a box of width by height.
float SharedPoints(const FontMetrics& metrics, const FontSpec& font,
                   const std::vector<const std::string*>& texts, float width, float height) {
  float points = font.Points;
  for (const std::string* text : texts) {
    if (Trim(*text).empty()) continue;
    points =
        std::min(points, FitPoints(metrics, font, *text, MmRect{.Width = width, .Height = height},
                                   points, std::min(points, kSmallestPoints)));
  }
  return points;
}

}  // namespace

TableLayout LayOutTable(const FontMetrics& metrics, const FontSpec& font, const TableCells& cells,
                        bool headerRow, const MmRect& area, int columns) {
  TableLayout out;
  const int rows = static_cast<int>(cells.Rows.size());
  out.ColumnWidth = area.Width / static_cast<float>(std::max(1, columns));
  if (rows == 0) {
    out.RowTops = {area.Top};
    return out;
  }
  std::vector<const std::string*> body, header;
  for (int r = 0; r < rows; ++r)
    for (const TableCell& cell : cells.Rows[static_cast<std::size_t>(r)])
      (headerRow && r == 0 ? header : body).push_back(&cell.Text);
  const auto tops = [&](float headerUnits) {
    const float unit = area.Height / (static_cast<float>(rows - (headerRow ? 1 : 0)) +
                                      (headerRow ? headerUnits : 0));
    std::vector<float> t{area.Top};
    for (int r = 0; r < rows; ++r)
      t.push_back(t.back() + (headerRow && r == 0 ? headerUnits : 1) * unit);
    return std::pair{t, unit};
  };
  auto [singleTops, unit] = tops(1);
  out.RowTops = singleTops;
  out.BodyPoints = SharedPoints(metrics, font, body, out.ColumnWidth, unit);
  if (!headerRow) return out;
  out.HeaderPoints = SharedPoints(metrics, font, header, out.ColumnWidth, unit);
  for (const std::string* text : header) out.HeaderLines.push_back({*text});
  if (out.HeaderPoints >= out.BodyPoints - 0.01f) {
    out.HeaderPoints = out.BodyPoints;
    return out;
  }
  // Headers on two lines in a row twice the height, if the smaller text grows by it.
  auto [doubleTops, half] = tops(2);
  const float body2 = SharedPoints(metrics, font, body, out.ColumnWidth, half);
  FontSpec split = font;
  split.Points = std::min(out.BodyPoints, font.Points);
  std::vector<std::vector<std::string>> lines;
  std::vector<std::string> flat;
  for (const std::string* text : header) lines.push_back(TwoLines(metrics, split, *text));
  for (const auto& l : lines) flat.insert(flat.end(), l.begin(), l.end());
  std::vector<const std::string*> lineTexts;
  for (const std::string& l : flat) lineTexts.push_back(&l);
  const float header2 =
      std::min(body2, SharedPoints(metrics, font, lineTexts, out.ColumnWidth, half));
  if (std::min(header2, body2) > std::min(out.HeaderPoints, out.BodyPoints) + 0.01f) {
    out.RowTops = doubleTops;
    out.BodyPoints = body2;
    out.HeaderPoints = header2;
    out.HeaderLines = std::move(lines);
  }
  return out;
}

}  // namespace vantrel

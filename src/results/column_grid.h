#pragma once
// Per-frequency values of a test block for graphs: one cell per requested column
// code and block row, with the worst margins to the limits and control limits.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/column_code.h"
#include "results/test_block.h"

namespace vantrel {

/// Texts indexed [column][row].
using TextGrid = std::vector<std::vector<std::string>>;

/// A prepared cell: a number held as the number its general form shows (15
/// significant digits), or a text ("" an empty cell, "x" a missing value, "pass",
/// "fail", a table's figures). Text is made only where the cell is shown. A table's
/// figure outside its limits is marked failed under FAILTEXTRED.
class GridCell {
 public:
  GridCell() = default;
  GridCell(std::string text) : text_(std::move(text)) {}  // NOLINT: grids of texts convert
  GridCell(const char* text) : text_(text) {}             // NOLINT

  /// value rounded to its general form; "x" when it is not finite.
  static GridCell Number(double value);
  /// A number of a parsed cell: rounded only when its field was long.
  static GridCell Of(const Cell& cell) {
    GridCell out;
    out.Take(cell);
    return out;
  }
  /// Becomes Of(cell); in place, as a grid fills its cells.
  void Take(const Cell& cell) {
    // Inline for the common short finite number, which a grid takes as it stands.
    if (cell.Type != Cell::Kind::Number || !cell.ShortField || !std::isfinite(cell.Number)) {
      *this = OfOther(cell);
      return;
    }
    number_ = cell.Number == 0 ? 0.0 : cell.Number;  // "-0" shows as "0"
    isNumber_ = true;
    failed_ = false;
    text_.clear();
  }
  /// A table figure's text, marked as failing.
  static GridCell Failing(std::string text);

  bool IsNumber() const { return isNumber_; }
  /// The number; for a text cell the text's number when it passes the numeric test.
  std::optional<double> Value() const {
    return isNumber_ ? std::optional<double>(number_) : TextValue();
  }
  /// FormatGeneral of the number, or the text.
  std::string Text() const;
  /// Neither a number nor any text.
  bool Empty() const { return !isNumber_ && text_.empty(); }
  bool Failed() const { return failed_; }

 private:
  static GridCell OfOther(const Cell& cell);
  std::optional<double> TextValue() const;

  double number_ = 0;
  bool isNumber_ = false;
  bool failed_ = false;
  std::string text_;
};

/// Cells indexed [column][row].
using ValueGrid = std::vector<std::vector<GridCell>>;

/// Text() of each cell.
std::vector<std::string> TextsOf(const std::vector<GridCell>& cells);
/// A grid of texts as text cells.
ValueGrid CellsOf(const TextGrid& texts);

/// Where the roles of a block sit: column 1 the frequency, then the pairs, the
/// control limits when stored, the lower and upper limit and the status text.
/// Positions may be negative or overlap on blocks too narrow to hold every role;
/// TestBlock::At answers Empty for those.
struct BlockColumns {
  BlockColumns(int cols, bool controlLimitsStored);

  int Cols;
  bool ControlLimits;
  int FirstPair = 2;
  int LastPair;      // below firstPair when the block holds no pair
  int LowerLimit;    // cols - 3
  int UpperLimit;    // cols - 2
  int LowerControl;  // cols - 5, or -1 when no control limits are stored
  int UpperControl;  // cols - 4, or -1 likewise

  bool IsPair(int column) const { return column >= FirstPair && column <= LastPair; }
  bool InBlock(int column) const { return column >= 0 && column < Cols; }
};

/// The number of a cell, if it holds one.
inline std::optional<double> NumberOf(const Cell& cell) {
  if (!cell.IsNumber()) return std::nullopt;
  return cell.Number;
}

/// Base-10 logarithm; 0 is taken as 1E-09 so that it gives -9.
double Log10(double x);

/// "-1.234 dB @ 10.000 MHz".
std::string WorstMarginText(double margin, std::string_view units, double frequency);

/// The smallest margin offered so far and where it was. The earlier point wins a tie.
class WorstMargin {
 public:
  void Offer(double margin, double frequency);
  bool Recorded() const { return recorded_; }
  double Margin() const { return margin_; }
  double Frequency() const { return frequency_; }
  /// WorstMarginText, or "" when nothing was offered.
  std::string Text(std::string_view units) const;

 private:
  bool recorded_ = false;
  double margin_ = 0;
  double frequency_ = 0;
};

/// Smallest, largest and mean number among the pair cells of a row; empty when the
/// row holds no number in a pair column.
struct PairStatistics {
  std::optional<double> Min;
  std::optional<double> Max;
  std::optional<double> Mean;
  /// The cells min and max were taken from (for their general form); null when empty.
  const Cell* MinCell = nullptr;
  const Cell* MaxCell = nullptr;
};
PairStatistics StatisticsOfRow(const TestBlock& block, const BlockColumns& columns, int row);

struct ColumnGridOptions {
  bool ControlLimitsStored = false;
  /// 1 lower limit, 2 upper limit, 3 both; anything else records no margin.
  int16_t MarginKind = 0;
  std::string Units;
};

struct ColumnGrid {
  ValueGrid Cells;  // [code index][row]
  /// Frequency of the last point not assessed, "0.000 MHz"; "" when none.
  std::string Note;
  std::string LimitMargin;    // "" when no margin was recorded
  std::string ControlMargin;  // likewise, and always "" without control limits
};

/// Column codes: a block column, 9988/9989 control limits, 9990-9992 min, max and
/// mean of the pair cells, 9997/9998 limits, 9999 the last pair. Any other code
/// beyond the block ends the row: it and the codes after it stay empty.
ColumnGrid BuildColumnGrid(const TestBlock& block, const std::vector<ColumnCode>& codes,
                           const ColumnGridOptions& options);

}  // namespace vantrel

#include "results/frequency_rows.h"

#include <limits>
#include <optional>

#include "support/number.h"

namespace vantrel {

namespace {

Cell NumberCell(double value) {
  Cell cell;
  cell.Type = Cell::Kind::Number;
  cell.Number = value;
  return cell;
}

Cell MissingCell() {
  Cell cell;
  cell.Type = Cell::Kind::Missing;
  return cell;
}

bool IsDistance(ColumnCode code) {
  return code >= code::kDistanceAboveLower && code < code::kDistanceBelowUpper + 100;
}

bool HasFigure(ColumnCode code, const BlockColumns& columns) {
  if (columns.InBlock(code)) return true;
  switch (code) {
    case code::kUpperLimit:
    case code::kLowerLimit:
    case code::kLastPair:
    case code::kUpperControl:
    case code::kLowerControl:
      return true;
    default:
      break;
  }
  if (!IsDistance(code)) return false;
  return columns.InBlock((code - code::kDistanceAboveLower) % 100);
}

Cell Difference(const Cell& a, const Cell& b) {
  const std::optional<double> x = NumberOf(a);
  const std::optional<double> y = NumberOf(b);
  return x && y ? NumberCell(*x - *y) : MissingCell();
}

// The sweep point at the frequency, or the two consecutive points around it.
struct Bracket {
  int First = -1;
  int Second = -1;  // -1 for an exact point
};

// NaN frequencies compare false both ways, so rows without one are passed over.
std::optional<Bracket> Locate(const std::vector<double>& f, double frequency) {
  const int rows = static_cast<int>(f.size());
  for (int r = 0; r < rows; ++r) {
    if (f[static_cast<std::size_t>(r)] == frequency) return Bracket{r, -1};
  }
  for (int r = 0; r + 1 < rows; ++r) {
    const double f1 = f[static_cast<std::size_t>(r)], f2 = f[static_cast<std::size_t>(r) + 1];
    if ((f1 < frequency && frequency < f2) || (f2 < frequency && frequency < f1)) {
      return Bracket{r, r + 1};
    }
  }
  return std::nullopt;
}

Cell FigureAtFrequency(const TestBlock& block, const BlockColumns& columns, ColumnCode code,
                       const std::optional<Bracket>& at, double frequency) {
  if (!HasFigure(code, columns)) return Cell{};
  if (!at) return MissingCell();
  if (at->Second < 0) return FigureAt(block, columns, code, at->First);
  const std::optional<double> y1 = NumberOf(FigureAt(block, columns, code, at->First));
  const std::optional<double> y2 = NumberOf(FigureAt(block, columns, code, at->Second));
  if (!y1 || !y2) return MissingCell();
  const double f1 = block.At(1, at->First).Number;
  const double f2 = block.At(1, at->Second).Number;
  return NumberCell(*y1 + (frequency - f1) * (*y2 - *y1) / (f2 - f1));
}

bool Fails(ColumnCode code, double figure, const Cell& lower, const Cell& upper) {
  // A distance to a limit fails when it is negative, not when it exceeds a limit.
  if (IsDistance(code)) return figure < 0;
  if (upper.IsNumber() && figure > upper.Number) return true;
  return lower.IsNumber() && figure < lower.Number;
}

}  // namespace

Cell FigureAt(const TestBlock& block, const BlockColumns& columns, ColumnCode code, int row) {
  if (!HasFigure(code, columns)) return Cell{};
  if (columns.InBlock(code)) return block.At(code, row);
  switch (code) {
    case code::kUpperLimit:
      return block.At(columns.UpperLimit, row);
    case code::kLowerLimit:
      return block.At(columns.LowerLimit, row);
    case code::kLastPair:
      return block.At(columns.LastPair, row);
    case code::kUpperControl:
      return columns.ControlLimits ? block.At(columns.UpperControl, row) : MissingCell();
    case code::kLowerControl:
      return columns.ControlLimits ? block.At(columns.LowerControl, row) : MissingCell();
    default:
      break;
  }
  if (code < code::kDistanceBelowUpper) {
    return Difference(block.At(code - code::kDistanceAboveLower, row),
                      block.At(columns.LowerLimit, row));
  }
  return Difference(block.At(columns.UpperLimit, row),
                    block.At(code - code::kDistanceBelowUpper, row));
}

std::vector<double> FrequenciesOf(const TestBlock& block) {
  std::vector<double> out(static_cast<std::size_t>(block.Rows()),
                          std::numeric_limits<double>::quiet_NaN());
  for (int r = 0; r < block.Rows(); ++r) {
    if (const std::optional<double> f = NumberOf(block.At(1, r)))
      out[static_cast<std::size_t>(r)] = *f;
  }
  return out;
}

std::vector<GridCell> FrequencyRow(const TestBlock& block, const BlockColumns& columns,
                                   const std::vector<double>& frequencies,
                                   const std::vector<ColumnCode>& codes, double frequency,
                                   bool failTextRed) {
  std::vector<GridCell> row;
  row.reserve(codes.size() + 1);
  row.push_back(FormatNumber(frequency, "0.###"));
  const std::optional<Bracket> at = Locate(frequencies, frequency);
  const Cell lower = FigureAtFrequency(block, columns, code::kLowerLimit, at, frequency);
  const Cell upper = FigureAtFrequency(block, columns, code::kUpperLimit, at, frequency);
  for (std::size_t k = 0; k < codes.size(); ++k) {
    const Cell figure = FigureAtFrequency(block, columns, codes[k], at, frequency);
    const bool fails =
        failTextRed && k > 0 && figure.IsNumber() && Fails(codes[k], figure.Number, lower, upper);
    row.push_back(fails ? GridCell::Failing(figure.AsText()) : GridCell(figure.AsText()));
  }
  return row;
}

}  // namespace vantrel

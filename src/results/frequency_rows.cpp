#include "results/frequency_rows.h"

#include <limits>
#include <optional>

#include "support/number.h"

namespace vantrel {

namespace {

Cell NumberCell(double value) {
  Cell cell;
  cell.kind = Cell::Kind::Number;
  cell.number = value;
  return cell;
}

Cell MissingCell() {
  Cell cell;
  cell.kind = Cell::Kind::Missing;
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
  int first = -1;
  int second = -1;  // -1 for an exact point
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
  if (at->second < 0) return FigureAt(block, columns, code, at->first);
  const std::optional<double> y1 = NumberOf(FigureAt(block, columns, code, at->first));
  const std::optional<double> y2 = NumberOf(FigureAt(block, columns, code, at->second));
  if (!y1 || !y2) return MissingCell();
  const double f1 = block.At(1, at->first).number;
  const double f2 = block.At(1, at->second).number;
  return NumberCell(*y1 + (frequency - f1) * (*y2 - *y1) / (f2 - f1));
}

bool Fails(ColumnCode code, double figure, const Cell& lower, const Cell& upper) {
  // A distance to a limit fails when it is negative, not when it exceeds a limit.
  if (IsDistance(code)) return figure < 0;
  if (upper.IsNumber() && figure > upper.number) return true;
  return lower.IsNumber() && figure < lower.number;
}

}  // namespace

Cell FigureAt(const TestBlock& block, const BlockColumns& columns, ColumnCode code, int row) {
  if (!HasFigure(code, columns)) return Cell{};
  if (columns.InBlock(code)) return block.At(code, row);
  switch (code) {
    case code::kUpperLimit:
      return block.At(columns.upperLimit, row);
    case code::kLowerLimit:
      return block.At(columns.lowerLimit, row);
    case code::kLastPair:
      return block.At(columns.lastPair, row);
    case code::kUpperControl:
      return columns.controlLimits ? block.At(columns.upperControl, row) : MissingCell();
    case code::kLowerControl:
      return columns.controlLimits ? block.At(columns.lowerControl, row) : MissingCell();
    default:
      break;
  }
  if (code < code::kDistanceBelowUpper) {
    return Difference(block.At(code - code::kDistanceAboveLower, row),
                      block.At(columns.lowerLimit, row));
  }
  return Difference(block.At(columns.upperLimit, row),
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
        failTextRed && k > 0 && figure.IsNumber() && Fails(codes[k], figure.number, lower, upper);
    row.push_back(fails ? GridCell::Failing(figure.AsText()) : GridCell(figure.AsText()));
  }
  return row;
}

}  // namespace vantrel

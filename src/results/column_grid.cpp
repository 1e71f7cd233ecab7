#include "results/column_grid.h"

#include <cmath>

#include "support/number.h"

namespace vantrel {

BlockColumns::BlockColumns(int columnCount, bool controlLimitsStored)
    : Cols(columnCount),
      ControlLimits(controlLimitsStored),
      LastPair(columnCount - (controlLimitsStored ? 4 : 2) - 2),
      LowerLimit(columnCount - 3),
      UpperLimit(columnCount - 2),
      LowerControl(controlLimitsStored ? columnCount - 5 : -1),
      UpperControl(controlLimitsStored ? columnCount - 4 : -1) {}

GridCell GridCell::Number(double value) {
  const double rounded = RoundGeneral(value);
  if (std::isnan(rounded)) return GridCell("x");
  // Just below the largest double the 15 digits read back as infinity: the text stays.
  if (std::isinf(rounded)) return GridCell(FormatGeneral(value));
  GridCell cell;
  cell.number_ = rounded;
  cell.isNumber_ = true;
  return cell;
}

GridCell GridCell::OfOther(const Cell& cell) {
  switch (cell.Type) {
    case Cell::Kind::Number:
      return Number(cell.Number);
    case Cell::Kind::Text:
      return GridCell(std::string(cell.Text.View()));
    case Cell::Kind::Missing:
      return GridCell("x");
    case Cell::Kind::Empty:
      break;
  }
  return GridCell();
}

GridCell GridCell::Failing(std::string text) {
  GridCell cell(std::move(text));
  cell.failed_ = true;
  return cell;
}

std::optional<double> GridCell::TextValue() const {
  if (text_ == "x") return std::nullopt;  // a limit column's every row, as often as not
  if (!IsNumeric(text_)) return std::nullopt;
  return Val(text_);
}

std::string GridCell::Text() const { return isNumber_ ? FormatGeneral(number_) : text_; }

std::vector<std::string> TextsOf(const std::vector<GridCell>& cells) {
  std::vector<std::string> out;
  out.reserve(cells.size());
  for (const GridCell& cell : cells) out.push_back(cell.Text());
  return out;
}

ValueGrid CellsOf(const TextGrid& texts) {
  ValueGrid out(texts.size());
  for (std::size_t c = 0; c < texts.size(); ++c) out[c].assign(texts[c].begin(), texts[c].end());
  return out;
}

double Log10(double x) { return std::log10(x == 0.0 ? 0.000000001 : x); }

std::string WorstMarginText(double margin, std::string_view units, double frequency) {
  std::string text = FormatNumber(margin, "0.000");
  text += ' ';
  text += units;
  text += " @ ";
  text += FormatNumber(frequency, "0.000");
  text += " MHz";
  return text;
}

void WorstMargin::Offer(double margin, double frequency) {
  // A flag, not a frequency of 0, says whether anything was recorded: a worst
  // point at 0 MHz must not be lost to a better later one.
  if (recorded_ && !(margin < margin_)) return;
  recorded_ = true;
  margin_ = margin;
  frequency_ = frequency;
}

std::string WorstMargin::Text(std::string_view units) const {
  return recorded_ ? WorstMarginText(margin_, units, frequency_) : std::string();
}

PairStatistics StatisticsOfRow(const TestBlock& block, const BlockColumns& columns, int row) {
  PairStatistics stats;
  double sum = 0;
  int count = 0;
  for (int c = columns.FirstPair; c <= columns.LastPair; ++c) {
    const Cell& cell = block.At(c, row);
    const std::optional<double> v = NumberOf(cell);
    if (!v) continue;
    if (!stats.Min || *v < *stats.Min) stats.Min = v, stats.MinCell = &cell;
    if (!stats.Max || *v > *stats.Max) stats.Max = v, stats.MaxCell = &cell;
    sum += *v;
    ++count;
  }
  if (count > 0) stats.Mean = sum / count;
  return stats;
}

namespace {

bool IsStatistic(ColumnCode code) {
  return code == code::kMin || code == code::kMax || code == code::kMean;
}

// Copied columns of the keyword codes; nullopt where the value is "x" by rule.
std::optional<int> KeywordColumn(ColumnCode code, const BlockColumns& columns) {
  switch (code) {
    case code::kUpperLimit:
      return columns.UpperLimit;
    case code::kLowerLimit:
      return columns.LowerLimit;
    case code::kLastPair:
      return columns.LastPair;
    case code::kUpperControl:
      return columns.ControlLimits ? std::optional<int>(columns.UpperControl) : std::nullopt;
    case code::kLowerControl:
      return columns.ControlLimits ? std::optional<int>(columns.LowerControl) : std::nullopt;
    default:
      return std::nullopt;
  }
}

bool IsCopiedKeyword(ColumnCode code) {
  return code == code::kUpperLimit || code == code::kLowerLimit || code == code::kLastPair ||
         code == code::kUpperControl || code == code::kLowerControl;
}

class MarginRecorder {
 public:
  MarginRecorder(const TestBlock& block, const BlockColumns& columns, int16_t kind,
                 std::string& note)
      : block_(block), columns_(columns), kind_(kind), note_(note) {}

  /// A point of a pair column c: not assessed when its status character is "I".
  void PairPoint(int row, int column, std::optional<double> value) {
    const Row& r = RowOf(row);
    const auto at = static_cast<std::size_t>(column - 1);
    Point(r, !(at < r.Status->size() && (*r.Status)[at] == 'I'), value);
  }

  /// A row statistic: assessed only when the row carries a verdict at all.
  void StatisticPoint(int row, std::optional<double> value) {
    const Row& r = RowOf(row);
    const bool verdict =
        r.Status->find('F') != std::string::npos || r.Status->find('P') != std::string::npos;
    Point(r, verdict, value);
  }

  WorstMargin Limit;
  WorstMargin Control;

 private:
  struct Bound {
    bool Known = false;
    double Value = 0;
  };
  static Bound BoundOf(const Cell& cell) { return {cell.IsNumber(), cell.Number}; }
  // What every point of a row is measured against, read once for the row's points.
  struct Row {
    int Index = -1;
    const std::string* Status = nullptr;
    double Frequency = 0;
    Bound Lower, Upper, LowerControl, UpperControl;
  };

  const Row& RowOf(int row) {
    if (row_.Index == row) return row_;
    row_.Index = row;
    row_.Status = &block_.RowStatus(row);
    row_.Frequency = NumberOf(block_.At(1, row)).value_or(0);
    row_.Lower = BoundOf(block_.At(columns_.LowerLimit, row));
    row_.Upper = BoundOf(block_.At(columns_.UpperLimit, row));
    if (columns_.ControlLimits) {
      row_.LowerControl = BoundOf(block_.At(columns_.LowerControl, row));
      row_.UpperControl = BoundOf(block_.At(columns_.UpperControl, row));
    }
    return row_;
  }

  void Point(const Row& r, bool assessed, std::optional<double> value) {
    if (!assessed) {
      note_ = FormatNumber(r.Frequency, "0.000") + " MHz";
      return;
    }
    if (!value) return;
    Candidates(Limit, *value, r.Frequency, r.Lower, r.Upper);
    if (columns_.ControlLimits)
      Candidates(Control, *value, r.Frequency, r.LowerControl, r.UpperControl);
  }

  void Candidates(WorstMargin& worst, double value, double frequency, const Bound& lower,
                  const Bound& upper) const {
    if ((kind_ == 1 || kind_ == 3) && lower.Known) worst.Offer(value - lower.Value, frequency);
    if ((kind_ == 2 || kind_ == 3) && upper.Known) worst.Offer(upper.Value - value, frequency);
  }

  const TestBlock& block_;
  const BlockColumns& columns_;
  int16_t kind_;
  std::string& note_;
  Row row_;
};

// What a column code takes from each row, worked out once for the whole block.
struct GridStep {
  enum class From { Statistic, Column, Missing, Nothing };
  From Source = From::Nothing;
  ColumnCode Code = 0;
  int Column = 0;
  bool Pair = false;  // a pair column's points count towards the margins
};

// One step per code up to the first that ends the row: the codes after it stay empty.
std::vector<GridStep> StepsOf(const std::vector<ColumnCode>& codes, const BlockColumns& columns) {
  std::vector<GridStep> steps;
  steps.reserve(codes.size());
  for (const ColumnCode c : codes) {
    GridStep step;
    step.Code = c;
    if (IsStatistic(c)) {
      step.Source = GridStep::From::Statistic;
    } else if (IsCopiedKeyword(c)) {
      const std::optional<int> column = KeywordColumn(c, columns);
      step.Source = column ? GridStep::From::Column : GridStep::From::Missing;
      step.Column = column.value_or(0);
    } else if (c < 0) {
      step.Source = GridStep::From::Nothing;  // no column to show; the row goes on
    } else if (c < columns.Cols) {
      step.Source = GridStep::From::Column;
      step.Column = c;
      step.Pair = columns.IsPair(c);
    } else {
      break;
    }
    steps.push_back(step);
  }
  return steps;
}

}  // namespace

ColumnGrid BuildColumnGrid(const TestBlock& block, const std::vector<ColumnCode>& codes,
                           const ColumnGridOptions& options) {
  const BlockColumns columns(block.Cols(), options.ControlLimitsStored);
  const int rows = block.Rows();
  ColumnGrid grid;
  grid.Cells.resize(codes.size());
  for (std::vector<GridCell>& column : grid.Cells) column.resize(static_cast<std::size_t>(rows));
  MarginRecorder margins(block, columns, options.MarginKind, grid.Note);

  const std::vector<GridStep> steps = StepsOf(codes, columns);
  for (int row = 0; row < rows; ++row) {
    const auto r = static_cast<std::size_t>(row);
    std::optional<PairStatistics> rowStats;  // one pass over the pairs serves all three
    for (std::size_t i = 0; i < steps.size(); ++i) {
      const GridStep& step = steps[i];
      GridCell& cell = grid.Cells[i][r];
      switch (step.Source) {
        case GridStep::From::Statistic: {
          if (!rowStats) rowStats = StatisticsOfRow(block, columns, row);
          const PairStatistics& stats = *rowStats;
          const ColumnCode c = step.Code;
          const std::optional<double> value =
              c == code::kMin ? stats.Min : (c == code::kMax ? stats.Max : stats.Mean);
          const Cell* from =
              c == code::kMin ? stats.MinCell : (c == code::kMax ? stats.MaxCell : nullptr);
          if (from != nullptr)
            cell.Take(*from);  // a cell's own number needs no rounding when short
          else
            cell = value ? GridCell::Number(*value) : GridCell("x");
          margins.StatisticPoint(row, value);
          break;
        }
        case GridStep::From::Column: {
          const Cell& source = block.At(step.Column, row);
          cell.Take(source);
          if (step.Pair) margins.PairPoint(row, step.Column, NumberOf(source));
          break;
        }
        case GridStep::From::Missing:
          cell = GridCell("x");
          break;
        case GridStep::From::Nothing:
          break;
      }
    }
  }
  grid.LimitMargin = margins.Limit.Text(options.Units);
  grid.ControlMargin = margins.Control.Text(options.Units);
  return grid;
}

}  // namespace vantrel

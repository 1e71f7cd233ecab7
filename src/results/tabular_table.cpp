#include "results/tabular_table.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "definitions/column_keywords.h"
#include "definitions/name_classes.h"
#include "results/frequency_rows.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

enum class MarginKind { None, Min, Max, MaxAndMin, MinPercent, MaxPercent, Average };

std::optional<ColumnCode> KeywordRow(std::string_view rowCode) {
  const std::string_view text = TrimView(rowCode);
  for (const RowKeyword& k : RowKeywords()) {
    if (text == std::to_string(k.Code)) return k.Code;
  }
  return std::nullopt;
}

std::string_view LabelOf(ColumnCode row) {
  const RowKeyword* keyword = RowKeywordOfCode(row);
  return keyword != nullptr ? keyword->Label : std::string_view();
}

MarginKind KindOfRow(ColumnCode row) {
  switch (row) {
    case code::kUpperMargin:
      return MarginKind::Max;
    case code::kLowerMargin:
      return MarginKind::Min;
    case code::kUpperLowerMargin:
      return MarginKind::MaxAndMin;
    case code::kLowerMarginPercent:
      return MarginKind::MinPercent;
    case code::kUpperMarginPercent:
      return MarginKind::MaxPercent;
    case code::kAverageMargin:
      return MarginKind::Average;
    default:
      return MarginKind::None;
  }
}

MarginKind KindOfClass(LimitClass limits) {
  switch (limits) {
    case LimitClass::Lower:
      return MarginKind::Min;
    case LimitClass::Upper:
      return MarginKind::Max;
    case LimitClass::Both:
      return MarginKind::MaxAndMin;
  }
  return MarginKind::Max;
}

// "Freq" and "Value" follow the margin row before them, else the first one after
// them, else the test's own limit sense.
std::vector<MarginKind> FollowedKinds(const std::vector<std::optional<ColumnCode>>& rows,
                                      LimitClass limits) {
  MarginKind first = MarginKind::None;
  for (const auto& row : rows) {
    const MarginKind kind = row ? KindOfRow(*row) : MarginKind::None;
    if (kind != MarginKind::None && kind != MarginKind::Average) {
      first = kind;
      break;
    }
  }
  MarginKind current = first == MarginKind::None ? KindOfClass(limits) : first;
  std::vector<MarginKind> followed;
  for (const auto& row : rows) {
    const MarginKind kind = row ? KindOfRow(*row) : MarginKind::None;
    if (kind != MarginKind::None && kind != MarginKind::Average) current = kind;
    followed.push_back(current);
  }
  return followed;
}

bool NotAssessed(const TestBlock& block, int row, int column) {
  const std::string& status = block.RowStatus(row);
  const auto at = static_cast<std::size_t>(column - 1);
  return column >= 1 && at < status.size() && status[at] == 'I';
}

struct ColumnStats {
  int Count = 0;
  double Min = 0;
  double Max = 0;
  double Sum = 0;
  double SumOfSquares = 0;
};

ColumnStats StatsOf(const TestBlock& block, int column) {
  ColumnStats stats;
  for (int r = 0; r < block.Rows(); ++r) {
    const std::optional<double> v = NumberOf(block.At(column, r));
    if (!v) continue;
    if (stats.Count == 0 || *v < stats.Min) stats.Min = *v;
    if (stats.Count == 0 || *v > stats.Max) stats.Max = *v;
    stats.Sum += *v;
    stats.SumOfSquares += *v * *v;
    ++stats.Count;
  }
  return stats;
}

std::optional<double> StatisticOf(ColumnCode row, const ColumnStats& s) {
  if (s.Count == 0) return std::nullopt;
  const double mean = s.Sum / s.Count;
  switch (row) {
    case code::kMin:
      return s.Min;
    case code::kMax:
      return s.Max;
    case code::kMean:
      return mean;
    case code::kStdDev:
      return std::sqrt(std::fabs(s.SumOfSquares / s.Count - mean * mean));
    case code::kMaxMinusMean:
      return s.Max - mean;
    case code::kMeanMinusMin:
      return mean - s.Min;
    case code::kMaxMinusMin:
      return s.Max - s.Min;
    default:
      return std::nullopt;
  }
}

double PercentBase(double limit) {
  const double base = std::fabs(limit);
  return base == 0.0 ? 0.000000001 : base;
}

std::optional<double> PointMargin(MarginKind kind, double v, std::optional<double> lo,
                                  std::optional<double> up) {
  switch (kind) {
    case MarginKind::Min:
      if (lo) return v - *lo;
      break;
    case MarginKind::Max:
      if (up) return *up - v;
      break;
    case MarginKind::MaxAndMin:
      if (lo && up) return std::min(*up - v, v - *lo);
      break;
    case MarginKind::MinPercent:
      if (lo) return (v - *lo) / PercentBase(*lo) * 100;
      break;
    case MarginKind::MaxPercent:
      if (up) return (*up - v) / PercentBase(*up) * 100;
      break;
    default:
      break;
  }
  return std::nullopt;
}

struct TableMargin {
  double Margin = 0;
  double Frequency = 0;
  std::string Value;
};

std::optional<TableMargin> WorstOf(const TestBlock& block, const BlockColumns& columns, int column,
                                   MarginKind kind) {
  std::optional<TableMargin> worst;
  const Cell* worstCell = nullptr;
  for (int r = 0; r < block.Rows(); ++r) {
    if (NotAssessed(block, r, column)) continue;
    const Cell& cell = block.At(column, r);
    if (!cell.IsNumber()) continue;
    const std::optional<double> margin =
        PointMargin(kind, cell.Number, NumberOf(block.At(columns.LowerLimit, r)),
                    NumberOf(block.At(columns.UpperLimit, r)));
    if (!margin || (worst && !(*margin < worst->Margin))) continue;
    worst = TableMargin{*margin, NumberOf(block.At(1, r)).value_or(0), {}};
    worstCell = &cell;
  }
  if (worst) worst->Value = worstCell->AsText();  // the text of the worst point only
  return worst;
}

// Averaged over the points that gave a margin, not over every row: points not
// assessed or without a limit must not pull the average towards 0.
std::optional<double> AverageMargin(const TestBlock& block, const BlockColumns& columns, int column,
                                    LimitClass limits) {
  double total = 0;
  int points = 0;
  for (int r = 0; r < block.Rows(); ++r) {
    if (NotAssessed(block, r, column)) continue;
    const std::optional<double> v = NumberOf(block.At(column, r));
    if (!v) continue;
    const std::optional<double> lo = NumberOf(block.At(columns.LowerLimit, r));
    const std::optional<double> up = NumberOf(block.At(columns.UpperLimit, r));
    const bool useLower = lo && limits != LimitClass::Upper;
    const bool useUpper = up && limits != LimitClass::Lower;
    if (!useLower && !useUpper) continue;
    double margin = (useLower ? *v - *lo : 0) + (useUpper ? *up - *v : 0);
    if (useLower && useUpper) margin /= 2;
    total += margin;
    ++points;
  }
  if (points == 0) return std::nullopt;
  return total / points;
}

double EmpOf(const TestBlock& block, int column) {
  double sum = 0;
  for (int r = 1; r < block.Rows(); ++r) {
    const std::optional<double> v = NumberOf(block.At(column, r));
    const std::optional<double> f = NumberOf(block.At(1, r));
    const std::optional<double> previous = NumberOf(block.At(1, r - 1));
    if (!v || !f || !previous) continue;
    const double hz = *f * 1000000;
    const double step = *f - *previous;
    sum += step * *v * *v / ((239000.0 * 239000.0 + hz * hz) * (41200000.0 * 41200000.0 + hz * hz));
  }
  // A sweep with nothing to weigh (one row, no usable value) sums to 0, which Log10 takes.
  return -185 - 10 * Log10(sum);
}

GridCell Figure(const std::optional<double>& value) { return value ? FormatGeneral(*value) : "x"; }

GridCell Marked(double value, bool failTextRed) {
  return failTextRed && value < 0 ? GridCell::Failing(FormatGeneral(value))
                                  : GridCell(FormatGeneral(value));
}

class KeywordRows {
 public:
  KeywordRows(const TestBlock& block, const BlockColumns& columns, const TabularOptions& options)
      : block_(block),
        columns_(columns),
        options_(options),
        limits_(ClassOfTest(options.TestName)) {}

  LimitClass Limits() const { return limits_; }

  GridCell FigureOf(ColumnCode row, MarginKind followed, int column) {
    if (column < 1 || !columns_.InBlock(column)) return "";
    // Statistics describe a pair's sweep; a margin is taken of any column's points.
    const MarginKind kind = KindOfRow(row);
    const bool margin =
        kind != MarginKind::None || row == code::kMarginFreq || row == code::kMarginValue;
    if (!margin && !columns_.IsPair(column)) return "";
    switch (row) {
      case code::kEmp:
        return FormatGeneral(EmpOf(block_, column));
      case code::kMarginFreq:
      case code::kMarginValue: {
        const std::optional<TableMargin> worst = WorstOf(block_, columns_, column, followed);
        if (!worst) return "";
        return row == code::kMarginFreq ? FormatGeneral(worst->Frequency) : worst->Value;
      }
      case code::kAverageMargin: {
        const std::optional<double> average = AverageMargin(block_, columns_, column, limits_);
        return average ? Marked(*average, options_.FailTextRed) : "";
      }
      default:
        break;
    }
    if (kind != MarginKind::None) {
      const std::optional<TableMargin> worst = WorstOf(block_, columns_, column, kind);
      return worst ? Marked(worst->Margin, options_.FailTextRed) : "";
    }
    return Figure(StatisticOf(row, Stats(column)));
  }

 private:
  const ColumnStats& Stats(int column) {
    if (cachedColumn_ != column) {
      cached_ = StatsOf(block_, column);
      cachedColumn_ = column;
    }
    return cached_;
  }

  const TestBlock& block_;
  const BlockColumns& columns_;
  const TabularOptions& options_;
  LimitClass limits_;
  int cachedColumn_ = -1;
  ColumnStats cached_;
};

}  // namespace

ValueGrid BuildTabularTable(const TestBlock& block, const std::vector<ColumnCode>& codes,
                            const std::vector<std::string>& rowCodes,
                            const TabularOptions& options) {
  const BlockColumns columns(block.Cols(), options.ControlLimitsStored);
  ValueGrid table(codes.size() + 1, std::vector<GridCell>(rowCodes.size()));
  std::vector<std::optional<ColumnCode>> keywords;
  for (const std::string& rowCode : rowCodes) keywords.push_back(KeywordRow(rowCode));

  KeywordRows figures(block, columns, options);
  const std::vector<double> frequencies = FrequenciesOf(block);
  const std::vector<MarginKind> followed = FollowedKinds(keywords, figures.Limits());
  for (std::size_t r = 0; r < rowCodes.size(); ++r) {
    if (keywords[r]) {
      table[0][r] = std::string(LabelOf(*keywords[r]));
      for (std::size_t k = 0; k < codes.size(); ++k) {
        table[k + 1][r] = figures.FigureOf(*keywords[r], followed[r], codes[k]);
      }
    } else if (IsNumeric(rowCodes[r])) {
      std::vector<GridCell> row =
          FrequencyRow(block, columns, frequencies, codes, Val(rowCodes[r]), options.FailTextRed);
      for (std::size_t k = 0; k < row.size(); ++k) table[k][r] = std::move(row[k]);
    }
  }
  return table;
}

}  // namespace vantrel

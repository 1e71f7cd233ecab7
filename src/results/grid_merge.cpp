#include "results/grid_merge.h"

#include <algorithm>
#include <optional>

#include "support/number.h"

namespace vantrel {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::optional<double> NumberIn(const GridCell& cell) { return cell.Value(); }

}  // namespace

GridMerge::GridMerge(std::vector<ColumnCode> codes, bool tabular)
    : codes_(std::move(codes)), tabular_(tabular), merged_(codes_.size(), kNone) {}

void GridMerge::AddColumn(const std::vector<GridCell>& cells, int16_t occurrence, ColumnCode code,
                          int codeIndex) {
  columns_.push_back(cells);
  sources_.push_back(GridColumnSource{occurrence, code, codeIndex});
}

void GridMerge::Add(const ValueGrid& grid, int16_t occurrence) {
  static const std::vector<GridCell> kNoCells;
  const auto cellsOf = [&grid](std::size_t column) -> const std::vector<GridCell>& {
    return column < grid.size() ? grid[column] : kNoCells;
  };
  if (tabular_) {
    if (first_) AddColumn(cellsOf(0), 1, 0, -1);
    for (std::size_t k = 0; k < codes_.size(); ++k) {
      AddColumn(cellsOf(k + 1), occurrence, codes_[k], static_cast<int>(k));
    }
    first_ = false;
    return;
  }
  for (std::size_t i = 0; i < codes_.size(); ++i) {
    const ColumnCode c = codes_[i];
    const bool statistic = c == code::kMin || c == code::kMax || c == code::kMean;
    if (!statistic) {
      AddColumn(cellsOf(i), occurrence, c, static_cast<int>(i));
      continue;
    }
    if (first_) {
      merged_[i] = columns_.size();
      AddColumn({}, 0, c, static_cast<int>(i));
      if (c == code::kMean) means_.push_back(MeanColumn{merged_[i], {}, {}, {}});
    }
    if (c == code::kMean) {
      for (MeanColumn& mean : means_) {
        if (mean.Column == merged_[i]) MergeMean(mean, cellsOf(i));
      }
    } else {
      MergeExtreme(merged_[i], cellsOf(i), c == code::kMin);
    }
  }
  first_ = false;
}

void GridMerge::MergeExtreme(std::size_t column, const std::vector<GridCell>& cells, bool smaller) {
  std::vector<GridCell>& kept = columns_[column];
  if (kept.size() < cells.size()) kept.resize(cells.size());
  for (std::size_t r = 0; r < cells.size(); ++r) {
    const std::optional<double> a = NumberIn(kept[r]);
    const std::optional<double> b = NumberIn(cells[r]);
    if (a && b) {
      if (smaller ? *b < *a : *b > *a) kept[r] = cells[r];
    } else if (b || kept[r].Empty()) {
      kept[r] = cells[r];
    }
  }
}

void GridMerge::MergeMean(MeanColumn& mean, const std::vector<GridCell>& cells) {
  if (mean.Sum.size() < cells.size()) {
    mean.Sum.resize(cells.size(), 0);
    mean.Count.resize(cells.size(), 0);
    mean.Missing.resize(cells.size(), false);
  }
  for (std::size_t r = 0; r < cells.size(); ++r) {
    if (const std::optional<double> v = NumberIn(cells[r])) {
      mean.Sum[r] += *v;
      ++mean.Count[r];
    } else if (!cells[r].Empty()) {
      mean.Missing[r] = true;
    }
  }
}

ValueGrid GridMerge::Grid() const {
  ValueGrid grid = columns_;
  // An occurrence without a number in a row is left out of that row's mean rather
  // than counted as 0: sweeps of different lengths must not drag the curve down.
  for (const MeanColumn& mean : means_) {
    std::vector<GridCell>& cells = grid[mean.Column];
    cells.assign(mean.Sum.size(), GridCell());
    for (std::size_t r = 0; r < cells.size(); ++r) {
      if (mean.Count[r] > 0) {
        cells[r] = GridCell::Number(mean.Sum[r] / mean.Count[r]);
      } else if (mean.Missing[r]) {
        cells[r] = "x";
      }
    }
  }
  std::size_t rows = 0;
  for (const auto& column : grid) rows = std::max(rows, column.size());
  for (auto& column : grid) column.resize(rows);
  return grid;
}

std::string MergeMarginText(const std::string& accumulated, const std::string& next) {
  const std::string b = next.substr(0, next.find(' '));
  if (!IsNumeric(b)) return accumulated;
  const std::string a = accumulated.substr(0, accumulated.find(' '));
  if (!IsNumeric(a)) return next;
  return Val(b) < Val(a) ? next : accumulated;
}

}  // namespace vantrel

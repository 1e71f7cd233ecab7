#pragma once
// Merges the prepared grids of several occurrences of one test into one grid.

#include <cstdint>
#include <string>
#include <vector>

#include "definitions/column_code.h"
#include "results/read_test_data.h"

namespace vantrel {

/// Min columns keep the smaller number of a row, max columns the larger, mean
/// columns average the occurrences that have a number there; every other column is
/// kept once per occurrence, in the order occurrences were added. Columns of
/// different lengths are padded with empty cells. For a table every figure column is kept
/// per occurrence and the label column once.
class GridMerge {
 public:
  GridMerge(std::vector<ColumnCode> codes, bool tabular);

  void Add(const ValueGrid& grid, int16_t occurrence);
  ValueGrid Grid() const;
  const std::vector<GridColumnSource>& Columns() const { return sources_; }

 private:
  struct MeanColumn {
    std::size_t Column = 0;
    std::vector<double> Sum;
    std::vector<int> Count;
    std::vector<bool> Missing;
  };

  void AddColumn(const std::vector<GridCell>& cells, int16_t occurrence, ColumnCode code,
                 int codeIndex);
  void MergeExtreme(std::size_t column, const std::vector<GridCell>& cells, bool smaller);
  void MergeMean(MeanColumn& mean, const std::vector<GridCell>& cells);

  std::vector<ColumnCode> codes_;
  bool tabular_;
  bool first_ = true;
  ValueGrid columns_;
  std::vector<GridColumnSource> sources_;
  std::vector<std::size_t> merged_;  // per code index: its merged column, or npos
  std::vector<MeanColumn> means_;
};

/// The worse of two worst-margin texts by the number before the first blank; a text
/// without a number there (such as "") never wins.
std::string MergeMarginText(const std::string& accumulated, const std::string& next);

}  // namespace vantrel

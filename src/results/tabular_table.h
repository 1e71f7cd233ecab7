#pragma once
// A table's view of a test block: each row a statistic, a margin figure or the
// block at one frequency; each column one of the table's column codes.

#include <string>
#include <vector>

#include "definitions/column_code.h"
#include "results/column_grid.h"
#include "results/test_block.h"

namespace vantrel {

struct TabularOptions {
  bool ControlLimitsStored = false;
  /// Its limit class decides how "Ave Margin" is taken.
  std::string TestName;
  /// Mark failing figures' cells.
  bool FailTextRed = false;
};

/// Row codes are texts: a keyword row's code (9986, 9990-9996, 10200-10207) or a
/// frequency in MHz; any other text gives an empty row. The result is [0] the row
/// labels, [k] the figures of codes[k-1], all as text. Keyword rows give figures for pair columns
/// only; statistics and EMP are "x" when the column holds no number, margin figures
/// "" when no point gave a margin.
ValueGrid BuildTabularTable(const TestBlock& block, const std::vector<ColumnCode>& codes,
                            const std::vector<std::string>& rowCodes,
                            const TabularOptions& options);

}  // namespace vantrel

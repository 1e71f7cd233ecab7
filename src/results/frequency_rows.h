#pragma once
// Table rows that show a test block at one frequency, taken from the sweep point
// there or interpolated between the two points around it.

#include <string>
#include <vector>

#include "definitions/column_code.h"
#include "results/column_grid.h"
#include "results/test_block.h"

namespace vantrel {

/// What a table column code shows at one block row: a block column's cell, a limit,
/// the last pair, a control limit, or a distance to a limit ("dl" n: cell n minus the
/// lower limit, "du" n: the upper limit minus cell n). Empty for a code that has no
/// figure in this block; Missing where a figure cannot be had.
Cell FigureAt(const TestBlock& block, const BlockColumns& columns, ColumnCode code, int row);

/// One table row at a frequency in MHz: [0] the frequency as "0.###", [k] the figure
/// of codes[k-1]. Outside the sweep, or where a figure around the frequency is not a
/// number, the figure is "x". With failTextRed, figures after the first code that lie
/// outside the row's limits (distances: below 0) are marked failing.
/// Column 1 of every row, NaN where it holds no number: frequencies is FrequencyRow's
/// copy of it, made once for every row of a table.
std::vector<double> FrequenciesOf(const TestBlock& block);

std::vector<GridCell> FrequencyRow(const TestBlock& block, const BlockColumns& columns,
                                   const std::vector<double>& frequencies,
                                   const std::vector<ColumnCode>& codes, double frequency,
                                   bool failTextRed);

}  // namespace vantrel

#include "results/read_test_data.h"

#include "results/grid_merge.h"
#include "results/obj_data.h"
#include "results/tabular_table.h"

namespace vantrel {

namespace {

constexpr int16_t kMaxOccurrences = 20;

}  // namespace

ReadTestDataResult ReadTestData(ObjData& data, const ReadTestDataRequest& request) {
  ReadTestDataResult result;
  const std::optional<ParsedTest> parsed = data.FindTest(request.testName, request.occurrence);
  if (!parsed || parsed->block == nullptr) return result;
  const TestBlock& block = *parsed->block;

  result.found = true;
  result.failed = parsed->failed;
  result.incomplete = parsed->incomplete;
  result.titles = ColumnTitles(block, request.codes);
  if (data.ControlLimitsStored()) {
    // The last pair sits before the control limits; its title must say so too.
    const BlockColumns columns(block.Cols(), true);
    for (std::size_t i = 0; i < request.codes.size(); ++i) {
      if (request.codes[i] == code::kLastPair) result.titles[i] = block.Heading(columns.lastPair);
    }
  }
  result.occurrencesRead = 1;
  if (request.form == ReadForm::Tabular) {
    TabularOptions options;
    options.controlLimitsStored = data.ControlLimitsStored();
    options.testName = request.testName;
    options.failTextRed = request.failTextRed;
    result.grid = BuildTabularTable(block, request.codes, request.rowCodes, options);
    result.note = request.note;
    result.columns.push_back(GridColumnSource{1, 0, -1});
  } else {
    ColumnGridOptions options;
    options.controlLimitsStored = data.ControlLimitsStored();
    options.marginKind = request.marginKind;
    options.units = request.units;
    ColumnGrid grid = BuildColumnGrid(block, request.codes, options);
    result.grid = std::move(grid.cells);
    result.note = std::move(grid.note);
    result.limitMargin = std::move(grid.limitMargin);
    result.controlMargin = std::move(grid.controlMargin);
  }
  for (std::size_t i = 0; i < request.codes.size(); ++i) {
    result.columns.push_back(GridColumnSource{1, request.codes[i], static_cast<int>(i)});
  }
  return result;
}

ReadTestDataResult ReadAllTestData(ObjData& data, const ReadTestDataRequest& request) {
  ReadTestDataResult merged;
  GridMerge grids(request.codes, request.form == ReadForm::Tabular);
  ReadTestDataRequest one = request;
  for (int16_t occurrence = 1; occurrence <= kMaxOccurrences; ++occurrence) {
    one.occurrence = occurrence;
    ReadTestDataResult next = ReadTestData(data, one);
    if (!next.found) break;
    if (occurrence == 1) merged.titles = std::move(next.titles);
    merged.failed = merged.failed || next.failed;
    merged.incomplete = merged.incomplete || next.incomplete;
    merged.limitMargin = MergeMarginText(merged.limitMargin, next.limitMargin);
    // The worst control margin over every occurrence, like the limit margin: the
    // last occurrence's alone could hide a worse one drawn on the same graph.
    merged.controlMargin = MergeMarginText(merged.controlMargin, next.controlMargin);
    grids.Add(next.grid, occurrence);
    merged.occurrencesRead = occurrence;
  }
  if (merged.occurrencesRead == 0) return ReadTestDataResult{};
  merged.found = true;
  merged.grid = grids.Grid();
  merged.columns = grids.Columns();
  merged.note = request.note;
  return merged;
}

}  // namespace vantrel

#include "results/read_test_data.h"

#include "results/grid_merge.h"
#include "results/obj_data.h"
#include "results/tabular_table.h"

namespace vantrel {

ReadTestDataResult ReadTestData(ObjData& data, const ReadTestDataRequest& request) {
  ReadTestDataResult result;
  const std::optional<ParsedTest> parsed = data.FindTest(request.TestName, request.Occurrence);
  if (!parsed || parsed->Block == nullptr) return result;
  const TestBlock& block = *parsed->Block;

  result.Found = true;
  result.Failed = parsed->Failed;
  result.Incomplete = parsed->Incomplete;
  result.Titles = ColumnTitles(block, request.Codes);
  if (data.ControlLimitsStored()) {
    // The last pair sits before the control limits; its title must say so too.
    const BlockColumns columns(block.Cols(), true);
    for (std::size_t i = 0; i < request.Codes.size(); ++i) {
      if (request.Codes[i] == code::kLastPair) result.Titles[i] = block.Heading(columns.LastPair);
    }
  }
  result.OccurrencesRead = 1;
  if (request.Form == ReadForm::Tabular) {
    TabularOptions options;
    options.ControlLimitsStored = data.ControlLimitsStored();
    options.TestName = request.TestName;
    options.FailTextRed = request.FailTextRed;
    result.Grid = BuildTabularTable(block, request.Codes, request.RowCodes, options);
    result.Note = request.Note;
    result.Columns.push_back(GridColumnSource{1, 0, -1});
  } else {
    ColumnGridOptions options;
    options.ControlLimitsStored = data.ControlLimitsStored();
    options.MarginKind = request.MarginKind;
    options.Units = request.Units;
    ColumnGrid grid = BuildColumnGrid(block, request.Codes, options);
    result.Grid = std::move(grid.Cells);
    result.Note = std::move(grid.Note);
    result.LimitMargin = std::move(grid.LimitMargin);
    result.ControlMargin = std::move(grid.ControlMargin);
  }
  for (std::size_t i = 0; i < request.Codes.size(); ++i) {
    result.Columns.push_back(GridColumnSource{1, request.Codes[i], static_cast<int>(i)});
  }
  return result;
}

ReadTestDataResult ReadAllTestData(ObjData& data, const ReadTestDataRequest& request) {
  ReadTestDataResult merged;
  GridMerge grids(request.Codes, request.Form == ReadForm::Tabular);
  ReadTestDataRequest one = request;
  for (int16_t occurrence = 1; occurrence <= kMaxOccurrences; ++occurrence) {
    one.Occurrence = occurrence;
    ReadTestDataResult next = ReadTestData(data, one);
    if (!next.Found) break;
    if (occurrence == 1) merged.Titles = std::move(next.Titles);
    merged.Failed = merged.Failed || next.Failed;
    merged.Incomplete = merged.Incomplete || next.Incomplete;
    merged.LimitMargin = MergeMarginText(merged.LimitMargin, next.LimitMargin);
    // The worst control margin over every occurrence, like the limit margin: the
    // last occurrence's alone could hide a worse one drawn on the same graph.
    merged.ControlMargin = MergeMarginText(merged.ControlMargin, next.ControlMargin);
    grids.Add(next.Grid, occurrence);
    merged.OccurrencesRead = occurrence;
  }
  if (merged.OccurrencesRead == 0) return ReadTestDataResult{};
  merged.Found = true;
  merged.Grid = grids.Grid();
  merged.Columns = grids.Columns();
  merged.Note = request.Note;
  return merged;
}

}  // namespace vantrel

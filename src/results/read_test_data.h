#pragma once
// What graphs and tables ask of the data object: one test (or every occurrence of
// it) prepared as a per-frequency column grid or as a summarising table.

#include <cstdint>
#include <string>
#include <vector>

#include "definitions/column_code.h"
#include "results/column_grid.h"

namespace vantrel {

class ObjData;

/// What a request prepares: the per-frequency column grid of a graph, or a table.
enum class ReadForm { ColumnGrid, Tabular };

struct ReadTestDataRequest {
  /// 1 margin to the lower limit, 2 to the upper limit, 3 to both; others none.
  int16_t MarginKind = 0;
  /// Wildcard pattern, "|" between alternatives.
  std::string TestName;
  /// 1 = last test of that name in the file, 2 the one before; below 1 the first.
  /// Ignored by ReadAllTestData.
  int16_t Occurrence = 0;
  /// Graph COLS or table COLS; element 0 is normally column 1 (the frequency).
  std::vector<ColumnCode> Codes;
  /// Table rows: a frequency as text, or a row keyword's code as text.
  std::vector<std::string> RowCodes;
  /// Goes into the worst-margin texts ("dB", "Ohms", ...).
  std::string Units;
  ReadForm Form = ReadForm::ColumnGrid;
  /// The FAILTEXTRED setting: tables mark their failing figures' cells.
  bool FailTextRed = false;
  /// Handed back unchanged where no note is made (tables, ReadAllTestData).
  std::string Note;
};

/// Where a column of a result grid comes from.
struct GridColumnSource {
  /// Occurrence the cells were read from (1 = the last test of the name in the file,
  /// and always 1 for ReadTestData); 0 for min, max and mean columns merged over
  /// every occurrence read.
  int16_t Occurrence = 1;
  /// The request's code this column carries.
  ColumnCode Code = 0;
  /// Position of that code in the request's codes.
  int CodeIndex = 0;
};

struct ReadTestDataResult {
  /// False when the test was not found or its block could not be parsed; every
  /// other field then stays at its default.
  bool Found = false;
  /// Column grid: one column per code (per code and occurrence after a merge), one
  /// row per block row. Table: column 0 the row labels ("Min", "Freq", "0.###" of a
  /// frequency row), column k the figures of codes[k-1]; one row per row code.
  ValueGrid Grid;
  /// One entry per grid column. For a table entry 0 describes the label column
  /// (code 0, codeIndex -1).
  std::vector<GridColumnSource> Columns;
  /// Block heading for each requested code, in request order ("" where none).
  std::vector<std::string> Titles;
  /// The test failed (any occurrence failed, for ReadAllTestData).
  bool Failed = false;
  /// The test's block ends early (any occurrence's, for ReadAllTestData).
  bool Incomplete = false;
  /// Column grid: the frequency of the last point not assessed, "0.000 MHz".
  std::string Note;
  /// "-1.234 dB @ 10.000 MHz", or "" when no margin was recorded.
  std::string LimitMargin;
  std::string ControlMargin;
  /// Occurrences merged (1 for ReadTestData).
  int16_t OccurrencesRead = 0;
};

/// The most occurrences ReadAllTestData merges.
inline constexpr int16_t kMaxOccurrences = 20;

/// Finds the test, parses its block and prepares the grid or the table.
ReadTestDataResult ReadTestData(ObjData& data, const ReadTestDataRequest& request);

/// Reads occurrences 1, 2, ... up to 20 of the test until one is missing and merges
/// them: min columns keep the smaller figure, max the larger, mean the average;
/// every other column is kept once per occurrence (see GridColumnSource). Found
/// when occurrence 1 was found.
ReadTestDataResult ReadAllTestData(ObjData& data, const ReadTestDataRequest& request);

}  // namespace vantrel

#pragma once
// What report production asks of the test data. The batch tool and the window hand
// in the data object behind this; tests hand in fixed answers.

#include <cstdint>
#include <string>
#include <vector>

#include "definitions/column_code.h"

namespace vantrel {

/// Text grid indexed [column][row]; "x" marks a missing value.
using TextGrid = std::vector<std::vector<std::string>>;

struct TestDataRequest {
  std::string Test;                // the DATA name, "|" separating alternatives
  std::vector<ColumnCode> Codes;   // column codes after the column offset
  std::vector<std::string> Rows;   // table row selectors (tables only)
  int16_t Order = 1;               // occurrence, 1-based
  int16_t MarginKind = 0;          // 0 none, 1..3
  std::string Units;               // units text of the margin texts
  bool Tabular = false;            // tables: the statistics table, not a per-row grid
  bool AllResults = false;         // every occurrence of the test, merged
};

struct TestDataResult {
  bool Found = false;
  bool Failed = false;
  /// Graphs: one column per requested code, column 0 the frequency in MHz. Tables:
  /// column 0 the row label or frequency, column k the figure of code k.
  TextGrid Grid;
  std::vector<std::string> Headings;  // the test block's column headings
  std::string LimitMargin;            // worst-margin texts, empty when none
  std::string ControlMargin;
  /// Merged occurrences: for each grid column, the code it carries (empty when the
  /// grid has one column per requested code).
  std::vector<ColumnCode> ColumnCodes;
};

class ReportDataSource {
 public:
  virtual ~ReportDataSource() = default;
  /// True when the data file holds a test that the report names.
  virtual bool CheckTested(int reportIndex) = 0;
  /// Forgets the cached block before a report is drawn.
  virtual void ResetNumCols() = 0;
  /// True when the data has pair columns beyond column.
  virtual bool MoreColsToShow(int column) = 0;
  virtual int Pairs() = 0;
  virtual std::string HeaderString(int item) = 0;
  virtual std::string HalfHeaderString(int item) = 0;
  virtual bool OverallFailed() = 0;
  virtual std::string TestDescription() = 0;
  virtual std::string CableLength() = 0;
  virtual std::string NormalisationLength() = 0;
  virtual TestDataResult ReadTestData(const TestDataRequest& request) = 0;
  /// "TEST SUMMARY :" block, formatted and raw, and the comment lines, as [column][row].
  virtual TextGrid ReadTestSummary() = 0;
  virtual TextGrid ReadRawTestSummary() = 0;
  virtual TextGrid PrintComments() = 0;
};

/// A source with no data file: nothing is tested, nothing is found.
class EmptyDataSource : public ReportDataSource {
 public:
  bool CheckTested(int) override { return false; }
  void ResetNumCols() override {}
  bool MoreColsToShow(int) override { return false; }
  int Pairs() override { return 0; }
  std::string HeaderString(int) override { return {}; }
  std::string HalfHeaderString(int) override { return {}; }
  bool OverallFailed() override { return false; }
  std::string TestDescription() override { return {}; }
  std::string CableLength() override { return {}; }
  std::string NormalisationLength() override { return {}; }
  TestDataResult ReadTestData(const TestDataRequest&) override { return {}; }
  TextGrid ReadTestSummary() override { return {}; }
  TextGrid ReadRawTestSummary() override { return {}; }
  TextGrid PrintComments() override { return {}; }
};

}  // namespace vantrel

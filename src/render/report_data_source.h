#pragma once
// What report production asks of the test data. The batch tool and the window hand
// in the data object behind this; tests hand in fixed answers.

#include <cstdint>
#include <string>
#include <vector>

#include "definitions/report_reads.h"
#include "results/read_test_data.h"

namespace vantrel {

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
  /// The file's overall status failed, or any of its tests did.
  virtual bool AnyTestFailed() { return OverallFailed(); }
  virtual std::string TestDescription() = 0;
  virtual std::string CableLength() = 0;
  virtual std::string NormalisationLength() = 0;
  /// True when data of an incomplete test was read since the last call.
  virtual bool TakeIncompleteRead() { return false; }
  /// Why the data file must not be printed ("" when it may): a test that cannot be
  /// read, or an incomplete one unless allowed. Each faulty test is told once.
  virtual std::string CertificationFault() { return ""; }
  /// text with the data file's "[paramN]" placeholders filled (APPNAME).
  virtual std::string FillParameters(const std::string& text) { return text; }
  /// The reads a job is about to make, in order, so that their tests can be made
  /// ready ahead of them; an empty list when the job is over.
  virtual void ExpectReads(const std::vector<PlannedRead>& /*reads*/) {}
  /// One occurrence, or every occurrence merged when all is true.
  virtual ReadTestDataResult ReadTestData(const ReadTestDataRequest& request, bool all) = 0;
  /// The summary block named name, formatted or raw, at least columns x rows.
  virtual bool ReadTestSummary(const std::string& name, TextGrid& grid, int columns, int rows,
                               bool raw, bool& anyFail) = 0;
  virtual bool PrintComments(const std::string& comment, TextGrid& grid) = 0;
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
  ReadTestDataResult ReadTestData(const ReadTestDataRequest&, bool) override { return {}; }
  bool ReadTestSummary(const std::string&, TextGrid&, int, int, bool, bool&) override {
    return false;
  }
  bool PrintComments(const std::string&, TextGrid&) override { return false; }
};

}  // namespace vantrel

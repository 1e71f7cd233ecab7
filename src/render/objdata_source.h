#pragma once

#include <utility>
// The data object as report production sees it.

#include "render/report_data_source.h"
#include "results/obj_data.h"

namespace vantrel {

class ObjDataSource : public ReportDataSource {
 public:
  explicit ObjDataSource(ObjData& data) : data_(data) {}
  bool CheckTested(int reportIndex) override;
  void ResetNumCols() override { data_.ResetNumCols(); }
  bool MoreColsToShow(int column) override;
  int Pairs() override { return data_.Pairs(); }
  std::string HeaderString(int item) override;
  std::string HalfHeaderString(int item) override;
  bool OverallFailed() override { return data_.OverallFailed(); }
  bool AnyTestFailed() override;
  std::string TestDescription() override { return data_.TestDescription(); }
  std::string CableLength() override { return data_.CableLength(); }
  std::string NormalisationLength() override { return data_.NormalisationLength(); }
  void ExpectReads(const std::vector<PlannedRead>& reads) override { data_.ReadAhead(reads); }
  ReadTestDataResult ReadTestData(const ReadTestDataRequest& request, bool all) override;
  bool TakeIncompleteRead() override { return std::exchange(incompleteRead_, false); }
  std::string CertificationFault() override { return data_.CertificationFault(incompleteAllowed_); }
  std::string FillParameters(const std::string& text) override {
    return data_.FillParameters(text);
  }
  /// Incomplete tests no longer stop a print (--allow-incomplete).
  void AllowIncomplete(bool allowed) { incompleteAllowed_ = allowed; }
  bool ReadTestSummary(const std::string& name, TextGrid& grid, int columns, int rows, bool raw,
                       bool& anyFail) override;
  bool PrintComments(const std::string& comment, TextGrid& grid) override;

 private:
  ObjData& data_;
  bool incompleteRead_ = false;
  bool incompleteAllowed_ = false;
};

}  // namespace vantrel

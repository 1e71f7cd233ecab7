#pragma once

#include <cctype>
// A data source with fixed answers, for drawing reports without a data file.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "render/report_data_source.h"

namespace vantrel::testing {

class FakeDataSource : public ReportDataSource {
 public:
  int PairCount = 4;
  bool Tested = true;
  bool FailedOverall = false;
  int MoreColsBelow = 0;  // MoreColsToShow(k) is true for k below this
  std::string NormLength = "100";
  std::string Length = "305";
  /// Results by test name; a request for another name is not found.
  std::map<std::string, ReadTestDataResult> Results;
  std::vector<ReadTestDataRequest> Requests;
  TextGrid Summary;

  std::string Fault;                              // why the data must not be printed
  std::map<std::string, std::string> Parameters;  // "[paramN]" and its value

  std::string CertificationFault() override { return Fault; }
  std::string FillParameters(const std::string& text) override {
    std::string filled = text;
    for (const auto& [placeholder, value] : Parameters)
      for (std::size_t at; (at = filled.find(placeholder)) != std::string::npos;)
        filled.replace(at, placeholder.size(), value);
    return filled;
  }
  bool CheckTested(int) override { return Tested; }
  void ResetNumCols() override {}
  bool MoreColsToShow(int column) override { return column < MoreColsBelow; }
  int Pairs() override { return PairCount; }
  int HeaderReads = 0;
  std::string HeaderString(int item) override {
    ++HeaderReads;
    return "value " + std::to_string(item + 1);
  }
  std::string HalfHeaderString(int item) override { return "half " + std::to_string(item + 1); }
  bool OverallFailed() override { return FailedOverall; }
  std::string TestDescription() override { return "SEQ A"; }
  std::string CableLength() override { return Length; }
  std::string NormalisationLength() override { return NormLength; }
  ReadTestDataResult ReadTestData(const ReadTestDataRequest& request, bool) override {
    Requests.push_back(request);
    auto it = Results.find(request.TestName);
    return it == Results.end() ? ReadTestDataResult{} : it->second;
  }
  bool ReadTestSummary(const std::string&, TextGrid& grid, int, int, bool, bool& anyFail) override {
    grid = Summary;
    anyFail = false;
    return !Summary.empty();
  }
  bool PrintComments(const std::string& comment, TextGrid& grid) override {
    grid.assign(1, {});
    std::string part;
    for (char c : comment + "|") {
      if (c != '|') {
        part += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        continue;
      }
      grid[0].push_back(part);
      part.clear();
    }
    return true;
  }
};

/// A graph result: column 0 the frequencies, then one column per set.
inline ReadTestDataResult GraphResult(std::vector<std::string> freqs,
                                      std::vector<std::vector<std::string>> sets,
                                      std::vector<std::string> titles = {}) {
  ReadTestDataResult r;
  r.Found = true;
  r.Grid.emplace_back(freqs.begin(), freqs.end());
  for (auto& s : sets) r.Grid.emplace_back(s.begin(), s.end());
  r.Titles = std::move(titles);
  return r;
}

}  // namespace vantrel::testing

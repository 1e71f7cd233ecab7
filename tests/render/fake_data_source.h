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
  int pairs = 4;
  bool tested = true;
  bool overallFailed = false;
  int moreColsBelow = 0;  // MoreColsToShow(k) is true for k below this
  std::string normLength = "100";
  std::string cableLength = "305";
  /// Results by test name; a request for another name is not found.
  std::map<std::string, ReadTestDataResult> results;
  std::vector<ReadTestDataRequest> requests;
  TextGrid summary;

  std::string certificationFault;                 // why the data must not be printed
  std::map<std::string, std::string> parameters;  // "[paramN]" and its value

  std::string CertificationFault() override { return certificationFault; }
  std::string FillParameters(const std::string& text) override {
    std::string filled = text;
    for (const auto& [placeholder, value] : parameters)
      for (std::size_t at; (at = filled.find(placeholder)) != std::string::npos;)
        filled.replace(at, placeholder.size(), value);
    return filled;
  }
  bool CheckTested(int) override { return tested; }
  void ResetNumCols() override {}
  bool MoreColsToShow(int column) override { return column < moreColsBelow; }
  int Pairs() override { return pairs; }
  int headerReads = 0;
  std::string HeaderString(int item) override {
    ++headerReads;
    return "value " + std::to_string(item + 1);
  }
  std::string HalfHeaderString(int item) override { return "half " + std::to_string(item + 1); }
  bool OverallFailed() override { return overallFailed; }
  std::string TestDescription() override { return "SEQ A"; }
  std::string CableLength() override { return cableLength; }
  std::string NormalisationLength() override { return normLength; }
  ReadTestDataResult ReadTestData(const ReadTestDataRequest& request, bool) override {
    requests.push_back(request);
    auto it = results.find(request.testName);
    return it == results.end() ? ReadTestDataResult{} : it->second;
  }
  bool ReadTestSummary(const std::string&, TextGrid& grid, int, int, bool, bool& anyFail) override {
    grid = summary;
    anyFail = false;
    return !summary.empty();
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
  r.found = true;
  r.grid.emplace_back(freqs.begin(), freqs.end());
  for (auto& s : sets) r.grid.emplace_back(s.begin(), s.end());
  r.titles = std::move(titles);
  return r;
}

}  // namespace vantrel::testing

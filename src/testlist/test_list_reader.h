#pragma once
// The test list's own pass over a result file: the overall status, the general header
// and the test summary, read line by line apart from the data object.

#include <array>
#include <string>
#include <vector>

namespace vantrel {

struct TestListRow {
  std::string Name;
  std::string Status;
  std::string Specification;
};

struct TestListData {
  /// Slots 1..30: "name\tvalue" of the product block; 31 the cable length as a whole
  /// number; 32 the pre-test comments; 33 when the test started. Index 0 is unused.
  std::array<std::string, 34> Header;
  std::string ResultsName;
  std::string ExitText;
  std::string EndText;
  bool Failed = false;
  int Completion = 3;  // 2 when the sequence was aborted
  std::vector<TestListRow> Rows;
  bool Found = false;  // the file has a "TEST SUMMARY :" line
};

/// Reads bytes (the whole result file). Line ends may be LF, CRLF or a lone CR.
TestListData ReadTestList(std::string_view bytes);

/// Reads the file at path; Found is false when it cannot be read.
TestListData ReadTestListFile(const std::string& path, std::string& error);

}  // namespace vantrel

// The headroom summary against the pages: every worst margin a graph of the sample
// prints is a row of the summary, and each file's closing row holds its smallest.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "common/tool_run.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RunReportTool;
using testing::RunShell;
using testing::ShellQuote;
using testing::TempDir;

const std::string kSamples = std::string(VANTREL_SOURCE_DIR) + "/samples";
const std::string kHostile = std::string(VANTREL_TEST_DATA_DIR) + "/hostile/";

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (const char c : line) {
      if (c == '"')
        quoted = !quoted;
      else if (c == ',' && !quoted)
        fields.push_back(std::exchange(field, ""));
      else
        field.push_back(c);
    }
    fields.push_back(field);
    rows.push_back(fields);
  }
  return rows;
}

TEST(HeadroomSummary, RowsAreTheGraphsWorstMarginsAndEachFileClosesWithItsSmallest) {
  TempDir dir;
  const fs::path runs = dir.path() / "runs";
  fs::create_directories(runs);
  fs::copy_file(kSamples + "/sample-results.txt", runs / "a.txt");
  fs::copy_file(kHostile + "good.txt", runs / "b.txt");
  fs::copy_file(kHostile + "empty.txt", runs / "c.txt");
  const std::string csv = (dir.path() / "summary.csv").string();
  const std::string pages = (dir.path() / "summary.pdf").string();
  const testing::ToolRun run =
      RunReportTool(dir.path(), {"--summary", csv, "--summary-pdf", pages, "--definition",
                                 kSamples + "/sample.ini", "--data", runs.string(), "--quiet"});
  // The empty file is named in the table with its reason and fails the run; the
  // others are summed up.
  EXPECT_EQ(run.Status, 3) << run.Err;
  const auto rows = CsvRows(ReadFileBytes(csv));
  ASSERT_GE(rows.size(), 4u);
  EXPECT_EQ(rows[0][0], "result file");

  std::set<std::string> summed;  // "margin@frequency" of the sample's data rows
  double smallest = 1e300;
  std::map<std::string, std::vector<std::string>> closing;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 7u) << i;
    const std::string file = fs::path(rows[i][0]).filename().string();
    if (rows[i][3] == "overall" || rows[i][3] == "not loaded") {
      closing[file] = rows[i];
      continue;
    }
    EXPECT_EQ(file, "a.txt");
    EXPECT_EQ(rows[i][1], "CBL-2024-48687");  // the definition's first header item
    summed.insert(rows[i][4] + "@" + rows[i][5]);
    smallest = std::min(smallest, std::stod(rows[i][4]));
    EXPECT_EQ(rows[i][6], std::stod(rows[i][4]) < 0 ? "FAIL" : "PASS");
  }
  EXPECT_EQ(std::stod(closing["a.txt"][4]), smallest);
  EXPECT_EQ(closing["a.txt"][6], "FAIL");
  EXPECT_EQ(closing["b.txt"][6], "PASS");
  EXPECT_EQ(closing["c.txt"][3], "not loaded");
  EXPECT_NE(closing["c.txt"][6].find("it is empty"), std::string::npos) << closing["c.txt"][6];

  // The printed summary holds the same rows, headed and numbered.
  const std::string printed = RunShell("pdftotext -layout " + ShellQuote(pages) + " -").Out;
  EXPECT_NE(printed.find("Headroom summary"), std::string::npos) << printed;
  EXPECT_NE(printed.find("Page 1 of"), std::string::npos);
  EXPECT_NE(printed.find("1 passed, 1 failed, 1 not loaded"), std::string::npos);
  for (std::size_t i = 1; i < rows.size(); ++i)
    EXPECT_NE(printed.find(rows[i][4]), std::string::npos) << rows[i][4];

  // Every single-pair graph margin on the sample's pages is a row of the summary.
  ASSERT_EQ(RunReportTool(dir.path(), {"--definition", kSamples + "/sample.ini", "--data",
                                       (runs / "a.txt").string(), "--pdf",
                                       (dir.path() / "a.pdf").string(), "--quiet"})
                .Status,
            0);
  const std::string text =
      RunShell("pdftotext " + ShellQuote((dir.path() / "a.pdf").string()) + " -").Out;
  const std::regex margin("Limit Margin : (-?[0-9.]+) [^@]*@ ([0-9.]+) MHz");
  int found = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), margin);
       it != std::sregex_iterator(); ++it) {
    ++found;
    const std::string key = (*it)[1].str() + "@" + (*it)[2].str();
    // Graphs of several pairs print the worst of them, which is one of the rows too.
    EXPECT_TRUE(summed.count(key)) << key;
  }
  EXPECT_GE(found, 8);
}

TEST(HeadroomSummary, NeverWritesOverAnInputAndNeedsOneResultFile) {
  TempDir dir;
  fs::copy_file(kHostile + "good.txt", dir.path() / "good.txt");
  const std::string before = ReadFileBytes((dir.path() / "good.txt").string());
  const testing::ToolRun over = RunReportTool(
      dir.path(), {"--summary", (dir.path() / "good.txt").string(), "--definition",
                   kHostile + "plain.ini", "--data", (dir.path() / "good.txt").string()});
  EXPECT_EQ(over.Status, 2);
  EXPECT_EQ(ReadFileBytes((dir.path() / "good.txt").string()), before);
  EXPECT_EQ(RunReportTool(dir.path(), {"--definition", kHostile + "plain.ini", "--data", "a",
                                       "--data", "b", "--png", "pages"})
                .Status,
            2);
}

}  // namespace
}  // namespace vantrel

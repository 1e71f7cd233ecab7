// vantrel-report --check-layout over definitions that push the layout to its edges,
// written by tests/tools/stress/gen-stress-definitions, and over the sample.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "common/temp_dir.h"
#include "common/tool_run.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RunReportTool;
using testing::ShellQuote;

const std::string kGenerator =
    std::string(VANTREL_SOURCE_DIR) + "/tests/tools/stress/gen-stress-definitions";

// Every kind the generator writes; the first test keeps this list and the generator's
// in step.
const char* const kKinds[] = {
    "table-default-freqs",
    "six-pairs",
    "long-product-names",
    "few-header-items",
    "tall-logo-hidden-header",
    "long-fail-text",
    "fail-mark-no-logo",
    "small-graphs-fine-ticks",
    "linear-wide-range",
    "long-titles-legends",
    "pair-pair-table-15",
    "wide-logo-top-page-number",
    "wide-logo-top-left",
    "slot-past-grid",
    "comment-table",
    "old-style-tables",
    "summary-long",
};

class StressSet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<testing::TempDir>();
    const fs::path listed = dir_->path() / "kinds";
    const fs::path complaints = dir_->path() / "generator-errors";
    generated_ =
        std::system((ShellQuote(kGenerator) + " --list " + ShellQuote(dir_->path().string()) +
                     " >" + ShellQuote(listed.string()) + " 2>" + ShellQuote(complaints.string()))
                        .c_str()) == 0;
    listing_ = ReadFileBytes(listed);
    why_ = ReadFileBytes(complaints);
  }
  static void TearDownTestSuite() { dir_.reset(); }

  static fs::path Dir() { return dir_->path(); }
  // The data file a definition names in its first line.
  static std::string DataOf(const std::string& kind) {
    const std::string ini = ReadFileBytes(Dir() / (kind + ".ini"));
    const std::string start = "; data: ";
    const std::size_t end = ini.find_first_of("\r\n");
    return (Dir() / ini.substr(start.size(), end - start.size())).string();
  }

  static std::unique_ptr<testing::TempDir> dir_;
  static bool generated_;
  static std::string listing_;
  static std::string why_;
};

std::unique_ptr<testing::TempDir> StressSet::dir_;
bool StressSet::generated_ = false;
std::string StressSet::listing_;
std::string StressSet::why_;

TEST_F(StressSet, GeneratorWritesEveryKindThisTestKnows) {
  ASSERT_TRUE(generated_) << kGenerator << " failed:\n" << why_;
  std::set<std::string> listed, known(std::begin(kKinds), std::end(kKinds));
  std::size_t start = 0;
  for (std::size_t end; (end = listing_.find('\n', start)) != std::string::npos; start = end + 1)
    listed.insert(listing_.substr(start, end - start));
  EXPECT_EQ(listed, known);
  for (const std::string& kind : known) {
    EXPECT_TRUE(fs::exists(Dir() / (kind + ".ini"))) << kind;
    EXPECT_TRUE(fs::exists(DataOf(kind))) << kind;
  }
}

class StressKind : public StressSet, public ::testing::WithParamInterface<const char*> {};

TEST_P(StressKind, LaysOutWithoutFindings) {
  ASSERT_TRUE(generated_) << kGenerator << " failed:\n" << why_;
  const std::string kind = GetParam();
  const testing::ToolRun run =
      RunReportTool(Dir(), {"--check-layout", "--definition", (Dir() / (kind + ".ini")).string(),
                            "--data", DataOf(kind), "--quiet"});
  EXPECT_EQ(run.Status, 0) << run.Out << run.Err;
  EXPECT_EQ(run.Out, "");
}

std::string KindName(const ::testing::TestParamInfo<const char*>& info) {
  std::string name = info.param;
  for (char& c : name)
    if (c == '-') c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Generated, StressKind, ::testing::ValuesIn(kKinds), KindName);

TEST(StressSample, SampleLaysOutWithoutFindingsOnEveryPaperSize) {
  testing::TempDir dir;
  for (const char* paper : {"A4", "Letter", "A3"}) {
    const testing::ToolRun run = RunReportTool(
        dir.path(),
        {"--check-layout", "--definition", std::string(VANTREL_SOURCE_DIR) + "/samples/sample.ini",
         "--data", std::string(VANTREL_SOURCE_DIR) + "/samples/sample-results.txt", "--page-size",
         paper, "--quiet"});
    EXPECT_EQ(run.Status, 0) << paper << "\n" << run.Out << run.Err;
  }
}

}  // namespace
}  // namespace vantrel

// --pdf over several results: one document with every result's pages in order, or
// one file per result; a result that does not load leaves nothing behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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

class SeveralResults : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(kSamples + "/sample-results.txt", Path("first.txt"));
    std::string second = ReadFileBytes(kSamples + "/sample-results.txt");
    const std::size_t id = second.find("Cable ID\tCBL-2024-48687");
    second.replace(id + 9, 14, "CBL-SECOND-001");
    std::ofstream(Path("second.txt"), std::ios::binary) << second;
  }
  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }
  testing::ToolRun Make(const std::string& pdf, const std::string& second, bool separate) {
    std::vector<std::string> args{"--definition", kSamples + "/sample.ini",
                                  "--data",       Path("first.txt"),
                                  "--data",       Path(second),
                                  "--pdf",        Path(pdf),
                                  "--quiet"};
    if (separate) args.push_back("--separate");
    return RunReportTool(dir_.path(), args);
  }
  std::string Text(const std::string& pdf) {
    return RunShell("pdftotext " + ShellQuote(Path(pdf)) + " -").Out;
  }
  std::string Pages(const std::string& pdf) {
    return RunShell("pdfinfo " + ShellQuote(Path(pdf)) + " | grep Pages").Out;
  }
  TempDir dir_;
};

TEST_F(SeveralResults, OneDocumentHoldsEveryResultInOrder) {
  ASSERT_EQ(Make("both.pdf", "second.txt", false).Status, 0);
  ASSERT_EQ(RunReportTool(dir_.path(), {"--definition", kSamples + "/sample.ini", "--data",
                                        Path("first.txt"), "--pdf", Path("one.pdf"), "--quiet"})
                .Status,
            0);
  const std::string one = Pages("one.pdf");
  const int single = std::stoi(one.substr(one.find_first_of("0123456789")));
  const std::string both = Pages("both.pdf");
  EXPECT_EQ(std::stoi(both.substr(both.find_first_of("0123456789"))), 2 * single);
  const std::string text = Text("both.pdf");
  const std::size_t first = text.find("CBL-2024-48687");
  const std::size_t second = text.find("CBL-SECOND-001");
  ASSERT_NE(first, std::string::npos);
  ASSERT_NE(second, std::string::npos);
  EXPECT_LT(first, second);
  EXPECT_EQ(text.find("CBL-2024-48687", second), std::string::npos);
}

TEST_F(SeveralResults, SeparateWritesOneFileEachAndNeverOneOverTheOther) {
  ASSERT_EQ(Make("out", "second.txt", true).Status, 0);
  // Both carry the sample's APPNAME: the second gets its own name.
  const std::string a = Text("out/Vantrel sample certificate.pdf");
  const std::string b = Text("out/Vantrel sample certificate-2.pdf");
  EXPECT_NE(a.find("CBL-2024-48687"), std::string::npos);
  EXPECT_NE(b.find("CBL-SECOND-001"), std::string::npos);
}

TEST_F(SeveralResults, AResultThatDoesNotLoadLeavesNoDocument) {
  EXPECT_EQ(Make("broken.pdf", "missing.txt", false).Status, 1);
  EXPECT_FALSE(fs::exists(Path("broken.pdf")));
  for (const auto& e : fs::directory_iterator(dir_.path()))
    EXPECT_EQ(e.path().filename().string().find(".part"), std::string::npos) << e.path();
}

}  // namespace
}  // namespace vantrel

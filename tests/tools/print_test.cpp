#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "common/tool_run.h"
#include "sample_files.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::kSampleData;
using testing::kSampleIni;

// The sample definition with a PDF run's settings in its [GENERAL] section.
std::string PdfDefinition(const testing::TempDir& dir, const std::string& spool,
                          const std::string& appName, bool testList) {
  std::ifstream in(kSampleIni);
  std::stringstream text;
  text << in.rdbuf();
  std::string ini = text.str();
  // The sample's one APPNAME line gives way to the run's settings.
  const std::size_t at = ini.find("\nAPPNAME=");
  const std::size_t end = ini.find('\n', at + 1);
  ini.replace(at + 1, end - at - 1,
              "APPNAME=" + appName + "\nAUTOPDF_TEMPDIR=" + spool +
                  "\nTESTSUMMARY=" + (testList ? "TRUE" : "FALSE"));
  fs::copy(std::string(VANTREL_SOURCE_DIR) + "/samples/logo.png", dir.path() / "logo.png");
  return dir.Write("pdf.ini", ini).string();
}

std::string PdfText(const fs::path& pdf) {
  return testing::RunShell("pdftotext " + testing::ShellQuote(pdf.string()) + " -").Out;
}

class PrintWithoutServer : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::vector<std::string> env;
  void SetUp() override {
    env = {"CUPS_SERVER=" + (dir.path() / "no-cupsd.sock").string()};
    fs::create_directory(dir.path() / "spool");
  }
};

TEST_F(PrintWithoutServer, TheBuiltInPrinterIsListedAsTheDefault) {
  const testing::ToolRun run = testing::RunReportTool(dir.path(), {"--list-printers"}, env);
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "Vantrel PDF\tdefault\n");
}

TEST_F(PrintWithoutServer, APdfRunEndsUnderAppNameWithTheTestListFirst) {
  const std::string final = (dir.path() / "out" / "cable.pdf").string();
  const std::string ini = PdfDefinition(dir, (dir.path() / "spool").string(), final, true);
  const testing::ToolRun run = testing::RunReportTool(
      dir.path(), {"--definition", ini, "--data", kSampleData, "--print"}, env);
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Err.find("Printing Insertion loss - CAT6A FFTP SEQUENCE  (1/"),
            std::string::npos)
      << run.Err;  // the title as the page shows it
  EXPECT_EQ(run.Err.find("TEST_DESCRIPTION"), std::string::npos);
  EXPECT_EQ(run.Err.find("QStandardPaths"), std::string::npos);
  const std::string text = PdfText(final);
  EXPECT_NE(text.find("TEST SUMMARY"), std::string::npos);
  EXPECT_NE(text.find("Insertion loss - CAT6A FFTP SEQUENCE"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(dir.path() / "spool"));  // the temporary PDF is gone

  // A second run finds the PDF there and leaves it alone unless --overwrite.
  const auto before = fs::last_write_time(final);
  const testing::ToolRun again = testing::RunReportTool(
      dir.path(), {"--definition", ini, "--data", kSampleData, "--print", "--quiet"}, env);
  EXPECT_EQ(again.Status, 3);
  EXPECT_NE(again.Err.find("already exists"), std::string::npos);
  EXPECT_EQ(fs::last_write_time(final), before);
  const testing::ToolRun replaced = testing::RunReportTool(
      dir.path(), {"--definition", ini, "--data", kSampleData, "--print", "--quiet", "--overwrite"},
      env);
  EXPECT_EQ(replaced.Status, 0) << replaced.Err;
}

TEST_F(PrintWithoutServer, SeveralResultsMakeOneJobOrOneEachWithSeparate) {
  const std::string final = (dir.path() / "cable.pdf").string();
  const std::string ini = PdfDefinition(dir, (dir.path() / "spool").string(), final, false);
  const std::string second = (dir.path() / "second.txt").string();
  fs::copy(kSampleData, second);
  const testing::ToolRun one = testing::RunReportTool(
      dir.path(),
      {"--definition", ini, "--data", kSampleData, "--data", second, "--print", "--quiet"}, env);
  ASSERT_EQ(one.Status, 0) << one.Err;
  const std::string pages =
      testing::RunShell("pdfinfo " + testing::ShellQuote(final) + " | grep Pages").Out;
  fs::remove(final);
  const testing::ToolRun each =
      testing::RunReportTool(dir.path(),
                             {"--definition", ini, "--data", kSampleData, "--data", second,
                              "--print", "--quiet", "--separate", "--overwrite"},
                             env);
  ASSERT_EQ(each.Status, 0) << each.Err;
  const std::string half =
      testing::RunShell("pdfinfo " + testing::ShellQuote(final) + " | grep Pages").Out;
  const auto count = [](const std::string& line) { return std::atoi(line.c_str() + 6); };
  EXPECT_EQ(count(pages), 2 * count(half)) << pages << half;
}

TEST_F(PrintWithoutServer, AnUnknownPrinterExitsFourAndWritesNothing) {
  const testing::ToolRun run = testing::RunReportTool(
      dir.path(),
      {"--definition", kSampleIni, "--data", kSampleData, "--print", "--printer", "office-3"}, env);
  EXPECT_EQ(run.Status, 4);
  const std::string reason = "no printer named 'office-3'";
  EXPECT_NE(run.Err.find(reason), std::string::npos);
  EXPECT_EQ(run.Err.find(reason), run.Err.rfind(reason)) << run.Err;  // told once
  EXPECT_EQ(run.Err.find("Printing Insertion"), std::string::npos);   // refused before any page
}

TEST(PrintToQueue, TheCiQueueTakesTheJobAndThePdfEndsUnderAppName) {
  const char* queue = std::getenv("VANTREL_TEST_QUEUE");
  const char* spool = std::getenv("VANTREL_TEST_QUEUE_PDF_DIR");
  if (queue == nullptr || spool == nullptr)
    GTEST_SKIP() << "no test print server: eval \"$(scripts/cups-test-server start DIR)\" first";
  testing::TempDir dir;
  const std::string final = (dir.path() / "queued.pdf").string();
  const std::string ini = PdfDefinition(dir, spool, final, true);
  const auto files = [&] {
    int n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(spool)) ++n;
    return n;
  };
  const int before = files();
  const testing::ToolRun run = testing::RunReportTool(
      dir.path(),
      {"--definition", ini, "--data", kSampleData, "--print", "--printer", queue, "--quiet"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(PdfText(final).find("TEST SUMMARY"), std::string::npos);
  EXPECT_EQ(files(), before);  // the temporary PDF is gone
}

}  // namespace
}  // namespace vantrel

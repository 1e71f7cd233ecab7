#include <gtest/gtest.h>

#include "common/recording_prompter.h"
#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "render/page_target.h"
#include "testlist/test_list_printer.h"
#include "testlist/test_list_reader.h"

namespace vantrel {
namespace {

const char* const kTabFile =
    "Results\tCBL-1.txt\n"
    "Test Started\t02/06/2024 10:54:51\n"
    "Operator\tK. L\n"
    "PRODUCT :\n"
    "Product Code\tC6\n"
    "Product Name\tCat 6\n"
    "Drawing Number\tDWG\n"
    "Conductor\t23 AWG\n"
    "Jacket\tLSZH\tviolet\n"
    "Cable Length(m)\t150.5\n"
    "Pre-Test Comments\tend A\n"
    "EXIT STATUS:\n"
    "Test Sequence ABORTED and FAILED\n"
    "Pass/Fail Status\tFAILED\n"
    "\n"
    "TEST SUMMARY :\n"
    "Attenuation Near Test\tPASS\tClass EA\n"
    "Return Loss Near Test\tFAIL (x)\tClass EA\n"
    "\n"
    "Ignored Test\tPASS\tClass EA\n";

TEST(ReadTestList, ReadsHeaderStatusAndSummaryOfATabFile) {
  const TestListData d = ReadTestList(kTabFile);
  EXPECT_TRUE(d.Found);
  EXPECT_EQ(d.ResultsName, "CBL-1.txt");
  EXPECT_EQ(d.Header[33], "02/06/2024 10:54:51");
  // Three lines after PRODUCT : are skipped; the rest up to the length are kept.
  EXPECT_EQ(d.Header[1], "Conductor\t23 AWG");
  EXPECT_EQ(d.Header[2], "Jacket\tLSZH\tviolet");
  EXPECT_EQ(d.Header[3], "");
  EXPECT_EQ(d.Header[31], "150");  // whole number, halves to even
  EXPECT_EQ(d.Header[32], "end A");
  EXPECT_EQ(d.ExitText, "FAILED");
  EXPECT_EQ(d.EndText, "ABORTED");
  EXPECT_TRUE(d.Failed);
  EXPECT_EQ(d.Completion, 2);
  ASSERT_EQ(d.Rows.size(), 2u);  // the summary ends at the empty line
  EXPECT_EQ(d.Rows[1].Name, "Return Loss Near Test");
  EXPECT_EQ(d.Rows[1].Status, "FAIL (x)");
  EXPECT_EQ(d.Rows[1].Specification, "Class EA");
}

TEST(ReadTestList, ACommaInTheFirstLineSwitchesTheWholeFileToCommas) {
  const TestListData d = ReadTestList(
      "Results,a.txt\r\nEXIT STATUS:\r\nExit,PASSED\r\nEnd,COMPLETED\r\nTEST SUMMARY :\r"
      "NEXT,PASS\r\n");
  EXPECT_EQ(d.ResultsName, "a.txt");
  EXPECT_EQ(d.ExitText, "PASSED");
  EXPECT_EQ(d.EndText, "COMPLETED");
  EXPECT_FALSE(d.Failed);
  EXPECT_EQ(d.Completion, 3);
  ASSERT_EQ(d.Rows.size(), 1u);  // a lone CR ends a line too
  EXPECT_EQ(d.Rows[0].Status, "PASS");
  EXPECT_EQ(d.Rows[0].Specification, "");
}

TEST(ReadTestList, NoSummaryLineMeansNothingToPrint) {
  EXPECT_FALSE(ReadTestList("Results\tx\nTEST SUMMARY\n").Found);
  EXPECT_FALSE(ReadTestList("").Found);
  EXPECT_FALSE(ReadTestList("PRODUCT :\na\n").Found);  // cut short inside the product block
}

// The texts of the laid-out pages in order, with their colours.
struct TextRun {
  std::string Text;
  Rgb Colour;
  bool Bold;
  float Left;
};

std::vector<TextRun> Runs(TextMode& out) {
  std::vector<TextRun> runs;
  for (const PagePlan& page : out.Pages())
    for (const PlanItem& item : page.Items)
      if (const auto* t = std::get_if<PlanText>(&item))
        runs.push_back({t->Text, t->Colour, t->Bold, t->Run.Left});
  return runs;
}

const TextRun* Find(const std::vector<TextRun>& runs, const std::string& text) {
  for (const TextRun& r : runs)
    if (r.Text == text) return &r;
  return nullptr;
}

TEST(LayOutTestList, StatusWordsColoursAndColumns) {
  FixedWidthMetrics metrics;
  TextMode out(210, 297, metrics);
  AppSettings settings;
  settings.FailText = "REJECTED";
  LayOutTestList(ReadTestList(kTabFile), settings, out);
  const std::vector<TextRun> runs = Runs(out);
  const TextRun* title = Find(runs, "TEST SUMMARY");
  ASSERT_NE(title, nullptr);
  EXPECT_TRUE(title->Bold);
  EXPECT_EQ(title->Colour, 0xFF0000u);  // blue
  const float cell = metrics.TextWidth("x", {"Arial", 9.75f, false});
  EXPECT_NEAR(title->Left, 105 - metrics.TextWidth("TEST SUMMARY", {"Arial", 9.75f, true}) / 2,
              0.01);
  const TextRun* status = Find(runs, "REJECTED");
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->Colour, 0x0000FFu);  // red
  EXPECT_NE(Find(runs, "  (Aborted)"), nullptr);
  EXPECT_NE(Find(runs, "              Cable Length(m)"), nullptr);
  EXPECT_NE(Find(runs, "              Specification"), nullptr);  // one for every test
  const TextRun* fail = Find(runs, "FAIL ");
  ASSERT_NE(fail, nullptr);
  EXPECT_EQ(fail->Colour, 0x0000FFu);
  EXPECT_NEAR(fail->Left, 64 * cell, 0.01);
  const TextRun* after = Find(runs, " (x)");
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(after->Colour, kBlack);
  EXPECT_EQ(Find(runs, "(Class EA)"), nullptr);
  const TextRun* colon = Find(runs, ":  ");
  ASSERT_NE(colon, nullptr);
  EXPECT_NEAR(colon->Left, 30 * cell, 0.01);
}

TEST(LayOutTestList, PassedWithDifferentSpecificationsAndNoLength) {
  FixedWidthMetrics metrics;
  TextMode out(210, 297, metrics);
  LayOutTestList(ReadTestList("Results\tr\nPRODUCT :\na\nb\nc\nCable Length(m)\t0\n"
                              "EXIT STATUS:\nSequence COMPLETED and PASSED\nTEST SUMMARY :\n"
                              "A\tPASS\tClass D\nB\tPASS\tClass E\n"),
                 AppSettings{}, out);
  const std::vector<TextRun> runs = Runs(out);
  const TextRun* pass = Find(runs, "PASS");  // the PASSTEXT default
  ASSERT_NE(pass, nullptr);
  EXPECT_EQ(pass->Colour, 0x00FF00u);
  EXPECT_EQ(Find(runs, "              Cable Length(m)"), nullptr);
  EXPECT_EQ(Find(runs, "              Specification"), nullptr);
  const TextRun* classText = Find(runs, "(Class E)");
  ASSERT_NE(classText, nullptr);
  EXPECT_NEAR(classText->Left, 94 * metrics.TextWidth("x", {"Arial", 9.75f, false}), 0.01);
  EXPECT_EQ(Find(runs, "  (Aborted)"), nullptr);
}

TEST(LayOutTestList, ALongListGoesOnToMorePagesAndLosesNoLine) {
  std::string file = "Results\tr\nTEST SUMMARY :\n";
  for (int i = 0; i < 150; ++i) file += "Test " + std::to_string(i) + "\tPASS\tX\n";
  FixedWidthMetrics metrics;
  TextMode out(210, 297, metrics);
  LayOutTestList(ReadTestList(file), AppSettings{}, out);
  EXPECT_GE(out.Pages().size(), 2u);
  const std::vector<TextRun> runs = Runs(out);
  EXPECT_NE(Find(runs, "              Test 0"), nullptr);
  EXPECT_NE(Find(runs, "              Test 149"), nullptr);
  for (const PagePlan& page : out.Pages())
    for (const PlanItem& item : page.Items)
      if (const auto* t = std::get_if<PlanText>(&item)) {
        EXPECT_LE(t->Run.Bottom(), 297.0f);
      }
}

TEST(PrintTestList, ThePdfHoldsTheListAndAFileWithoutSummaryPrintsNothing) {
  testing::TempDir dir;
  const std::string data = dir.Write("cable.txt", kTabFile).string();
  const std::string pdf = (dir.path() / "list.pdf").string();
  testing::RecordingPrompter ask;
  {
    PdfTarget target(pdf, {.WidthMm = 210, .HeightMm = 297}, "list");
    ASSERT_TRUE(target.Begin());
    JobPageState job;
    EXPECT_TRUE(PrintTestList(data, AppSettings{}, target, job, ask, PrintFontMetrics()));
    EXPECT_FALSE(job.FirstPage);  // the reports go on on a new page
    EXPECT_TRUE(target.End());
  }
  const testing::ShellResult text =
      testing::RunShell("pdftotext -layout " + testing::ShellQuote(pdf) + " -");
  for (const char* expected : {"TEST SUMMARY", "Filename", "CBL-1.txt", "Test Status", "FAIL",
                               "(Aborted)", "TEST LIST", "Return Loss Near Test", "(x)"})
    EXPECT_NE(text.Out.find(expected), std::string::npos) << expected << "\n" << text.Out;

  const std::string plain = dir.Write("plain.txt", "Results\tx\n").string();
  PictureTarget none({.WidthMm = 210, .HeightMm = 297});
  JobPageState job;
  EXPECT_FALSE(PrintTestList(plain, AppSettings{}, none, job, ask, PrintFontMetrics()));
  EXPECT_EQ(none.PagesStarted(), 0);
  EXPECT_TRUE(job.FirstPage);
  EXPECT_TRUE(ask.Messages.empty());
}

}  // namespace
}  // namespace vantrel

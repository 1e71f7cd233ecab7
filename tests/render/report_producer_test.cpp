#include "render/report_producer.h"

#include <gtest/gtest.h>

#include "common/recording_prompter.h"
#include "common/small_disk.h"
#include "common/temp_dir.h"
#include "fake_data_source.h"
#include "render/report_job.h"

namespace vantrel {
namespace {

// A picture target whose page breaks can be made to fail.
class FlakyTarget : public PictureTarget {
 public:
  explicit FlakyTarget(PaperSize paper) : PictureTarget(paper) {}
  int FailNewPages = 0;
  bool NewPage() override {
    if (FailNewPages > 0) {
      --FailNewPages;
      return false;
    }
    return PictureTarget::NewPage();
  }
};

class ProducerTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  testing::FakeDataSource data;
  testing::RecordingPrompter ask;
  RenderContext context{.State = *state, .Data = data, .Ask = ask};

  void SetUp() override {
    data.Results["Attenuation Near"] = testing::GraphResult(
        {"1", "2", "4"}, {{"-1", "-2", "-3"}, {"-1", "-2", "-3"}}, {"Freq", "Pair 1", "Pair 2"});
    for (int r = 0; r < 3; ++r) {
      ReportDefinition& report = state->Reports[static_cast<std::size_t>(r)];
      report.Title = "Report " + std::to_string(r + 1);
      report.SlotsX = 1;
      report.SlotsY = 1;
      report.GraphCount = 1;
      report.MultiPage = false;
      report.Graphs[0].Data[0] = "Attenuation Near";
      report.Graphs[0].Cols[0] = {1, 2, 3};
      report.Graphs[0].Slot = 1;
    }
  }
};

TEST_F(ProducerTest, TooSmallAPaperIsReportedAndNothingIsDrawn) {
  PictureTarget target({.WidthMm = 49.9, .HeightMm = 297});
  ASSERT_TRUE(target.Begin());
  JobPageState job;
  ReportProducer producer(context);
  EXPECT_EQ(producer.ProduceReport(0, false, target, job), ProduceOutcome::PaperTooSmall);
  ASSERT_EQ(ask.Messages.size(), 1u);
  EXPECT_EQ(ask.Messages[0].Text, "The Paper size is too small.\rCheck the Printer Setup");
  EXPECT_TRUE(data.Requests.empty());
  EXPECT_FALSE(producer.Busy());
}

TEST_F(ProducerTest, ASecondCallWhileBusyReturnsAtOnce) {
  PictureTarget target({.WidthMm = 210, .HeightMm = 297});
  ASSERT_TRUE(target.Begin());
  JobPageState job, inner;
  ReportProducer producer(context);
  ProduceOutcome nested = ProduceOutcome::Drawn;
  producer.ProcessEvents = [&]() { nested = producer.ProduceReport(1, false, target, inner); };
  EXPECT_EQ(producer.ProduceReport(0, false, target, job), ProduceOutcome::Drawn);
  EXPECT_EQ(nested, ProduceOutcome::Busy);
  EXPECT_EQ(target.PagesStarted(), 1);
}

TEST_F(ProducerTest, CancelStopsBetweenItems) {
  PictureTarget target({.WidthMm = 210, .HeightMm = 297});
  ASSERT_TRUE(target.Begin());
  JobPageState job;
  ReportProducer producer(context);
  producer.ProcessEvents = [&]() { producer.RequestCancel(); };
  EXPECT_EQ(producer.ProduceReport(0, false, target, job), ProduceOutcome::Cancelled);
  EXPECT_TRUE(data.Requests.empty());
}

TEST_F(ProducerTest, MultiPageReportsContinueWhenPrintingButNotInPreview) {
  state->Reports[0].MultiPage = true;
  data.MoreColsBelow = 2;  // one more page after the first
  PictureTarget printed({.WidthMm = 210, .HeightMm = 297});
  ASSERT_TRUE(printed.Begin());
  JobPageState job;
  ReportProducer producer(context);
  EXPECT_EQ(producer.ProduceReport(0, false, printed, job), ProduceOutcome::Drawn);
  EXPECT_EQ(printed.PagesStarted(), 2);

  PictureTarget preview({.WidthMm = 210, .HeightMm = 297});
  ASSERT_TRUE(preview.Begin());
  JobPageState previewJob;
  EXPECT_EQ(producer.ProduceReport(0, true, preview, previewJob), ProduceOutcome::Drawn);
  EXPECT_EQ(preview.PagesStarted(), 1);
}

TEST_F(ProducerTest, JobSkipsUntestedReportsAndStartsEachReportOnANewPage) {
  ReportSelection selection{};
  selection[0] = selection[2] = true;
  PictureTarget target({.WidthMm = 210, .HeightMm = 297});
  std::vector<std::string> titles;
  const ReportJobResult r = ProduceSelectedReports(
      context, target, selection, [&](const std::string& t, int, int) { titles.push_back(t); });
  EXPECT_EQ(r.Selected, 2);
  EXPECT_EQ(r.Produced, 2);
  EXPECT_TRUE(r.AllProduced());
  EXPECT_EQ(titles, (std::vector<std::string>{"Report 1", "Report 3"}));
  EXPECT_EQ(target.PagesStarted(), 2);

  data.Tested = false;
  PictureTarget none({.WidthMm = 210, .HeightMm = 297});
  const ReportJobResult skipped = ProduceSelectedReports(context, none, selection);
  EXPECT_EQ(skipped.Skipped, 2);
  EXPECT_EQ(none.PagesStarted(), 0);  // nothing drawn, no page begun
  EXPECT_FALSE(skipped.Ended);
}

TEST_F(ProducerTest, APrinterFaultIsAskedAboutAndTheRunGoesOn) {
  ReportSelection selection{};
  selection[0] = selection[1] = selection[2] = true;
  FlakyTarget target({.WidthMm = 210, .HeightMm = 297});
  target.FailNewPages = 2;  // report 2's page break fails twice
  ask.Script({PromptAnswer::Retry, PromptAnswer::Cancel, PromptAnswer::No});
  const ReportJobResult r = ProduceSelectedReports(context, target, selection);
  ASSERT_EQ(ask.Messages.size(), 3u);
  EXPECT_EQ(ask.Messages[0].Text, "Problem Printing to the Printer\rCheck that it is online");
  EXPECT_EQ(ask.Messages[0].Buttons, PromptButtons::RetryCancel);
  EXPECT_EQ(ask.Messages[2].Text, "Do you want to close the report software?");
  EXPECT_EQ(ask.Messages[2].Title, "Reports");
  EXPECT_EQ(r.Produced, 2);
  EXPECT_EQ(r.Failed, 1);
  EXPECT_FALSE(r.AllProduced());
  EXPECT_FALSE(r.Quit);
}

TEST_F(ProducerTest, AFileOutputsFaultIsToldAsItsReasonNeverAsAPrinters) {
  ReportSelection selection{};
  selection[0] = true;
  // One A3 page at 2400 dpi would take 4.1 GiB.
  ImageTarget pages({.WidthMm = 297, .HeightMm = 420}, 2400, {});
  ask.Script({PromptAnswer::Cancel, PromptAnswer::No});
  const ReportJobResult r = ProduceSelectedReports(context, pages, selection);
  EXPECT_FALSE(r.AllProduced());
  ASSERT_EQ(ask.Messages.size(), 2u);
  EXPECT_EQ(ask.Messages[0].Text,
            "Error: a page of 28063 x 39685 pixels (2400 dpi) needs 4.1 GiB, more than the 2 "
            "GiB a page bitmap may take; 1666 dpi is the most this paper allows");
  EXPECT_EQ(PageBitmapRefusal({.WidthMm = 297, .HeightMm = 420}, 1666), "");
  EXPECT_EQ(PageBitmapRefusal({.WidthMm = 210, .HeightMm = 297}, 2356), "");
  EXPECT_NE(PageBitmapRefusal({.WidthMm = 210, .HeightMm = 297}, 2400), "");
}

TEST_F(ProducerTest, APdfOnAFullDiskIsNotEndedAsASuccess) {
  testing::SmallDisk disk("16k");
  if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
  ReportSelection selection{};
  selection[0] = selection[1] = selection[2] = true;
  // Room for half of the PDF: its writes start well and fail on the way.
  testing::TempDir scratch;
  std::filesystem::copy_file(scratch.Write("half", std::string(8192, 'x')), disk.path() / "half");
  const std::string pdf = (disk.path() / "out.pdf").string();
  PdfTarget target(pdf, {.WidthMm = 210, .HeightMm = 297}, "Job title");
  const ReportJobResult r = ProduceSelectedReports(context, target, selection);
  EXPECT_FALSE(r.Ended);
  EXPECT_EQ(r.Error, "cannot write " + pdf + ": No space left on device");
  EXPECT_FALSE(r.AllProduced());
}

TEST_F(ProducerTest, PdfHoldsTitlesHeaderLabelsAndMarginLines) {
  state->Header.HeaderItems[0] = "Cable ID";
  state->Header.HeaderTexts[0] = "Cable Reference";
  state->Reports[0].Graphs[0].MarginType = 1;
  data.Results["Attenuation Near"].LimitMargin = "-0.250 dB @ 2.000 MHz";
  ReportSelection selection{};
  selection[0] = true;
  testing::TempDir dir;
  const std::string pdf = (dir.path() / "out.pdf").string();
  PdfTarget target(pdf, {.WidthMm = 210, .HeightMm = 297}, "Job title");
  const ReportJobResult r = ProduceSelectedReports(context, target, selection);
  ASSERT_TRUE(r.AllProduced()) << r.Error;
  ASSERT_TRUE(r.Ended);
  const std::string text = dir.path() / "out.txt";
  ASSERT_EQ(std::system(("pdftotext '" + pdf + "' '" + text + "'").c_str()), 0);
  const std::string contents = testing::ReadFileBytes(text);
  EXPECT_NE(contents.find("Report 1"), std::string::npos);
  EXPECT_NE(contents.find("Cable Reference"), std::string::npos);
  EXPECT_NE(contents.find("value 1"), std::string::npos);
  EXPECT_NE(contents.find("Limit Margin : -0.250 dB @ 2.000 MHz"), std::string::npos);
}

std::string PdfText(const testing::TempDir& dir, const std::string& pdf) {
  const std::string text = (dir.path() / "text.txt").string();
  if (std::system(("pdftotext '" + pdf + "' '" + text + "'").c_str()) != 0) return {};
  return testing::ReadFileBytes(text);
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST_F(ProducerTest, FailedReportShowsItsStatusAndTheLargeMark) {
  state->Settings.OverallPassFail = false;
  state->Settings.BigFail = true;
  state->Settings.FailText = "REJECTED";
  state->Header.HeaderItems[0] = "Test Status";
  data.Results["Bad Test"] = data.Results["Attenuation Near"];
  data.Results["Bad Test"].Failed = true;
  state->Reports[1].Graphs[0].Data[0] = "Bad Test";
  ReportSelection selection{};
  selection[0] = selection[1] = true;
  testing::TempDir dir;
  const std::string pdf = (dir.path() / "status.pdf").string();
  PdfTarget target(pdf, {.WidthMm = 210, .HeightMm = 297}, "Status");
  ASSERT_TRUE(ProduceSelectedReports(context, target, selection).AllProduced());
  const std::string text = PdfText(dir, pdf);
  EXPECT_EQ(Count(text, "REJECTED"), 2);  // the status of report 2 and its large mark
  EXPECT_EQ(Count(text, "PASS"), 1);      // report 1 passed, without a mark
}

// Without a logo the mark needs a band of its own, so the page is laid out again: from
// the same fetch, the test read once and the first set's difference taken once.
TEST_F(ProducerTest, APageLaidOutAgainForTheMarkReadsItsDataOnce) {
  struct Plans : ReportObserver {
    std::vector<PagePlan> Pages;
    void PagePlanned(const PagePlan& page) override { Pages.push_back(page); }
  } plans;
  context.Observer = &plans;
  state->Settings.OverallPassFail = false;
  state->Settings.BigFail = true;
  data.Results["Attenuation Near"].Failed = true;
  state->Reports[0].Graphs[0].Difference = true;
  PictureTarget target({.WidthMm = 210, .HeightMm = 297});
  ASSERT_TRUE(target.Begin());
  JobPageState job;
  ReportProducer producer(context);
  ASSERT_EQ(producer.ProduceReport(0, false, target, job), ProduceOutcome::Drawn);
  EXPECT_EQ(data.Requests.size(), 1u);
  ASSERT_EQ(plans.Pages.size(), 1u);
  ASSERT_EQ(plans.Pages[0].Graphs.size(), 1u);
  EXPECT_EQ(plans.Pages[0].Graphs[0].Values[0], (std::vector<double>{0, 0, 0}));
  EXPECT_TRUE(job.HeaderDone);
}

// A table too long for its slot is told of once, although the failed page is laid
// out a second time for its mark.
TEST_F(ProducerTest, RowsLeftOutOfATableAreToldOnce) {
  state->Settings.OverallPassFail = false;
  state->Settings.BigFail = true;
  ReportDefinition& report = state->Reports[0];
  report.SlotsY = 8;
  report.GraphCount = 0;
  report.Graphs[0] = {};
  report.TableCount = 1;
  TableDefinition& table = report.Tables[0];
  table.Data = "Return Loss";
  table.Cols = {1, 2};
  table.Slot = 1;
  ReadTestDataResult r;
  r.Found = true;
  r.Failed = true;
  r.Grid.assign(3, {});
  for (int f = 1; f <= 60; ++f) {
    table.Freqs.push_back(std::to_string(f));
    for (auto& column : r.Grid) column.push_back(std::to_string(f));
  }
  data.Results["Return Loss"] = r;
  PictureTarget target({.WidthMm = 210, .HeightMm = 297});
  ASSERT_TRUE(target.Begin());
  JobPageState job;
  ReportProducer producer(context);
  ASSERT_EQ(producer.ProduceReport(0, false, target, job), ProduceOutcome::Drawn);
  ASSERT_EQ(ask.Messages.size(), 1u);
  EXPECT_NE(ask.Messages[0].Text.find("Table 1 of report 1 (Report 1) has "), std::string::npos)
      << ask.Messages[0].Text;
  EXPECT_NE(ask.Messages[0].Text.find("left off the page"), std::string::npos);
}

TEST_F(ProducerTest, HeaderOnTheFirstPageOnly) {
  state->Header.HeaderItems[0] = "Cable ID";
  state->Header.FirstPageOnly = true;
  ReportSelection selection{};
  selection[0] = selection[1] = true;
  PictureTarget target({.WidthMm = 210, .HeightMm = 297});
  ASSERT_TRUE(ProduceSelectedReports(context, target, selection).AllProduced());
  EXPECT_EQ(target.PagesStarted(), 2);
  EXPECT_EQ(data.HeaderReads, 1);
}

TEST_F(ProducerTest, PrinterTargetPrintsToItsDevice) {
  testing::TempDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const std::string pdf = (dir.path() / "printer.pdf").string();
  printer.setOutputFileName(QString::fromStdString(pdf));
  PrinterTarget target(printer);
  EXPECT_GT(target.PageWidthMm(), 150);
  ReportSelection selection{};
  selection[0] = selection[2] = true;
  const ReportJobResult r = ProduceSelectedReports(context, target, selection);
  ASSERT_TRUE(r.AllProduced());
  EXPECT_TRUE(r.Ended);
  const std::string text = PdfText(dir, pdf);
  EXPECT_NE(text.find("Report 3"), std::string::npos);
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// Every item of a page in painting order, with what tells it apart.
std::string Painted(const PagePlan& page) {
  std::string out;
  const auto at = [](const MmRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + " ";
  };
  for (const PlanItem& item : page.Items) {
    out += std::to_string(item.index()) + ":";
    if (const auto* text = std::get_if<PlanText>(&item)) out += text->Text + "@" + at(text->Box);
    if (const auto* box = std::get_if<PlanBox>(&item)) out += at(box->Rect);
    if (const auto* curve = std::get_if<PlanCurve>(&item))
      for (const auto& run : curve->Runs)
        out += std::to_string(run.size()) + "/" + std::to_string(run.front().Y) + " ";
    out += "\n";
  }
  for (const PlanGraph& graph : page.Graphs) out += "graph " + std::to_string(graph.Number) + "\n";
  return out;
}

// Graphs laid out two at a time come onto the page in the order one thread draws
// them: where graphs overlap, the later one is painted over the earlier.
TEST_F(ProducerTest, GraphsLaidOutAtOnceArePaintedInTheirOrder) {
  data.Results["Return Loss"] = testing::GraphResult(
      {"1", "10", "100"}, {{"-30", "-25", "-20"}, {"-28", "-26", "-18"}}, {"Freq", "A", "B"});
  ReportDefinition& report = state->Reports[0];
  report.SlotsX = 2;
  report.SlotsY = 2;
  report.GraphCount = 5;
  for (int g = 0; g < 5; ++g) {
    GraphDefinition& graph = report.Graphs[static_cast<std::size_t>(g)];
    graph.Data[0] = g % 2 == 0 ? "Attenuation Near" : "Return Loss";
    graph.Cols[0] = {1, 2, 3};
    graph.Slot = static_cast<int16_t>(g % 4 + 1);
    graph.Title = "Graph " + std::to_string(g + 1);
  }
  report.Graphs[0].SizeX = 2;  // under graph 2

  std::string pages[2];
  for (int threads = 1; threads <= 2; ++threads) {
    struct Plans : ReportObserver {
      std::vector<PagePlan> Pages;
      void PagePlanned(const PagePlan& page) override { Pages.push_back(page); }
    } plans;
    context.Observer = &plans;
    context.LayoutThreads = threads;
    PictureTarget target({210, 297});
    ASSERT_TRUE(target.Begin());
    JobPageState job;
    ReportProducer producer(context);
    ASSERT_EQ(producer.ProduceReport(0, false, target, job), ProduceOutcome::Drawn);
    ASSERT_EQ(plans.Pages.size(), 1u);
    EXPECT_EQ(plans.Pages[0].Graphs.size(), 5u);
    pages[threads - 1] = Painted(plans.Pages[0]);
  }
  EXPECT_NE(pages[0].find("Graph 5"), std::string::npos);
  EXPECT_EQ(pages[1], pages[0]);
}

}  // namespace
}  // namespace vantrel

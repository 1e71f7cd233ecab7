// The preview without widgets: reading the zoom box, clicks on the page, the scroll
// rule and the report steps.

#include "model/preview_model.h"

#include <gtest/gtest.h>

#include <QImage>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"
#include "render/fake_data_source.h"

namespace vantrel {
namespace {

struct ZoomCase {
  const char* Typed;
  double Zoom;
  const char* Shown;
};

TEST(PreviewZoomBox, TypedTextIsAPercentageFrom25To200ElseAFactorAndIsHeldInRange) {
  const ZoomCase cases[] = {
      {"50", 0.5, "50%"},   {"0.5", 0.5, "50%"},    {"20", 2.0, "200%"},  {"150%", 1.5, "150%"},
      {"1.5", 1.5, "150%"}, {"300", 2.0, "200%"},   {"10", 2.0, "200%"},  {"25", 0.25, "25%"},
      {"24", 2.0, "200%"},  {"200", 2.0, "200%"},   {"0.1", 0.25, "25%"}, {"  75", 0.75, "75%"},
      {"0", 1.0, "100%"},   {"-50", 1.0, "100%"},   {"", 1.0, "100%"},    {"zoom", 1.0, "100%"},
      {"6%", 2.0, "200%"},  {"33.3", 0.333, "33%"},
  };
  for (const ZoomCase& c : cases) {
    EXPECT_DOUBLE_EQ(ParseZoom(c.Typed), c.Zoom) << c.Typed;
    EXPECT_EQ(ZoomText(ParseZoom(c.Typed)), c.Shown) << c.Typed;
  }
  // Halves round away from zero, as the box's number format does.
  EXPECT_EQ(ZoomText(0.125), "13%");
  EXPECT_EQ(ZoomText(0.0625), "6%");
  EXPECT_EQ(ZoomText(4), "400%");
}

TEST(PreviewScrollRule, BarsAreOnOnceThePageReachesTheViewAndPanOnlyTheOverflow) {
  // A4 at 100 % in a view 200 mm wide and 150 mm high.
  PreviewScroll s = ScrollRule(1.0, 210, 297, 200, 150, 0.5, 1.0);
  EXPECT_TRUE(s.HEnabled);
  EXPECT_TRUE(s.VEnabled);
  EXPECT_DOUBLE_EQ(s.OverflowX, 10);
  EXPECT_DOUBLE_EQ(s.OverflowY, 147);
  EXPECT_DOUBLE_EQ(s.Left, 5);
  EXPECT_DOUBLE_EQ(s.Top, 147);
  EXPECT_DOUBLE_EQ(s.MarginX, 0);

  // Exactly as wide as the view: the bar is on, with nothing to pan.
  s = ScrollRule(1.0, 210, 297, 210, 400, 1.0, 1.0);
  EXPECT_TRUE(s.HEnabled);
  EXPECT_DOUBLE_EQ(s.Left, 0);
  // A page that fits is not moved by a bar left over from a larger zoom, and sits in
  // the middle of the view.
  EXPECT_FALSE(s.VEnabled);
  EXPECT_DOUBLE_EQ(s.Top, 0);
  EXPECT_DOUBLE_EQ(s.MarginY, 51.5);

  s = ScrollRule(2.0, 210, 297, 200, 150, 1.0, 0.0);
  EXPECT_DOUBLE_EQ(s.OverflowX, 220);
  EXPECT_DOUBLE_EQ(s.Left, 220);
  EXPECT_DOUBLE_EQ(s.Top, 0);
  // Positions outside the bars' range stay on the page.
  s = ScrollRule(2.0, 210, 297, 200, 150, 3.0, -1.0);
  EXPECT_DOUBLE_EQ(s.Left, 220);
  EXPECT_DOUBLE_EQ(s.Top, 0);
}

class FakePreviewHost : public PreviewHost {
 public:
  void ProcessEvents() override {
    ++Events;
    if (During) During();
  }
  void HidePreview() override { Calls.push_back("hide"); }
  void ShowMainWindow() override { Calls.push_back("show main"); }
  std::function<void()> During;
  int Events = 0;
  std::vector<std::string> Calls;
};

class PreviewTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  testing::FakeDataSource data;
  testing::RecordingPrompter ask;
  RenderContext context{.State = *state, .Data = data, .Ask = ask};
  WindowModel main{*state};
  FakePreviewHost host;
  std::vector<int> printed;
  PreviewModel preview{main, [this]() -> RenderContext& { return context; },
                       [this](int r) { printed.push_back(r); }, host};

  void SetUp() override {
    state->Ini.NumReports = 3;
    for (int r = 0; r < 3; ++r)
      state->Reports[static_cast<std::size_t>(r)].Title = "Report " + std::to_string(r + 1);
  }
};

TEST_F(PreviewTest, ClicksOnThePageDoubleAndHalveBeyondTheBoxsRange) {
  for (int i = 0; i < 4; ++i) preview.PreviewMouseDown(false);
  EXPECT_DOUBLE_EQ(preview.Zoom(), 0.0625);
  EXPECT_EQ(preview.ZoomBoxText(), "6%");
  // Read back from the box, the text is the factor 6.
  preview.ZoomBoxLeft(preview.ZoomBoxText());
  EXPECT_DOUBLE_EQ(preview.Zoom(), 2.0);
  EXPECT_EQ(preview.ZoomBoxText(), "200%");

  for (int i = 0; i < 20; ++i) preview.PreviewMouseDown(true);
  EXPECT_DOUBLE_EQ(preview.Zoom(), 64);
  EXPECT_EQ(preview.ZoomBoxText(), "6400%");
  for (int i = 0; i < 40; ++i) preview.PreviewMouseDown(false);
  EXPECT_DOUBLE_EQ(preview.Zoom(), 1.0 / 64);
  EXPECT_EQ(preview.ZoomBoxText(), "2%");
}

TEST_F(PreviewTest, ClicksAndPrintWaitWhileAReportIsDrawn) {
  ProduceOutcome nested = ProduceOutcome::Drawn;
  host.During = [&] {
    preview.PreviewMouseDown(true);
    preview.Print();
    nested = preview.ShowReport(1);
    EXPECT_EQ(preview.CloseCaption(), "&Cancel");
    EXPECT_FALSE(preview.ControlsEnabled());
    EXPECT_TRUE(main.PreviewBusy());
  };
  EXPECT_EQ(preview.ShowReport(0), ProduceOutcome::Drawn);
  EXPECT_GT(host.Events, 0);
  EXPECT_EQ(nested, ProduceOutcome::Busy);
  EXPECT_DOUBLE_EQ(preview.Zoom(), 1.0);
  EXPECT_TRUE(printed.empty());
  EXPECT_TRUE(host.Calls.empty());
  EXPECT_EQ(preview.CloseCaption(), "&Close");
  EXPECT_FALSE(main.PreviewBusy());
  ASSERT_NE(preview.Page(), nullptr);
  EXPECT_EQ(preview.Title(), "Report 1");

  // A print run going on draws no preview.
  host.During = nullptr;
  main.SetPrintingFlag(true);
  EXPECT_EQ(preview.ShowReport(2), ProduceOutcome::Busy);
  preview.Print();
  EXPECT_TRUE(printed.empty());
  main.SetPrintingFlag(false);
  preview.Print();
  EXPECT_EQ(printed, std::vector<int>{0});
  EXPECT_EQ(host.Calls, (std::vector<std::string>{"hide", "show main"}));
}

TEST_F(PreviewTest, ReportStepsStopAtTheDefinitionsEnds) {
  EXPECT_FALSE(preview.PrevEnabled());
  EXPECT_FALSE(preview.NextEnabled());
  preview.ShowReport(0);
  EXPECT_FALSE(preview.PrevEnabled());
  preview.NextReport();
  preview.NextReport();
  EXPECT_EQ(preview.ReportIndex(), 2);
  EXPECT_FALSE(preview.NextEnabled());
  preview.NextReport();
  EXPECT_EQ(preview.ReportIndex(), 2);
  preview.PrevReport();
  EXPECT_EQ(preview.ReportIndex(), 1);
  EXPECT_EQ(preview.Title(), "Report 2");
}

TEST_F(PreviewTest, ThePageIsDrawnOnThePrintersPaperAndSavedAtItsSize) {
  PreviewModel letter(
      main, [this]() -> RenderContext& { return context; }, {}, host,
      [] { return PaperSize{.WidthMm = 215.9, .HeightMm = 279.4}; });
  EXPECT_EQ(letter.SavePicture("/nonexistent/page.png"), "there is no page to save");
  letter.ShowReport(0);
  EXPECT_DOUBLE_EQ(letter.PageWidthMm(), 215.9);
  EXPECT_NEAR(letter.Scroll(100, 100).OverflowX, 115.9, 1e-9);
  EXPECT_NEAR(letter.Scroll(100, 100).OverflowY, 179.4, 1e-9);
  testing::TempDir dir;
  const std::string path = (dir.path() / "page.PNG").string();
  EXPECT_EQ(letter.SavePicture(path, 100), "");
  const QImage image(QString::fromStdString(path), "PNG");
  EXPECT_EQ(image.size(), QSize(850, 1100));
}

}  // namespace
}  // namespace vantrel

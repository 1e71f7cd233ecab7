#include <gtest/gtest.h>

#include <cmath>

#include "common/recording_prompter.h"
#include "fake_data_source.h"
#include "render/chart/palette.h"
#include "render/graph_plotter.h"

namespace vantrel {
namespace {

class GraphBuildTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  testing::FakeDataSource data;
  testing::RecordingPrompter ask;
  RenderContext context{
      .State = *state,
      .Data = data,
      .Ask = ask,
      .SlotsFlag = false,
      .Colours = {.Page = {}, .Palette = [](std::string_view n) -> int16_t {
                    return n == "blue" ? 5 : n == "orange" ? 14 : n == "red" ? 2 : 0;
                  }}};
  SlotGrid slots = MakeSlotGrid({.Width = 190, .Height = 200, .Top = 60, .Left = 10}, 2, 2, 3);
  GraphDefinition graph;

  void SetUp() override {
    graph.Data[0] = "Attenuation Near";
    graph.Cols[0] = {1, 2, 3, code::kUpperLimit};
    graph.Slot = 1;
    data.Results["Attenuation Near"] = testing::GraphResult(
        {"1", "2", "4", "8"},
        {{"-1", "-2", "x", "-4"}, {"-1.5", "-2.5", "-3.5", "-4.5"}, {"0", "-1", "-2", "-3"}},
        {"Freq", "Pair 1", "Pair 2", "Upper Limit"});
    data.Results["Attenuation Near"].Columns = {
        {1, 1, 0}, {1, 2, 1}, {1, 3, 2}, {1, code::kUpperLimit, 3}};
  }
};

TEST_F(GraphBuildTest, SetsFromTheGridWithGapsAndColoursByCode) {
  const GraphBuild b = LayOutGraph(context, graph, slots, 0, 0, 2, 2);
  ASSERT_FALSE(b.Skip);
  ASSERT_EQ(b.Chart.Sets.size(), 3u);
  EXPECT_TRUE(b.Chart.Sets[0].Points[2].Missing);
  EXPECT_DOUBLE_EQ(b.Chart.Sets[0].Points[3].Y, -4);
  EXPECT_DOUBLE_EQ(b.Chart.Sets[0].Points[3].X, 8);
  EXPECT_EQ(b.Chart.Sets[0].Colour, chart::PaletteColour(5));   // blue
  EXPECT_EQ(b.Chart.Sets[1].Colour, chart::PaletteColour(14));  // orange
  EXPECT_EQ(b.Chart.Sets[2].Colour, chart::PaletteColour(2));   // the limit in red
  EXPECT_TRUE(b.Chart.X.Log);                                   // steps 1, 2, 4 are uneven
  EXPECT_DOUBLE_EQ(b.Chart.X.Max, 20);
  EXPECT_EQ(b.SetHeadings[0], "Pair 1");
  // The title names the first column.
  EXPECT_EQ(b.Chart.Title, "Pair 1");
  EXPECT_EQ(b.Chart.Y.Title, "dB");
}

// A file without control limits gives no empty control curve, and the legend entries
// after it stay with their curves.
TEST_F(GraphBuildTest, AnEmptyControlLimitColumnIsLeftOut) {
  graph.Cols[0] = {1, 2, code::kUpperControl, code::kUpperLimit};
  graph.Legend = {"Measured", "Control", "Limit"};
  data.Results["Attenuation Near"] = testing::GraphResult(
      {"1", "2", "4", "8"},
      {{"-1", "-2", "-3", "-4"}, {"x", "x", "x", "x"}, {"0", "-1", "-2", "-3"}},
      {"Freq", "Pair 1", "Upper Control Limit", "Upper Limit"});
  data.Results["Attenuation Near"].Columns = {
      {1, 1, 0}, {1, 2, 1}, {1, code::kUpperControl, 2}, {1, code::kUpperLimit, 3}};
  const GraphBuild b = LayOutGraph(context, graph, slots, 0, 0, 2, 2);
  ASSERT_EQ(b.Chart.Sets.size(), 2u);
  EXPECT_EQ(b.SetCodes, (std::vector<ColumnCode>{2, code::kUpperLimit}));
  EXPECT_EQ(b.Chart.Sets[1].Legend, "Limit");
}

// The code palette colours thirteen sets; later sets keep the chart's own colour
// rather than starting the palette again. Every set, limit or control, is drawn at
// the set thickness and solid unless STYLE says otherwise.
TEST_F(GraphBuildTest, PaletteEndsAfterThirteenSetsAndEverySetHasTheSetThickness) {
  state->Settings.GraphLineThickness = 2;
  graph.Cols[0] = {1};
  std::vector<std::vector<std::string>> sets;
  for (int p = 0; p < 15; ++p) {
    graph.Cols[0].push_back(static_cast<ColumnCode>(p + 2));
    sets.push_back({"-1", "-2"});
  }
  graph.Cols[0].push_back(code::kUpperLimit);
  graph.Cols[0].push_back(code::kUpperControl);
  sets.push_back({"0", "0"});
  sets.push_back({"-0.5", "-0.5"});
  data.Results["Attenuation Near"] = testing::GraphResult({"1", "2"}, sets);
  GraphBuild b = LayOutGraph(context, graph, slots, 0, 0, 2, 2);
  ASSERT_EQ(b.Chart.Sets.size(), 17u);
  EXPECT_EQ(b.Chart.Sets[0].Colour, chart::PaletteColour(5));
  EXPECT_EQ(b.Chart.Sets[13].Colour, chart::DataSet{}.Colour);
  EXPECT_EQ(b.Chart.Sets[14].Colour, chart::DataSet{}.Colour);
  EXPECT_EQ(b.Chart.Sets[15].Colour, chart::PaletteColour(2));
  EXPECT_EQ(b.Chart.Sets[16].Colour, chart::PaletteColour(4));
  for (const chart::DataSet& set : b.Chart.Sets) {
    EXPECT_EQ(set.Thickness, 2);
    EXPECT_EQ(set.Style, 0);
  }
  graph.Style.assign(17, "0");
  graph.Style[16] = "2";
  b = LayOutGraph(context, graph, slots, 0, 0, 2, 2);
  EXPECT_EQ(b.Chart.Sets[16].Style, 2);
  EXPECT_EQ(b.Chart.Sets[16].Thickness, 2);
}

TEST_F(GraphBuildTest, FontSizesBelowTheSmallestReadableAreRaised) {
  graph.TitleFontSize = 3;
  graph.AxisFontSize = 4;
  graph.AxisTitleFontSize = 7;
  const GraphBuild b = LayOutGraph(context, graph, slots, 0, 0, 2, 2);
  EXPECT_EQ(b.Chart.TitlePoints, 5.0f);
  EXPECT_EQ(b.Chart.AxisPoints, 5.0f);
  EXPECT_EQ(b.Chart.AxisTitlePoints, 7.0f);
}

TEST_F(GraphBuildTest, YTitleIsCutAtEightyCharactersNotBytes) {
  graph.YAxis = std::string(79, 'a') + "\u00e9\u00e9 dB";
  const GraphBuild b = LayOutGraph(context, graph, slots, 0, 0, 2, 2);
  EXPECT_EQ(b.Chart.Y.Title, std::string(79, 'a') + "\u00e9");
}

TEST_F(GraphBuildTest, GraphsOfPairsTheCableLacksAreSkipped) {
  graph.Pair = 4;
  data.PairCount = 3;
  EXPECT_TRUE(LayOutGraph(context, graph, slots, 0, 0, 2, 2).Skip);
  data.PairCount = 4;
  EXPECT_FALSE(LayOutGraph(context, graph, slots, 0, 0, 2, 2).Skip);
  graph.Data[0] = "Missing Test";
  EXPECT_TRUE(LayOutGraph(context, graph, slots, 0, 0, 2, 2).Skip);
}

TEST_F(GraphBuildTest, CurvesAndAxisEndAtTheStopFrequency) {
  graph.StopFreq = 4;
  const GraphBuild b = LayOutGraph(context, graph, slots, 0, 0, 2, 2);
  ASSERT_FALSE(b.Skip);
  for (const chart::DataSet& set : b.Chart.Sets) EXPECT_EQ(set.Points.size(), 3u);
  EXPECT_DOUBLE_EQ(b.Chart.X.Max, 20);
}

TEST_F(GraphBuildTest, MarginUnitsCarryTheNormalisationLength) {
  graph.Data[0] = "Delay Near";
  data.Results["Delay Near"] = data.Results["Attenuation Near"];
  const GraphBuild b = LayOutGraph(context, graph, slots, 0, 0, 2, 2);
  ASSERT_FALSE(data.Requests.empty());
  EXPECT_EQ(data.Requests.back().Units, "ns/100");
  EXPECT_EQ(b.Chart.Y.Title, "ns/100");
}

TEST_F(GraphBuildTest, ColumnOffsetRaisesPairColumnsOnly) {
  LayOutGraph(context, graph, slots, 2, 0, 2, 2);
  ASSERT_FALSE(data.Requests.empty());
  EXPECT_EQ(data.Requests.back().Codes, (std::vector<ColumnCode>{1, 4, 5, code::kUpperLimit}));
}

TEST_F(GraphBuildTest, DifferencePercentOfAZeroValueIsAGap) {
  graph.DifferencePercent = true;
  data.Results["Attenuation Near"].Grid[2] = {"0", "-4", "-3.5", "-4.5"};
  const GraphBuild b = LayOutGraph(context, graph, slots, 0, 0, 2, 2);
  EXPECT_TRUE(b.Chart.Sets[0].Points[0].Missing);      // zero: no ratio
  EXPECT_DOUBLE_EQ(b.Chart.Sets[0].Points[1].Y, 100);  // 4 / 2 - 1
  EXPECT_TRUE(b.Chart.Sets[0].Points[2].Missing);      // "x" stays missing
}

TEST_F(GraphBuildTest, AverageIgnoresMissingPoints) {
  graph.Average = true;
  const GraphBuild b = LayOutGraph(context, graph, slots, 0, 0, 2, 2);
  for (const chart::ChartPoint& pt : b.Chart.Sets[0].Points) EXPECT_NEAR(pt.Y, -7.0 / 3, 1e-12);
}

TEST_F(GraphBuildTest, NonPositiveValuesOnALogAxisAreGaps) {
  graph.YLog = true;
  graph.AbsData = true;
  const GraphBuild b = LayOutGraph(context, graph, slots, 0, 0, 2, 2);
  EXPECT_TRUE(b.Chart.Sets[2].Points[0].Missing);  // |0|
  EXPECT_FALSE(b.Chart.Sets[2].Points[1].Missing);
  EXPECT_DOUBLE_EQ(b.Chart.Sets[2].Points[1].Y, 1);
}

TEST_F(GraphBuildTest, UserRangesTicksAndMarginBand) {
  graph.YMin = -10;
  graph.YMax = 10;
  graph.YTicks = 4;
  graph.ReverseData = true;
  graph.MarginType = 1;
  graph.AutoLog = false;
  graph.XLog = false;
  const GraphBuild b = LayOutGraph(context, graph, slots, 0, 0, 2, 2);
  EXPECT_TRUE(b.Chart.Y.UserRange);
  EXPECT_DOUBLE_EQ(b.Chart.Y.Ticks, 2.5);
  EXPECT_DOUBLE_EQ(b.Chart.Y.Min, 10);  // negated with REVERSEDATA
  EXPECT_FALSE(b.Chart.X.Log);
  // Two margin lines of 3 mm and a gap above the chart.
  EXPECT_FLOAT_EQ(b.Plot.Top, b.Item.Top + 6.5f);
  EXPECT_FLOAT_EQ(b.Plot.Height, b.Item.Height - 6.5f);
}

TEST_F(GraphBuildTest, DrawnGraphCarriesThePlottedValues) {
  graph.Legend = {"First"};
  PagePlan plan;
  PageCanvas canvas(plan, PrintFontMetrics());
  bool failed = false, incomplete = false;
  const PageData page = FetchPageFacts(data);
  const GraphData fetched = FetchGraph(data, page, graph, 0, 0);
  ASSERT_TRUE(DrawGraph(context, canvas, page, fetched, graph, slots, 0, 2, 2, failed, incomplete));
  ASSERT_EQ(plan.Graphs.size(), 1u);
  const PlanGraph& drawn = plan.Graphs[0];
  EXPECT_EQ(drawn.Number, 1);
  EXPECT_EQ(drawn.SetNames, (std::vector<std::string>{"First", "Pair 2", "Upper Limit"}));
  EXPECT_EQ(drawn.Frequencies, (std::vector<double>{1, 2, 4, 8}));
  EXPECT_TRUE(std::isnan(drawn.Values[0][2]));
  EXPECT_DOUBLE_EQ(drawn.Values[1][3], -4.5);
}

}  // namespace
}  // namespace vantrel

#include "definitions/graph_reader.h"

#include <gtest/gtest.h>

#include "definition_fixture.h"

namespace vantrel {
namespace {

using testing::IniText;
using testing::LoadedDefinition;

std::vector<ColumnCode> Counted(const GraphDefinition& g, int d = 1) {
  return {g.Cols[d - 1].begin(), g.Cols[d - 1].begin() + g.ColCount[d - 1]};
}

TEST(ReadGraphs, FollowingGraphsShiftColumnsAndSlots) {
  LoadedDefinition d;
  ASSERT_TRUE(
      d.Load(IniText({"[REPORT]", "TITLE=R", "[GRAPH]", "FOLLOWINGGRAPHS=3", "SLOT=1",
                      "DATA_1=NEXT (pair-pair) near", "COLS_1=2,limits,mean", "YLOG=TRUE", "YMIN=1",
                      "YMAX=100", "[GRAPH]", "DATA_1=NEXT (pair-pair) near", "COLS_1=9", "[GRAPH]",
                      "[GRAPH]", "XLOG=false", "[GRAPH]", "COLS_1=2"})));
  const ReportDefinition& r = d.Report(1);
  ASSERT_EQ(r.GraphCount, 5);  // four in the series, then one of its own
  for (int g = 2; g <= 4; ++g) {
    const GraphDefinition& graph = d.Graph(1, g);
    EXPECT_EQ(graph.Slot, g);
    EXPECT_EQ(Counted(graph),
              (std::vector<ColumnCode>{1, static_cast<ColumnCode>(g + 1), 9997, 9992, 9988}))
        << g;
    EXPECT_EQ(graph.Data[0], "NEXT (pair-pair) near");
    EXPECT_TRUE(graph.YLog);
    EXPECT_TRUE(graph.XLog);  // a following graph takes its log settings from the series
    EXPECT_EQ(graph.YMax, 100);
    EXPECT_EQ(graph.Pair, g);
  }
  EXPECT_EQ(Counted(d.Graph(1, 5)), (std::vector<ColumnCode>{1, 2}));
  EXPECT_EQ(d.Graph(1, 5).Slot, 0);
}

TEST(ReadGraphs, ExpandsLimitsByTheClassOfTheTest) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(
      IniText({"[GENERAL]", "GRAPHCONTROLLIMITS=false", "[REPORT]", "[GRAPH]",
               "DATA_1=Attenuation near", "COLS_1=limits", "DATA_2=NEXT far", "COLS_2=2,LIMITS",
               "DATA_3=Impedance (Term) Near|x", "COLS_3=2,limits", "COLS_4=dl3,last4,emp"})));
  const GraphDefinition& g = d.Graph(1, 1);
  EXPECT_EQ(Counted(g, 1), (std::vector<ColumnCode>{1, 9998}));
  EXPECT_EQ(Counted(g, 2), (std::vector<ColumnCode>{1, 2, 9997}));
  EXPECT_EQ(Counted(g, 3), (std::vector<ColumnCode>{1, 2, 9998, 9997}));
  EXPECT_EQ(Counted(g, 4), (std::vector<ColumnCode>{1, 0, 9999, 9986}));
  EXPECT_EQ(g.ColCount[4], 1);  // COLS_5 absent: "1,-999" counts one column
  EXPECT_EQ(g.MarginType, 3);   // the last named test decides

  LoadedDefinition control;
  ASSERT_TRUE(
      control.Load(IniText({"[REPORT]", "[GRAPH]", "DATA_1=Attenuation near", "COLS_1=limits",
                            "DATA_2=Impedance (term) far", "COLS_2=2,limits"})));
  EXPECT_EQ(Counted(control.Graph(1, 1), 1), (std::vector<ColumnCode>{1, 9998, 9989}));
  EXPECT_EQ(Counted(control.Graph(1, 1), 2),
            (std::vector<ColumnCode>{1, 2, 9998, 9997, 9989, 9988}));
}

TEST(AutomaticYTicks, PrefersRoundStepsWithMoreThanSevenTicks) {
  const std::vector<std::tuple<double, double, double>> cases = {
      {0, 100, 10}, {0, 7, 1}, {0, 8, 1},   {0, 1000, 50}, {-40, 0, 5},  {0, 84, 7}, {0, 99, 11},
      {10, 10, 1},  {5, 0, 1}, {0, 0.5, 1}, {0, 160, 20},  {0, 1e9, 50}, {0, 37, 1}};
  for (const auto& [lo, hi, ticks] : cases) {
    EXPECT_EQ(AutomaticYTicks(lo, hi), ticks) << lo << ".." << hi;
  }
}

TEST(ReadGraphs, ComputesYTicksOnlyWhenBothLimitsAreGivenAndWarnsOfLogLimits) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(
      IniText({"[REPORT]", "TITLE=Loss", "[GRAPH]", "DATA_1=a", "COLS_1=2", "YMIN=0", "YMAX=100",
               "YLOG=TRUE", "[GRAPH]", "DATA_1=b", "COLS_1=2", "YMAX=100", "YLOG=TRUE", "[GRAPH]",
               "DATA_1=c", "COLS_1=2", "YMIN=0", "YMAX=100", "YTICKS=25"})));
  EXPECT_EQ(d.Graph(1, 1).YTicks, 10);
  EXPECT_TRUE(d.Graph(1, 1).AbsData);  // a log axis plots magnitudes
  EXPECT_EQ(d.Graph(1, 2).YTicks, code::kAutomatic);
  EXPECT_EQ(d.Graph(1, 3).YTicks, 25);
  ASSERT_EQ(d.Prompter.Messages.size(), 1u);
  EXPECT_EQ(d.Prompter.Messages[0].Text,
            "Error: \rYou can't have limits <= 0.0 for log plots: \rreport_1\rgraph_1_1 (Loss)"
            "\rCheck Setup Information");
}

// Limits that run from high to low are also checked for a log plot as written.
TEST(ReadGraphs, WarnsOfLogLimitsEvenWhenTheyRunFromHighToLow) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(IniText({"[REPORT]", "TITLE=Loss", "[GRAPH]", "DATA_1=a", "COLS_1=2",
                              "YMIN=10", "YMAX=-5", "YLOG=TRUE"})));
  ASSERT_GE(d.Prompter.Messages.size(), 1u);
  EXPECT_EQ(d.Prompter.Messages[0].Text,
            "Error: \rYou can't have limits <= 0.0 for log plots: \rreport_1\rgraph_1_1 (Loss)"
            "\rCheck Setup Information");
  EXPECT_EQ(d.Graph(1, 1).YMin, code::kAutomatic);  // and the axis is then scaled by itself
}

TEST(ReadGraphs, StopsAtAGraphWithoutColumnsOrMarkedAsMissing) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(IniText({"[REPORT]", "[GRAPH]", "DATA_1=a", "COLS_1=2", "[GRAPH]", "DATA_1=a",
                              "[GRAPH]", "DATA_1=a", "COLS_1=3", "[REPORT]", "[GRAPH]", "COLS_1=2",
                              "[GRAPH]", "COLS_1=-999", "[GRAPH]", "COLS_1=4"})));
  EXPECT_EQ(d.Report(1).GraphCount, 1);
  EXPECT_EQ(d.Report(2).GraphCount, 1);
}

TEST(ReadGraphs, DerivesThePairNumber) {
  std::string text = "[REPORT]\r\n";
  for (int g = 1; g <= 13; ++g) {
    text += "[GRAPH]\r\nCOLS_1=2\r\n";
    if (g == 1) text += "DATA_1=FEXT (pair-pair) near\r\n";
    if (g == 13) text += "DATA_1=Other\r\n";
    if (g == 7) text += "PAIR=2\r\n";
  }
  text += "[REPORT]\r\n[GRAPH]\r\nCOLS_1=2\r\nDATA_1=next (pair-pair) far\r\n";
  for (int g = 2; g <= 7; ++g) text += "[GRAPH]\r\nCOLS_1=2\r\n";
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(text));
  const std::vector<int> fext = {1, 2, 3, 4, 4, 4, 2, 4, 4, 4, 4, 4, 1};
  for (int g = 1; g <= 13; ++g) EXPECT_EQ(d.Graph(1, g).Pair, fext[g - 1]) << g;
  const std::vector<int> next = {1, 2, 3, 4, 4, 4, 7};
  for (int g = 1; g <= 7; ++g) EXPECT_EQ(d.Graph(2, g).Pair, next[g - 1]) << g;
}

TEST(ReadGraphs, InheritsAutomaticAxesFromTheGraphOfTheSameTest) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(IniText({"[GENERAL]",
                              "OVERALL_STOPFREQ=500",
                              "[REPORT]",
                              "[GRAPH]",
                              "DATA_1=Return Loss",
                              "COLS_1=2",
                              "YMIN=-50",
                              "YMAX=0",
                              "XMIN=1",
                              "XMAX=250",
                              "XTICKS=50",
                              "YAXIS=dB",
                              "XAXIS=f",
                              "YLOG=true",
                              "STOPFREQ=100",
                              "[GRAPH]",
                              "DATA_1=return loss",
                              "COLS_1=3",
                              "XMIN=2",
                              "[GRAPH]",
                              "DATA_1=Other",
                              "COLS_1=2"})));
  const GraphDefinition& second = d.Graph(1, 2);
  EXPECT_EQ(second.YMin, -50);
  EXPECT_EQ(second.YTicks, 5);
  EXPECT_TRUE(second.YLog);
  EXPECT_EQ(second.XMin, 2);  // given, so the x axis is its own
  EXPECT_EQ(second.XTicks, code::kAutomatic);
  EXPECT_EQ(second.YAxis, "dB");
  EXPECT_EQ(second.XAxis, "f");
  EXPECT_EQ(second.Pair, 1);  // the names differ in case
  EXPECT_EQ(second.StopFreq, 500);
  EXPECT_EQ(d.Graph(1, 1).StopFreq, 100);
  const GraphDefinition& third = d.Graph(1, 3);
  EXPECT_EQ(third.YMin, code::kAutomatic);
  EXPECT_EQ(third.YAxis, "DEFAULT");
}

TEST(ReadGraphs, ReadsListsAndTakesTheFirstTestForAnEmptyDataOne) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(
      IniText({"[REPORT]", "[GRAPH]", "DATA_1=a", "COLS_1=2", "COLOURS=Red,BLUE", "LEGEND=One,Two",
               "STYLE=solid", "AUTOMARGIN=false", "ORDER_2=3", "[GRAPH]", "COLS_1=2"})));
  const GraphDefinition& g = d.Graph(1, 1);
  EXPECT_EQ(g.Colours, (std::vector<std::string>{"red", "blue"}));
  EXPECT_EQ(g.Legend, (std::vector<std::string>{"One", "Two"}));
  EXPECT_EQ(g.Style.size(), 1u);
  EXPECT_EQ(g.MarginType, 0);
  EXPECT_EQ(g.Order[1], 3);
  EXPECT_EQ(d.Graph(1, 2).Data[0], "a");
  EXPECT_EQ(d.Graph(1, 2).MarginType, 2);
}

}  // namespace
}  // namespace vantrel

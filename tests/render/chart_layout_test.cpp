#include "render/chart/chart_layout.h"

#include <gtest/gtest.h>

namespace vantrel::chart {
namespace {

DataSet Decades(const std::string& legend) {
  DataSet set;
  for (double f : {0.0, 1.0, 10.0, 100.0, 1e3, 1e4, 1e5, 1e6})
    set.Points.push_back({f, f == 0 ? -1.0 : f / 10, false});
  set.Legend = legend;
  return set;
}

// A log axis ends on the data's decades, never at the point it cannot show, and its
// labels are thinned until they keep apart.
TEST(LayOutChart, ALogAxisSpansThePlottableDataWithLabelsApart) {
  ChartModel chart;
  chart.X.Log = chart.Y.Log = true;
  chart.Sets = {Decades("")};
  const MmRect outer{.Width = 30, .Height = 30, .Top = 10, .Left = 10};
  const ChartLayout layout = LayOutChart(PrintFontMetrics(), "Arial", outer, chart);
  ASSERT_TRUE(layout.Drawn);
  EXPECT_GT(layout.X.Lo, 0);
  EXPECT_LE(layout.X.Lo, 1);
  EXPECT_GE(layout.X.Hi, 1e6);
  EXPECT_GT(layout.Y.Lo, 0);
  EXPECT_LE(layout.Y.Lo, 0.1);
  EXPECT_GE(layout.Y.Hi, 1e5);
  ASSERT_GE(layout.XLabels.size(), 2u);
  for (std::size_t i = 1; i < layout.XLabels.size(); ++i) {
    const TickLabel& before = layout.XLabels[i - 1];
    const float width = PrintFontMetrics().TextWidth(before.Text, layout.AxisFont);
    EXPECT_LT(before.Left + width, layout.XLabels[i].Left) << before.Text;
  }
  EXPECT_FALSE(LayOutChart(PrintFontMetrics(), "Arial", {.Width = 0, .Height = 10}, chart).Drawn);
}

// Title above, axis titles and legend below and left of the plot, everything inside
// the chart's rectangle.
TEST(LayOutChart, TitlesLabelsAndLegendStayInsideTheRectangle) {
  ChartModel chart;
  chart.Title = "Near end crosstalk";
  chart.X.Title = "MHz";
  chart.Y.Title = "dB";
  chart.Sets = {Decades("Pair 1"), Decades("Pair 2"), Decades("Limit")};
  const MmRect outer{.Width = 90, .Height = 60, .Top = 20, .Left = 15};
  const ChartLayout l = LayOutChart(PrintFontMetrics(), "Arial", outer, chart);
  const MmRect& area = l.Area;
  ASSERT_TRUE(l.Title && l.XTitle && l.YTitle);
  EXPECT_GE(l.Title->Box.Top, outer.Top);
  EXPECT_LE(l.Title->Box.Bottom(), area.Top);
  EXPECT_LE(l.YTitle->Box.Right(), area.Left);
  EXPECT_GE(l.YTitle->Box.Left, outer.Left);
  for (const TickLabel& y : l.YLabels) EXPECT_LT(y.Left, area.Left);
  for (const TickLabel& x : l.XLabels) EXPECT_GT(x.Top, area.Bottom());
  EXPECT_GT(l.XTitle->Box.Top, area.Bottom());
  ASSERT_EQ(l.Legend.size(), 3u);
  for (const LegendKey& k : l.Legend) {
    EXPECT_GE(k.Box.Top, l.XTitle->Box.Bottom() - 0.01f);
    EXPECT_LE(k.Box.Bottom(), outer.Bottom());
    EXPECT_LE(k.Box.Right(), outer.Right());
    EXPECT_GE(k.LineLeft, outer.Left);
  }
  EXPECT_LE(area.Right(), outer.Right());
}

}  // namespace
}  // namespace vantrel::chart

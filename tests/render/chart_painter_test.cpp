#include "render/chart/chart_painter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/page_canvas.h"
#include "render/page_target.h"
#include "render/plan_painter.h"

namespace vantrel::chart {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

DataSet SetOf(std::vector<ChartPoint> points) {
  DataSet set;
  set.Points = std::move(points);
  set.Legend = "set";
  return set;
}

TEST(RangeOf, LeavesOutMissingAndUnplottablePoints) {
  ChartModel chart;
  chart.Sets = {SetOf({{1, -5, false}, {2, 0, false}, {3, 99, true}, {4, 7, false}}),
                SetOf({{0.5, kNaN, false}})};
  const DataRange y = RangeOf(chart, false, false);
  EXPECT_DOUBLE_EQ(y.Min, -5);
  EXPECT_DOUBLE_EQ(y.Max, 7);
  const DataRange yLog = RangeOf(chart, false, true);
  EXPECT_DOUBLE_EQ(yLog.Min, 7);
  const DataRange x = RangeOf(chart, true, false);
  EXPECT_DOUBLE_EQ(x.Min, 1);  // the point without a value does not count
  ChartModel empty;
  EXPECT_TRUE(std::isnan(RangeOf(empty, true, false).Min));
}

// Drawing must cope with charts that have nothing sensible to show.
TEST(DrawChart, DrawsDegenerateChartsWithoutFault) {
  PagePlan plan;
  PageCanvas canvas(plan, PrintFontMetrics());
  ChartModel empty;
  DrawChart(canvas, {.Width = 80, .Height = 60, .Top = 10, .Left = 10}, empty);
  ChartModel missing;
  missing.Sets = {SetOf({{1, 1, true}, {2, 2, true}})};
  missing.X.Log = missing.Y.Log = true;
  DrawChart(canvas, {.Width = 80, .Height = 60, .Top = 10, .Left = 10}, missing);
  ChartModel negativeOnLog;
  negativeOnLog.Y.Log = true;
  negativeOnLog.Sets = {SetOf({{1, -1, false}, {10, 0, false}, {100, 5, false}})};
  DrawChart(canvas, {.Width = 80, .Height = 60, .Top = 10, .Left = 10}, negativeOnLog);
  ChartModel tiny = negativeOnLog;
  DrawChart(canvas, {.Width = 2, .Height = 1, .Top = 10, .Left = 10}, tiny);
  DrawChart(canvas, {.Width = -5, .Height = 10, .Top = 10, .Left = 10}, tiny);
  ImageTarget target({.WidthMm = 100, .HeightMm = 100}, 50, nullptr);
  ASSERT_TRUE(target.Begin());
  plan.WidthMm = plan.HeightMm = 100;
  PaintPlan(plan, target);
  EXPECT_TRUE(target.End());
}

TEST(DrawChart, CurvesLandInsideTheirRectangle) {
  QImage page;
  ImageTarget target({.WidthMm = 100, .HeightMm = 100}, 100,
                     [&](const QImage& image, int, std::string&) {
                       page = image;
                       return true;
                     });
  ASSERT_TRUE(target.Begin());
  PagePlan plan;
  plan.WidthMm = plan.HeightMm = 100;
  PageCanvas canvas(plan, PrintFontMetrics());
  ChartModel chart;
  DataSet set = SetOf({{0, 0, false}, {1, 1, false}});
  set.Colour = 0x0000FF;  // red
  set.Thickness = 3;
  chart.Sets = {set};
  DrawChart(canvas, {.Width = 50, .Height = 50, .Top = 25, .Left = 25}, chart);
  PaintPlan(plan, target);
  ASSERT_TRUE(target.End());
  int redInside = 0, redOutside = 0;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      const QColor c = page.pixelColor(x, y);
      if (c.red() < 200 || c.green() > 80 || c.blue() > 80) continue;
      const double mmX = x * 25.4 / 100, mmY = y * 25.4 / 100;
      (mmX >= 25 && mmX <= 75 && mmY >= 25 && mmY <= 75 ? redInside : redOutside)++;
    }
  }
  EXPECT_GT(redInside, 50);
  EXPECT_EQ(redOutside, 0);
}

// Sets usually share one frequency column, but one that does not is drawn at its own.
TEST(DrawChart, EachSetIsDrawnAtItsOwnFrequencies) {
  PagePlan plan;
  PageCanvas canvas(plan, PrintFontMetrics());
  ChartModel chart;
  chart.X.Log = true;
  DataSet shared = SetOf({{1, 0, false}, {10, 1, false}, {100, 0, false}});
  shared.Colour = 0x0000FF;
  DataSet own = SetOf({{1, 0, false}, {1000, 1, false}, {100, 0, false}});
  own.Colour = 0x00FF00;
  chart.Sets = {shared, own};
  DrawChart(canvas, {.Width = 90, .Height = 60, .Top = 10, .Left = 10}, chart);
  std::vector<std::vector<MmPoint>> runs;  // in set order
  for (const PlanItem& item : plan.Items) {
    const auto* curve = std::get_if<PlanCurve>(&item);
    if (curve == nullptr || (curve->Colour != 0x0000FF && curve->Colour != 0x00FF00)) continue;
    ASSERT_FALSE(curve->Runs.empty());
    const std::vector<MmPoint>& run = curve->Runs.front();
    ASSERT_EQ(run.size(), 3u);
    runs.push_back(run);
  }
  ASSERT_EQ(runs.size(), 2u);
  // On a log axis from 1 to 1000, 10 lies a third of the way and 1000 at its end.
  const float left = runs[0][0].X;
  EXPECT_FLOAT_EQ(runs[1][0].X, left);
  EXPECT_NEAR(runs[1][1].X - left, 3 * (runs[0][1].X - left), 0.01);
  EXPECT_FLOAT_EQ(runs[1][2].X, runs[0][2].X);
}

}  // namespace
}  // namespace vantrel::chart

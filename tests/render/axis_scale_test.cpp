#include "render/chart/axis_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "support/number.h"

namespace vantrel::chart {
namespace {

struct TickCase {
  double Min, Max, Ticks;
  bool Log, Limit;
  double Expected;
};

class TickSettingTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(TickSettingTest, MatchesTheAxisRule) {
  const TickCase& c = GetParam();
  EXPECT_DOUBLE_EQ(TickSetting(c.Min, c.Max, c.Ticks, c.Log, c.Limit), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TickSettingTest,
    ::testing::Values(TickCase{-10, 10, 4, false, true, 2.5},   // across zero: a real value
                      TickCase{0, 1000, 5, false, true, 1},     // 200 intervals are too many
                      TickCase{0, 1000, 5, false, false, 200},  // the x axis has no limit
                      TickCase{0, 100, 10, false, true, 10},
                      TickCase{0, 100, -99999, false, true, 1},  // not given
                      TickCase{1, 1000, 10, true, true, 1},      // logarithmic
                      TickCase{-1, 1, 4, false, true, 1},        // below 1 becomes 1
                      TickCase{0, 1, 10, false, true, 1}));      // fewer than one interval

TEST(StepsUneven, TellsLinearFromLogarithmicSweeps) {
  EXPECT_FALSE(StepsUneven({1, 2, 3, 4}));
  EXPECT_TRUE(StepsUneven({1, 2, 4, 8}));
  EXPECT_FALSE(StepsUneven({1.0, 1.04, 1.08}));  // equal after rounding to 0.1
  EXPECT_FALSE(StepsUneven({}));
  EXPECT_FALSE(StepsUneven({5}));
}

// Steps are compared as numbers rounded the way their "0.0" text shows them; near a
// half and in exponent form the binary product alone would round differently.
TEST(StepsUneven, AgreesWithTheStepsShownToOneDecimal) {
  const auto byText = [](const std::vector<double>& f) {
    for (std::size_t i = 2; i < f.size(); ++i)
      if (FormatNumber(f[i] - f[i - 1], "0.0") != FormatNumber(f[1] - f[0], "0.0")) return true;
    return false;
  };
  EXPECT_FALSE(StepsUneven({0, 0.05, 0.1}));   // "0.1" twice
  EXPECT_FALSE(StepsUneven({1, 0.96, 1}));     // "0.0" of -0.04 and of 0.04
  EXPECT_TRUE(StepsUneven({0, 0.15, 0.25}));   // "0.2" then "0.1"
  EXPECT_FALSE(StepsUneven({0, 1e16, 2e16}));  // "1.0E+16" twice
  std::mt19937 random(3);
  const double halves[] = {0.05, 0.15, 0.25, 0.35, 0.45, 1.05, 2.25, 10.05, 100.15};
  for (int i = 0; i < 5000; ++i) {
    std::vector<double> f{std::uniform_real_distribution<double>(0, 1000)(random)};
    for (int k = 0; k < 3; ++k) {
      const double step = halves[random() % 9] + (static_cast<int>(random() % 3) - 1) * 1e-12;
      f.push_back(f.back() + (random() % 4 == 0 ? -step : step));
    }
    EXPECT_EQ(StepsUneven(f), byText(f)) << f[0] << " " << f[1] << " " << f[2] << " " << f[3];
  }
}

TEST(RoundLogXMax, RoundsUpWithoutCuttingTheSweep) {
  const std::pair<double, double> cases[] = {
      {0, 0},       {15, 20},     {40, 50},     {90, 100},    {100, 100},   {101, 200},
      {1000, 1000}, {1001, 2000}, {2000, 2000}, {5500, 6000}, {6500, 7000}, {12500, 13000}};
  for (const auto& [in, out] : cases) EXPECT_DOUBLE_EQ(RoundLogXMax(in), out) << in;
}

TEST(XLabelFormat, ShowsDecimalsOnlyForSweepsBelowOneMegahertz) {
  EXPECT_EQ(XLabelFormat(0.3), "0.000");
  EXPECT_EQ(XLabelFormat(1), "0");
}

TEST(ResolveAxis, UserRangeAcrossZeroTicksFromZero) {
  AxisSpec axisSpec;
  axisSpec.UserRange = true;
  axisSpec.Min = -10;
  axisSpec.Max = 10;
  axisSpec.Ticks = 2.5;
  const AxisLayout a = ResolveAxis(axisSpec, NAN, NAN);
  std::vector<std::string> labels;
  for (const Tick& t : a.Ticks) labels.push_back(t.Label);
  EXPECT_EQ(labels, (std::vector<std::string>{"-8", "-4", "0", "4", "8"}));
  EXPECT_DOUBLE_EQ(a.Lo, -10);
  EXPECT_DOUBLE_EQ(a.Hi, 10);
}

TEST(ResolveAxis, AutomaticLinearRangeEndsOnNiceValues) {
  AxisSpec axisSpec;
  const AxisLayout a = ResolveAxis(axisSpec, -37.2, -3.1);
  EXPECT_DOUBLE_EQ(a.Lo, -40);
  EXPECT_DOUBLE_EQ(a.Hi, 0);
  ASSERT_FALSE(a.Ticks.empty());
  EXPECT_EQ(a.Ticks.front().Label, "-40");
  EXPECT_EQ(a.Ticks.back().Label, "0");  // never "-0"
}

TEST(ResolveAxis, FlatAndEmptyDataStillGiveAnAxis) {
  AxisSpec axisSpec;
  const AxisLayout flat = ResolveAxis(axisSpec, 5, 5);
  EXPECT_LT(flat.Lo, 5);
  EXPECT_GT(flat.Hi, 5);
  const AxisLayout none = ResolveAxis(axisSpec, NAN, NAN);
  EXPECT_LT(none.Lo, none.Hi);
}

TEST(ResolveAxis, LogarithmicAxisLabelsDecadesAndRefusesNonPositiveValues) {
  AxisSpec axisSpec;
  axisSpec.Log = true;
  axisSpec.UserRange = true;
  axisSpec.Min = 1;
  axisSpec.Max = 1000;
  axisSpec.LabelFormat = "0";
  const AxisLayout a = ResolveAxis(axisSpec, 1, 1000);
  std::vector<std::string> labels;
  for (const Tick& t : a.Ticks)
    if (t.Major) labels.push_back(t.Label);
  EXPECT_EQ(labels, (std::vector<std::string>{"1", "10", "100", "1000"}));
  EXPECT_NEAR(a.Fraction(10), 1.0 / 3, 1e-12);
  EXPECT_TRUE(std::isnan(a.Fraction(0)));
  EXPECT_TRUE(std::isnan(a.Fraction(-5)));
}

TEST(ResolveAxis, TinyTickStepDoesNotFloodTheAxis) {
  AxisSpec axisSpec;
  axisSpec.UserRange = true;
  axisSpec.Min = 0;
  axisSpec.Max = 1000;
  axisSpec.Ticks = 1e6;
  const AxisLayout a = ResolveAxis(axisSpec, 0, 1000);
  EXPECT_LE(a.Ticks.size(), 201u);
}

std::vector<std::string> LabelsOf(const std::vector<Tick>& ticks) {
  std::vector<std::string> out;
  for (const Tick& t : ticks)
    if (t.Major && !t.Label.empty()) out.push_back(t.Label);
  return out;
}

// Labels 6 mm long every 4 mm with 2.5 mm between: every second is too close, so
// every fifth, the next round step, keeps its label.
TEST(ThinLabels, KeepsEveryKthLabelFromZeroUntilNoneTouches) {
  std::vector<Tick> ticks;
  std::vector<float> centres, extents;
  for (int i = 0; i <= 10; ++i) {
    ticks.push_back({i * 10.0 - 40, true, std::to_string(i * 10 - 40)});
    centres.push_back(static_cast<float>(i) * 4);
    extents.push_back(6);
  }
  std::vector<Tick> apart = ticks;
  ThinLabels(apart, centres, extents, 1);
  EXPECT_EQ(LabelsOf(apart), (std::vector<std::string>{"-40", "-20", "0", "20", "40", "60"}));
  ThinLabels(ticks, centres, extents, 2.5f);
  EXPECT_EQ(LabelsOf(ticks), (std::vector<std::string>{"0", "50"}));
  EXPECT_FALSE(ticks[0].Major);  // unlabelled ticks are drawn as minor ones
  EXPECT_TRUE(ticks[4].Major);

  std::vector<Tick> roomy = {{0, true, "0"}, {1, true, "1"}};
  ThinLabels(roomy, {0, 20}, {3, 3}, 1);
  EXPECT_EQ(LabelsOf(roomy).size(), 2u);
  std::vector<Tick> crammed = {{1, true, "1"}, {2, true, "2"}, {3, true, "3"}};
  ThinLabels(crammed, {0, 1, 2}, {30, 30, 30}, 1);
  EXPECT_EQ(LabelsOf(crammed), (std::vector<std::string>{"1"}));
}

TEST(DistinctLabels, AddsDecimalsOnlyWhenNeighboursReadTheSame) {
  std::vector<Tick> halves;
  for (double v : {1.0, 1.5, 2.0, 2.5, 3.0}) halves.push_back({v, true, FormatNumber(v, "0")});
  EXPECT_TRUE(DistinctLabels(halves, "0"));
  EXPECT_EQ(LabelsOf(halves), (std::vector<std::string>{"1.0", "1.5", "2.0", "2.5", "3.0"}));
  std::vector<Tick> whole = {{1, true, "1"}, {2, true, "2"}};
  EXPECT_FALSE(DistinctLabels(whole, "0"));
  EXPECT_EQ(LabelsOf(whole), (std::vector<std::string>{"1", "2"}));
  std::vector<Tick> fine = {{0.001, true, "0.00"}, {0.002, true, "0.00"}};
  DistinctLabels(fine, "0.00");
  EXPECT_EQ(LabelsOf(fine), (std::vector<std::string>{"0.001", "0.002"}));
}

}  // namespace
}  // namespace vantrel::chart

#pragma once
// Axis ranges, ticks and labels, computed apart from painting.

#include <string>
#include <vector>

#include "render/chart/chart_model.h"

namespace vantrel::chart {

/// The tick setting of a user range: 1 when ticks is not given (-99999 or 0) or the
/// axis is logarithmic; for a range across 0 the longer side over ticks (1 when that
/// is below 1); otherwise the whole number of |max - min| / ticks, used when it is at
/// least 1 and, with limitTo100, at most 100, else 1.
double TickSetting(double min, double max, double ticks, bool log, bool limitTo100);

/// True when the frequency steps differ once each is rounded to one decimal.
bool StepsUneven(const std::vector<double>& frequencies);

/// The rounded-up maximum of a logarithmic frequency axis.
double RoundLogXMax(double max);

/// "0.000" when the first frequency is below 1, else "0".
std::string XLabelFormat(double firstFrequency);

struct Tick {
  double Value = 0;
  bool Major = true;  // majors carry a label and a grid line
  std::string Label;
};

struct AxisLayout {
  double Lo = 0;
  double Hi = 1;
  bool Log = false;
  std::vector<Tick> Ticks;
  /// Position of value on the axis from 0 (Lo) to 1 (Hi); NaN for a value the axis
  /// cannot show (0 or negative on a logarithmic axis, not finite).
  double Fraction(double value) const;
};

/// Fraction for the many points of a curve: the same numbers, with the logarithms of
/// the axis's ends taken once instead of at every point.
class AxisFractions {
 public:
  explicit AxisFractions(const AxisLayout& axis);
  double operator()(double value) const;

 private:
  const AxisLayout& axis_;
  bool showable_;  // a logarithmic axis with ends it can show
  double logLo_ = 0;
  double logSpan_ = 1;
};

/// Bounds, ticks and labels of an axis over data from dataMin to dataMax (NaN when
/// the chart has no data).
AxisLayout ResolveAxis(const AxisSpec& axisSpec, double dataMin, double dataMax);

/// Takes the label off major ticks until no two labels come closer than gap: every
/// k-th labelled tick keeps its label, for the smallest k that gives room, counted from
/// the tick at 0 when there is one. centres and extents are the labels' middles and
/// lengths along the axis, one per tick. A tick that loses its label becomes minor.
void ThinLabels(std::vector<Tick>& ticks, const std::vector<float>& centres,
                const std::vector<float>& extents, float gap);

/// Gives the labelled ticks of a linear axis more decimals than format has when two
/// neighbours would otherwise read the same ("1 2 2 3"). True when labels changed.
bool DistinctLabels(std::vector<Tick>& ticks, const std::string& format);

/// Step of 1, 2 or 5 times a power of ten giving about target intervals over span.
double NiceStep(double span, int target);

}  // namespace vantrel::chart

#include "render/chart/axis_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "definitions/column_code.h"
#include "support/number.h"

namespace vantrel::chart {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// More ticks than this are unreadable and could take long to lay out.
constexpr int kMaxTicks = 200;

bool NotGiven(double ticks) {
  return ticks == code::kAutomatic || ticks == 0 || !std::isfinite(ticks);
}

double Snap(double value, double step) {
  // Keeps sums of steps from showing as -0 or 0.30000000000000004.
  if (std::fabs(value) < std::fabs(step) * 1e-9) return 0;
  return value;
}

int DecimalsFor(double step) {
  for (int d = 0; d < 7; ++d) {
    const double scaled = step * std::pow(10.0, d);
    if (std::fabs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, std::fabs(scaled))) return d;
  }
  return 6;
}

std::string StepFormat(double step) {
  const int d = DecimalsFor(step);
  return d == 0 ? std::string("0") : "0." + std::string(static_cast<std::size_t>(d), '0');
}

std::string LabelOf(double value, const std::string& format, const std::string& fallback) {
  return FormatNumber(value, format.empty() ? fallback : format);
}

void LinearTicks(AxisLayout& out, double step, double origin, const std::string& format) {
  const std::string fallback = StepFormat(step);
  const double first = origin + std::ceil((out.Lo - origin) / step - 1e-9) * step;
  for (int i = 0; i <= kMaxTicks; ++i) {
    const double v = Snap(first + i * step, step);
    if (v > out.Hi + std::fabs(step) * 1e-9) break;
    out.Ticks.push_back({v, true, LabelOf(v, format, fallback)});
  }
}

void LogTicks(AxisLayout& out, const std::string& format) {
  const int firstDecade = static_cast<int>(std::floor(std::log10(out.Lo) + 1e-9));
  const int lastDecade = static_cast<int>(std::ceil(std::log10(out.Hi) - 1e-9));
  const bool narrow = lastDecade - firstDecade <= 1;
  const auto label = [&](double v) {
    return format.empty() ? FormatGeneral(v) : FormatNumber(v, format);
  };
  for (int d = firstDecade; d <= lastDecade && d - firstDecade < 40; ++d) {
    const double decade = std::pow(10.0, d);
    for (int m = 1; m <= 9; ++m) {
      const double v = decade * m;
      if (v < out.Lo * (1 - 1e-9) || v > out.Hi * (1 + 1e-9)) continue;
      const bool major = m == 1 || (narrow && (m == 2 || m == 5));
      out.Ticks.push_back({v, major, major ? label(v) : std::string()});
    }
  }
  // The ends carry a label too unless a decade label sits close by.
  for (const double end : {out.Lo, out.Hi}) {
    const bool crowded = std::any_of(out.Ticks.begin(), out.Ticks.end(), [&](const Tick& t) {
      return t.Major && std::fabs(out.Fraction(t.Value) - out.Fraction(end)) < 0.08;
    });
    if (!crowded) out.Ticks.push_back({end, true, label(end)});
  }
  std::sort(out.Ticks.begin(), out.Ticks.end(),
            [](const Tick& a, const Tick& b) { return a.Value < b.Value; });
}

}  // namespace

double TickSetting(double min, double max, double ticks, bool log, bool limitTo100) {
  if (NotGiven(ticks) || log) return 1;
  if (min * max < 0) {
    const double v = std::max(std::fabs(min), std::fabs(max)) / std::fabs(ticks);
    return v >= 1 ? v : 1;
  }
  const double n = std::round(std::fabs(max - min) / std::fabs(ticks));
  if (n < 1 || (limitTo100 && n > 100)) return 1;
  return n;
}

namespace {

// A step in tenths as its "0.0" text shows it: decimal rounding, halves away from
// zero, no sign on a zero. Nullopt for a step the text shows as "x".
std::optional<long long> Tenths(double step) {
  const double t = step * 10;
  // Near a half, or where the text turns to exponent form, the binary product may
  // round the other way than the decimal text: the text decides there.
  const double fraction = std::fabs(t - std::trunc(t));
  const double margin = 1e-6 + std::fabs(t) * 1e-14;  // beyond the 15 digits the text keeps
  if (std::isfinite(t) && std::fabs(t) < 1e13 && std::fabs(fraction - 0.5) > margin) {
    const long long tenths = std::llround(t);
    return tenths;
  }
  const std::string text = FormatNumber(step, "0.0");
  if (!IsNumeric(text)) return std::nullopt;
  const double shown = Val(text) * 10;
  if (!(std::fabs(shown) < 9e18)) return std::nullopt;
  return std::llround(shown);
}

}  // namespace

bool StepsUneven(const std::vector<double>& frequencies) {
  std::optional<long long> first;
  for (std::size_t i = 1; i < frequencies.size(); ++i) {
    const std::optional<long long> step = Tenths(frequencies[i] - frequencies[i - 1]);
    if (i == 1)
      first = step;
    else if (step != first)
      return true;
  }
  return false;
}

double RoundLogXMax(double max) {
  if (!(max > 0)) return max;
  // Below 100 a fixed 20 would cut off a sweep ending between 20 and 100.
  if (max < 100) return max <= 20 ? 20 : (max <= 50 ? 50 : 100);
  if (max <= 1000) return std::ceil(max / 100 - 1e-9) * 100;
  if (max <= 6000) return std::ceil(max / 1000 - 1e-9) * 1000;
  // Above 7000 the next thousand, so that a long sweep is never cut off.
  return std::max(7000.0, std::ceil(max / 1000 - 1e-9) * 1000);
}

std::string XLabelFormat(double firstFrequency) { return firstFrequency < 1 ? "0.000" : "0"; }

double NiceStep(double span, int target) {
  if (!(span > 0) || !std::isfinite(span)) return 1;
  const double raw = span / std::max(1, target);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  const double r = raw / power;
  const double mult = r <= 1 ? 1 : r <= 2 ? 2 : r <= 2.5 ? 2.5 : r <= 5 ? 5 : 10;
  return mult * power;
}

void ThinLabels(std::vector<Tick>& ticks, const std::vector<float>& centres,
                const std::vector<float>& extents, float gap) {
  std::vector<std::size_t> labelled;
  for (std::size_t i = 0; i < ticks.size() && i < centres.size() && i < extents.size(); ++i)
    if (ticks[i].Major && !ticks[i].Label.empty()) labelled.push_back(i);
  if (labelled.size() < 2) return;
  std::size_t anchor = 0;
  for (std::size_t j = 0; j < labelled.size(); ++j)
    if (ticks[labelled[j]].Value == 0) anchor = j;
  const auto fits = [&](std::size_t k) {
    long previous = -1;
    for (std::size_t j = anchor % k; j < labelled.size(); j += k) {
      const std::size_t i = labelled[j];
      if (previous >= 0) {
        const auto p = static_cast<std::size_t>(previous);
        const float room = std::fabs(centres[i] - centres[p]) - (extents[i] + extents[p]) / 2;
        if (room < gap) return false;
      }
      previous = static_cast<long>(i);
    }
    return true;
  };
  // Steps of 1, 2, 5, 10, 20, 50 ... labels keep round numbers when the ticks are.
  std::size_t k = 1;
  for (std::size_t scale = 1; k < labelled.size() && !fits(k);) {
    if (k == scale)
      k = 2 * scale;
    else if (k == 2 * scale)
      k = 5 * scale;
    else
      k = scale *= 10;
  }
  k = std::min(k, labelled.size());
  for (std::size_t j = 0; j < labelled.size(); ++j) {
    if (k < labelled.size() ? (j + k - anchor % k) % k == 0 : j == anchor) continue;
    ticks[labelled[j]].Label.clear();
    ticks[labelled[j]].Major = false;
  }
}

bool DistinctLabels(std::vector<Tick>& ticks, const std::string& format) {
  const auto repeated = [&]() {
    const std::string* previous = nullptr;
    for (const Tick& t : ticks) {
      if (!t.Major || t.Label.empty()) continue;
      if (previous != nullptr && *previous == t.Label) return true;
      previous = &t.Label;
    }
    return false;
  };
  if (!repeated()) return false;
  const std::size_t point = format.find('.');
  const int had = point == std::string::npos ? 0 : static_cast<int>(format.size() - point - 1);
  for (int d = had + 1; d <= 6; ++d) {
    const std::string wider = "0." + std::string(static_cast<std::size_t>(d), '0');
    for (Tick& t : ticks)
      if (t.Major && !t.Label.empty()) t.Label = FormatNumber(t.Value, wider);
    if (!repeated()) break;
  }
  return true;
}

double AxisLayout::Fraction(double value) const {
  if (!std::isfinite(value)) return kNaN;
  if (Log) {
    if (value <= 0 || Lo <= 0 || Hi <= Lo) return kNaN;
    return (std::log10(value) - std::log10(Lo)) / (std::log10(Hi) - std::log10(Lo));
  }
  if (Hi == Lo) return 0.5;
  return (value - Lo) / (Hi - Lo);
}

AxisFractions::AxisFractions(const AxisLayout& axis)
    : axis_(axis), showable_(axis.Log && axis.Lo > 0 && axis.Hi > axis.Lo) {
  if (showable_) {
    logLo_ = std::log10(axis.Lo);
    logSpan_ = std::log10(axis.Hi) - logLo_;
  }
}

double AxisFractions::operator()(double value) const {
  if (!axis_.Log || !std::isfinite(value)) return axis_.Fraction(value);
  if (value <= 0 || !showable_) return kNaN;
  return (std::log10(value) - logLo_) / logSpan_;
}

AxisLayout ResolveAxis(const AxisSpec& axisSpec, double dataMin, double dataMax) {
  AxisLayout out;
  out.Log = axisSpec.Log;
  const bool haveData = std::isfinite(dataMin) && std::isfinite(dataMax);
  double lo = axisSpec.UserRange ? std::min(axisSpec.Min, axisSpec.Max) : dataMin;
  double hi = axisSpec.UserRange ? std::max(axisSpec.Min, axisSpec.Max) : dataMax;
  if (!std::isfinite(lo) || !std::isfinite(hi)) {
    lo = haveData ? dataMin : (axisSpec.Log ? 1 : 0);
    hi = haveData ? dataMax : (axisSpec.Log ? 10 : 1);
  }
  if (axisSpec.Log) {
    // A logarithmic axis shows positive values only.
    if (hi <= 0) hi = haveData && dataMax > 0 ? dataMax : 10;
    if (lo <= 0) lo = haveData && dataMin > 0 ? dataMin : hi / 10;
    if (!axisSpec.UserRange) {
      lo = std::pow(10.0, std::floor(std::log10(lo) + 1e-9));
      hi = std::pow(10.0, std::ceil(std::log10(hi) - 1e-9));
    }
    if (hi <= lo) hi = lo * 10;
    out.Lo = lo;
    out.Hi = hi;
    LogTicks(out, axisSpec.LabelFormat);
    return out;
  }
  if (hi == lo) {
    const double pad = lo == 0 ? 1 : std::fabs(lo) * 0.1;
    lo -= pad;
    hi += pad;
  }
  if (axisSpec.UserRange && axisSpec.Ticks > 1) {
    out.Lo = lo;
    out.Hi = hi;
    const bool across = lo < 0 && hi > 0;
    const double step = across ? std::max(-lo, hi) / axisSpec.Ticks : (hi - lo) / axisSpec.Ticks;
    if ((hi - lo) / step <= kMaxTicks) {
      LinearTicks(out, step, across ? 0 : lo, axisSpec.LabelFormat);
      return out;
    }
  }
  const double step = NiceStep(hi - lo, 5);
  if (!axisSpec.UserRange) {
    lo = std::floor(lo / step + 1e-9) * step;
    hi = std::ceil(hi / step - 1e-9) * step;
  }
  out.Lo = lo;
  out.Hi = hi;
  LinearTicks(out, step, 0, axisSpec.LabelFormat);
  return out;
}

}  // namespace vantrel::chart

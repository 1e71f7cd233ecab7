#pragma once
// Repeated timings summarised as median and range, so that a figure in the README
// can be reproduced on a shared machine whose load comes and goes.

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vantrel::bench {

/// Runs of at least this many give the figures the README quotes.
inline constexpr int kDefaultRuns = 5;

struct Spread {
  double Median = 0;
  double Min = 0;
  double Max = 0;
};

inline Spread SpreadOf(std::vector<double> samples) {
  if (samples.empty()) return {};
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
  return {median, samples.front(), samples.back()};
}

inline double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

/// Seconds of each of runs calls of work.
inline std::vector<double> Timings(int runs, const std::function<void()>& work) {
  std::vector<double> out;
  for (int i = 0; i < runs; ++i) out.push_back(Seconds(work));
  return out;
}

/// "12.3 ms (11.9-13.0, 5 runs)" for a spread of seconds.
inline std::string Milliseconds(const Spread& s, int runs) {
  char text[96];
  std::snprintf(text, sizeof text, "%9.1f ms (%.1f-%.1f, %d runs)", s.Median * 1000, s.Min * 1000,
                s.Max * 1000, runs);
  return text;
}

}  // namespace vantrel::bench

#pragma once
// Everything a chart shows, as plain values: the graph plotter fills it, the chart
// painter draws it. Nothing here knows where the numbers came from.

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::chart {

/// Red in the low byte, then green, then blue (the page canvas's colour form).
using ChartRgb = uint32_t;

struct ChartPoint {
  double X = 0;
  double Y = 0;
  bool Missing = false;
};

struct DataSet {
  std::vector<ChartPoint> Points;
  ChartRgb Colour = 0x000000;
  int Thickness = 0;  // line width steps, 0 the thinnest
  int Style = 0;      // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
  std::string Legend;
  bool OnTop = false;  // drawn after the others, as limit curves are
};

struct AxisSpec {
  bool Log = false;
  /// With a user range Min and Max are the bounds; otherwise they come from the data.
  bool UserRange = false;
  double Min = 0;
  double Max = 0;
  /// 1: ticks chosen automatically; above 1 with a user range: intervals between Min
  /// and Max; for a range across 0: intervals on the longer side of 0.
  double Ticks = 1;
  std::string LabelFormat;  // number pattern of the tick labels; empty: chosen by step
  std::string Title;
};

struct ChartModel {
  std::string Title;
  float TitlePoints = 9;
  float AxisPoints = 6;
  float AxisTitlePoints = 7;
  AxisSpec X;
  AxisSpec Y;
  std::vector<DataSet> Sets;
  ChartRgb GridColour = 0x808080;
};

}  // namespace vantrel::chart

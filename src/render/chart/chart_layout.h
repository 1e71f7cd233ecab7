#pragma once
// Where every part of a chart goes in its rectangle: the plot area, the axes with the
// labels that fit, the titles and the legend. Measured with the fonts, drawn by nothing.

#include <optional>
#include <string>
#include <vector>

#include "render/chart/axis_scale.h"
#include "render/chart/chart_model.h"
#include "render/font_metrics.h"
#include "render/mm_rect.h"

namespace vantrel::chart {

/// The smallest and largest value of the drawable points of every set along one
/// axis; a logarithmic axis leaves out values of 0 and below. NaN when none.
struct DataRange {
  double Min;
  double Max;
};
DataRange RangeOf(const ChartModel& chart, bool xAxis, bool log);

/// A text in the font it fits at, and the box it is centred in.
struct BoxedText {
  std::string Text;
  std::string Whole;  // before it was cut to the box; empty when it was not
  FontSpec Font;
  MmRect Box;
};

/// A tick label whose run starts at (Left, Top), in the axis font.
struct TickLabel {
  std::string Text;
  float Left = 0;
  float Top = 0;
};

/// One legend entry: a line sample from LineLeft to LineRight at LineY, then its text
/// starting at TextLeft in Box (whose top is the text's).
struct LegendKey {
  float LineLeft = 0;
  float LineRight = 0;
  float LineY = 0;
  ChartRgb Colour = 0;
  int Style = 0;
  std::string Text;
  std::string Whole;
  float TextLeft = 0;
  MmRect Box;
};

struct ChartLayout {
  bool Drawn = false;  // false: the rectangle has no room, nothing is drawn
  MmRect Area;         // the plot's frame
  /// Ticks with the labels that keep clear of each other.
  AxisLayout X;
  AxisLayout Y;
  FontSpec AxisFont;
  std::optional<BoxedText> Title;
  std::vector<TickLabel> XLabels;
  std::vector<TickLabel> YLabels;
  std::optional<BoxedText> XTitle;
  std::optional<BoxedText> YTitle;  // reads upwards
  FontSpec LegendFont;
  std::vector<LegendKey> Legend;
};

ChartLayout LayOutChart(const FontMetrics& metrics, const std::string& family, const MmRect& outer,
                        const ChartModel& chart);

}  // namespace vantrel::chart

#pragma once
// Draws a chart into a rectangle of the page as vectors.

#include "render/chart/axis_scale.h"
#include "render/chart/chart_model.h"
#include "render/mm_rect.h"

namespace vantrel {
class PageCanvas;
}

namespace vantrel::chart {

/// The smallest and largest value of the drawable points of every set along one
/// axis; a logarithmic axis leaves out values of 0 and below. NaN when none.
struct DataRange {
  double Min;
  double Max;
};
DataRange RangeOf(const ChartModel& chart, bool xAxis, bool log);

/// Lays chart out in rect onto the canvas's plan; the canvas's state is left as it was.
void DrawChart(PageCanvas& canvas, const MmRect& rect, const ChartModel& chart);

}  // namespace vantrel::chart

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
DataRange RangeOf(const ChartModel& chartSpec, bool xAxis, bool log);

/// Draws chartSpec into rect. The canvas's drawing state is left as it was.
void DrawChart(PageCanvas& canvas, const MmRect& rect, const ChartModel& chartSpec);

}  // namespace vantrel::chart

#pragma once
// Draws a chart into a rectangle of the page as vectors.

#include "render/chart/chart_layout.h"
#include "render/chart/chart_model.h"
#include "render/mm_rect.h"

namespace vantrel {
class PageCanvas;
}

namespace vantrel::chart {

/// Lays chart out in rect onto the canvas's plan; the canvas's state is left as it was.
void DrawChart(PageCanvas& canvas, const MmRect& rect, const ChartModel& chart);

}  // namespace vantrel::chart

#pragma once
// The chart palette: the colour each palette number of a trace or grid colour
// name stands for.

#include "render/chart/chart_model.h"

namespace vantrel::chart {

/// Numbers that no colour name gives are black, like an unknown name.
ChartRgb PaletteColour(int number);

}  // namespace vantrel::chart

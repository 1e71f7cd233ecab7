#pragma once
// One graph of a report: its place, its data sets and axes as a chart model, the
// worst-margin lines and the frame.

#include <string>

#include "definitions/graph_definition.h"
#include "render/chart/chart_model.h"
#include "render/page_canvas.h"
#include "render/render_context.h"
#include "render/slot_layout.h"

namespace vantrel {

struct GraphBuild {
  bool Skip = true;  // nothing is drawn
  MmRect Item;
  MmRect Plot;
  chart::ChartModel Chart;
  std::string OwnTitle;  // drawn above the chart when the chart's own title is off
  bool OwnTitleBand = false;
  std::string LimitMargin;
  std::string ControlMargin;
  bool Failed = false;
  /// Grid column code of each set, in set order.
  std::vector<ColumnCode> SetCodes;
  std::vector<std::string> SetHeadings;
};

/// Loads the graph's data and works out everything that will be drawn.
GraphBuild BuildGraph(RenderContext& context, const GraphDefinition& graph, const SlotGrid& slots,
                      int columnOffset, int graphNumber, int slotsX, int slotsY);

/// Draws one graph and records its numbers in the plan; true when it was drawn.
/// reportFailed is set when its test failed.
bool PlotGraph2(RenderContext& context, PageCanvas& canvas, const GraphDefinition& graph,
                const SlotGrid& slots, int columnOffset, int graphNumber, int slotsX, int slotsY,
                bool& reportFailed);

}  // namespace vantrel

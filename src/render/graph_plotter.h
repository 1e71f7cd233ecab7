#pragma once
// One graph of a report: its place, its data sets and axes as a chart model, the
// worst-margin lines and the frame.

#include <string>

#include "definitions/graph_definition.h"
#include "render/chart/chart_model.h"
#include "render/page_canvas.h"
#include "render/page_data.h"
#include "render/render_context.h"
#include "render/slot_layout.h"

namespace vantrel {

struct GraphBuild {
  bool Skip = true;  // nothing is drawn
  MmRect Item;
  MmRect Plot;
  MmRect ChartArea;  // the plot below the own title's band
  chart::ChartModel Chart;
  std::string OwnTitle;  // drawn above the chart when the chart's own title is off
  bool OwnTitleBand = false;
  MmRect OwnTitleBox;
  struct MarginLine {
    std::string Text;
    MmRect Band;
    Rgb Colour = kBlack;
  };
  std::vector<MarginLine> MarginLines;
  std::string LimitMargin;
  std::string ControlMargin;
  bool Failed = false;
  /// Its data was taken (it was placed) and a test of it lacks rows.
  bool Incomplete = false;
  /// Grid column code of each set, in set order.
  std::vector<ColumnCode> SetCodes;
  std::vector<std::string> SetHeadings;
};

/// Works out everything that will be drawn of a graph from its fetched data.
GraphBuild LayOutGraph(const LayoutContext& context, const PageData& page, const GraphData& data,
                       const GraphDefinition& graph, const SlotGrid& slots, int slotsX, int slotsY);

/// Fetches the graph's data, then LayOutGraph.
GraphBuild LayOutGraph(RenderContext& context, const GraphDefinition& graph, const SlotGrid& slots,
                       int columnOffset, int graphNumber, int slotsX, int slotsY);

/// Draws one graph and records its numbers in the plan; true when it was drawn.
/// reportFailed is set when its test failed, incomplete when one of its tests lacks rows.
bool DrawGraph(const LayoutContext& context, PageCanvas& canvas, const PageData& page,
               const GraphData& data, const GraphDefinition& graph, const SlotGrid& slots,
               int graphNumber, int slotsX, int slotsY, bool& reportFailed, bool& incomplete);

}  // namespace vantrel

#pragma once
// The headroom summary over many result files as report pages: the definition's logo,
// a title band, and the summary's rows as one table continued over as many pages as
// it needs, its column heads on each.

#include <string>
#include <vector>

#include "render/page_plan.h"
#include "render/page_target.h"
#include "render/render_context.h"

namespace vantrel {

struct SummaryRow {
  std::vector<std::string> Cells;
  bool Failed = false;
  /// The row that closes a result file: set apart from the next file's rows.
  bool Closing = false;
  /// Why there are no figures (a file that did not load): printed across the cells
  /// between the cable and the status, which reads ERROR.
  std::string Reason;
};

struct SummaryTable {
  std::string Title;
  std::string Note;  // a line under the title: what was summed up, and when
  std::vector<std::string> Heads;
  /// Relative widths of the columns; equal when empty.
  std::vector<float> Weights;
  std::vector<SummaryRow> Rows;
};

/// One plan per page; at least one page, with the column heads, when there are no rows.
std::vector<PagePlan> PlanSummaryPages(RenderContext& context, const SummaryTable& table,
                                       PaperSize paper);

}  // namespace vantrel

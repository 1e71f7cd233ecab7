#pragma once
// One report page laid out as a plan from the report's definitions and the page's
// fetched data; nothing is read from the data object and nothing is painted.

#include <cstdint>
#include <functional>

#include "render/font_metrics.h"
#include "render/page_data.h"
#include "render/page_plan.h"
#include "render/render_context.h"

namespace vantrel {

struct PageRequest {
  int ReportIndex = 0;  // 0-based
  int Page = 1;
  int ColumnOffset = 0;
  bool NoHeader = false;
  bool NoLogo = false;
  /// A band at the top for the large fail mark on a page without a logo band.
  bool MarkBand = false;
  /// Pages that carried a number before this one.
  int16_t PageCounter = 0;
};

enum class PageResult {
  Planned,
  Cancelled,      // stopped between items; what was laid out stays
  NeedsMarkBand,  // the report failed and the page has no room for the mark
};

struct PageLayout {
  PagePlan Plan;
  PageResult Result = PageResult::Planned;
  int16_t PageCounter = 0;
  bool HeaderDone = false;  // the header block and the logo were laid out
};

/// Lays out page in.Page of a report, widthMm by heightMm, from data. cancel is asked
/// between items.
PageLayout LayOutPage(const LayoutContext& context, const PageRequest& in, const PageData& data,
                      double widthMm, double heightMm, const FontMetrics& fonts,
                      const std::function<bool()>& cancel);

}  // namespace vantrel

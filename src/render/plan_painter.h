#pragma once
// Paints a page plan onto the current page of a target.

#include "render/page_plan.h"
#include "render/page_target.h"

namespace vantrel {

/// The page is cleared to white first. Throws OutputDeviceError when the target has
/// no page to paint on.
void PaintPlan(const PagePlan& plan, PageTarget& target);

}  // namespace vantrel

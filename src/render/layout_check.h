#pragma once
// What a customer would find wrong on a laid-out page: text that runs out of its
// box, text over text, marks outside the printable area, text too small to read.

#include <string>
#include <vector>

#include "render/layout_rules.h"
#include "render/page_plan.h"

namespace vantrel {

struct LayoutFinding {
  std::string Item;  // "header block", "graph 2", ...; "page" for unnamed parts
  std::string What;
};

std::vector<LayoutFinding> CheckLayout(const PagePlan& plan);

/// "report <r> page <p>: <item>: <what>"
std::string FindingLine(const PagePlan& plan, const LayoutFinding& finding);

}  // namespace vantrel

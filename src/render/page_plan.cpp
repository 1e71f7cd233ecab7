#include "render/page_plan.h"

namespace vantrel {

std::vector<std::vector<std::string>> TableTexts(const PagePlan& plan, const PlanTable& table) {
  std::vector<std::vector<std::string>> rows(
      static_cast<std::size_t>(std::max(0, table.Rows)),
      std::vector<std::string>(static_cast<std::size_t>(std::max(0, table.Columns))));
  for (const PlanItem& item : plan.Items) {
    const auto* text = std::get_if<PlanText>(&item);
    if (text == nullptr || text->Cell.Table != table.Number) continue;
    const CellAddress& at = text->Cell;
    if (at.Row < 0 || at.Row >= table.Rows || at.Column < 0 || at.Column >= table.Columns) continue;
    rows[static_cast<std::size_t>(at.Row)][static_cast<std::size_t>(at.Column)] =
        text->Whole.empty() ? text->Text : text->Whole;
  }
  rows.insert(rows.end(), table.LeftOut.begin(), table.LeftOut.end());
  return rows;
}

}  // namespace vantrel

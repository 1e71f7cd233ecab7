#pragma once
// Test blocks written as their data lines: one text per field, as the parser would
// classify them.

#include <initializer_list>
#include <string>
#include <vector>

#include "results/test_block.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel::testing {

inline Cell FieldCell(const std::string& field) {
  Cell cell;
  if (field.empty()) return cell;
  if (IsNumeric(field)) {
    cell.Type = Cell::Kind::Number;
    cell.Number = Val(field);
  } else if (EqualsNoCase(field, "pass") || EqualsNoCase(field, "fail")) {
    cell.Type = Cell::Kind::Text;
    cell.Text = field;
  } else {
    cell.Type = Cell::Kind::Missing;
  }
  return cell;
}

/// Every line has the same field count, which becomes Cols; the last field is also
/// the row's status text.
inline TestBlock BlockOf(std::initializer_list<std::vector<std::string>> lines) {
  TestBlock block;
  block.SetCols(static_cast<int>(lines.begin()->size()));
  for (const auto& fields : lines) {
    std::vector<Cell> cells;
    for (const auto& field : fields) cells.push_back(FieldCell(field));
    block.AddRow(std::move(cells), fields.back());
  }
  return block;
}

}  // namespace vantrel::testing

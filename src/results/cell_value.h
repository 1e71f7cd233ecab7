#pragma once
// A data field as a cell: a number, "pass"/"fail" text, or the missing mark.

#include <cstddef>
#include <string_view>

#include "results/test_block.h"

namespace vantrel {

/// The numeric test and the leading-number value in one pass: true and value set when
/// IsNumeric(field) holds, with value == Val(field).
bool NumericField(std::string_view field, double& value);

/// Number when numeric, Text when the field is "pass" or "fail" in any case, else
/// Missing.
void ParseCell(std::string_view field, Cell& cell);

/// ParseCell on the field that starts text and ends before the first delimiter (a tab
/// or a comma) or with text; gives the field's length. Plain decimals are read in the
/// same pass that finds the field's end.
std::size_t ParseLeadingCell(std::string_view text, char delimiter, Cell& cell);

}  // namespace vantrel

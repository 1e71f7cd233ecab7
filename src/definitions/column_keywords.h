#pragma once
// The words the definition file may write in place of column and row numbers.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "definitions/column_code.h"

namespace vantrel {

struct ColumnKeyword {
  std::string_view Word;
  ColumnCode Code;
};

/// A FREQS keyword of a table, its code, and the label its row is written with.
struct RowKeyword {
  std::string_view Word;
  ColumnCode Code;
  std::string_view Label;
};

/// Replaces every "limits" by the limit columns of the test's class and, with
/// controlLimits, appends the control-limit columns. text is lower-case.
std::string ExpandLimits(std::string_view text, std::string_view testName, bool controlLimits);

/// A trimmed, lower-case COLS element of a graph: a keyword or a column number.
/// Empty when the number does not fit 16 bits.
std::optional<ColumnCode> GraphColumnCode(std::string_view element);

/// The same for a table, which knows a few more keywords ("dl3", "max-min", ...).
std::optional<ColumnCode> TableColumnCode(std::string_view element);

/// The code of a trimmed, lower-case FREQS keyword; empty for anything else.
std::optional<ColumnCode> RowKeywordCode(std::string_view element);

/// The keyword row of a code; null for a code that is no keyword row.
const RowKeyword* RowKeywordOfCode(ColumnCode code);

/// The keyword tables themselves, for those who list what a definition may write.
/// The "dl" and "du" forms of tables are not in them: they take a digit.
std::span<const ColumnKeyword> GraphColumnKeywords();
std::span<const ColumnKeyword> TableColumnKeywords();
std::span<const RowKeyword> RowKeywords();

}  // namespace vantrel

#pragma once
// The result file's lines and fields. Positions are 1-based byte positions into the
// file's bytes; fields are views into those bytes.

#include <cstddef>
#include <string_view>
#include <vector>

namespace vantrel {

inline constexpr int kMaxFields = 5001;

/// Splits one line (without its line end). Trailing tabs and commas go first, as long
/// as more than one character is left; an empty line gives 0. The last of the 5001
/// fields takes the rest of the line, delimiters included. Fields are not trimmed.
int LineFields(std::string_view line, char delimiter, std::vector<std::string_view>& fields);

/// Drops the trailing tabs and commas as LineFields does; false when no field is left.
bool StripTrailing(std::string_view& line);

/// A line as LineFields splits it, without the list of fields.
struct RowShape {
  int Count = 0;          // what LineFields returns
  bool AllBlank = true;   // every field is empty or blanks
  std::string_view Line;  // without the trailing tabs and commas
  std::string_view Last;  // the last field: a data row's status
};

RowShape ShapeOfRow(std::string_view line, char delimiter);

/// Walks the lines of a text held in memory. Lines end in LF, CR LF or a lone CR.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text, std::size_t position = 1)
      : text_(text), offset_(position > 0 ? position - 1 : 0) {}

  bool AtEnd() const { return offset_ >= text_.size(); }
  /// 1-based position of the next line.
  std::size_t Position() const { return offset_ + 1; }
  void Seek(std::size_t position) { offset_ = position > 0 ? position - 1 : 0; }
  /// The next line without its line end; false at end of text.
  bool Next(std::string_view& line);

 private:
  std::string_view text_;
  std::size_t offset_;
};

}  // namespace vantrel

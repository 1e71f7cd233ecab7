#pragma once
// One parsed test block: a grid of cells indexed [column, row], the rows' status
// texts and the column headings.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

/// The text of a Text cell, kept in the cell: "pass" or "fail" needs no allocation, and
/// a block of cells half the size is quicker to fill and to read.
class CellText {
 public:
  static constexpr std::size_t kCapacity = 7;  // more than a Text cell ever holds

  CellText() = default;
  CellText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }
  void Assign(std::string_view text) {
    size_ = static_cast<uint8_t>(std::min(text.size(), kCapacity));
    if (size_ > 0) std::memcpy(chars_, text.data(), size_);  // an empty view may be null
  }
  void Clear() { size_ = 0; }
  std::string_view View() const { return {chars_, size_}; }
  friend bool operator==(const CellText& a, std::string_view b) { return a.View() == b; }

 private:
  char chars_[kCapacity] = {};
  uint8_t size_ = 0;
};

/// A cell of a data row. Number: the field passed the numeric test. Text: the field
/// was "pass" or "fail" in any case, kept as written. Missing: any other field ("x").
/// Empty: the row had fewer fields than the block has columns.
struct Cell {
  enum class Kind : uint8_t { Empty, Number, Text, Missing };
  Kind Type = Kind::Empty;
  /// The field was short enough (15 characters at most) that number already equals
  /// its 15-digit general form; longer fields are rounded when a grid takes them.
  bool ShortField = false;
  double Number = 0;
  CellText Text;  // only for Kind::Text

  bool IsNumber() const { return Type == Kind::Number; }
  /// The cell as the grids hold it: general number form, the text, "x", or "".
  std::string AsText() const;
};

inline const Cell kEmptyCell;
inline const std::string kEmptyBlockText;  // a status or heading beyond the block

class TestBlock {
 public:
  int Cols() const { return cols_; }
  int Rows() const { return rows_; }

  /// Cells outside the block are Empty. Inline: the grids read every cell through it.
  const Cell& At(int column, int row) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= cols_) return kEmptyCell;
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) +
                  static_cast<std::size_t>(column)];
  }
  const std::string& RowStatus(int row) const {
    return row < 0 || row >= rows_ ? kEmptyBlockText : status_[static_cast<std::size_t>(row)];
  }
  /// Heading of a column, "" beyond the headings.
  const std::string& Heading(int column) const;
  const std::vector<std::string>& Headings() const { return headings_; }

  // Building, for the parser and for tests.
  /// Empties the block; the storage stays for the next one.
  void Reset();
  /// Rows already added are padded with Empty cells or cut.
  void SetCols(int cols);
  /// The Cols() cells of the row after the last, to be set, every one, before
  /// CommitRow; they still hold what an earlier block left there.
  std::span<Cell> NextRow();
  /// Adds the row NextRow gave.
  void CommitRow(std::string_view status);
  /// Appends a row of cells; the row is padded or cut to Cols().
  void AddRow(std::vector<Cell> cells, std::string status);
  void SetHeadings(std::vector<std::string> headings) { headings_ = std::move(headings); }

 private:
  int cols_ = 2;
  int rows_ = 0;
  std::vector<Cell> cells_;          // row after row, Cols() each
  std::vector<std::string> status_;  // may hold more than Rows()
  std::vector<std::string> headings_;
};

}  // namespace vantrel

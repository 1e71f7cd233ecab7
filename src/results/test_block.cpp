#include "results/test_block.h"

#include <algorithm>

#include "support/number.h"

namespace vantrel {

std::string Cell::AsText() const {
  switch (Type) {
    case Kind::Number:
      return FormatGeneral(Number);
    case Kind::Text:
      return std::string(Text.View());
    case Kind::Missing:
      return "x";
    case Kind::Empty:
      return "";
  }
  return "";
}

const std::string& TestBlock::Heading(int column) const {
  if (column < 0 || column >= static_cast<int>(headings_.size())) return kEmptyBlockText;
  return headings_[static_cast<std::size_t>(column)];
}

void TestBlock::Reset() {
  cols_ = 2;
  rows_ = 0;
  headings_.clear();
}

void TestBlock::SetCols(int cols) {
  cols = std::max(cols, 0);
  if (rows_ > 0 && cols != cols_) {
    // Only the first rows of a block widen it: copying them is cheap.
    const auto rows = static_cast<std::size_t>(rows_);
    const auto from = static_cast<std::size_t>(cols_);
    const auto to = static_cast<std::size_t>(cols);
    std::vector<Cell> old(std::make_move_iterator(cells_.begin()),
                          std::make_move_iterator(cells_.begin() + rows * from));
    if (cells_.size() < rows * to) cells_.resize(rows * to);
    for (std::size_t r = 0; r < rows; ++r) {
      for (std::size_t c = 0; c < to; ++c) {
        cells_[r * to + c] = c < from ? std::move(old[r * from + c]) : Cell{};
      }
    }
  }
  cols_ = cols;
}

std::span<Cell> TestBlock::NextRow() {
  const auto row = static_cast<std::size_t>(rows_);
  const auto cols = static_cast<std::size_t>(cols_);
  if (cells_.size() < (row + 1) * cols) cells_.resize((row + 1) * cols);
  return {cells_.data() + row * cols, cols};
}

void TestBlock::CommitRow(std::string_view status) {
  const auto row = static_cast<std::size_t>(rows_);
  if (status_.size() <= row) {
    status_.emplace_back(status);
  } else {
    status_[row].assign(status);
  }
  ++rows_;
}

void TestBlock::AddRow(std::vector<Cell> cells, std::string status) {
  cells.resize(static_cast<std::size_t>(cols_));
  std::move(cells.begin(), cells.end(), NextRow().begin());
  CommitRow(status);
}

}  // namespace vantrel

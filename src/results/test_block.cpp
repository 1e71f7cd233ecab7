#include "results/test_block.h"

#include "support/number.h"

namespace vantrel {

namespace {
const Cell kEmptyCell;
const std::string kEmptyText;
}  // namespace

std::string Cell::AsText() const {
  switch (kind) {
    case Kind::Number: return FormatGeneral(number);
    case Kind::Text: return text;
    case Kind::Missing: return "x";
    case Kind::Empty: return "";
  }
  return "";
}

const Cell& TestBlock::At(int column, int row) const {
  if (row < 0 || row >= Rows() || column < 0) return kEmptyCell;
  const auto& cells = rows_[static_cast<std::size_t>(row)];
  if (column >= static_cast<int>(cells.size())) return kEmptyCell;
  return cells[static_cast<std::size_t>(column)];
}

const std::string& TestBlock::RowStatus(int row) const {
  if (row < 0 || row >= static_cast<int>(status_.size())) return kEmptyText;
  return status_[static_cast<std::size_t>(row)];
}

const std::string& TestBlock::Heading(int column) const {
  if (column < 0 || column >= static_cast<int>(headings_.size())) return kEmptyText;
  return headings_[static_cast<std::size_t>(column)];
}

void TestBlock::Reset() {
  cols_ = 2;
  rows_.clear();
  status_.clear();
  headings_.clear();
}

void TestBlock::AddRow(std::vector<Cell> cells, std::string status) {
  cells.resize(static_cast<std::size_t>(cols_));
  rows_.push_back(std::move(cells));
  status_.push_back(std::move(status));
}

}  // namespace vantrel

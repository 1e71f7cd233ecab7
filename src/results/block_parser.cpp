// Test blocks: lookup by name and occurrence, parsing into cells, the one-block cache.

#include <algorithm>
#include <limits>
#include <span>

#include "results/cell_value.h"
#include "results/line_fields.h"
#include "results/obj_data.h"
#include "support/encoding.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

constexpr int kMaxRows = std::numeric_limits<int16_t>::max();

bool StartsBlock(std::string_view line) {
  return StartsWith(line, "TEST:") || StartsWith(line, "TEST SUMMARY :") ||
         StartsWith(line, "SUMMARY INFORMATION");
}

}  // namespace

std::optional<ParsedTest> ObjData::FindTest(std::string_view name, int16_t occurrence) {
  const std::optional<int16_t> entry = LookupTest(name, occurrence);
  if (!entry) return std::nullopt;
  return ParseEntry(*entry);
}

std::optional<ParsedTest> ObjData::ParseEntry(int16_t indexEntry) {
  if (indexEntry < 0 || indexEntry >= testCount_) return std::nullopt;
  TestIndexEntry& entry = index_[static_cast<std::size_t>(indexEntry)];
  // The copy does not change between SetFile calls, so a block parsed once stays valid.
  if (cacheKey_ != 0 && cacheKey_ == entry.Start) {
    return ParsedTest{&cache_, entry.Failed, indexEntry, incomplete_.count(entry.Start) > 0};
  }
  if (!ParseBlock(indexEntry)) return std::nullopt;
  std::swap(current_, cache_);
  cacheKey_ = entry.Start;
  return ParsedTest{&cache_, entry.Failed, indexEntry, incomplete_.count(entry.Start) > 0};
}

bool ObjData::ReachRows(TestIndexEntry& entry, LineCursor& cursor,
                        std::vector<std::string>* headings) {
  std::vector<std::string_view> fields;
  std::string_view line;
  if (!cursor.Next(line) || LineFields(line, delimiter_, fields) < 1 || fields[0] != "TEST:") {
    return false;
  }
  for (int headingLine = 0;; ++headingLine) {
    const std::size_t position = cursor.Position();
    // A block without data rows must not borrow the next block's rows.
    if (!cursor.Next(line) || StartsBlock(line)) {
      Incomplete(entry, "it has no data rows");
      return false;
    }
    const int n = LineFields(line, delimiter_, fields);
    if (n >= 1 && (fields[0] == "-" || IsNumeric(fields[0]))) {
      cursor.Seek(position);
      return true;
    }
    if (n < 2 || headings == nullptr) continue;
    if (headingLine == 1) {
      headings->clear();
      for (std::string_view f : fields) headings->push_back(DecodeInput(TrimView(f)));
    } else if (headingLine == 3) {
      for (std::size_t k = 2; k < headings->size() && k < fields.size(); ++k) {
        (*headings)[k] += " - " + DecodeInput(TrimView(fields[k]));
      }
    }
  }
}

bool ObjData::ParseBlock(int16_t indexEntry) {
  TestIndexEntry& entry = index_[static_cast<std::size_t>(indexEntry)];
  TestBlock& block = current_;
  block.Reset();
  LineCursor cursor(contents_, static_cast<std::size_t>(entry.Start));
  std::vector<std::string> headings;
  if (!ReachRows(entry, cursor, &headings)) return false;
  block.SetHeadings(std::move(headings));

  std::string_view line;
  entry.Failed = false;
  for (;;) {
    const bool more = cursor.Next(line);
    if (more && block.Rows() > 2 && block.Rows() < kMaxRows && ReadFullRow(entry, line)) continue;
    const RowShape row = more ? ShapeOfRow(line, delimiter_) : RowShape{};
    int n = row.count;
    if (n > block.Cols() && block.Rows() <= 2) block.SetCols(n);
    if (n > 0 && row.allBlank) n = 1;
    if (n < 2) {
      if (block.Rows() == 0) Incomplete(entry, "it has no data rows");
      return true;
    }
    if (block.Rows() >= kMaxRows) {
      // Every graph of the test asks again; one message is enough.
      if (!quiet_ && unreadable_.insert(entry.Start).second) {
        prompter_.Message("Error in ObjData/ReadTestData\r\rThe test '" + entry.Name +
                              "' has more than " + std::to_string(kMaxRows) +
                              " rows; it cannot be read.",
                          "Error", PromptIcon::Exclamation, PromptButtons::Ok);
      }
      return false;
    }
    const int cols = block.Cols();
    if (n < cols) {
      Incomplete(entry, "its row " + std::to_string(block.Rows() + 1) + " holds " +
                            std::to_string(n) + " of " + std::to_string(cols) +
                            " columns (is the file cut short?)");
    }
    const std::span<Cell> cells = block.NextRow();
    std::string_view rest = row.line;
    const int filled = std::min(n, cols);
    for (int k = 0; k < filled; ++k) {
      std::string_view field = rest;
      if (k < n - 1) {
        const std::size_t at = rest.find(delimiter_);
        field = rest.substr(0, at);
        rest.remove_prefix(at + 1);
      }
      Cell& cell = cells[static_cast<std::size_t>(k)];
      ParseCell(field, cell);
      if (cell.kind == Cell::Kind::Missing && !decimalCommaTold_ && !quiet_) {
        CheckDecimalComma(entry, field);
      }
    }
    for (std::size_t k = static_cast<std::size_t>(filled); k < cells.size(); ++k) {
      cells[k].kind = Cell::Kind::Empty;
      cells[k].shortField = false;
      cells[k].number = 0;
      cells[k].text.clear();
    }
    block.CommitRow(row.last);
    if (row.last.find('F') != std::string_view::npos) entry.Failed = true;
  }
}

// The common row, in one pass: at least as many fields as the block has columns, not
// all blank, not so many that the last field is capped. False for any other row, with
// nothing told and nothing added, for ParseBlock to read in full.
bool ObjData::ReadFullRow(TestIndexEntry& entry, std::string_view line) {
  TestBlock& block = current_;
  const int cols = block.Cols();
  if (cols >= kMaxFields || !StripTrailing(line)) return false;
  const std::span<Cell> cells = block.NextRow();
  std::string_view rest = line;
  std::string_view status;
  bool blank = true;
  bool comma = false;  // a missing value with a comma in it: perhaps a decimal comma
  for (int k = 0; k < cols; ++k) {
    Cell& cell = cells[static_cast<std::size_t>(k)];
    const std::size_t length = ParseLeadingCell(rest, delimiter_, cell);
    const std::string_view field = rest.substr(0, length);
    if (cell.kind == Cell::Kind::Missing) {
      blank = blank && TrimView(field).empty();
      comma = comma || field.find(',') != std::string_view::npos;
    } else {
      blank = false;
    }
    if (length == rest.size()) {
      if (k + 1 < cols) return false;
      status = rest;
      rest = {};
    } else {
      rest.remove_prefix(length + 1);
    }
  }
  if (blank) return false;
  if (!status.data()) {
    // Fields past the last column: whether they could reach the field cap at all.
    if (rest.size() > static_cast<std::size_t>(kMaxFields - 1 - cols)) return false;
    const std::size_t at = rest.rfind(delimiter_);
    status = at == std::string_view::npos ? rest : rest.substr(at + 1);
  }
  block.CommitRow(status);
  if (status.find('F') != std::string_view::npos) entry.Failed = true;
  if (comma && !decimalCommaTold_ && !quiet_) {
    rest = line;
    for (const Cell& cell : cells) {
      const std::size_t length = std::min(rest.find(delimiter_), rest.size());
      if (cell.kind == Cell::Kind::Missing && !decimalCommaTold_) {
        CheckDecimalComma(entry, rest.substr(0, length));
      }
      rest.remove_prefix(std::min(length + 1, rest.size()));
    }
  }
  return true;
}

std::optional<bool> ObjData::ScanFailed(int16_t indexEntry) {
  TestIndexEntry& entry = index_[static_cast<std::size_t>(indexEntry)];
  LineCursor cursor(contents_, static_cast<std::size_t>(entry.Start));
  if (!ReachRows(entry, cursor, nullptr)) return std::nullopt;
  // The rows end, and a row's status is judged, exactly as ParseBlock does it.
  entry.Failed = false;
  std::string_view line;
  for (int rows = 0;; ++rows) {
    const RowShape row = cursor.Next(line) ? ShapeOfRow(line, delimiter_) : RowShape{};
    if (row.count < 2 || row.allBlank) return entry.Failed;
    if (rows >= kMaxRows) return std::nullopt;
    if (row.last.find('F') != std::string_view::npos) entry.Failed = true;
  }
}

bool ObjData::AnyTestFailed() {
  if (overallFailed_) return true;
  quiet_ = true;
  bool failed = false;
  for (int16_t i = 0; i < testCount_ && !failed; ++i) failed = ScanFailed(i).value_or(false);
  quiet_ = false;
  ResetNumCols();
  return failed;
}

void ObjData::Incomplete(const TestIndexEntry& entry, const std::string& why) {
  if (quiet_ || !incomplete_.insert(entry.Start).second) return;
  prompter_.Message("The test '" + entry.Name + "' is incomplete: " + why + ".", "Incomplete Test",
                    PromptIcon::Exclamation, PromptButtons::Ok);
}

// "1,5" reads as no value; without a word the graph just has gaps.
void ObjData::CheckDecimalComma(const TestIndexEntry& entry, std::string_view field) {
  const std::string_view f = TrimView(field);
  std::size_t i = (!f.empty() && (f[0] == '-' || f[0] == '+')) ? 1 : 0;
  const std::size_t intStart = i;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i;
  if (i == intStart || i >= f.size() || f[i] != ',') return;
  const std::size_t fracStart = ++i;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i;
  if (i == fracStart || i != f.size()) return;
  decimalCommaTold_ = true;
  prompter_.Message("The result file writes numbers with a decimal comma, such as '" +
                        std::string(f) + "' in the test '" + entry.Name +
                        "'.\r\rSuch values cannot be read and are shown as missing (x). The "
                        "instrument's software must write a full stop as the decimal mark.",
                    "Decimal Comma", PromptIcon::Exclamation, PromptButtons::Ok);
}

void ObjData::ResetNumCols() {
  cache_.Reset();
  cache_.SetCols(0);
  cacheKey_ = 0;
}

bool ObjData::MoreColsToShow(int16_t k) const {
  if (cacheKey_ == 0) return false;
  return cache_.Cols() - LimitColumns() - 3 > k;
}

std::vector<std::string> ColumnTitles(const TestBlock& block,
                                      const std::vector<ColumnCode>& codes) {
  std::vector<std::string> titles;
  titles.reserve(codes.size());
  const int cols = block.Cols();
  for (const ColumnCode c : codes) {
    int column = c;
    switch (c) {
      case code::kEmp:
      case code::kMaxAbsProduct:
      case code::kMin:
      case code::kMax:
      case code::kMean:
      case code::kMaxMinusMin:
        column = 1;
        break;
      case code::kUpperControl:
      case code::kLastPair:
        column = cols - 4;
        break;
      case code::kLowerControl:
        column = cols - 5;
        break;
      case code::kUpperLimit:
        column = cols - 2;
        break;
      case code::kLowerLimit:
        column = cols - 3;
        break;
      default:
        break;
    }
    titles.push_back(block.Heading(column));
  }
  return titles;
}

void MatrixCopy(TextGrid& destination, const TextGrid& source) {
  for (std::size_t i = 0; i < destination.size() && i < source.size(); ++i) {
    for (std::size_t j = 0; j < destination[i].size() && j < source[i].size(); ++j) {
      destination[i][j] = source[i][j];
    }
  }
}

}  // namespace vantrel

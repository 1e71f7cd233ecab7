// Test blocks: lookup by name and occurrence, parsing into cells, the one-block cache.

#include <limits>

#include "support/encoding.h"
#include "support/number.h"
#include "support/text.h"
#include "results/cell_value.h"
#include "results/line_fields.h"
#include "results/obj_data.h"

namespace vantrel {

namespace {

constexpr int kMaxRows = std::numeric_limits<int16_t>::max();

bool StartsBlock(std::string_view line) {
  return StartsWith(line, "TEST:") || StartsWith(line, "TEST SUMMARY :") ||
         StartsWith(line, "SUMMARY INFORMATION");
}

bool AllBlank(const std::vector<std::string_view>& fields) {
  for (std::string_view f : fields) {
    if (!TrimView(f).empty()) return false;
  }
  return true;
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

  std::vector<std::string_view> fields;
  std::string_view line;
  entry.Failed = false;
  for (;;) {
    int n = cursor.Next(line) ? LineFields(line, delimiter_, fields) : -1;
    if (n > block.Cols() && block.Rows() <= 2) block.SetCols(n);
    if (n > 0 && AllBlank(fields)) n = 1;
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
    std::vector<Cell> cells(static_cast<std::size_t>(cols));
    for (int k = 0; k < n && k < cols; ++k) {
      Cell& cell = cells[static_cast<std::size_t>(k)];
      ParseCell(fields[static_cast<std::size_t>(k)], cell);
      if (cell.kind == Cell::Kind::Missing && !decimalCommaTold_ && !quiet_) {
        CheckDecimalComma(entry, fields[static_cast<std::size_t>(k)]);
      }
    }
    const std::string_view status = fields[static_cast<std::size_t>(n - 1)];
    if (status.find('F') != std::string_view::npos) entry.Failed = true;
    block.AddRow(std::move(cells), std::string(status));
  }
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
      case code::kEmp: case code::kMaxAbsProduct: case code::kMin: case code::kMax:
      case code::kMean: case code::kMaxMinusMin:
        column = 1;
        break;
      case code::kUpperControl: case code::kLastPair: column = cols - 4; break;
      case code::kLowerControl: column = cols - 5; break;
      case code::kUpperLimit: column = cols - 2; break;
      case code::kLowerLimit: column = cols - 3; break;
      default: break;
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

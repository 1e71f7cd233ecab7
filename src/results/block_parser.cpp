// Test blocks: lookup by name and occurrence, parsing into cells, the one-block cache.

#include <algorithm>
#include <charconv>
#include <limits>
#include <span>

#include "results/cell_value.h"
#include "results/copy_lines.h"
#include "results/line_fields.h"
#include "results/obj_data.h"
#include "results/read_test_data.h"
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

// The sweep line's "Points N": how many rows the instrument meant to write; 0 unsaid.
int DeclaredPoints(const std::vector<std::string_view>& fields, int n) {
  for (int k = 0; k + 1 < n; ++k) {
    if (!EqualsNoCase(TrimView(fields[static_cast<std::size_t>(k)]), "points")) continue;
    const std::string_view value = TrimView(fields[static_cast<std::size_t>(k) + 1]);
    int points = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), points);
    if (error == std::errc() && end == value.data() + value.size() && points > 0) return points;
  }
  return 0;
}

std::string ShortRow(int row, int fields, int cols) {
  return "its row " + std::to_string(row) + " holds " + std::to_string(fields) + " of " +
         std::to_string(cols) + " columns (is the file cut short?)";
}

std::string FewerPoints(int rows, int declared) {
  return "it holds " + std::to_string(rows) + " of the " + std::to_string(declared) +
         " points its sweep line declares (is the file cut short?)";
}

// "1,5" reads as no value; without a word the graph just has gaps. Notes a block's
// first such field.
void NoteDecimalComma(BlockNotes& notes, std::string_view field) {
  if (notes.CommaNoted) return;
  const std::string_view f = TrimView(field);
  std::size_t i = (!f.empty() && (f[0] == '-' || f[0] == '+')) ? 1 : 0;
  const std::size_t intStart = i;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i;
  if (i == intStart || i >= f.size() || f[i] != ',') return;
  const std::size_t fracStart = ++i;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i;
  if (i == fracStart || i != f.size()) return;
  notes.CommaNoted = true;
  notes.Add(BlockNotes::Kind::DecimalComma, std::string(f));
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
  std::size_t slot = 0;
  for (std::size_t i = 0; i < cache_.size(); ++i) {
    if (entry.Start != 0 && cache_[i].Key == entry.Start) {
      slot = i;
      break;
    }
    if (cache_[i].Used < cache_[slot].Used) slot = i;
  }
  if (entry.Start == 0 || cache_[slot].Key != entry.Start) {
    if (!ParseBlock(indexEntry)) return std::nullopt;
    // A parsed block takes many times its bytes; a large one is kept alone.
    constexpr std::uint64_t kSmallBlock = 256 * 1024;
    if (BlockBytes(indexEntry) > kSmallBlock) {
      slot = 0;
      for (std::size_t i = 1; i < cache_.size(); ++i) cache_[i] = CachedBlock{};
    }
    std::swap(current_, cache_[slot].Block);
    cache_[slot].Key = entry.Start;
  }
  cache_[slot].Used = ++uses_;
  last_ = slot;
  return ParsedTest{&cache_[slot].Block, entry.Failed, indexEntry,
                    incomplete_.count(entry.Start) > 0};
}

std::uint64_t ObjData::BlockBytes(int16_t indexEntry) const {
  const auto at = static_cast<std::size_t>(indexEntry);
  const std::uint64_t start = static_cast<std::uint64_t>(index_[at].Start);
  const std::uint64_t next =
      at + 1 < index_.size() ? static_cast<std::uint64_t>(index_[at + 1].Start) : copySize_ + 1;
  // A block usually ends with the blank line before the next one.
  return next > start ? next - start + 2 : 0;
}

CopyLines ObjData::BlockLines(int16_t indexEntry) const {
  // One read usually holds the whole block.
  return LinesFrom(static_cast<std::uint64_t>(index_[static_cast<std::size_t>(indexEntry)].Start),
                   static_cast<std::size_t>(
                       std::min<std::uint64_t>(BlockBytes(indexEntry), CopyLines::kWindow)));
}

ObjData::Opening ObjData::ReachRows(CopyLines& cursor, std::vector<std::string>* headings,
                                    int& declaredPoints) const {
  std::vector<std::string_view> fields;
  std::string_view line;
  declaredPoints = 0;
  if (!cursor.Next(line) || LineFields(line, delimiter_, fields) < 1 || fields[0] != "TEST:") {
    return Opening::NotABlock;
  }
  for (int headingLine = 0;; ++headingLine) {
    const std::uint64_t position = cursor.Position();
    // A block without data rows must not borrow the next block's rows.
    if (!cursor.Next(line) || StartsBlock(line)) return Opening::NoRows;
    const int n = LineFields(line, delimiter_, fields);
    if (n >= 1 && (fields[0] == "-" || IsNumeric(fields[0]))) {
      cursor.Seek(position);
      return Opening::Rows;
    }
    if (declaredPoints == 0) declaredPoints = DeclaredPoints(fields, n);
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
  std::optional<ParsedBlock> parsed;
  if (ahead_) parsed = ahead_->Take(indexEntry);
  if (!parsed) {
    // The block's cells are kept from one parse to the next: their storage is reused.
    parsed.emplace(ParsedBlock{std::move(current_), {}});
    ParseBlockInto(indexEntry, *parsed);
  }
  current_ = std::move(parsed->Block);
  return TakeNotes(indexEntry, parsed->Notes);
}

void ObjData::ParseBlockInto(int16_t indexEntry, ParsedBlock& out) const {
  TestBlock& block = out.Block;
  BlockNotes& notes = out.Notes;
  notes = BlockNotes{};
  block.Reset();
  CopyLines cursor = BlockLines(indexEntry);
  std::vector<std::string> headings;
  int declared = 0;
  const Opening opening = ReachRows(cursor, &headings, declared);
  if (!cursor.Fault().empty()) {
    notes.Add(BlockNotes::Kind::Unreadable, cursor.Fault());
    return;
  }
  if (opening == Opening::NoRows) notes.Add(BlockNotes::Kind::Incomplete, "it has no data rows");
  if (opening != Opening::Rows) return;
  block.SetHeadings(std::move(headings));

  std::string_view line;
  notes.Failed = false;
  for (;;) {
    const bool more = cursor.Next(line);
    if (more && block.Rows() > 2 && block.Rows() < kMaxRows && ReadFullRow(block, notes, line))
      continue;
    const RowShape row = more ? ShapeOfRow(line, delimiter_) : RowShape{};
    int n = row.Count;
    if (n > block.Cols() && block.Rows() <= 2) block.SetCols(n);
    if (n > 0 && row.AllBlank) n = 1;
    if (n < 2) {
      // A copy that cannot be read to the block's end gives no block, not a short one.
      if (!cursor.Fault().empty()) {
        notes.Add(BlockNotes::Kind::Unreadable, cursor.Fault());
        return;
      }
      if (block.Rows() == 0) notes.Add(BlockNotes::Kind::Incomplete, "it has no data rows");
      if (block.Rows() < declared)
        notes.Add(BlockNotes::Kind::Incomplete, FewerPoints(block.Rows(), declared));
      notes.Parsed = true;
      return;
    }
    if (block.Rows() >= kMaxRows) {
      notes.Add(BlockNotes::Kind::Unreadable, "");
      return;
    }
    const int cols = block.Cols();
    if (n < cols) notes.Add(BlockNotes::Kind::Incomplete, ShortRow(block.Rows() + 1, n, cols));
    const std::span<Cell> cells = block.NextRow();
    std::string_view rest = row.Line;
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
      if (cell.Type == Cell::Kind::Missing) NoteDecimalComma(notes, field);
    }
    for (std::size_t k = static_cast<std::size_t>(filled); k < cells.size(); ++k) {
      cells[k].Type = Cell::Kind::Empty;
      cells[k].ShortField = false;
      cells[k].Number = 0;
      cells[k].Text.Clear();
    }
    block.CommitRow(row.Last);
    if (row.Last.find('F') != std::string_view::npos) notes.Failed = true;
  }
}

bool ObjData::TakeNotes(int16_t indexEntry, const BlockNotes& notes) {
  TestIndexEntry& entry = index_[static_cast<std::size_t>(indexEntry)];
  if (notes.Failed) entry.Failed = *notes.Failed;
  for (const BlockNotes::Note& note : notes.Notes) {
    switch (note.What) {
      case BlockNotes::Kind::Incomplete:
        Incomplete(entry, note.Text);
        break;
      case BlockNotes::Kind::Unreadable:
        Unreadable(entry, note.Text);
        break;
      case BlockNotes::Kind::DecimalComma:
        if (!decimalCommaTold_) TellDecimalComma(entry, note.Text);
        break;
    }
  }
  return notes.Parsed;
}

void ObjData::ReadAhead(const std::vector<PlannedRead>& reads) {
  std::vector<int16_t> entries;
  for (const PlannedRead& read : reads) {
    // Every occurrence in the order a merged read takes them: the last one first.
    const int16_t last = read.All ? kMaxOccurrences : read.Occurrence;
    for (int16_t occurrence = read.All ? 1 : read.Occurrence; occurrence <= last; ++occurrence) {
      const std::optional<int16_t> entry = LookupTest(read.TestName, occurrence);
      if (!entry) break;
      entries.push_back(*entry);
    }
  }
  if (ahead_ && entries == aheadEntries_) return;
  ahead_.reset();
  aheadEntries_ = entries;
  std::vector<BlockReadAhead::Planned> order;
  for (const int16_t entry : entries) order.push_back({entry, BlockBytes(entry)});
  if (order.empty()) return;
  ahead_ = std::make_unique<BlockReadAhead>(
      std::move(order), [this](int16_t entry, ParsedBlock& out) { ParseBlockInto(entry, out); });
}

// The common row, in one pass: at least as many fields as the block has columns, not
// all blank, not so many that the last field is capped. False for any other row, with
// nothing noted and nothing added, for ParseBlock to read in full.
bool ObjData::ReadFullRow(TestBlock& block, BlockNotes& notes, std::string_view line) const {
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
    if (cell.Type == Cell::Kind::Missing) {
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
  if (status.find('F') != std::string_view::npos) notes.Failed = true;
  if (comma && !notes.CommaNoted) {
    rest = line;
    for (const Cell& cell : cells) {
      const std::size_t length = std::min(rest.find(delimiter_), rest.size());
      if (cell.Type == Cell::Kind::Missing) NoteDecimalComma(notes, rest.substr(0, length));
      rest.remove_prefix(std::min(length + 1, rest.size()));
    }
  }
  return true;
}

ObjData::BlockCheck ObjData::CheckBlock(int16_t indexEntry) const {
  if (static_cast<std::size_t>(indexEntry) < checks_.size())
    return checks_[static_cast<std::size_t>(indexEntry)];
  CopyLines cursor = BlockLines(indexEntry);
  BlockCheck check;
  int declared = 0;
  const Opening opening = ReachRows(cursor, nullptr, declared);
  if (!cursor.Fault().empty()) {
    check.Fault = cursor.Fault();
    return check;
  }
  if (opening == Opening::NotABlock) return check;
  check.IsTest = true;
  if (opening == Opening::NoRows) {
    check.Lack = "it has no data rows";
    return check;
  }
  check.HasRows = true;
  // The rows end, are widened and are judged exactly as ParseBlock does it.
  int cols = 2;
  std::string_view line;
  for (int rows = 0;; ++rows) {
    const RowShape row = cursor.Next(line) ? ShapeOfRow(line, delimiter_) : RowShape{};
    int n = row.Count;
    if (n > cols && rows <= 2) cols = n;
    if (n > 0 && row.AllBlank) n = 1;
    if (n < 2) {
      if (!cursor.Fault().empty()) {
        check = BlockCheck{};
        check.Fault = cursor.Fault();
        return check;
      }
      if (check.Lack.empty() && rows < declared) check.Lack = FewerPoints(rows, declared);
      return check;
    }
    if (rows >= kMaxRows) {
      check.TooLong = true;
      return check;
    }
    if (n < cols && check.Lack.empty()) check.Lack = ShortRow(rows + 1, n, cols);
    if (row.Last.find('F') != std::string_view::npos) check.Failed = true;
  }
}

bool ObjData::AnyTestFailed() {
  if (overallFailed_) return true;
  bool failed = false;
  for (int16_t i = 0; i < testCount_ && !failed; ++i) {
    const BlockCheck check = CheckBlock(i);
    if (!check.HasRows || check.TooLong || !check.Fault.empty()) continue;
    index_[static_cast<std::size_t>(i)].Failed = check.Failed;
    failed = check.Failed;
  }
  ResetNumCols();
  return failed;
}

void ObjData::CheckEveryBlock() {
  std::vector<BlockCheck> checks;
  checks.reserve(static_cast<std::size_t>(std::max<int16_t>(testCount_, 0)));
  for (int16_t i = 0; i < testCount_; ++i) checks.push_back(CheckBlock(i));
  checks_ = std::move(checks);
}

int ObjData::JudgeEveryTest() {
  for (int16_t i = 0; i < testCount_; ++i) {
    const BlockCheck check = CheckBlock(i);
    const TestIndexEntry& entry = index_[static_cast<std::size_t>(i)];
    if (!check.Fault.empty()) {
      Unreadable(entry, check.Fault);
    } else if (check.TooLong) {
      Unreadable(entry);
    } else if (!check.Lack.empty()) {
      Incomplete(entry, check.Lack);
    }
  }
  return UnreadableTests() + IncompleteTests();
}

std::string ObjData::TestLack(int16_t indexEntry) const {
  if (indexEntry < 0 || indexEntry >= testCount_) return "it is not in the file";
  const BlockCheck check = CheckBlock(indexEntry);
  if (!check.Fault.empty()) return CopyFault(check.Fault);
  if (check.TooLong) return "it has more than " + std::to_string(kMaxRows) + " rows";
  return check.Lack;
}

bool ObjData::LastTestComplete() const {
  for (int16_t i = static_cast<int16_t>(testCount_ - 1); i >= 0; --i) {
    const BlockCheck check = CheckBlock(i);
    if (!check.Fault.empty()) return false;
    if (check.IsTest) return check.Lack.empty() && !check.TooLong;
  }
  return false;
}

std::string ObjData::CertificationFault(bool incompleteAllowed) {
  JudgeEveryTest();
  if (UnreadableTests() > 0) return "a test could not be read";
  if (IncompleteTests() > 0 && !incompleteAllowed) return "a test is incomplete";
  return "";
}

void ObjData::Incomplete(const TestIndexEntry& entry, const std::string& why) {
  if (!incomplete_.insert(entry.Start).second) return;
  prompter_.Message("The test '" + entry.Name + "' is incomplete: " + why + ".", "Incomplete Test",
                    PromptIcon::Exclamation, PromptButtons::Ok);
}

void ObjData::Unreadable(const TestIndexEntry& entry, const std::string& why) {
  // Every graph of the test asks again; one message is enough.
  if (!unreadable_.insert(entry.Start).second) return;
  const std::string reason = why.empty() ? "has more than " + std::to_string(kMaxRows) + " rows"
                                         : "is not whole: " + CopyFault(why);
  prompter_.Message("Error in ObjData/ReadTestData\r\rThe test '" + entry.Name + "' " + reason +
                        "; it cannot be read.",
                    "Error", PromptIcon::Exclamation, PromptButtons::Ok);
}

void ObjData::TellDecimalComma(const TestIndexEntry& entry, std::string_view field) {
  decimalCommaTold_ = true;
  prompter_.Message("The result file writes numbers with a decimal comma, such as '" +
                        std::string(field) + "' in the test '" + entry.Name +
                        "'.\r\rSuch values cannot be read and are shown as missing (x). The "
                        "instrument's software must write a full stop as the decimal mark.",
                    "Decimal Comma", PromptIcon::Exclamation, PromptButtons::Ok);
}

void ObjData::ResetNumCols() {
  for (CachedBlock& cached : cache_) {
    cached.Block.Reset();
    cached.Block.SetCols(0);
    cached.Key = 0;
    cached.Used = 0;
  }
  last_ = 0;
}

bool ObjData::MoreColsToShow(int16_t k) const {
  const CachedBlock& cached = cache_[last_];
  if (cached.Key == 0) return false;
  return cached.Block.Cols() - LimitColumns() - 3 > k;
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

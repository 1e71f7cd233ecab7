// Summary blocks, comment lists and the report preselection by sequence profile.

#include "definitions/profiles.h"
#include "results/copy_lines.h"
#include "results/line_fields.h"
#include "results/obj_data.h"
#include "support/encoding.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

void EnsureSize(TextGrid& grid, std::size_t columns, std::size_t rows) {
  if (grid.size() < columns) grid.resize(columns);
  for (auto& column : grid) {
    if (column.size() < rows) column.resize(rows);
  }
}

}  // namespace

bool ObjData::ReadSummaryRows(int16_t indexEntry, TextGrid& rows) {
  rows.clear();
  TestIndexEntry& entry = index_[static_cast<std::size_t>(indexEntry)];
  CopyLines cursor = BlockLines(indexEntry);
  std::string_view line;
  if (!cursor.Next(line)) {
    if (!cursor.Fault().empty()) Unreadable(entry, cursor.Fault());
    return false;
  }
  std::vector<std::string_view> fields;
  entry.Failed = false;
  while (cursor.Next(line)) {
    int n = LineFields(line, delimiter_, fields);
    bool blank = true;
    for (std::string_view f : fields) blank = blank && TrimView(f).empty();
    if (n > 0 && blank) n = 1;
    if (n < 2) break;
    std::vector<std::string> row;
    row.reserve(fields.size());
    for (std::string_view f : fields) row.push_back(DecodeInput(f));
    if (Contains(row[1], "FAIL")) entry.Failed = true;
    rows.push_back(std::move(row));
  }
  if (!cursor.Fault().empty()) {
    Unreadable(entry, cursor.Fault());
    rows.clear();
    return false;
  }
  return true;
}

bool ObjData::Summarise(std::string_view name, TextGrid& grid, int columns, int rows, bool& anyFail,
                        bool raw) {
  int16_t found = -1;
  for (int16_t i = 0; i < testCount_ && found < 0; ++i) {
    if (index_[static_cast<std::size_t>(i)].Name == name) found = i;
  }
  // Both summary layouts share one index name; the raw reader wants the raw block.
  for (int16_t i = found; raw && i >= 0 && i < testCount_; ++i) {
    const TestIndexEntry& e = index_[static_cast<std::size_t>(i)];
    if (e.Name == name && rawSummaries_[static_cast<std::size_t>(i)]) {
      found = i;
      break;
    }
  }
  if (found < 0) return false;
  TextGrid blockRows;
  if (!ReadSummaryRows(found, blockRows)) return false;

  const std::size_t width = static_cast<std::size_t>(std::max(columns, 3));
  EnsureSize(grid, width, static_cast<std::size_t>(std::max(rows, 0)));
  anyFail = false;
  std::vector<std::string> groupKeys;  // column 2 of the block row that opened each output row
  std::size_t used = 0;
  for (const auto& row : blockRows) {
    const std::string& c0 = row[0];
    const std::string c1 = row.size() > 1 ? row[1] : "";
    const std::string c2 = row.size() > 2 ? row[2] : "";
    std::string testName;
    std::string statusText;
    if (raw) {
      testName = c0;
      statusText = c1.size() > 7 ? c1.substr(7) : "";
      statusText = ReplaceAll(ReplaceAll(statusText, "(", ""), ")", "");
    } else {
      testName = Trim(c0.substr(0, std::min(c0.find("Test"), c0.size())));
      statusText = c1;
    }
    const std::size_t pairAt = c0.find("Pair ");
    const std::string pair = pairAt == std::string::npos ? "0" : Trim(c0.substr(pairAt + 5));
    const bool fail = StartsWith(TrimView(statusText), "FAIL");

    std::size_t match = used;
    for (std::size_t r = 0; r < used; ++r) {
      if (grid[0][r] == testName && groupKeys[r] == c2) {
        match = r;
        break;
      }
    }
    // Every failing row counts, with or without a pair to name.
    if (fail) anyFail = true;
    if (match < used) {
      if (fail) {
        grid[1][match] = "FAIL";
        if (pair != "0") {
          std::string& list = grid[2][match];
          list = list.empty() ? pair : list + "," + pair;
        }
      }
      continue;
    }
    EnsureSize(grid, width, used + 1);
    grid[0][used] = testName;
    grid[1][used] = fail ? "FAIL" : "PASS";
    grid[2][used] = fail && pair != "0" ? pair : "";
    groupKeys.push_back(c2);
    ++used;
  }
  for (std::size_t r = used; r < grid[0].size(); ++r) {
    for (std::size_t c = 0; c < 3; ++c) grid[c][r].clear();
  }
  return true;
}

bool ObjData::ReadTestSummary(std::string_view name, TextGrid& grid, int columns, int rows,
                              bool& anyFail) {
  return Summarise(name, grid, columns, rows, anyFail, false);
}

bool ObjData::ReadRawTestSummary(std::string_view name, TextGrid& grid, int columns, int rows,
                                 bool& anyFail) {
  return Summarise(name, grid, columns, rows, anyFail, true);
}

bool ObjData::PrintComments(std::string_view comment, TextGrid& grid) const {
  const std::vector<std::string> parts = SplitAt(comment, '|');
  EnsureSize(grid, 1, parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) grid[0][i] = ToUpper(parts[i]);
  return true;
}

void ObjData::Set_Sequence_Profiles(const std::string& name) {
  const std::string wanted = ToUpper(TrimView(name));
  if (wanted.empty()) return;
  const ProfileEntry* profile = nullptr;
  for (const ProfileEntry& p : state_.SequenceProfiles.Entries) {
    if (ToUpper(p.Name) == wanted) {
      profile = &p;
      break;
    }
  }
  if (profile == nullptr) return;
  // Unlike a chosen profile, a sequence profile clears every report, used or not.
  state_.Selection.fill(false);
  for (const std::string& fault : ProfileFaults(*profile))
    prompter_.Message(fault, "Profile Error", PromptIcon::Exclamation, PromptButtons::Ok);
  const std::size_t count =
      std::min(profile->Reports.size(), static_cast<std::size_t>(std::max<int>(profile->Count, 0)));
  for (std::size_t i = 1; i < count; ++i) {
    const std::string& item = profile->Reports[i];
    if (!IsNumeric(item)) continue;
    const auto number = IntegerOf(item);
    if (number && *number >= 1 && *number <= kReportSlots) {
      state_.Selection[static_cast<std::size_t>(*number - 1)] = true;
    }
  }
  host_.SelectionChanged();
}

}  // namespace vantrel

// The test index: where each test block and summary block starts in the copy.

#include "results/copy_lines.h"
#include "results/line_fields.h"
#include "results/obj_data.h"
#include "support/encoding.h"
#include "support/text.h"
#include "support/wildcard.h"

namespace vantrel {

namespace {

constexpr const char* kMaxTestsMessage = "MAXTESTS NEEDS INCREASING: SEEK HELP";

// Text from offset up to the next delimiter, trimmed.
std::string_view FieldFrom(std::string_view line, std::size_t offset, char delimiter) {
  if (offset >= line.size()) return {};
  std::string_view rest = line.substr(offset);
  const std::size_t cut = rest.find(delimiter);
  if (cut != std::string_view::npos) rest = rest.substr(0, cut);
  return TrimView(rest);
}

// The index reads only the start of a line; a longer one is cut.
constexpr std::size_t kLongestIndexLine = CopyLines::kWindow;

// Test and summary blocks that cursor still passes, for the message of a file with too many.
int CountBlocks(CopyLines& cursor) {
  int count = 0;
  std::string_view line;
  while (cursor.Next(line)) {
    if (StartsWith(line, "TEST:") || StartsWith(line, "TEST SUMMARY :") ||
        StartsWith(line, "SUMMARY INFORMATION")) {
      ++count;
    }
  }
  return count;
}

}  // namespace

void ObjData::TooManyTests(std::size_t from) {
  CopyLines rest = LinesFrom(from, CopyLines::kWindow, kLongestIndexLine);
  const int total = testCount_ + CountBlocks(rest);
  prompter_.Tell(std::string(kMaxTestsMessage) + "\r\rThe file holds " + std::to_string(total) +
                     " test and summary blocks; at most " + std::to_string(kMaxTests - 1) +
                     " can be read.",
                 "");
}

bool ObjData::ReadTestNames() {
  ahead_.reset();
  overallFailed_ = false;
  indexFault_.clear();
  index_.clear();
  lowerNames_.clear();
  rawSummaries_.clear();
  testCount_ = 0;
  if (!copyPresent_) return false;
  const bool progress = host_.IsVisible();
  std::size_t position = 1;
  if (!ReadGeneralHeader(position)) return false;

  const double length = static_cast<double>(copySize_);
  CopyLines cursor = LinesFrom(position, CopyLines::kWindow, kLongestIndexLine);
  std::string_view line;
  while (!cursor.AtEnd()) {
    position = static_cast<std::size_t>(cursor.Position());
    cursor.Next(line);
    if (line.empty()) continue;
    const char first = line[0];
    if (first == 'T' && StartsWith(line, "TEST:")) {
      TestIndexEntry entry;
      entry.Name = DecodeInput(FieldFrom(line, 6, delimiter_));
      entry.Start = static_cast<int32_t>(position);
      if (entry.Name == "Coupling Attenuation") state_.Settings.OverallPassFail = false;
      lowerNames_.push_back(ToLower(entry.Name));
      rawSummaries_.push_back(false);
      index_.push_back(std::move(entry));
      ++testCount_;
      if (progress && length > 0) {
        host_.SetProgress(static_cast<int>(static_cast<double>(position) * 100 / length));
      }
      if (testCount_ >= kMaxTests) {
        TooManyTests(static_cast<std::size_t>(cursor.Position()));
        return false;
      }
    } else if (first == 'P' && StartsWith(line, "Pass/Fail Status")) {
      if (FieldFrom(line, 17, delimiter_) == "FAILED") overallFailed_ = true;
    } else if ((first == 'T' && StartsWith(line, "TEST SUMMARY :")) ||
               (first == 'S' && StartsWith(line, "SUMMARY INFORMATION"))) {
      if (testCount_ >= kIndexSlots) {
        TooManyTests(position);
        return false;
      }
      index_.push_back(TestIndexEntry{"TEST SUMMARY :", static_cast<int32_t>(position), false});
      lowerNames_.push_back("test summary :");
      rawSummaries_.push_back(first == 'S');
      ++testCount_;
    } else if (specificationSlot_ >= 0 && (first == 's' || first == 'S') &&
               StartsWithNoCase(line, "specification")) {
      const std::size_t cut = line.find(delimiter_);
      if (cut != std::string_view::npos && cut + 1 < line.size()) {
        leftValues_[static_cast<std::size_t>(specificationSlot_)] =
            DecodeInput(TrimView(line.substr(cut + 1)));
      }
    }
  }
  if (!cursor.Fault().empty()) {
    indexFault_ = CopyFault(cursor.Fault());
    testCount_ = 0;
    return false;
  }
  return true;
}

std::string ObjData::TestName(int16_t index) const {
  const TestIndexEntry* entry = Entry(index);
  return entry ? entry->Name : "";
}

const TestIndexEntry* ObjData::Entry(int16_t index) const {
  if (index < 0 || index >= testCount_) return nullptr;
  return &index_[static_cast<std::size_t>(index)];
}

std::span<const TestIndexEntry> ObjData::Index() const {
  return std::span<const TestIndexEntry>(index_.data(), static_cast<std::size_t>(testCount_));
}

bool ObjData::CheckTested(int16_t reportIndex) const {
  if (reportIndex < 0 || reportIndex >= kReportSlots) return false;
  const ReportDefinition& report = state_.Reports[static_cast<std::size_t>(reportIndex)];
  auto matchesAny = [&](const std::string& requested) {
    if (TrimView(requested).empty()) return false;
    const std::size_t bar = requested.find('|');
    const std::string_view whole = requested;
    std::vector<std::string> patterns;
    if (bar == std::string::npos) {
      patterns.push_back(ToLower(TrimView(whole)));
    } else {
      patterns.push_back(ToLower(TrimView(whole.substr(0, bar))));
      patterns.push_back(ToLower(TrimView(whole.substr(bar + 1))));
    }
    for (int16_t i = 0; i < testCount_; ++i) {
      for (const std::string& pattern : patterns) {
        if (WildcardMatch(lowerNames_[static_cast<std::size_t>(i)], pattern)) return true;
      }
    }
    return false;
  };
  for (const GraphDefinition& graph : report.Graphs) {
    for (const std::string& name : graph.Data) {
      if (matchesAny(name)) return true;
    }
  }
  for (const TableDefinition& table : report.Tables) {
    if (matchesAny(table.Data)) return true;
  }
  return false;
}

std::optional<int16_t> ObjData::LookupTest(std::string_view name, int16_t occurrence) const {
  std::vector<std::string> alternatives;
  for (const std::string& part : SplitAt(name, '|')) {
    const std::string lowered = ToLower(TrimView(part));
    if (!lowered.empty()) alternatives.push_back(lowered);
  }
  if (alternatives.empty()) return std::nullopt;
  auto matches = [&](int16_t i) {
    for (const std::string& pattern : alternatives) {
      if (WildcardMatch(lowerNames_[static_cast<std::size_t>(i)], pattern)) return true;
    }
    return false;
  };
  int16_t first = -1;
  for (int16_t i = 0; i < testCount_ && first < 0; ++i) {
    if (matches(i)) first = i;
  }
  if (first < 0) return std::nullopt;
  if (occurrence < 1) return first;
  int count = 0;
  for (int16_t i = static_cast<int16_t>(testCount_ - 1); i >= first; --i) {
    if (matches(i) && ++count == occurrence) return i;
  }
  return std::nullopt;
}

}  // namespace vantrel

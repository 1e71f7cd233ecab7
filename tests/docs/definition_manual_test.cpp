// docs/definition-file.md against the readers: every key they look up is documented
// and every documented key is looked up; the same for column and row keywords.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"
#include "definitions/column_keywords.h"
#include "definitions/ini_store.h"
#include "definitions/program_state.h"
#include "definitions/report_reader.h"
#include "definitions/settings_reader.h"
#include "docs/manual_text.h"

namespace vantrel {
namespace {

using testing::ManualText;
using testing::TableRow;

const std::string kManual = std::string(VANTREL_SOURCE_DIR) + "/docs/definition-file.md";

// The smallest definition on which every reader runs every branch that reads a key:
// X and Y missing (so SLOTSX and SLOTSY are asked for), GRIDCOLOUR left grey (so
// GRIDCOLOR is), a titled report (DEFAULT), a first graph that is not following.
const char* kEveryBranch =
    "[GENERAL]\r\n[HEADER]\r\n[REPORT]\r\nTITLE=t\r\n"
    "[GRAPH]\r\nDATA_1=Attenuation Near\r\nCOLS_1=2\r\n"
    "[TABLE]\r\nDATA=Attenuation Near\r\n";

using KeysBySection = std::map<std::string, std::set<std::string>>;

KeysBySection KeysTheReadersAskFor() {
  testing::TempDir dir;
  testing::RecordingPrompter prompter;
  auto state = std::make_unique<ProgramState>();
  KeysBySection asked;
  state->Ini.WatchLookups = [&](std::string_view section, std::string_view key) {
    asked[testing::SectionKind(std::string(section))].insert(testing::KeyFamily(std::string(key)));
  };
  const std::string path = dir.Write("def.ini", kEveryBranch).string();
  EXPECT_TRUE(LoadIni(path, state->Ini, prompter));
  ReadSettings(*state, prompter, "");
  ReadReportsIni(*state, prompter);
  EXPECT_TRUE(prompter.Messages.empty());
  return asked;
}

std::string Listed(const std::set<std::string>& keys) {
  std::string text;
  for (const std::string& k : keys) text += " " + k;
  return text;
}

TEST(DefinitionManual, DocumentsExactlyTheKeysTheReadersAskFor) {
  const KeysBySection asked = KeysTheReadersAskFor();
  const ManualText manual = testing::ReadManual(kManual);
  ASSERT_FALSE(asked.empty());
  std::set<std::string> sections;
  for (const auto& [s, keys] : asked) sections.insert(s);
  for (const auto& [s, keys] : manual.Keys) sections.insert(s);
  for (const std::string& s : sections) {
    const auto a = asked.find(s);
    const auto d = manual.Keys.find(s);
    const std::set<std::string> read = a != asked.end() ? a->second : std::set<std::string>{};
    const std::set<std::string> documented =
        d != manual.Keys.end() ? d->second : std::set<std::string>{};
    std::set<std::string> undocumented, unread;
    std::set_difference(read.begin(), read.end(), documented.begin(), documented.end(),
                        std::inserter(undocumented, undocumented.end()));
    std::set_difference(documented.begin(), documented.end(), read.begin(), read.end(),
                        std::inserter(unread, unread.end()));
    EXPECT_TRUE(undocumented.empty())
        << s << " keys read but not documented:" << Listed(undocumented);
    EXPECT_TRUE(unread.empty()) << s << " keys documented but never read:" << Listed(unread);
  }
}

// Rows of a keyword table as (keyword, code text, rest of the row).
const std::vector<TableRow>& KeywordRows(const ManualText& manual, const std::string& heading) {
  static const std::vector<TableRow> none;
  const auto found = manual.TablesByHeading.find(heading);
  return found != manual.TablesByHeading.end() ? found->second : none;
}

const TableRow* RowOf(const std::vector<TableRow>& rows, std::string_view word) {
  for (const TableRow& row : rows) {
    if (row.size() < 2) continue;
    for (const std::string& span : testing::CodeSpans(row[0])) {
      if (span == word) return &row;
    }
  }
  return nullptr;
}

template <class Keyword>
void ExpectDocumented(std::span<const Keyword> table, const std::vector<TableRow>& rows,
                      const std::string& usedIn) {
  for (const Keyword& k : table) {
    const TableRow* row = RowOf(rows, k.Word);
    ASSERT_NE(row, nullptr) << "keyword " << k.Word << " is not documented";
    EXPECT_EQ((*row)[1], std::to_string(k.Code)) << k.Word;
    if (!usedIn.empty()) {
      ASSERT_GE(row->size(), 3u);
      EXPECT_NE((*row)[2].find(usedIn), std::string::npos) << k.Word << " in " << usedIn;
    }
  }
}

template <class Keyword>
bool InTable(std::span<const Keyword> table, const std::string& word, const std::string& code) {
  return std::any_of(table.begin(), table.end(), [&](const Keyword& k) {
    return k.Word == word && std::to_string(k.Code) == code;
  });
}

TEST(DefinitionManual, ColumnKeywordsMatchTheReaders) {
  const ManualText manual = testing::ReadManual(kManual);
  const std::vector<TableRow>& rows = KeywordRows(manual, "Column keywords");
  ASSERT_FALSE(rows.empty());
  ExpectDocumented(GraphColumnKeywords(), rows, "graphs");
  ExpectDocumented(TableColumnKeywords(), rows, "tables");

  for (const TableRow& row : rows) {
    if (row.size() < 3 || row[0] == "Keyword") continue;
    const std::vector<std::string> spans = testing::CodeSpans(row[0]);
    ASSERT_EQ(spans.size(), 1u) << row[0];
    const std::string& word = spans[0];
    if (word == "limits") {
      EXPECT_EQ(ExpandLimits("1,limits", "attenuation near", true), "1,lowerlimit,lowercontrol");
      continue;
    }
    if (word == "dl" || word == "du") {
      // Written "dl"n: the code is a base plus the element's last digit.
      const int base = word == "dl" ? code::kDistanceAboveLower : code::kDistanceBelowUpper;
      EXPECT_EQ(row[1], std::to_string(base) + " + n");
      EXPECT_EQ(TableColumnCode(word + "7"), base + 7);
      continue;
    }
    const bool graphs = row[2].find("graphs") != std::string::npos;
    const bool tables = row[2].find("tables") != std::string::npos;
    EXPECT_EQ(graphs, InTable(GraphColumnKeywords(), word, row[1])) << word << " in graphs";
    EXPECT_EQ(tables, InTable(TableColumnKeywords(), word, row[1])) << word << " in tables";
  }
}

TEST(DefinitionManual, RowKeywordsMatchTheReaders) {
  const ManualText manual = testing::ReadManual(kManual);
  const std::vector<TableRow>& rows = KeywordRows(manual, "Row keywords");
  ASSERT_FALSE(rows.empty());
  ExpectDocumented(RowKeywords(), rows, "");
  for (const TableRow& row : rows) {
    if (row.size() < 2 || row[0] == "Keyword") continue;
    const std::vector<std::string> spans = testing::CodeSpans(row[0]);
    ASSERT_EQ(spans.size(), 1u) << row[0];
    EXPECT_TRUE(InTable(RowKeywords(), spans[0], row[1])) << spans[0] << " is not a row keyword";
  }
}

}  // namespace
}  // namespace vantrel

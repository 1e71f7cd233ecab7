// Entries of a definition that no reader looks up are named; those read are not.

#include "definitions/unread_keys.h"

#include <gtest/gtest.h>

#include "definitions/definition_fixture.h"

namespace vantrel {
namespace {

using testing::IniText;

std::vector<std::string> UnreadAfterReading(const std::string& text) {
  testing::TempDir dir;
  testing::RecordingPrompter prompter;
  auto state = std::make_unique<ProgramState>();
  EXPECT_TRUE(LoadIni(dir.Write("def.ini", text).string(), state->Ini, prompter));
  const UnreadKeys unread(state->Ini);
  ReadSettings(*state, prompter, "");
  ReadReportsIni(*state, prompter);
  return unread.Unread();
}

TEST(UnreadKeys, NamesMisspeltKeysAndKeysWithoutEffectInFileOrder) {
  const auto unread = UnreadAfterReading(IniText(
      {"stray=before any section", "[GENERAL]", "LOGOHIGHT=12", "a comment line", "[REPORT]",
       "TITLE=t", "X=2", "SLOTSX=3", "[GRAPH]", "FOLLOWINGGRAPHS=1", "DATA_1=Attenuation Near",
       "COLS_1=2", "[GRAPH]", "COLS_1=5", "[FOOTER]", "TEXT=x", "[GENERAL]", "PAGENUM=TOPLEFT"}));
  EXPECT_EQ(unread, (std::vector<std::string>{"(before any section) STRAY", "[GENERAL] LOGOHIGHT",
                                              "[REPORT_1] SLOTSX", "[GRAPH_1_2] COLS_1",
                                              "[FOOTER] TEXT", "[GENERAL] PAGENUM"}));
}

TEST(UnreadKeys, TheSampleDefinitionHasNone) {
  const std::string sample =
      testing::ReadFileBytes(std::string(VANTREL_SOURCE_DIR) + "/samples/sample.ini");
  EXPECT_TRUE(UnreadAfterReading(sample).empty());
}

}  // namespace
}  // namespace vantrel

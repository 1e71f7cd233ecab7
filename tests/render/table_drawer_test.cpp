#include "render/table_drawer.h"

#include <gtest/gtest.h>

#include "common/recording_prompter.h"
#include "fake_data_source.h"

namespace vantrel {
namespace {

class TableDrawerTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  testing::FakeDataSource data;
  testing::RecordingPrompter ask;
  RenderContext context{*state, data, ask, {}, {}, {}, false, nullptr};
  SlotGrid slots = MakeSlotGrid({190, 200, 60, 10}, 1, 2, 3);
  PagePlan plan;
  TableDefinition table;

  void SetUp() override {
    table.Title = "Spot values";
    table.Data = "Attenuation Near";
    table.Cols = {1, 2, 3, 4, 5};
    table.Freqs = {"1", "9990"};
    table.Slot = 1;
    ReadTestDataResult r;
    r.found = true;
    // Labels, the frequency column's figures, then four pairs.
    r.grid = {{"1", "Min"},   {"1", ""},       {"-1.04", "-2"},
              {"-1.1", "-3"}, {"~-1.2", "-4"}, {"-1.3", "-5"}};
    r.titles = {"Freq (MHz)", "Pair 1", "Pair 2", "Pair 3", "Pair 4"};
    data.results["Attenuation Near"] = r;
  }

  struct Drawn {
    std::vector<std::vector<std::string>> Rows;
  };
  Drawn Draw(int offset = 0) {
    plan = {};
    PageCanvas canvas(plan, PrintFontMetrics());
    bool failed = false;
    EXPECT_TRUE(DrawTable(context, canvas, table, slots, offset, 1, 2, failed, 1));
    EXPECT_EQ(plan.Tables.size(), 1u);
    if (plan.Tables.empty()) return {};
    return {TableTexts(plan, plan.Tables[0])};
  }
};

TEST_F(TableDrawerTest, DrawsHeaderAndBodyAsFormatted) {
  const Drawn t = Draw();
  ASSERT_EQ(t.Rows.size(), 3u);
  EXPECT_EQ(t.Rows[0],
            (std::vector<std::string>{"Freq (MHz)", "Pair 1", "Pair 2", "Pair 3", "Pair 4"}));
  EXPECT_EQ(t.Rows[1], (std::vector<std::string>{"1", "-1.0", "-1.1", "-1.2", "-1.3"}));
  EXPECT_EQ(t.Rows[2][0], "Min");
  ASSERT_FALSE(data.requests.empty());
  EXPECT_EQ(data.requests.back().format, "TABULAR");
  EXPECT_EQ(data.requests.back().rowCodes, table.Freqs);
}

TEST_F(TableDrawerTest, LeavesOutPairsTheCableLacksAndHiddenColumns) {
  data.pairs = 3;
  table.HideFirstCol = true;
  const Drawn t = Draw();
  EXPECT_EQ(t.Rows[0], (std::vector<std::string>{"Pair 1", "Pair 2", "Pair 3"}));
}

TEST_F(TableDrawerTest, SingleValueTestsHideTheFrequencyColumn) {
  table.Data = "DC Loop Resistance";
  data.results["DC Loop Resistance"] = data.results["Attenuation Near"];
  const Drawn t = Draw();
  EXPECT_EQ(t.Rows[0].front(), "Pair 1");
}

TEST_F(TableDrawerTest, SummaryNameInAnyCaseReadsTheSummary) {
  table.Data = "test summary :";
  table.Cols = {1, 2};
  data.summary = {{"Attenuation Near Test"}, {"PASS"}};
  const Drawn t = Draw();
  ASSERT_EQ(t.Rows.size(), 2u);
  EXPECT_EQ(t.Rows[1], (std::vector<std::string>{"Attenuation Near Test", "PASS"}));
  EXPECT_TRUE(data.requests.empty());
}

TEST_F(TableDrawerTest, MissingTestDrawsNothing) {
  table.Data = "Not In File";
  PageCanvas canvas(plan, PrintFontMetrics());
  bool failed = false;
  EXPECT_FALSE(DrawTable(context, canvas, table, slots, 0, 1, 2, failed, 1));
  EXPECT_TRUE(plan.Tables.empty());
}

}  // namespace
}  // namespace vantrel

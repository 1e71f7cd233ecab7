#include "render/table_drawer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/recording_prompter.h"
#include "fake_data_source.h"

namespace vantrel {
namespace {

class TableDrawerTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  testing::FakeDataSource data;
  testing::RecordingPrompter ask;
  RenderContext context{.State = *state, .Data = data, .Ask = ask};
  SlotGrid slots = MakeSlotGrid({.Width = 190, .Height = 200, .Top = 60, .Left = 10}, 1, 2, 3);
  PagePlan plan;
  TableDefinition table;

  void SetUp() override {
    table.Title = "Spot values";
    table.Data = "Attenuation Near";
    table.Cols = {1, 2, 3, 4, 5};
    table.Freqs = {"1", "9990"};
    table.Slot = 1;
    ReadTestDataResult r;
    r.Found = true;
    // Labels, the frequency column's figures, then four pairs.
    r.Grid = {{"1", "Min"},
              {"1", ""},
              {"-1.04", "-2"},
              {"-1.1", "-3"},
              {GridCell::Failing("-1.2"), "-4"},
              {"-1.3", "-5"}};
    r.Titles = {"Freq (MHz)", "Pair 1", "Pair 2", "Pair 3", "Pair 4"};
    data.Results["Attenuation Near"] = r;
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
  ASSERT_FALSE(data.Requests.empty());
  EXPECT_EQ(data.Requests.back().Form, ReadForm::Tabular);
  EXPECT_EQ(data.Requests.back().RowCodes, table.Freqs);
}

TEST_F(TableDrawerTest, LeavesOutPairsTheCableLacksAndHiddenColumns) {
  data.PairCount = 3;
  table.HideFirstCol = true;
  const Drawn t = Draw();
  EXPECT_EQ(t.Rows[0], (std::vector<std::string>{"Pair 1", "Pair 2", "Pair 3"}));
}

TEST_F(TableDrawerTest, SingleValueTestsHideTheFrequencyColumn) {
  table.Data = "DC Loop Resistance";
  data.Results["DC Loop Resistance"] = data.Results["Attenuation Near"];
  const Drawn t = Draw();
  EXPECT_EQ(t.Rows[0].front(), "Pair 1");
}

TEST_F(TableDrawerTest, SummaryNameInAnyCaseReadsTheSummary) {
  table.Data = "test summary :";
  table.Cols = {1, 2};
  data.Summary = {{"Attenuation Near Test"}, {"PASS"}};
  const Drawn t = Draw();
  ASSERT_EQ(t.Rows.size(), 2u);
  EXPECT_EQ(t.Rows[1], (std::vector<std::string>{"Attenuation Near Test", "PASS"}));
  EXPECT_TRUE(data.Requests.empty());
}

TEST_F(TableDrawerTest, MissingTestDrawsNothing) {
  table.Data = "Not In File";
  PageCanvas canvas(plan, PrintFontMetrics());
  bool failed = false;
  EXPECT_FALSE(DrawTable(context, canvas, table, slots, 0, 1, 2, failed, 1));
  EXPECT_TRUE(plan.Tables.empty());
}

TEST_F(TableDrawerTest, ACommentTableHasARowPerLineSplitAtBars) {
  table.Data = "COMMENT";
  table.Cols = {1, 2};
  table.Headers = {"col_name", "col_name"};  // what the reader makes without HEADERS
  table.Freqs = {"sheath print legible|yes|kl", "ends sealed|checked"};
  const Drawn bare = Draw();
  ASSERT_EQ(bare.Rows.size(), 3u);  // the header row stays, empty
  EXPECT_EQ(bare.Rows[0], (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(bare.Rows[1], (std::vector<std::string>{"SHEATH PRINT LEGIBLE", "YES", "KL"}));
  EXPECT_EQ(bare.Rows[2], (std::vector<std::string>{"ENDS SEALED", "CHECKED", ""}));
  EXPECT_TRUE(data.Requests.empty());  // no test is read for it

  table.HideFirstCol = true;
  EXPECT_EQ(Draw().Rows[1], (std::vector<std::string>{"YES", "KL"}));
  table.HideFirstCol = false;

  table.Headers = {"Check", "Result", "Signed"};
  const Drawn headed = Draw();
  ASSERT_EQ(headed.Rows.size(), 3u);
  EXPECT_EQ(headed.Rows[0], (std::vector<std::string>{"Check", "Result", "Signed"}));
}

// The rows share the item's height below the title band, however few they are.
TEST_F(TableDrawerTest, RowsFillTheSlot) {
  Draw();
  const MmRect item = *PlaceItem(slots, 1, 0, 0, 1, 1, 1, 2);
  float top = item.Bottom(), bottom = item.Top;
  std::vector<float> heights;
  for (const PlanItem& i : plan.Items) {
    const auto* text = std::get_if<PlanText>(&i);
    if (text == nullptr || text->Cell.Table != 1 || text->Cell.Column != 0) continue;
    top = std::min(top, text->Box.Top);
    bottom = std::max(bottom, text->Box.Bottom());
    heights.push_back(text->Box.Height);
  }
  ASSERT_EQ(heights.size(), 3u);
  EXPECT_NEAR(bottom, item.Bottom(), 0.01);
  EXPECT_NEAR(heights[0], heights[2], 0.01);
  EXPECT_NEAR(heights[0], (item.Bottom() - top) / 3, 0.01);
}

// More rows than the space holds at the smallest readable size: the rows that fit are
// drawn, none over another, a last line tells how many are left out, and the export
// still has them all.
TEST_F(TableDrawerTest, RowsThatDoNotFitAreLeftOutNotOverprinted) {
  slots = MakeSlotGrid({.Width = 190, .Height = 40, .Top = 60, .Left = 10}, 1, 1, 3);
  table.Freqs.clear();
  ReadTestDataResult r;
  r.Found = true;
  r.Grid.assign(3, {});
  r.Titles = {"Freq (MHz)", "Pair 1"};
  table.Cols = {1, 2};
  for (int f = 1; f <= 29; ++f) {
    table.Freqs.push_back(std::to_string(f));
    r.Grid[0].push_back(std::to_string(f));
    r.Grid[1].push_back(std::to_string(f));
    r.Grid[2].push_back("-" + std::to_string(f) + ".5");
  }
  data.Results["Attenuation Near"] = r;
  plan = {};
  PageCanvas canvas(plan, PrintFontMetrics());
  bool failed = false;
  ASSERT_TRUE(DrawTable(context, canvas, table, slots, 0, 1, 1, failed, 1));
  ASSERT_EQ(plan.Tables.size(), 1u);
  const PlanTable& drawn = plan.Tables[0];
  ASSERT_FALSE(drawn.LeftOut.empty());
  const std::vector<std::vector<std::string>> all = TableTexts(plan, drawn);
  ASSERT_EQ(all.size(), 30u);
  EXPECT_EQ(all.back(), (std::vector<std::string>{"29", "-29.5"}));
  std::vector<const PlanText*> texts;
  bool noted = false;
  for (const PlanItem& i : plan.Items)
    if (const auto* text = std::get_if<PlanText>(&i); text != nullptr && !text->Text.empty()) {
      texts.push_back(text);
      if (text->Text == LeftOutNote(drawn.LeftOut.size())) noted = true;
    }
  EXPECT_TRUE(noted);
  for (std::size_t a = 0; a < texts.size(); ++a) {
    EXPECT_GE(texts[a]->Points, 5.0f) << texts[a]->Text;
    for (std::size_t b = a + 1; b < texts.size(); ++b) {
      const MmRect &x = texts[a]->Run, &y = texts[b]->Run;
      const bool apart = x.Right() <= y.Left + 0.01f || y.Right() <= x.Left + 0.01f ||
                         x.Bottom() <= y.Top + 0.01f || y.Bottom() <= x.Top + 0.01f;
      EXPECT_TRUE(apart) << texts[a]->Text << " over " << texts[b]->Text;
    }
  }
  table.FontSize = 3;  // too small to read: raised
  plan = {};
  PageCanvas small(plan, PrintFontMetrics());
  ASSERT_TRUE(DrawTable(context, small, table, slots, 0, 1, 1, failed, 1));
  for (const PlanItem& i : plan.Items) {
    const auto* text = std::get_if<PlanText>(&i);
    if (text != nullptr && !text->Text.empty()) {
      EXPECT_GE(text->Points, 5.0f) << text->Text;
    }
  }
}

// On a later page a pair past the cable's count is shown when the block read holds it.
TEST_F(TableDrawerTest, LaterPagesAskTheBlockForPairsPastTheCable) {
  data.PairCount = 2;
  table.HideFirstCol = true;
  EXPECT_EQ(Draw(1).Rows[0], (std::vector<std::string>{"Pair 1"}));
  data.MoreColsBelow = 4;  // the block holds four pairs
  EXPECT_EQ(Draw(1).Rows[0], (std::vector<std::string>{"Pair 1", "Pair 2", "Pair 3"}));
}

// Fifteen narrow columns: the headers go onto two lines, every cell of the body and
// every header share one size each, and the export still reads each header whole.
TEST_F(TableDrawerTest, NarrowColumnsWrapTheHeadersAndShareOneSize) {
  ReadTestDataResult r;
  r.Found = true;
  r.Grid = {{"1", "Margin"}, {"1", "1"}};
  r.Titles = {"Freq (MHz)"};
  table.Cols = {1};
  for (int p = 1; p <= 15; ++p) {
    table.Cols.push_back(static_cast<ColumnCode>(p + 1));
    r.Grid.push_back({"-12.3", "-1.5"});
    r.Titles.push_back("Pair " + std::to_string(p) + "-" + std::to_string(p + 1) + " - dB");
  }
  data.Results["Attenuation Near"] = r;
  table.FontSize = 10;
  data.PairCount = 0;  // every column shown
  const Drawn t = Draw();
  ASSERT_EQ(t.Rows.size(), 3u);
  EXPECT_EQ(t.Rows[0][1], "Pair 1-2 - dB");
  EXPECT_EQ(t.Rows[2][0], "Margin");
  std::vector<float> header, body;
  int headerLines = 0;
  for (const PlanItem& item : plan.Items) {
    const auto* text = std::get_if<PlanText>(&item);
    if (text == nullptr || text->Cell.Table != 1 || text->Text.empty()) continue;
    EXPECT_EQ(text->Text.find("\u2026"), std::string::npos) << text->Text;  // nothing cut
    (text->Cell.Row == 0 ? header : body).push_back(text->Points);
    if (text->Cell.Row == 0 && text->Cell.Column == 1) ++headerLines;
  }
  EXPECT_EQ(headerLines, 2);
  ASSERT_FALSE(body.empty());
  EXPECT_EQ(*std::min_element(body.begin(), body.end()),
            *std::max_element(body.begin(), body.end()));
  EXPECT_EQ(*std::min_element(header.begin(), header.end()),
            *std::max_element(header.begin(), header.end()));
  EXPECT_LE(header.front(), body.front());
  EXPECT_GE(header.front(), 5.0f);
}

}  // namespace
}  // namespace vantrel

#include <gtest/gtest.h>

#include "common/recording_prompter.h"
#include "fake_data_source.h"
#include "render/page_header.h"
#include "render/report_colours.h"

namespace vantrel {
namespace {

class HeaderBlockTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  testing::FakeDataSource data;
  testing::RecordingPrompter ask;
  RenderContext context{.State = *state, .Data = data, .Ask = ask};
  PageData page;
  const MmRect rect{.Width = 160, .Height = 30, .Top = 40, .Left = 20};

  void Item(int i, const std::string& field, const std::string& label, const std::string& value) {
    const auto n = static_cast<std::size_t>(i);
    state->Header.HeaderItems[n] = field;
    state->Header.HeaderTexts[n] = label;
    page.HeaderValues[n] = value;
  }
  HeaderBlockLayout LayOut(bool failed = false, bool incomplete = false) {
    return LayOutHeaderBlock(context, PrintFontMetrics(), "Arial", rect, page, failed, incomplete);
  }
  static const HeaderCellText* Find(const std::vector<HeaderCellText>& texts,
                                    const std::string& text) {
    for (const HeaderCellText& t : texts)
      if (t.Text.find(text) != std::string::npos) return &t;
    return nullptr;
  }
};

// Labels and values stand in columns of a quarter of the block, of an eighth once the
// right half holds an item.
TEST_F(HeaderBlockTest, ColumnsSpanTheBlockAndHalveWhenTheRightHalfIsUsed) {
  Item(0, "Operator", "Operator", "Ann");
  Item(1, "Cable", "Cable", "Cat 6");
  HeaderBlockLayout block = LayOut();
  const HeaderCellText* label = Find(block.Labels, "Operator");
  const HeaderCellText* value = Find(block.Values, "Ann");
  ASSERT_TRUE(label && value);
  EXPECT_FLOAT_EQ(label->Box.Left, 20);
  EXPECT_FLOAT_EQ(value->Box.Left, 60);
  EXPECT_FLOAT_EQ(value->Box.Width, 40);
  EXPECT_FLOAT_EQ(Find(block.Values, "Cat 6")->Box.Top, 45);  // row 2 of 6

  Item(7, "Site", "Site", "Hall B");  // item 8: the right half's second row
  block = LayOut();
  EXPECT_FLOAT_EQ(Find(block.Values, "Ann")->Box.Left, 40);
  EXPECT_FLOAT_EQ(Find(block.Values, "Ann")->Box.Width, 20);
  const HeaderCellText* site = Find(block.Values, "Hall B");
  ASSERT_TRUE(site);
  EXPECT_FLOAT_EQ(site->Box.Left, 120);
  EXPECT_FLOAT_EQ(site->Box.Top, 45);
  EXPECT_FLOAT_EQ(Find(block.Labels, "Site")->Box.Left, 100);
}

TEST_F(HeaderBlockTest, TestStatusSaysPassedFailedOrIncompleteInItsColour) {
  Item(0, "Test Status", "Status", "ignored");
  state->Settings.PassText = "ALL OK";
  const HeaderBlockLayout passed = LayOut();
  const HeaderCellText* v = Find(passed.Values, "ALL OK");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->Colour, kPassGreen);
  const HeaderBlockLayout incomplete = LayOut(false, true);
  ASSERT_TRUE(Find(incomplete.Values, "Incomplete"));
  EXPECT_EQ(Find(incomplete.Values, "Incomplete")->Colour, FailColour(context));
  state->Settings.FailText = "NOT OK";
  // Failed wins over incomplete.
  const HeaderBlockLayout failed = LayOut(true, true);
  EXPECT_TRUE(Find(failed.Values, "NOT OK"));
  EXPECT_FALSE(Find(failed.Values, "ignored"));
}

// A value too long for its cell makes every value smaller and, split at a blank,
// takes two half-height lines of its cell.
TEST_F(HeaderBlockTest, ALongValueSetsTheSizeOfAllAndIsSplitOverTwoLines) {
  Item(0, "Operator", "Operator", "Ann");
  EXPECT_FLOAT_EQ(LayOut().ValuePoints, 9);
  Item(1, "Product", "Product", "Shielded installation cable for data centres and offices");
  const HeaderBlockLayout block = LayOut();
  EXPECT_LT(block.ValuePoints, 9);
  EXPECT_GE(block.ValuePoints, 5);
  std::vector<const HeaderCellText*> lines;
  for (const HeaderCellText& t : block.Values)
    if (!t.Whole.empty()) lines.push_back(&t);
  ASSERT_EQ(lines.size(), 2u);
  const MmRect cell = Find(block.Values, "Ann")->Box;
  EXPECT_FLOAT_EQ(lines[0]->Box.Height, cell.Height / 2);
  EXPECT_FLOAT_EQ(lines[0]->Box.Top, cell.Top + cell.Height);  // the second row
  EXPECT_FLOAT_EQ(lines[1]->Box.Top, lines[0]->Box.Bottom());
  EXPECT_EQ(lines[0]->V, VAlign::Bottom);
  EXPECT_EQ(lines[1]->V, VAlign::Top);
}

}  // namespace
}  // namespace vantrel

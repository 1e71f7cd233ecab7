#include "render/summary_pages.h"

#include <gtest/gtest.h>

#include "common/recording_prompter.h"
#include "fake_data_source.h"
#include "render/layout_check.h"

namespace vantrel {
namespace {

// Many files with long names and texts: the rows go on over pages in order, each page
// heads its part of the table and says which of how many it is, and nothing a
// certificate reader would object to is on any page.
TEST(SummaryPages, RowsContinueOverPagesInOrderAndEveryPageIsClean) {
  auto state = std::make_unique<ProgramState>();
  state->Settings.LogoHeight = LogoSize{};
  testing::FakeDataSource data;
  testing::RecordingPrompter ask;
  RenderContext context{.State = *state, .Data = data, .Ask = ask};
  SummaryTable table;
  table.Title = "Headroom summary";
  table.Note = "Definition file cable.ini; 40 result file(s)";
  table.Heads = {"result file",        "cable", "test", "data set", "worst margin",
                 "at frequency (MHz)", "status"};
  table.Weights = {30, 14, 16, 10, 10, 12, 8};
  for (int i = 0; i < 120; ++i) {
    const bool closing = i % 3 == 2;
    table.Rows.push_back({{"/srv/instrument/exports/2026/line-4/cable-run-" + std::to_string(i) +
                               "-with-a-long-name.txt",
                           "CBL-2024-" + std::to_string(i), closing ? "" : "Return Loss",
                           closing ? "overall" : "Pair 12-36", std::to_string(i - 60) + ".125",
                           "1000.000", i < 60 ? "FAIL" : "PASS"},
                          i < 60,
                          closing,
                          {}});
  }
  FixedWidthMetrics metrics;
  context.Fonts = &metrics;

  const std::vector<PagePlan> pages =
      PlanSummaryPages(context, table, {.WidthMm = 210, .HeightMm = 297});
  ASSERT_GE(pages.size(), 3u);
  int next = 0;
  for (const PagePlan& page : pages) {
    for (const LayoutFinding& f : CheckLayout(page)) ADD_FAILURE() << FindingLine(page, f);
    ASSERT_EQ(page.Tables.size(), 1u);
    const auto cells = TableTexts(page, page.Tables[0]);
    ASSERT_GE(cells.size(), 2u);
    EXPECT_EQ(cells[0][5], "at frequency (MHz)");
    for (std::size_t r = 1; r < cells.size(); ++r, ++next)
      EXPECT_EQ(cells[r], table.Rows[static_cast<std::size_t>(next)].Cells);  // cut texts whole
    bool numbered = false;
    for (const PlanItem& item : page.Items)
      if (const auto* text = std::get_if<PlanText>(&item))
        numbered = numbered || text->Text == "Page " + std::to_string(page.Page) + " of " +
                                                 std::to_string(pages.size());
    EXPECT_TRUE(numbered) << page.Page;
  }
  EXPECT_EQ(next, 120);

  // No rows: one page with the heads, so an empty summary still prints.
  table.Rows.clear();
  const std::vector<PagePlan> empty =
      PlanSummaryPages(context, table, {.WidthMm = 210, .HeightMm = 297});
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_EQ(empty[0].Tables[0].Rows, 1);
  EXPECT_TRUE(ask.Messages.empty());
}

}  // namespace
}  // namespace vantrel

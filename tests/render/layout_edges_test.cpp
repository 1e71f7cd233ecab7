// The printable area has four edges; text past any of them is a finding, text just
// inside none.

#include <gtest/gtest.h>

#include "render/layout_check.h"
#include "render/page_canvas.h"
#include "render/text_box.h"

namespace vantrel {
namespace {

std::vector<LayoutFinding> FindingsFor(const MmRect& box, HAlign align = HAlign::Centre) {
  PagePlan plan;
  plan.WidthMm = 210;
  plan.HeightMm = 297;
  FixedWidthMetrics metrics;
  PageCanvas canvas{plan, metrics};
  canvas.Item = "page number";
  canvas.FontSize = 9;
  DrawTextBox(canvas, "Page 3", box, align, VAlign::Middle, false, kNoFill, std::nullopt);
  return CheckLayout(plan);
}

TEST(LayoutCheck, TextPastEveryEdgeOfThePrintableAreaIsFound) {
  // Boxes of 30 x 6 mm; the printable area ends 5 mm inside the A4 page.
  EXPECT_TRUE(
      FindingsFor({.Width = 30, .Height = 6, .Top = 100, .Left = 90}).empty());  // the middle
  EXPECT_TRUE(FindingsFor({.Width = 30, .Height = 6, .Top = 285, .Left = 90})
                  .empty());  // ends 1 mm above the bottom edge
  EXPECT_EQ(FindingsFor({.Width = 30, .Height = 6, .Top = 290, .Left = 90}).size(),
            1u);  // below the printable area
  EXPECT_EQ(FindingsFor({.Width = 30, .Height = 6, .Top = 1, .Left = 90}).size(), 1u);  // above it
  EXPECT_EQ(FindingsFor({.Width = 30, .Height = 6, .Top = 100, .Left = 0}, HAlign::Left).size(),
            1u);  // left of it
  EXPECT_EQ(FindingsFor({.Width = 30, .Height = 6, .Top = 100, .Left = 180}, HAlign::Right).size(),
            1u);  // right of it
  const std::vector<LayoutFinding> low =
      FindingsFor({.Width = 30, .Height = 6, .Top = 292, .Left = 90});
  ASSERT_EQ(low.size(), 1u);
  EXPECT_EQ(low[0].Item, "page number");
  EXPECT_NE(low[0].What.find("outside the printable area"), std::string::npos) << low[0].What;
}

}  // namespace
}  // namespace vantrel

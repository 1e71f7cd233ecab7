#include "render/layout_check.h"

#include <gtest/gtest.h>

#include "render/page_canvas.h"
#include "render/text_box.h"

namespace vantrel {
namespace {

class LayoutCheckTest : public ::testing::Test {
 protected:
  PagePlan plan;
  FixedWidthMetrics metrics;
  PageCanvas canvas{plan, metrics};

  void Text(const std::string& text, const MmRect& box, float points = 9) {
    canvas.FontSize = points;
    DrawTextBox(canvas, text, box, HAlign::Left, VAlign::Middle, false, kNoFill, std::nullopt);
  }
  std::vector<std::string> Lines() {
    plan.Report = 2;
    plan.Page = 1;
    std::vector<std::string> out;
    for (const LayoutFinding& f : CheckLayout(plan)) out.push_back(FindingLine(plan, f));
    return out;
  }
};

TEST_F(LayoutCheckTest, CellsSideBySideAndLayoutAidsGiveNoFinding) {
  canvas.Item = "table 1";
  Text("1.0", {.Width = 20, .Height = 6, .Top = 50, .Left = 20});
  Text("2.0",
       {.Width = 20, .Height = 6, .Top = 50, .Left = 40});  // shares the edge with its neighbour
  Text("3.0", {.Width = 20, .Height = 6, .Top = 56, .Left = 20});
  canvas.CurrentX = 21;
  canvas.CurrentY = 51;
  canvas.PrintAid("Slot 1");
  EXPECT_TRUE(Lines().empty());
}

TEST_F(LayoutCheckTest, FindsEachKindOfFault) {
  canvas.Item = "header block";
  canvas.CurrentX = 21;
  canvas.CurrentY = 51;
  canvas.PrintIn("a value far too long for its cell",
                 {.Width = 20, .Height = 6, .Top = 50, .Left = 20});
  canvas.Item = "fail mark";
  Text("FAIL", {.Width = 30, .Height = 10, .Top = 0, .Left = 170}, 30);
  canvas.Item = "logo";
  canvas.PaintPicture(nullptr, 20, 10, 170, 25);
  canvas.Item = "page number";
  Text("Page 1", {.Width = 20, .Height = 5, .Top = 11, .Left = 20});
  canvas.Item = "graph 1";
  Text("tiny", {.Width = 20, .Height = 6, .Top = 100, .Left = 20}, 4);
  Text("0.300", {.Width = 20, .Height = 6, .Top = 100, .Left = 30});
  const std::vector<std::string> lines = Lines();
  const auto has = [&](const std::string& start, const std::string& end) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.rfind(start, 0) == 0 && line.size() >= end.size() &&
             line.compare(line.size() - end.size(), end.size(), end) == 0;
    });
  };
  EXPECT_TRUE(has("report 2 page 1: header block: \"a value far too long for its cell\" runs ",
                  " out of its box"))
      << ::testing::PrintToString(lines);
  EXPECT_TRUE(has("report 2 page 1: fail mark: \"FAIL\" lies ", " outside the printable area"));
  EXPECT_TRUE(has("report 2 page 1: graph 1: \"tiny\" is set in 4.0 pt", "below 5 pt"));
  EXPECT_TRUE(has("report 2 page 1: graph 1: \"tiny\" overlaps \"0.300\"", "\"0.300\""));
  EXPECT_TRUE(has("report 2 page 1: page number: \"Page 1\" is printed over", "picture of logo"));
}

TEST_F(LayoutCheckTest, OnlyTextRunsAndBoxesCountNotBlankCells) {
  canvas.Item = "table 1";
  Text("", {.Width = 20, .Height = 6, .Top = 50, .Left = 20});
  Text("   ", {.Width = 20, .Height = 6, .Top = 50, .Left = 25});
  canvas.Box(2, 2, 10, 10);  // a frame into the unprintable edge
  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "report 2 page 1: table 1: a box lies 3.0 mm outside the printable area");
}

}  // namespace
}  // namespace vantrel

#include <gtest/gtest.h>

#include "common/recording_prompter.h"
#include "render/page_header.h"
#include "render/slot_layout.h"
#include "render/text_box.h"

namespace vantrel {
namespace {

TEST(FindSlot, CountsRowByRowAndReportsSlotsBeyondTheGrid) {
  testing::RecordingPrompter ask;
  EXPECT_EQ(FindSlot(1, 3, 2, ask), (SlotPosition{0, 0}));
  EXPECT_EQ(FindSlot(4, 3, 2, ask), (SlotPosition{0, 1}));
  EXPECT_EQ(FindSlot(6, 3, 2, ask), (SlotPosition{2, 1}));
  EXPECT_TRUE(ask.Messages.empty());
  EXPECT_EQ(FindSlot(7, 3, 2, ask), (SlotPosition{0, 0}));
  ASSERT_EQ(ask.Messages.size(), 1u);
  EXPECT_EQ(ask.Messages[0].Text, "Unable to locate Slot 7.\r\rYou have only defined 6 slots.");
}

TEST(PlaceItem, KeepsTheBorderOnEverySideAndStaysOnTheGrid) {
  const SlotGrid grid = MakeSlotGrid({.Width = 190, .Height = 200, .Top = 60, .Left = 10}, 2, 4, 5);
  EXPECT_FLOAT_EQ(grid.SlotWidth, 95);
  EXPECT_FLOAT_EQ(grid.SlotHeight, 50);
  EXPECT_EQ(PlaceItem(grid, 4, 0, 0, 1, 1, 2, 4),
            (MmRect{.Width = 85, .Height = 40, .Top = 115, .Left = 110}));
  EXPECT_EQ(PlaceItem(grid, 0, 0, 2, 2, 2, 2, 4),
            (MmRect{.Width = 180, .Height = 90, .Top = 165, .Left = 15}));
  // Two slots wide from the last column: one slot wide, not off the page.
  EXPECT_EQ(PlaceItem(grid, 8, 0, 0, 2, 1, 2, 4),
            (MmRect{.Width = 85, .Height = 40, .Top = 215, .Left = 110}));
  EXPECT_FALSE(PlaceItem(grid, 9, 0, 0, 1, 1, 2, 4).has_value());
  // A free placement with no room at all is left off, not drawn inside out.
  EXPECT_FALSE(PlaceItem(grid, 0, 0, 0, -1, 1, 2, 4).has_value());
  EXPECT_FALSE(PlaceItem(grid, 0, -1, 0, 1, 1, 2, 4).has_value());
}

TEST(TellSlotsPastGrid, TellsEachSlotPastTheGridOnce) {
  testing::RecordingPrompter ask;
  ReportDefinition report;
  report.SlotsX = 2;
  report.SlotsY = 2;
  report.GraphCount = 3;
  report.Graphs[0].Slot = 1;
  report.Graphs[1].Slot = 7;
  report.Graphs[2].Slot = 7;
  report.TableCount = 1;
  report.Tables[0].Slot = 9;
  TellSlotsPastGrid(report, ask);
  ASSERT_EQ(ask.Messages.size(), 2u);
  EXPECT_EQ(ask.Messages[0].Text, "Unable to locate Slot 7.\r\rYou have only defined 4 slots.");
  EXPECT_EQ(ask.Messages[1].Text, "Unable to locate Slot 9.\r\rYou have only defined 4 slots.");
}

TEST(LayOutBands, PlacesTitleBandsAndSlotArea) {
  BandInput in;
  in.Logo = {.Width = 190, .Height = 0, .Top = 10, .Left = 10};
  in.Header = {.Width = 190, .Height = 30, .Top = 25, .Left = 10};
  in.NewTables = true;
  BandLayout none = LayOutBands(in);
  EXPECT_FLOAT_EQ(none.SlotArea.Top, 55);  // right under the header block
  EXPECT_FLOAT_EQ(none.SlotArea.Height, 297 - 55 - 10);
  EXPECT_FLOAT_EQ(none.SlotArea.Left, 10);
  EXPECT_FLOAT_EQ(none.SlotArea.Width, 190);

  in.HasTitle = in.HasSubHeader = true;
  const BandLayout both = LayOutBands(in);
  EXPECT_EQ(both.Title, (MmRect{.Width = 190, .Height = 10, .Top = 10, .Left = 10}));
  EXPECT_EQ(both.SubHeader, (MmRect{.Width = 190, .Height = 5, .Top = 20, .Left = 10}));
  EXPECT_FLOAT_EQ(both.SlotArea.Top, 55 + 15.0f / 4);

  in.NewTables = false;
  const BandLayout plain = LayOutBands(in);
  EXPECT_FLOAT_EQ(plain.Title.Top, 55);
  EXPECT_FLOAT_EQ(plain.SlotArea.Top, 70);
}

TEST(LayOutBands, AHiddenHeaderUnderATallLogoLeavesTheBandsClearOfTheSlots) {
  BandInput in;
  in.Logo = {.Width = 190, .Height = 30, .Top = 10, .Left = 10};
  in.LogoHeight = 30;
  in.Header = {.Width = 190,
               .Height = 30,
               .Top = 10,
               .Left = 10};  // hidden: on the logo band, rows as if shown
  in.NewTables = true;
  in.HasTitle = in.HasSubHeader = true;
  const BandLayout out = LayOutBands(in);
  EXPECT_FLOAT_EQ(out.Title.Top, 43);
  EXPECT_FLOAT_EQ(out.SubHeader.Bottom(), 58);
  EXPECT_GE(out.SlotArea.Top, out.SubHeader.Bottom());
  EXPECT_FLOAT_EQ(out.SlotArea.Bottom(), 297 - 10);

  in.LogoHeight = 0;
  in.Header = {.Width = 190, .Height = 10, .Top = 10, .Left = 10};
  const BandLayout noLogo = LayOutBands(in);
  EXPECT_GE(noLogo.SlotArea.Top, noLogo.SubHeader.Bottom());
}

TEST(CountTablePairColumns, CountsPairAndLastPairColumnsOfTheWidestTable) {
  ReportDefinition report;
  report.TableCount = 2;
  report.Tables[0].Cols = {1, 2, 3};
  report.Tables[1].Cols = {1, 2, 3, 9997, code::kLastPair, 4};
  EXPECT_EQ(CountTablePairColumns(report), 4);
  report.TableCount = 0;
  EXPECT_EQ(CountTablePairColumns(report), 0);
}

TEST(PlaceText, AlignsInsideTheInsetBox) {
  const MmRect r{.Width = 100, .Height = 20, .Top = 50, .Left = 10};
  const TextPosition left = PlaceText(r, 1, 30, 4, HAlign::Left, VAlign::Top);
  EXPECT_FLOAT_EQ(left.X, 11);
  EXPECT_FLOAT_EQ(left.Y, 51);
  const TextPosition centre = PlaceText(r, 1, 30, 4, HAlign::Centre, VAlign::Middle);
  EXPECT_FLOAT_EQ(centre.X, 45);
  EXPECT_FLOAT_EQ(centre.Y, 58);
  const TextPosition right = PlaceText(r, 1, 30, 4, HAlign::Right, VAlign::Bottom);
  EXPECT_FLOAT_EQ(right.X, 79);
  EXPECT_FLOAT_EQ(right.Y, 65);
}

TEST(LayOutLogo, OwnHeightAndAspectOfThePicture) {
  const LogoLayout own = LayOutLogo(210, 0, LogoSize::Of(-1), 40, 10, false);
  EXPECT_FLOAT_EQ(own.Band.Height, 10);
  EXPECT_FLOAT_EQ(own.Picture.Width, 40);
  EXPECT_FLOAT_EQ(own.Picture.Left, 10);
  const LogoLayout centred = LayOutLogo(210, 5, LogoSize::Of(20), 40, 10, true);
  EXPECT_FLOAT_EQ(centred.Band.Width, 180);
  EXPECT_FLOAT_EQ(centred.Picture.Width, 80);
  EXPECT_FLOAT_EQ(centred.Picture.Left, 15 + 50);
  EXPECT_FLOAT_EQ(LayOutLogo(210, 0, LogoSize::Of(15), 0, 0, true).Picture.Width,
                  0);  // nothing to paint
}

TEST(LayOutLogo, AWideLogoIsScaledToTheBandKeepingItsAspect) {
  const LogoLayout wide = LayOutLogo(210, 0, LogoSize::Of(30), 400, 50, true);
  EXPECT_FLOAT_EQ(wide.Picture.Width, 190);
  EXPECT_FLOAT_EQ(wide.Picture.Height, 190 * 50 / 400.0f);
  EXPECT_FLOAT_EQ(wide.Picture.Left, 10);
}

TEST(FailMarkRoom, TheWiderSideOfTheLogoBandClearOfThePicture) {
  const MmRect right = FailMarkRoom(LayOutLogo(210, 0, LogoSize::Of(10), 40, 10, false));
  EXPECT_EQ(right, (MmRect{.Width = 190 - 40 - 3, .Height = 10, .Top = 10, .Left = 10 + 40 + 3}));
  const LogoLayout centred = LayOutLogo(210, 0, LogoSize::Of(10), 40, 10, true);
  EXPECT_FLOAT_EQ(FailMarkRoom(centred).Left, centred.Picture.Right() + 3);
  EXPECT_FLOAT_EQ(FailMarkRoom(LayOutLogo(210, 0, LogoSize::Of(0), 40, 10, false)).Width, 0);
  EXPECT_FLOAT_EQ(FailMarkRoom(LayOutLogo(210, 0, LogoSize::Of(30), 400, 50, false)).Width, 0);
}

TEST(FitText, ShrinksToWidthAndHeightAndCutsAtTheSmallestSize) {
  const FixedWidthMetrics m;
  const FontSpec font{"Arial", 9, false};
  // 10 characters at 9 pt are 19 mm wide; a 12 mm box takes a smaller size.
  const float p =
      FitPoints(m, font, "0123456789", {.Width = 12, .Height = 10, .Top = 0, .Left = 0}, 9, 5);
  EXPECT_LT(p, 9);
  EXPECT_GE(p, 5);
  FontSpec at = font;
  at.Points = p;
  EXPECT_LE(m.TextWidth("0123456789", at), 12 - 0.4f * m.TextHeight(at));
  // A low row limits the size too.
  EXPECT_LE(
      m.TextHeight({"Arial",
                    FitPoints(m, font, "1", {.Width = 50, .Height = 2, .Top = 0, .Left = 0}, 9, 1),
                    false}),
      2);
  EXPECT_FLOAT_EQ(FitPoints(m, font, "a long text that never fits",
                            {.Width = 5, .Height = 10, .Top = 0, .Left = 0}, 9, 5),
                  5);
  const std::string cut = Ellipsized(m, font, "Zoë Ångström", 10);
  EXPECT_LE(m.TextWidth(cut, font), 10);
  EXPECT_EQ(cut, "Zo\u00eb \u2026");  // cut at a whole character
  EXPECT_EQ(Ellipsized(m, font, "fits", 50), "fits");
}

TEST(HeaderRows, SixAtLeastAndRoomForEveryItem) {
  HeaderDefinition h;
  EXPECT_EQ(HeaderRows(h), 6);
  h.HeaderTexts[3] = "Operator";
  EXPECT_EQ(HeaderRows(h), 6);
  h.HalfHeaderTexts[14] = "Length";
  EXPECT_EQ(HeaderRows(h), 8);  // fifteen items need eight rows
  h.HeaderTexts[29] = "Last";
  EXPECT_EQ(HeaderRows(h), 15);
  EXPECT_EQ(HeaderItemSlot(14, 8).Half, 1);
  EXPECT_EQ(HeaderItemSlot(14, 8).Row, 6);
  EXPECT_EQ(HeaderItemSlot(7, 8).Half, 0);
}

TEST(PageNumberAlignment, FollowsTheSettingWithBottomLeftOtherwise) {
  EXPECT_EQ(PageNumberAlignment(PageNumberPlaceOf("bottomMiddle")).H, 1);
  EXPECT_EQ(PageNumberAlignment(PageNumberPlaceOf("BOTTOMMIDDLE")).V, 0);
  EXPECT_EQ(PageNumberAlignment(PageNumberPlaceOf("TOPRIGHT")).H, 2);
  EXPECT_EQ(PageNumberAlignment(PageNumberPlaceOf("TOPRIGHT")).V, 2);
  // An unknown word is the bottom left, and then has its foot line like any foot number.
  EXPECT_EQ(PageNumberPlaceOf("TOPSIDEWAYS"), PageNumberPlace::BottomLeft);
  EXPECT_EQ(PageNumberPlaceOf(" none "), PageNumberPlace::None);
}

}  // namespace
}  // namespace vantrel

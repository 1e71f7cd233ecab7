// The paged report list, the select button and the start-up selection.

#include <gtest/gtest.h>

#include "model/window_fixture.h"

namespace vantrel::testing {
namespace {

TEST(ReportList, SeventeenReportsPageForwardAndBack) {
  WindowFixture f;
  ASSERT_EQ(f.Start(WindowIni(17)), StartupOutcome::Running);
  MainWindowModel& m = *f.Model;
  EXPECT_EQ(m.Rows()[0].ToolTip, "Report 1");
  EXPECT_EQ(m.Rows()[15].ToolTip, "Report 16");
  EXPECT_TRUE(m.Rows()[15].Visible);
  EXPECT_TRUE(m.NextEnabled());
  EXPECT_FALSE(m.PrevEnabled());

  m.NextReportPage();
  EXPECT_EQ(m.ListPageStart(), 17);
  EXPECT_TRUE(m.Rows()[0].Visible);
  EXPECT_EQ(m.Rows()[0].Caption, "Report 17");
  for (int j = 1; j < kListRows; ++j) EXPECT_FALSE(m.Rows()[j].Visible) << j;
  EXPECT_FALSE(m.NextEnabled());
  EXPECT_TRUE(m.PrevEnabled());
  EXPECT_EQ(m.RowReport(0), 16);
  EXPECT_EQ(m.RowReport(1), -1);

  // A second Next (a stray key press) must not leave the list.
  m.NextReportPage();
  EXPECT_EQ(m.ListPageStart(), 17);

  m.PrevReportPage();
  EXPECT_EQ(m.ListPageStart(), 1);
  EXPECT_FALSE(m.PrevEnabled());
  EXPECT_TRUE(m.NextEnabled());
  EXPECT_EQ(m.Rows()[15].ToolTip, "Report 16");
}

TEST(ReportList, SixteenReportsHaveOnePage) {
  WindowFixture f;
  f.Start(WindowIni(16));
  EXPECT_FALSE(f.Model->NextEnabled());
  EXPECT_FALSE(f.Model->PrevEnabled());
  EXPECT_TRUE(f.Model->Rows()[15].Visible);
}

TEST(ReportList, NoReportsShowNoRowsAndTheDeselectCaption) {
  WindowFixture f;
  f.Start(WindowIni(0));
  for (const ReportRow& row : f.Model->Rows()) EXPECT_FALSE(row.Visible);
  EXPECT_EQ(f.Model->SelectButton().Caption, "De-Select");
  EXPECT_FALSE(f.Model->NextEnabled());
}

TEST(ReportList, AmpersandShowsOnceInTheLabelAndAsItIsInTheToolTip) {
  WindowFixture f;
  f.Start(WindowIni(2, {}, {"NEXT & FEXT", "R&D && QA"}));
  EXPECT_EQ(f.Model->Rows()[0].Caption, "NEXT && FEXT");
  EXPECT_EQ(f.Model->Rows()[0].ToolTip, "NEXT & FEXT");
  EXPECT_EQ(f.Model->Rows()[1].Caption, "R&&D &&&& QA");
  EXPECT_EQ(EscapeAmpersands(""), "");
}

TEST(ReportList, SelectAllOnPageTwoSelectsEveryReportAndToggles) {
  WindowFixture f;
  f.Start(WindowIni(17, {"ALLSELECTED=FALSE"}));
  MainWindowModel& m = *f.Model;
  EXPECT_EQ(m.SelectButton().Caption, "Select");
  EXPECT_EQ(m.SelectButton().ToolTip, "Select All");
  EXPECT_EQ(m.SelectButton().Image, 2);
  m.NextReportPage();
  m.ToggleSelectAll();
  for (int i = 0; i < 17; ++i) EXPECT_TRUE(m.Selection()[i]) << i;
  EXPECT_FALSE(m.Selection()[17]);
  EXPECT_TRUE(m.Rows()[0].Checked);
  EXPECT_FALSE(m.Rows()[1].Checked);  // no report there
  EXPECT_EQ(m.SelectButton().Caption, "De-Select");
  EXPECT_EQ(m.SelectButton().ToolTip, "De-select All");
  EXPECT_EQ(m.SelectButton().Image, 1);

  m.ToggleSelectAll();
  for (int i = 0; i < 17; ++i) EXPECT_FALSE(m.Selection()[i]) << i;
  EXPECT_EQ(m.SelectButton().Caption, "Select");
}

TEST(ReportList, RowClickWritesTheFlagOfItsPage) {
  WindowFixture f;
  f.Start(WindowIni(17, {"ALLSELECTED=FALSE"}));
  f.Model->NextReportPage();
  f.Model->SetRowChecked(0, true);
  EXPECT_TRUE(f.Model->Selection()[16]);
  EXPECT_FALSE(f.Model->Selection()[0]);
  f.Model->SetRowChecked(0, false);
  EXPECT_FALSE(f.Model->Selection()[16]);
  f.Model->SetRowChecked(16, true);  // no such row
  f.Model->SetRowChecked(-1, true);
  EXPECT_EQ(std::count(f.Model->Selection().begin(), f.Model->Selection().end(), true), 0);
}

TEST(ReportList, DefaultsAndTheCommandLineChooseTheStartingSelection) {
  {
    WindowFixture f;
    f.Start(WindowIni(3));  // ALLSELECTED defaults to TRUE
    EXPECT_EQ(f.Model->SelectButton().Caption, "De-Select");
    EXPECT_TRUE(f.Model->Rows()[2].Checked);
  }
  {
    WindowFixture f;
    f.Start(WindowIni(5), ">N1,3,N<");
    EXPECT_FALSE(f.Model->Selection()[0]);
    EXPECT_TRUE(f.Model->Selection()[1]);
    EXPECT_FALSE(f.Model->Selection()[2]);
    EXPECT_TRUE(f.Model->Selection()[3]);
    EXPECT_EQ(f.Model->SelectButton().Caption, "Select");
  }
  {
    // Without the final comma the last element is not taken.
    WindowFixture f;
    f.Start(WindowIni(5), ">N1,3N<");
    EXPECT_TRUE(f.Model->Selection()[1]);
    EXPECT_FALSE(f.Model->Selection()[3]);
  }
}

TEST(ReportList, ReloadingTheDefinitionResetsPageAndSelection) {
  WindowFixture f;
  f.Start(WindowIni(20, {"ALLSELECTED=FALSE"}));
  f.Model->NextReportPage();
  f.Model->SetRowChecked(0, true);
  f.Model->SetStatusText("kept");
  f.Dir.Write("def.ini", WindowIni(2, {}, {"New one", "New two"}));
  f.Model->ReloadCurrentIni();
  EXPECT_EQ(f.Model->ListPageStart(), 1);
  EXPECT_EQ(f.Titles()[1], "New two");
  EXPECT_EQ(f.Titles()[2], "-");
  EXPECT_TRUE(f.Model->Selection()[0]);
  EXPECT_FALSE(f.Model->Selection()[16]);
  EXPECT_EQ(f.Model->StatusText(), "kept");
}

}  // namespace
}  // namespace vantrel::testing

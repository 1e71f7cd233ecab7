#include "definitions/report_reader.h"

#include <algorithm>

#include "definitions/graph_reader.h"
#include "definitions/key_reader.h"
#include "definitions/report_grid.h"
#include "definitions/table_reader.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

PageNumberPlace PageNumberPlaceOf(const std::string& value) {
  const std::string v = ToUpper(Trim(value));
  if (v == "NONE") return PageNumberPlace::None;
  if (v == "TOPLEFT") return PageNumberPlace::TopLeft;
  if (v == "TOPMIDDLE") return PageNumberPlace::TopMiddle;
  if (v == "TOPRIGHT") return PageNumberPlace::TopRight;
  if (v == "BOTTOMMIDDLE") return PageNumberPlace::BottomMiddle;
  if (v == "BOTTOMRIGHT") return PageNumberPlace::BottomRight;
  return PageNumberPlace::BottomLeft;
}

LogoSize LogoSize::Of(double value) {
  if (value == 0) return {};
  if (value == -1) return {Kind::Natural, 0};
  return {Kind::Millimetres, value};
}

namespace {

constexpr double kMaxLogoHeight = 200;  // millimetres

// A key that is not there keeps the setting's own default.
const AppSettings kDefault{};

void ReadSecondGroup(const IniStore& ini, ProgramState& state, Prompter& prompter) {
  const KeyReader general(ini, "[GENERAL]", prompter);
  AppSettings& s = state.Settings;
  s.TableFormat = general.Text("TABLEFORMAT", kDefault.TableFormat);
  // -1 is the picture's own height; more than a page's height draws nothing at all.
  // Taken as its general form shows it: "-0.9999999999999999" is the picture's own height.
  s.LogoHeight =
      LogoSize::Of(RoundGeneral(general.NumberIn("LOGOHEIGHT", "0", -1, kMaxLogoHeight)));
  s.LogoCenter = general.Flag("LOGOCENTER", FlagText(kDefault.LogoCenter));
  s.GridColour = ToLower(general.Text("GRIDCOLOUR", kDefault.GridColour));
  if (s.GridColour == kDefault.GridColour)
    s.GridColour = ToLower(general.Text("GRIDCOLOR", kDefault.GridColour));
  s.GraphLineThickness = general.Integer("GRAPHLINETHICKNESS", "0");
  s.BigFail = general.Flag("BIGFAIL", FlagText(kDefault.BigFail));
  s.LimitName = general.Text("LIMITNAME", kDefault.LimitName);
  s.ControlName = general.Text("CONTROLNAME", kDefault.ControlName);
  s.PageNum = PageNumberPlaceOf(general.Text("PAGENUM", "NONE"));
  s.NewTables = general.Flag("NEWTABLES", FlagText(kDefault.NewTables));
  s.FailTextRed = general.Flag("FAILTEXTRED", FlagText(kDefault.FailTextRed));
  s.TableColor = general.Text("TABLECOLOR", kDefault.TableColor);
  s.SubHeaderTextColor = general.Text("SUBHEADERTEXTCOLOR", s.TableColor);
  s.SubHeaderColor = general.Text("SUBHEADERCOLOR", kDefault.SubHeaderColor);
  s.HeaderTextColor = general.Text("HEADERTEXTCOLOR", kDefault.HeaderTextColor);
  s.TableControlLimits = general.Flag("TABLECONTROLLIMITS", FlagText(kDefault.TableControlLimits));
  s.GraphControlLimits = general.Flag("GRAPHCONTROLLIMITS", FlagText(kDefault.GraphControlLimits));
  s.OverallStopFreq = general.Number("OVERALL_STOPFREQ", "0");
  s.FirstPageOnly = general.Flag("FIRST_PAGE_ONLY", FlagText(kDefault.FirstPageOnly));
  s.DefaultTableFreqs = general.Text("DEFAULTTABLEFREQS", kDefault.DefaultTableFreqs);
  s.DefaultMultiPage = general.Flag("DEFAULTMULTIPAGE", FlagText(kDefault.DefaultMultiPage));
  s.MarginName = general.Text("MARGINNAME", kDefault.MarginName);
  s.PageName = general.Text("PAGENAME", kDefault.PageName);

  const KeyReader header(ini, "[HEADER]", prompter);
  state.Header.HeaderJustify = ToUpper(header.Text("HEADERJUSTIFY", "NORMAL")) == "LEFT"
                                   ? HeaderAlign::Left
                                   : HeaderAlign::Centre;
  state.Header.FirstPageOnly =
      header.Flag("FIRST_PAGE_ONLY", FlagText(HeaderDefinition{}.FirstPageOnly));
}

void ReadReport(const IniStore& ini, const AppSettings& settings, int r, ReportDefinition& report,
                Prompter& prompter) {
  // Graphs and tables of an earlier read leave nothing behind.
  ReportDefinition fresh;
  fresh.Title = std::move(report.Title);
  fresh.Selected = report.Selected;
  report = std::move(fresh);

  const KeyReader k(ini, "[REPORT_" + std::to_string(r) + "]", prompter);
  report.HideHeader = k.Flag("HIDEHEADER", "FALSE");
  report.SubHeader = k.Text("SUBHEADER");
  report.SlotsX = k.Integer("X", "-1");
  if (report.SlotsX == -1) report.SlotsX = k.Integer("SLOTSX", "-1");
  report.SlotsY = k.Integer("Y", "-1");
  if (report.SlotsY == -1) report.SlotsY = k.Integer("SLOTSY", "-1");
  report.Border = k.Integer("BORDER", "5");
  report.MultiPage = k.Flag("MULTIPAGE", settings.DefaultMultiPage ? "TRUE" : "FALSE");

  report.GraphCount = 0;
  ReadGraphs(ini, settings, r, report, prompter);
  report.TableCount = 0;
  ReadTables(ini, settings, r, report, prompter);
  if (report.SlotsX == -1 || report.SlotsY == -1) {
    const GridSize grid = AutomaticGrid(report.GraphCount + report.TableCount);
    report.SlotsX = grid.X;
    report.SlotsY = grid.Y;
  }
}

}  // namespace

void ReadReportsIni(ProgramState& state, Prompter& prompter) {
  if (state.ReportsRead) return;
  state.ReportsRead = true;
  IniStore& ini = state.Ini;
  ReadSecondGroup(ini, state, prompter);
  const int numReports = std::clamp<int>(ini.NumReports, 0, kMaxReports);
  for (int r = 1; r <= numReports; ++r) {
    ReadReport(ini, state.Settings, r, state.Reports[r - 1], prompter);
  }
  // Every lookup is done; the counts stay for those who number the reports.
  ini.Keys.assign(1, std::string());
  ini.Values.assign(1, std::string());
  ini.SectionStart.assign(1, 0);
  ini.EntryCount = 0;
  ini.SectionCount = 0;
}

}  // namespace vantrel

#include "definitions/graph_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "definitions/column_keywords.h"
#include "definitions/key_reader.h"
#include "definitions/name_classes.h"
#include "definitions/report_grid.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

constexpr int kInt16Max = std::numeric_limits<int16_t>::max();

bool IsAutomatic(double value) { return value == code::kAutomatic; }

// Codes that a following graph keeps; every other column moves one to the right.
bool KeepsColumn(ColumnCode c) {
  switch (c) {
    case code::kEmp:
    case code::kUpperControl:
    case code::kLowerControl:
    case code::kMin:
    case code::kMax:
    case code::kMean:
    case code::kUpperLimit:
    case code::kLowerLimit:
    case -9999:
      return true;
    default:
      return false;
  }
}

std::vector<ColumnCode> ParseColumns(const std::vector<std::string>& elements,
                                     const KeyReader& keys, const std::string& key,
                                     Prompter& prompter) {
  std::vector<ColumnCode> cols;
  cols.reserve(elements.size());
  for (const std::string& element : elements) {
    const std::string trimmed = Trim(element);
    const auto c = GraphColumnCode(trimmed);
    if (!c) {
      prompter.Tell("The column '" + trimmed + "' of " + key + " in " + keys.Section() +
                        " is outside the range -32768 to 32767.\r\rColumn 0 is used instead.",
                    {}, PromptIcon::Exclamation);
    }
    cols.push_back(c.value_or(0));
  }
  return cols;
}

std::vector<ColumnCode> FollowingColumns(const std::vector<ColumnCode>& previous, int16_t count) {
  std::vector<ColumnCode> cols(static_cast<std::size_t>(std::max<int16_t>(count, 0)), 0);
  for (std::size_t i = 0; i < cols.size(); ++i) {
    if (i == 0) {
      cols[i] = 1;
    } else if (i < previous.size()) {
      const ColumnCode c = previous[i];
      cols[i] = KeepsColumn(c) || c == kInt16Max ? c : static_cast<ColumnCode>(c + 1);
    }
  }
  return cols;
}

// Limits that are no range (or beyond what a label can show) would give an empty or
// unreadable chart: the axis is scaled from the data instead, and the user is told.
void CheckAxisLimits(const KeyReader& k, const char* axis, double& low, double& high,
                     Prompter& prompter) {
  if (IsAutomatic(low) || IsAutomatic(high)) return;
  constexpr double kLargest = 1e15;
  std::string why;
  if (!std::isfinite(low) || !std::isfinite(high) || std::fabs(low) >= kLargest ||
      std::fabs(high) >= kLargest) {
    why = "lie beyond what an axis can show (1E+15)";
  } else if (low >= high) {
    why = low == high ? "are equal" : "run from high to low";
  } else {
    return;
  }
  const std::string a(axis);
  prompter.Tell("The axis limits " + a + "MIN=" + Trim(k.Text(a + "MIN")) + " and " + a +
                    "MAX=" + Trim(k.Text(a + "MAX")) + " in " + k.Section() + " " + why +
                    ".\r\rThe " + ToLower(a) + " axis is scaled automatically.",
                {}, PromptIcon::Exclamation);
  low = code::kAutomatic;
  high = code::kAutomatic;
}

void ReadAxes(const KeyReader& k, const AppSettings& settings, GraphDefinition& gd) {
  gd.Title = k.Text("TITLE", "COL_NAME");
  gd.TitleFontSize = k.Integer("TITLE_FONTSIZE", "-1");
  gd.AxisFontSize = k.Integer("AXIS_FONTSIZE", "-1");
  gd.AxisTitleFontSize = k.Integer("AXISTITLE_FONTSIZE", "-1");
  gd.XAxis = k.Text("XAXIS", "Frequency (MHz)");
  gd.YAxis = k.Text("YAXIS", "DEFAULT");
  gd.ApplyAllResults = k.Flag("APPLYALLRESULTS", "FALSE");
  gd.CombineAllResults = k.Flag("COMBINEALLRESULTS", "FALSE");
  gd.Difference = k.Flag("DIFFERENCE", "FALSE");
  gd.DifferencePercent = k.Flag("DIFFERENCEPERCENT", "FALSE");
  gd.Average = k.Flag("AVERAGE", "FALSE");
  gd.StopFreq = k.Number("STOPFREQ", "0");
  if (gd.StopFreq == 0 && settings.OverallStopFreq != 0) gd.StopFreq = settings.OverallStopFreq;
  gd.XMin = k.Number("XMIN", "-99999");
  gd.YMin = k.Number("YMIN", "-99999");
  gd.XMax = k.Number("XMAX", "-99999");
  gd.YMax = k.Number("YMAX", "-99999");
  gd.XLog = k.Flag("XLOG", "TRUE");
  gd.AutoLog = k.Flag("AUTOLOG", "TRUE");
  gd.YLog = k.Flag("YLOG", "FALSE");
  gd.GeneratedTitle = k.Flag("GRAPH_GENERATED_TITLE", "TRUE");
  gd.XTicks = k.Number("XTICKS", "-99999");
  gd.YTicks = k.Number("YTICKS", "-99999");
}

// Run after the log-plot check, which must see the limits as written.
void SettleAxisLimits(const KeyReader& k, GraphDefinition& gd, Prompter& prompter) {
  CheckAxisLimits(k, "X", gd.XMin, gd.XMax, prompter);
  CheckAxisLimits(k, "Y", gd.YMin, gd.YMax, prompter);
  if (!IsAutomatic(gd.YMin) && !IsAutomatic(gd.YMax) && IsAutomatic(gd.YTicks)) {
    gd.YTicks = AutomaticYTicks(gd.YMin, gd.YMax);
  }
}

int16_t DerivedPair(const GraphDefinition& gd, const GraphDefinition* previous, int g) {
  if (previous != nullptr && gd.Data[0] != previous->Data[0]) return 1;
  const int pairs = PairCountOf(gd.Data[0]);
  if ((pairs == 6 && (g == 5 || g == 6)) || (pairs == 12 && g >= 5 && g <= 12)) return 4;
  return static_cast<int16_t>(g);
}

// A graph of the same test as the one before it takes over what it leaves automatic.
void Inherit(GraphDefinition& gd, const GraphDefinition& prev, bool following) {
  if (IsAutomatic(gd.YMin) && IsAutomatic(gd.YMax)) {
    gd.YMin = prev.YMin;
    gd.YMax = prev.YMax;
    gd.YTicks = prev.YTicks;
    gd.YLog = prev.YLog;
  }
  if (IsAutomatic(gd.XMin) && IsAutomatic(gd.XMax)) {
    gd.XMin = prev.XMin;
    gd.XMax = prev.XMax;
    gd.XTicks = prev.XTicks;
  }
  if (gd.XAxis == "Frequency (MHz)") gd.XAxis = prev.XAxis;
  if (gd.YAxis == "DEFAULT") gd.YAxis = prev.YAxis;
  if (following) {
    gd.XLog = prev.XLog;
    gd.AutoLog = prev.AutoLog;
    gd.YLog = prev.YLog;
    gd.GeneratedTitle = prev.GeneratedTitle;
  }
}

}  // namespace

double AutomaticYTicks(double yMin, double yMax) {
  const double range = yMax - yMin;
  const auto top = ToInt16(range);
  // Beyond 16 bits the search starts at the largest step a 16-bit count can hold.
  int start = top ? *top : (range > 0 ? kInt16Max : 0);
  // No step above a seventh of the range can qualify.
  if (range > 0 && range / 7 < start) start = static_cast<int>(range / 7);
  const double rounded = std::nearbyint(range);
  int first = 0;
  for (int t = start; t >= 1; --t) {
    if (std::fmod(rounded, t) != 0 || range / t <= 7) continue;
    if (first == 0) first = t;
    if (t == 50 || t == 20 || t == 10 || t == 5) return t;
  }
  return first != 0 ? first : 1;
}

void ReadGraphs(const IniStore& ini, const AppSettings& settings, int r, ReportDefinition& report,
                Prompter& prompter) {
  int following = 0;
  for (int g = 1; g <= kMaxGraphs; ++g) {
    const KeyReader k(ini, "[GRAPH_" + std::to_string(r) + "_" + std::to_string(g) + "]", prompter);
    GraphDefinition& gd = report.Graphs[g - 1];
    const GraphDefinition* prev = g >= 2 ? &report.Graphs[g - 2] : nullptr;
    if (g == 1) following = k.Integer("FOLLOWINGGRAPHS", "0");
    const bool isFollowing = prev != nullptr && g <= following + 1;

    if (isFollowing) {
      gd.Slot = prev->Slot == kInt16Max ? prev->Slot : static_cast<int16_t>(prev->Slot + 1);
      gd.ColCount = prev->ColCount;
    } else {
      if (Trim(k.Text("COLS_1")).empty()) break;
      gd.Slot = k.Integer("SLOT", "0");
    }
    gd.AbsData = k.Flag("ABSDATA", "FALSE");
    gd.ReverseData = k.Flag("REVERSEDATA", "FALSE");
    gd.PosX = k.Integer("POSX", "0");
    gd.PosY = k.Integer("POSY", "0");
    gd.SizeX = k.Integer("SIZEX", "1");
    gd.SizeY = k.Integer("SIZEY", "1");
    if (gd.Slot == 0) {
      CheckPlacement(report.SlotsX, report.SlotsY, gd.PosX, gd.PosY, gd.SizeX, gd.SizeY, r, "graph",
                     g, prompter);
    }
    ReadAxes(k, settings, gd);
    if (gd.YLog && !IsAutomatic(gd.YMin) && !IsAutomatic(gd.YMax) &&
        (gd.YMin <= 0 || gd.YMax <= 0)) {
      prompter.Tell("Error: \rYou can't have limits <= 0.0 for log plots: \rreport_" +
                    std::to_string(r) + "\rgraph_" + std::to_string(r) + "_" + std::to_string(g) +
                    " (" + report.Title + ")\rCheck Setup Information");
    }
    SettleAxisLimits(k, gd, prompter);
    gd.Colours = k.List(ToLower(k.Text("COLOURS")), "COLOURS");
    gd.Legend = k.List(k.Text("LEGEND"), "LEGEND");
    gd.Style = k.List(k.Text("STYLE"), "STYLE");
    gd.MarginType = 0;
    gd.AutoMargin = k.Flag("AUTOMARGIN", "TRUE");

    for (int d = 1; d <= kMaxDataSets; ++d) {
      const std::string n = std::to_string(d);
      std::string& data = gd.Data[d - 1];
      data = k.Text("DATA_" + n);
      if (d == 1 && prev != nullptr && data.empty()) data = prev->Data[0];
      if (!data.empty() && gd.AutoMargin) {
        gd.MarginType = static_cast<int16_t>(MarginTypeOf(ClassOfTest(data)));
      }
      gd.Order[d - 1] = k.Integer("ORDER_" + n, "0");
      gd.AutoOrderIncrease = k.Flag("AUTOORDERINCREASE", "FALSE");
      if (isFollowing) {
        gd.Cols[d - 1] = FollowingColumns(prev->Cols[d - 1], gd.ColCount[d - 1]);
        continue;
      }
      const std::string key = "COLS_" + n;
      const std::string text =
          ExpandLimits(ToLower("1," + k.Text(key, "-999")), data, settings.GraphControlLimits);
      const std::vector<std::string> elements = k.List(text, key);
      gd.Cols[d - 1] = ParseColumns(elements, k, key, prompter);
      gd.ColCount[d - 1] = text == "1,-999" ? 1 : static_cast<int16_t>(elements.size());
    }

    gd.Pair = k.Integer("PAIR", "-1");
    if (gd.Pair == -1) gd.Pair = DerivedPair(gd, prev, g);
    if (prev != nullptr && EqualsNoCase(gd.Data[0], prev->Data[0])) Inherit(gd, *prev, isFollowing);
    if (gd.YLog) gd.AbsData = true;
    if (gd.Cols[0].size() > 1 && gd.Cols[0][1] == code::kNoGraph) break;
    ++report.GraphCount;
  }
}

}  // namespace vantrel

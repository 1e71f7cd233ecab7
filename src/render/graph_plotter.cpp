#include "render/graph_plotter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "definitions/report_reads.h"
#include "render/chart/axis_scale.h"
#include "render/chart/chart_painter.h"
#include "render/chart/palette.h"
#include "render/layout_rules.h"
#include "render/report_texts.h"
#include "render/text_box.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Height of one worst-margin line's band.
constexpr float kMarginLineHeight = 3;
bool Given(double v) { return v != code::kAutomatic; }

// Empty cells, "x", "pass" and any other text that is no number are gaps in a curve.
std::optional<double> PointOf(const GridCell& cell) { return cell.Value(); }

std::optional<double> PointAt(const ValueGrid& grid, std::size_t c, std::size_t r) {
  if (c >= grid.size() || r >= grid[c].size()) return std::nullopt;
  return PointOf(grid[c][r]);
}

// DIFFERENCE, DIFFERENCEPERCENT and AVERAGE rewrite column 1 of the first set.
void TransformFirstSet(const GraphDefinition& g, ValueGrid& grid) {
  if (grid.size() < 2) return;
  auto& c1 = grid[1];
  if ((g.Difference || g.DifferencePercent) && grid.size() >= 3) {
    for (std::size_t r = 0; r < c1.size(); ++r) {
      const std::optional<double> a = PointOf(c1[r]), b = PointAt(grid, 2, r);
      if (!a || !b) {
        c1[r] = GridCell("x");
        continue;
      }
      const double x1 = std::fabs(*a), x2 = std::fabs(*b);
      if (g.Difference) {
        c1[r] = GridCell::Number(std::fabs(x1 - x2));
      } else {
        // A zero value has no ratio: the point is missing rather than infinite.
        const double lo = std::min(x1, x2);
        c1[r] = lo == 0 ? GridCell("x") : GridCell::Number((std::max(x1, x2) / lo - 1) * 100);
      }
    }
  }
  if (g.Average) {
    double sum = 0;
    int count = 0;
    for (const GridCell& cell : c1) {
      const std::optional<double> v = PointOf(cell);
      if (!v) continue;
      sum += *v;
      ++count;
    }
    // Missing points do not count towards the mean.
    const GridCell mean = count > 0 ? GridCell::Number(sum / count) : GridCell("x");
    for (GridCell& cell : c1) cell = mean;
  }
}

std::vector<ColumnCode> RaisedCodes(const std::vector<ColumnCode>& cols, int count, int offset) {
  std::vector<ColumnCode> codes(
      cols.begin(),
      cols.begin() + std::min<std::size_t>(cols.size(), count > 0 ? count : cols.size()));
  for (std::size_t i = 1; i < codes.size(); ++i) {
    if (codes[i] < code::kEmp && codes[i] >= 0) {
      codes[i] = static_cast<ColumnCode>(std::min(9985, codes[i] + offset));
    }
  }
  return codes;
}

// The first count characters of UTF-8 text, never half of one.
std::string FirstCharacters(const std::string& text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t seen = 0; at < text.size(); ++at) {
    const bool starts = (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
    if (starts && seen++ == count) break;
  }
  return text.substr(0, at);
}

const char* const kCodePalette[] = {"blue",   "orange",  "green",  "brown",     "cyan",
                                    "yellow", "ltgreen", "ltcyan", "ltmagenta", "ltyellow",
                                    "ltgray", "gray",    "black"};

}  // namespace

GraphData FetchGraph(ReportDataSource& data, const PageData& page, const GraphDefinition& g,
                     int offset, int graphNumber) {
  GraphData out;
  if (IsNoGraph(g)) return out;
  const int pairs = page.Pairs;
  if (pairs > 0) {
    if (offset != 0) {
      if (!data.MoreColsToShow(offset + graphNumber) && g.Pair + offset > pairs) return out;
    } else if (g.Pair > pairs) {
      return out;
    }
  }
  out.Shown = true;
  for (int k = 0; k < kMaxDataSets; ++k) {
    const auto source = static_cast<std::size_t>(g.AutoOrderIncrease ? 0 : k);
    PlannedRead read = GraphSetRead(g, k);
    if (Trim(read.TestName).empty()) break;
    ReadTestDataRequest request;
    request.MarginKind = g.MarginType;
    request.TestName = std::move(read.TestName);
    request.Occurrence = read.Occurrence;
    request.Codes = RaisedCodes(g.Cols[source], g.ColCount[source], offset);
    request.Units =
        SubstituteNormLength(UnitsOfTest(request.TestName), page.NormLength, page.CableLength);
    ReadTestDataResult result = data.ReadTestData(request, read.All);
    if (!result.Found) break;
    out.Codes.push_back(std::move(request.Codes));
    out.Sets.push_back(std::move(result));
  }
  out.Incomplete = data.TakeIncompleteRead();
  return out;
}

GraphBuild LayOutGraph(RenderContext& context, const GraphDefinition& g, const SlotGrid& slots,
                       int offset, int graphNumber, int slotsX, int slotsY) {
  const PageData page = FetchPageFacts(context.Data);
  const GraphData data = FetchGraph(context.Data, page, g, offset, graphNumber);
  return LayOutGraph(context, page, data, g, slots, slotsX, slotsY);
}

namespace {

// The item's rectangle and below its worst-margin lines the plot's; false when the
// graph has no room on the page.
bool PlaceGraph(const AppSettings& settings, const GraphDefinition& g, const SlotGrid& slots,
                int slotsX, int slotsY, GraphBuild& out) {
  const std::optional<MmRect> place =
      PlaceItem(slots, g.Slot, g.PosX, g.PosY, g.SizeX, g.SizeY, slotsX, slotsY);
  if (!place) return false;
  out.Item = *place;
  out.Plot = out.Item;
  // The chart starts below the worst-margin lines: 5 mm, more when a second line
  // is shown.
  const float marginBand = settings.GraphControlLimits ? 2 * kMarginLineHeight + 0.5f : 5.0f;
  if (g.MarginType != 0 && out.Plot.Height - marginBand >= 0) {
    out.Plot.Top += marginBand;
    out.Plot.Height -= marginBand;
  }
  return out.Plot.Width >= 0;
}

// Axis titles, font sizes and grid colour; returns the graph's title, its COL_NAME
// still to be filled.
std::string SetChartTexts(const LayoutContext& context, const PageData& page,
                          const GraphDefinition& g, chart::ChartModel& model) {
  const std::string& norm = page.NormLength;
  const std::string& cable = page.CableLength;
  model.X.Title = Trim(SubstituteNormLength(g.XAxis, norm, cable));
  model.Y.Title = Trim(FirstCharacters(SubstituteNormLength(g.YAxis, norm, cable), 80));
  // A size asked for below the smallest readable one is raised to it.
  const auto readable = [](int points) {
    return std::max(kSmallestPoints, static_cast<float>(points));
  };
  if (g.TitleFontSize > 0) model.TitlePoints = readable(g.TitleFontSize);
  if (g.AxisFontSize > 0) model.AxisPoints = readable(g.AxisFontSize);
  if (g.AxisTitleFontSize > 0) model.AxisTitlePoints = readable(g.AxisTitleFontSize);
  const AppSettings& settings = context.State.Settings;
  model.GridColour = chart::PaletteColour(
      context.Colours.Palette ? context.Colours.Palette(settings.GridColour) : 8);
  return Trim(SubstituteNormLength(g.Title, norm, cable));
}

// Column c of a set as a curve over the frequencies of column 0, ending at the stop
// frequency.
chart::DataSet CurveOfColumn(const ValueGrid& grid, std::size_t c, const GraphDefinition& g) {
  const std::vector<GridCell>& freq = grid[0];
  chart::DataSet set;
  set.Points.reserve(grid[c].size());
  for (std::size_t r = 0; r < grid[c].size(); ++r) {
    const std::optional<double> y = PointOf(grid[c][r]);
    chart::ChartPoint pt;
    pt.X = r < freq.size() ? PointOf(freq[r]).value_or(kNaN) : kNaN;
    if (g.StopFreq > 0 && pt.X > g.StopFreq) break;
    pt.Missing = !y || std::isnan(pt.X);
    if (!pt.Missing) {
      pt.Y = *y;
      if (g.AbsData) pt.Y = std::fabs(pt.Y);
      if (g.ReverseData) pt.Y = -pt.Y;
    }
    set.Points.push_back(pt);
  }
  return set;
}

// Limits red and control limits in their own colour, both over the data; the data
// sets take the palette in turn.
void ColourByCode(const LayoutContext& context, ColumnCode colCode, std::size_t& paletteNext,
                  chart::DataSet& set) {
  if (colCode == code::kUpperLimit || colCode == code::kLowerLimit) {
    set.Colour = chart::PaletteColour(2);
    set.OnTop = true;
  } else if (colCode == code::kUpperControl || colCode == code::kLowerControl) {
    set.Colour = chart::PaletteColour(4);
    set.OnTop = true;
  } else if (paletteNext < std::size(kCodePalette)) {
    // Past the palette a set keeps the chart's own colour.
    const char* name = kCodePalette[paletteNext++];
    set.Colour = chart::PaletteColour(context.Colours.Palette ? context.Colours.Palette(name) : 0);
  }
}

// The curves of one fetched set, with their codes and headings.
void AddCurvesOfSet(const LayoutContext& context, const GraphDefinition& g,
                    const ReadTestDataResult& result, const ValueGrid& grid,
                    const std::vector<ColumnCode>& codes, std::size_t& paletteNext,
                    GraphBuild& out) {
  for (std::size_t c = 1; c < grid.size(); ++c) {
    const ColumnCode colCode = c < result.Columns.size() ? result.Columns[c].Code
                               : c < codes.size()        ? codes[c]
                                                         : ColumnCode{0};
    if (colCode == code::kNoGraph || colCode == 1) continue;
    chart::DataSet set = CurveOfColumn(grid, c, g);
    set.Thickness = context.State.Settings.GraphLineThickness;
    ColourByCode(context, colCode, paletteNext, set);
    const std::size_t codeIndex =
        c < result.Columns.size()
            ? static_cast<std::size_t>(std::max(0, result.Columns[c].CodeIndex))
            : c;
    out.SetHeadings.push_back(codeIndex < result.Titles.size() ? Trim(result.Titles[codeIndex])
                                                               : std::string());
    out.SetCodes.push_back(colCode);
    out.Chart.Sets.push_back(std::move(set));
  }
}

// Every fetched set's curves, worst margins and failure; fills COL_NAME of title and
// a DEFAULT y title. Returns the frequencies of the first set that has any.
std::vector<double> AddDataSets(const LayoutContext& context, const PageData& page,
                                const GraphData& data, const GraphDefinition& g, std::string& title,
                                GraphBuild& out) {
  std::vector<double> frequencies;
  std::size_t paletteNext = 0;
  ValueGrid transformed;
  for (std::size_t k = 0; k < data.Sets.size(); ++k) {
    const ReadTestDataResult& result = data.Sets[k];
    out.LimitMargin = ReturnWorstMargin(out.LimitMargin, result.LimitMargin);
    out.ControlMargin = ReturnWorstMargin(out.ControlMargin, result.ControlMargin);
    if (result.Failed) out.Failed = true;
    if (ContainsNoCase(title, "COL_NAME")) {
      const std::string heading = result.Titles.size() > 1 ? Trim(result.Titles[1]) : std::string();
      title = ReplaceAllNoCase(title, "COL_NAME", heading);
    }
    if (EqualsNoCase(Trim(out.Chart.Y.Title), "DEFAULT")) {
      const std::string& test = g.Data[g.AutoOrderIncrease ? 0 : k];
      out.Chart.Y.Title =
          SubstituteNormLength(UnitsOfTest(test), page.NormLength, page.CableLength);
    }
    // The fetched sets stay as read: a page may be laid out twice.
    const ValueGrid* grid = &result.Grid;
    if (k == 0 && (g.Difference || g.DifferencePercent || g.Average)) {
      transformed = result.Grid;
      TransformFirstSet(g, transformed);
      grid = &transformed;
    }
    if (grid->empty()) continue;
    if (frequencies.empty()) {
      for (const GridCell& f : (*grid)[0]) {
        const double v = PointOf(f).value_or(kNaN);
        if (g.StopFreq > 0 && v > g.StopFreq) break;
        frequencies.push_back(v);
      }
    }
    AddCurvesOfSet(context, g, result, *grid, data.Codes[k], paletteNext, out);
  }
  return frequencies;
}

// Colours, styles and legend given by the definition win over the code colours.
void ApplyDefinedLooks(const LayoutContext& context, const PageData& page, const GraphDefinition& g,
                       chart::ChartModel& model) {
  for (std::size_t i = 0; i < model.Sets.size(); ++i) {
    if (i < g.Colours.size()) {
      model.Sets[i].Colour = chart::PaletteColour(
          context.Colours.Palette ? context.Colours.Palette(Trim(g.Colours[i])) : 0);
      model.Sets[i].Thickness = context.State.Settings.GraphLineThickness;
      model.Sets[i].Style = 0;
    }
    if (i < g.Style.size()) model.Sets[i].Style = static_cast<int>(Val(g.Style[i]));
    if (i < g.Legend.size())
      model.Sets[i].Legend = SubstituteNormLength(g.Legend[i], page.NormLength, page.CableLength);
  }
}

void DropEmptyControlLimits(GraphBuild& out) {
  chart::ChartModel& model = out.Chart;
  for (std::size_t i = model.Sets.size(); i-- > 0;) {
    const ColumnCode c = out.SetCodes[i];
    const auto& points = model.Sets[i].Points;
    if ((c == code::kUpperControl || c == code::kLowerControl) &&
        std::all_of(points.begin(), points.end(),
                    [](const chart::ChartPoint& p) { return p.Missing; })) {
      model.Sets.erase(model.Sets.begin() + static_cast<long>(i));
      out.SetCodes.erase(out.SetCodes.begin() + static_cast<long>(i));
      out.SetHeadings.erase(out.SetHeadings.begin() + static_cast<long>(i));
    }
  }
}

// Ranges, ticks and scale of both axes; points an axis cannot show become gaps, for
// the export as well as the picture.
void SetAxes(const GraphDefinition& g, const std::vector<double>& frequencies,
             chart::ChartModel& model) {
  model.Y.Log = g.YLog;
  double ymin = g.YMin, ymax = g.YMax;
  if (Given(ymin) && Given(ymax)) {
    if (g.AbsData) ymin = std::fabs(ymin), ymax = std::fabs(ymax);
    if (g.ReverseData) ymin = -ymin, ymax = -ymax;
    model.Y.UserRange = true;
    model.Y.Min = ymin;
    model.Y.Max = ymax;
    model.Y.Ticks = chart::TickSetting(g.YMin, g.YMax, g.YTicks, g.YLog, true);
  }
  std::vector<double> finiteFreqs;
  for (double f : frequencies)
    if (std::isfinite(f)) finiteFreqs.push_back(f);
  model.X.Log = g.AutoLog ? chart::StepsUneven(finiteFreqs) : g.XLog;
  if (Given(g.XMin) && Given(g.XMax)) {
    model.X.UserRange = true;
    model.X.Min = g.XMin;
    model.X.Max = g.XMax;
    model.X.Ticks = chart::TickSetting(g.XMin, g.XMax, g.XTicks, model.X.Log, false);
  } else if (model.X.Log && !finiteFreqs.empty()) {
    double lo = finiteFreqs.front(), hi = finiteFreqs.front();
    for (double f : finiteFreqs) lo = std::min(lo, f), hi = std::max(hi, f);
    model.X.UserRange = true;
    model.X.Min = lo;
    model.X.Max = chart::RoundLogXMax(hi);
  }
  if (!finiteFreqs.empty()) model.X.LabelFormat = chart::XLabelFormat(finiteFreqs.front());
  for (chart::DataSet& set : model.Sets) {
    for (chart::ChartPoint& pt : set.Points) {
      if ((model.Y.Log && pt.Y <= 0) || (model.X.Log && pt.X <= 0)) pt.Missing = true;
    }
  }
}

// The own title's band above the chart and the worst-margin lines above the plot.
void PlaceGraphTexts(const AppSettings& settings, const GraphDefinition& g, GraphBuild& out) {
  out.ChartArea = out.Plot;
  if (out.OwnTitleBand) {
    out.OwnTitleBox = {
        .Width = out.Item.Width, .Height = 5, .Top = out.Plot.Top, .Left = out.Item.Left};
    out.ChartArea.Top += 5;
    out.ChartArea.Height = std::max(0.0f, out.ChartArea.Height - 5);
  }
  if (g.MarginType == 0) return;
  // Each line a band of its own, centred where the lines have always been.
  const auto line = [&](float centre, const std::string& name, const std::string& margin) {
    if (margin.empty()) return;
    out.MarginLines.push_back({name + " " + settings.MarginName + " : " + margin,
                               {.Width = out.Item.Width,
                                .Height = kMarginLineHeight,
                                .Top = centre - kMarginLineHeight / 2,
                                .Left = out.Item.Left},
                               MarginIsNegative(margin) ? kRed : kBlack});
  };
  line(out.Item.Top + 1.5f, settings.LimitName, out.LimitMargin);
  if (settings.GraphControlLimits)
    line(out.Item.Top + 4.5f, settings.ControlName, out.ControlMargin);
}

// What the plan records of a drawn graph for the export: each set's name and values
// over the longest set's frequencies.
PlanGraph RecordOfGraph(const GraphBuild& build, int graphNumber) {
  PlanGraph drawn;
  drawn.Number = graphNumber + 1;
  const chart::DataSet* longest = nullptr;
  for (std::size_t i = 0; i < build.Chart.Sets.size(); ++i) {
    const chart::DataSet& set = build.Chart.Sets[i];
    if (longest == nullptr || set.Points.size() > longest->Points.size()) longest = &set;
    drawn.SetNames.push_back(!set.Legend.empty() ? set.Legend : build.SetHeadings[i]);
    std::vector<double> values;
    values.reserve(set.Points.size());
    for (const chart::ChartPoint& pt : set.Points) values.push_back(pt.Missing ? kNaN : pt.Y);
    drawn.Values.push_back(std::move(values));
  }
  if (longest != nullptr)
    for (const chart::ChartPoint& pt : longest->Points) drawn.Frequencies.push_back(pt.X);
  return drawn;
}

}  // namespace

GraphBuild LayOutGraph(const LayoutContext& context, const PageData& page, const GraphData& data,
                       const GraphDefinition& g, const SlotGrid& slots, int slotsX, int slotsY) {
  GraphBuild out;
  const AppSettings& settings = context.State.Settings;
  if (!data.Shown) return out;
  if (!PlaceGraph(settings, g, slots, slotsX, slotsY, out)) return out;
  out.Incomplete = data.Incomplete;
  std::string title = SetChartTexts(context, page, g, out.Chart);
  if (data.Sets.empty()) return out;
  const std::vector<double> frequencies = AddDataSets(context, page, data, g, title, out);
  ApplyDefinedLooks(context, page, g, out.Chart);
  DropEmptyControlLimits(out);
  SetAxes(g, frequencies, out.Chart);
  if (g.GeneratedTitle) {
    out.Chart.Title = title;
  } else {
    out.Chart.Title.clear();
    out.OwnTitle = title;
    out.OwnTitleBand = true;
  }
  PlaceGraphTexts(settings, g, out);
  out.Skip = false;
  return out;
}

bool DrawGraph(const LayoutContext& context, PageCanvas& canvas, const PageData& page,
               const GraphData& data, const GraphDefinition& g, const SlotGrid& slots,
               int graphNumber, int slotsX, int slotsY, bool& reportFailed, bool& incomplete) {
  const GraphBuild build = LayOutGraph(context, page, data, g, slots, slotsX, slotsY);
  if (build.Incomplete) incomplete = true;
  if (build.Skip) return false;
  if (build.Failed) reportFailed = true;
  CanvasStateGuard keep(canvas);
  if (context.SlotsFlag) {
    canvas.ForeColor = kBlack;
    canvas.FillStyle = 1;
    canvas.Box(build.Plot.Left, build.Plot.Top, build.Plot.Right(), build.Plot.Bottom());
    canvas.CurrentX = build.Plot.Left;
    canvas.CurrentY = build.Plot.Top;
    canvas.PrintAid("Graph");
  }
  if (build.OwnTitleBand) {
    canvas.FontSize = 9;
    canvas.FontBold = false;
    DrawTextBox(canvas, build.OwnTitle, build.OwnTitleBox, HAlign::Centre, VAlign::Middle, false,
                kNoFill, kBlack);
  }
  canvas.FontSize = 6;
  canvas.FontBold = false;
  chart::DrawChart(canvas, build.ChartArea, build.Chart);
  for (const GraphBuild::MarginLine& line : build.MarginLines)
    DrawTextBox(canvas, line.Text, line.Band, HAlign::Left, VAlign::Middle, false, kNoFill,
                line.Colour);
  canvas.ForeColor = kBlack;
  canvas.FillStyle = 1;
  canvas.DrawWidth = 1;
  canvas.Box(build.Item.Left, build.Item.Top, build.Item.Right(), build.Item.Bottom());
  canvas.Plan().Graphs.push_back(RecordOfGraph(build, graphNumber));
  return true;
}

}  // namespace vantrel

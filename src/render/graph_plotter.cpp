#include "render/graph_plotter.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
  if (g.Cols[0].size() >= 2 && g.Cols[0][1] == code::kNoGraph) return out;
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
    const int source = g.AutoOrderIncrease ? 0 : k;
    const std::string& test = g.Data[static_cast<std::size_t>(source)];
    if (Trim(test).empty()) break;
    ReadTestDataRequest request;
    request.marginKind = g.MarginType;
    request.testName = test;
    request.occurrence =
        static_cast<int16_t>(g.AutoOrderIncrease ? std::min(32767, g.Order[0] + k + 1)
                                                 : g.Order[static_cast<std::size_t>(k)]);
    request.codes = RaisedCodes(g.Cols[static_cast<std::size_t>(source)],
                                g.ColCount[static_cast<std::size_t>(source)], offset);
    request.units = SubstituteNormLength(UnitsOfTest(test), page.NormLength, page.CableLength);
    ReadTestDataResult result =
        data.ReadTestData(request, g.ApplyAllResults || g.CombineAllResults);
    if (!result.found) break;
    out.Codes.push_back(std::move(request.codes));
    out.Sets.push_back(std::move(result));
  }
  out.Incomplete = data.TakeIncompleteRead();
  return out;
}

GraphBuild BuildGraph(RenderContext& context, const GraphDefinition& g, const SlotGrid& slots,
                      int offset, int graphNumber, int slotsX, int slotsY) {
  const PageData page = FetchPageFacts(context.Data);
  const GraphData data = FetchGraph(context.Data, page, g, offset, graphNumber);
  return BuildGraph(context, page, data, g, slots, slotsX, slotsY);
}

GraphBuild BuildGraph(const LayoutContext& context, const PageData& page, const GraphData& data,
                      const GraphDefinition& g, const SlotGrid& slots, int slotsX, int slotsY) {
  GraphBuild out;
  const AppSettings& settings = context.State.Settings;
  if (!data.Shown) return out;
  const std::optional<MmRect> place =
      PlaceItem(slots, g.Slot, g.PosX, g.PosY, g.SizeX, g.SizeY, slotsX, slotsY);
  if (!place) return out;
  out.Item = *place;
  out.Plot = out.Item;
  // The chart starts below the worst-margin lines: 5 mm, more when a second line
  // is shown.
  const float marginBand = settings.GraphControlLimits ? 2 * kMarginLineHeight + 0.5f : 5.0f;
  if (g.MarginType != 0 && out.Plot.Height - marginBand >= 0) {
    out.Plot.Top += marginBand;
    out.Plot.Height -= marginBand;
  }
  if (out.Plot.Width < 0) return out;
  out.Incomplete = data.Incomplete;

  const std::string& norm = page.NormLength;
  const std::string& cable = page.CableLength;
  std::string title = Trim(SubstituteNormLength(g.Title, norm, cable));
  chart::ChartModel& model = out.Chart;
  model.X.Title = Trim(SubstituteNormLength(g.XAxis, norm, cable));
  std::string yTitle = SubstituteNormLength(g.YAxis, norm, cable);
  model.Y.Title = Trim(FirstCharacters(yTitle, 80));
  // A size asked for below the smallest readable one is raised to it.
  const auto readable = [](int points) {
    return std::max(kSmallestPoints, static_cast<float>(points));
  };
  if (g.TitleFontSize > 0) model.TitlePoints = readable(g.TitleFontSize);
  if (g.AxisFontSize > 0) model.AxisPoints = readable(g.AxisFontSize);
  if (g.AxisTitleFontSize > 0) model.AxisTitlePoints = readable(g.AxisTitleFontSize);
  model.GridColour = chart::PaletteColour(
      context.Colours.Palette ? context.Colours.Palette(settings.GridColour) : 8);

  // Data sets.
  std::vector<double> frequencies;
  std::size_t paletteNext = 0;
  bool anyFound = false;
  if (data.Sets.empty()) return out;
  ValueGrid transformed;
  for (std::size_t k = 0; k < data.Sets.size(); ++k) {
    const std::string& test = g.Data[g.AutoOrderIncrease ? 0 : k];
    const ReadTestDataResult& result = data.Sets[k];
    const std::vector<ColumnCode>& codes = data.Codes[k];
    anyFound = true;
    out.LimitMargin = ReturnWorstMargin(out.LimitMargin, result.limitMargin);
    out.ControlMargin = ReturnWorstMargin(out.ControlMargin, result.controlMargin);
    if (result.failed) out.Failed = true;
    if (ContainsNoCase(title, "COL_NAME")) {
      const std::string heading = result.titles.size() > 1 ? Trim(result.titles[1]) : std::string();
      title = ReplaceAllNoCase(title, "COL_NAME", heading);
    }
    if (EqualsNoCase(Trim(model.Y.Title), "DEFAULT")) {
      model.Y.Title = SubstituteNormLength(UnitsOfTest(test), norm, cable);
    }
    // The fetched sets stay as read: a page may be laid out twice.
    const ValueGrid* grid = &result.grid;
    if (k == 0 && (g.Difference || g.DifferencePercent || g.Average)) {
      transformed = result.grid;
      TransformFirstSet(g, transformed);
      grid = &transformed;
    }
    if (grid->empty()) continue;
    const std::vector<GridCell>& freq = (*grid)[0];
    if (frequencies.empty()) {
      for (const GridCell& f : freq) {
        const double v = PointOf(f).value_or(kNaN);
        if (g.StopFreq > 0 && v > g.StopFreq) break;
        frequencies.push_back(v);
      }
    }
    for (std::size_t c = 1; c < grid->size(); ++c) {
      const ColumnCode colCode = c < result.columns.size() ? result.columns[c].code
                                 : c < codes.size()        ? codes[c]
                                                           : ColumnCode{0};
      if (colCode == code::kNoGraph || colCode == 1) continue;
      chart::DataSet set;
      for (std::size_t r = 0; r < (*grid)[c].size(); ++r) {
        const std::optional<double> y = PointOf((*grid)[c][r]);
        chart::ChartPoint pt;
        pt.X = r < freq.size() ? PointOf(freq[r]).value_or(kNaN) : kNaN;
        // The curves end at the stop frequency.
        if (g.StopFreq > 0 && pt.X > g.StopFreq) break;
        pt.Missing = !y || std::isnan(pt.X);
        if (!pt.Missing) {
          pt.Y = *y;
          if (g.AbsData) pt.Y = std::fabs(pt.Y);
          if (g.ReverseData) pt.Y = -pt.Y;
        }
        set.Points.push_back(pt);
      }
      set.Thickness = settings.GraphLineThickness;
      if (colCode == code::kUpperLimit || colCode == code::kLowerLimit) {
        set.Colour = chart::PaletteColour(2);
        set.OnTop = true;
      } else if (colCode == code::kUpperControl || colCode == code::kLowerControl) {
        set.Colour = chart::PaletteColour(4);
        set.OnTop = true;
      } else if (paletteNext < std::size(kCodePalette)) {
        // Past the palette a set keeps the chart's own colour.
        const char* name = kCodePalette[paletteNext++];
        set.Colour =
            chart::PaletteColour(context.Colours.Palette ? context.Colours.Palette(name) : 0);
      }
      const std::size_t codeIndex =
          c < result.columns.size()
              ? static_cast<std::size_t>(std::max(0, result.columns[c].codeIndex))
              : c;
      out.SetHeadings.push_back(codeIndex < result.titles.size() ? Trim(result.titles[codeIndex])
                                                                 : std::string());
      out.SetCodes.push_back(colCode);
      model.Sets.push_back(std::move(set));
    }
  }
  if (!anyFound) return out;

  // Colours, styles and legend given by the definition win over the code colours.
  for (std::size_t i = 0; i < model.Sets.size(); ++i) {
    if (i < g.Colours.size()) {
      model.Sets[i].Colour = chart::PaletteColour(
          context.Colours.Palette ? context.Colours.Palette(Trim(g.Colours[i])) : 0);
      model.Sets[i].Thickness = settings.GraphLineThickness;
      model.Sets[i].Style = 0;
    }
    if (i < g.Style.size()) model.Sets[i].Style = static_cast<int>(Val(g.Style[i]));
    if (i < g.Legend.size()) model.Sets[i].Legend = SubstituteNormLength(g.Legend[i], norm, cable);
  }

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

  // Axes.
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

  // Points an axis cannot show are gaps, for the export as well as the picture.
  for (chart::DataSet& set : model.Sets) {
    for (chart::ChartPoint& pt : set.Points) {
      if ((model.Y.Log && pt.Y <= 0) || (model.X.Log && pt.X <= 0)) pt.Missing = true;
    }
  }

  if (g.GeneratedTitle) {
    model.Title = title;
  } else {
    model.Title.clear();
    out.OwnTitle = title;
    out.OwnTitleBand = true;
  }
  out.Skip = false;
  return out;
}

bool PlotGraph2(const LayoutContext& context, PageCanvas& canvas, const PageData& page,
                const GraphData& data, const GraphDefinition& g, const SlotGrid& slots,
                int graphNumber, int slotsX, int slotsY, bool& reportFailed, bool& incomplete) {
  GraphBuild build = BuildGraph(context, page, data, g, slots, slotsX, slotsY);
  if (build.Incomplete) incomplete = true;
  if (build.Skip) return false;
  if (build.Failed) reportFailed = true;
  CanvasStateGuard keep(canvas);
  const AppSettings& settings = context.State.Settings;
  if (context.SlotsFlag) {
    canvas.ForeColor = kBlack;
    canvas.FillStyle = 1;
    canvas.Box(build.Plot.Left, build.Plot.Top, build.Plot.Right(), build.Plot.Bottom());
    canvas.CurrentX = build.Plot.Left;
    canvas.CurrentY = build.Plot.Top;
    canvas.PrintAid("Graph");
  }
  MmRect chartRect = build.Plot;
  if (build.OwnTitleBand) {
    canvas.FontSize = 9;
    canvas.FontBold = false;
    DrawTextBox(canvas, build.OwnTitle, {build.Item.Width, 5, build.Plot.Top, build.Item.Left},
                HAlign::Centre, VAlign::Middle, false, kNoFill, kBlack);
    chartRect.Top += 5;
    chartRect.Height = std::max(0.0f, chartRect.Height - 5);
  }
  canvas.FontSize = 6;
  canvas.FontBold = false;
  chart::DrawChart(canvas, chartRect, build.Chart);

  if (g.MarginType != 0) {
    // Each line a band of its own, centred where the lines have always been.
    const auto line = [&](float centre, const std::string& name, const std::string& margin) {
      if (margin.empty()) return;
      const std::string text = name + " " + settings.MarginName + " : " + margin;
      DrawTextBox(
          canvas, text,
          {build.Item.Width, kMarginLineHeight, centre - kMarginLineHeight / 2, build.Item.Left},
          HAlign::Left, VAlign::Middle, false, kNoFill, MarginIsNegative(margin) ? kRed : kBlack);
    };
    line(build.Item.Top + 1.5f, settings.LimitName, build.LimitMargin);
    if (settings.GraphControlLimits)
      line(build.Item.Top + 4.5f, settings.ControlName, build.ControlMargin);
  }
  canvas.ForeColor = kBlack;
  canvas.FillStyle = 1;
  canvas.DrawWidth = 1;
  canvas.Box(build.Item.Left, build.Item.Top, build.Item.Right(), build.Item.Bottom());

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
  canvas.Plan().Graphs.push_back(std::move(drawn));
  return true;
}

}  // namespace vantrel

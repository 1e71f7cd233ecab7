#pragma once
// One page as data: every box, line, curve, text run and picture in millimetres
// from the page's top-left corner, in painting order. Layout fills it; painting,
// CSV export and the layout check only read it.

#include <QImage>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "render/mm_rect.h"

namespace vantrel {

/// Red in the low byte, then green, then blue.
using Rgb = uint32_t;
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kRed = 0x0000FF;

enum class LineStyle { Solid, Dash, Dot, DashDot, DashDotDot };

struct MmPoint {
  float X = 0;
  float Y = 0;
};

/// Where a table cell's text sits in its table, for the CSV export.
struct CellAddress {
  int Table = 0;  // 1-based; 0: not a table cell
  int Row = 0;
  int Column = 0;
};

struct PlanBox {
  MmRect Rect;
  bool Filled = false;
  Rgb Fill = kWhite;
  bool Outlined = true;
  Rgb Outline = kBlack;
  float LineMm = 0.2f;
  std::string Item;
};

struct PlanLine {
  MmPoint From, To;
  Rgb Colour = kBlack;
  float WidthMm = 0.2f;
  LineStyle Style = LineStyle::Solid;
};

/// Polylines of one data set, broken where points are missing, clipped to Clip; or
/// lines of one pen drawn as one path (a graph's grid), unclipped.
struct PlanCurve {
  std::vector<std::vector<MmPoint>> Runs;
  Rgb Colour = kBlack;
  float WidthMm = 0.2f;
  LineStyle Style = LineStyle::Solid;
  MmRect Clip;
  bool Clipped = true;
};

struct PlanText {
  std::string Text;
  std::string Whole;  // the text before it was cut to fit; empty when it was not
  /// The room the layout gave the text.
  MmRect Box;
  /// The run as printed, on the page: for vertical text the turned extent.
  MmRect Run;
  float Ascent = 0;  // baseline below the run's top, along the reading direction
  float Points = 9;
  bool Bold = false;
  Rgb Colour = kBlack;
  bool Vertical = false;  // reads from bottom to top
  /// What the text belongs to ("header block", "graph 2", ...), for findings.
  std::string Item;
  bool Aid = false;  // a layout-aid label, never checked
  CellAddress Cell;
};

struct PlanImage {
  std::shared_ptr<const QImage> Picture;
  MmRect Rect;
  std::string Item;
};

using PlanItem = std::variant<PlanBox, PlanLine, PlanCurve, PlanText, PlanImage>;

/// The numbers behind a graph of the page, as plotted.
struct PlanGraph {
  int Number = 0;  // 1-based as in the definition file
  std::vector<std::string> SetNames;
  std::vector<double> Frequencies;  // of the longest set
  /// [set][point]; NaN where the point is missing.
  std::vector<std::vector<double>> Values;
};

struct PlanTable {
  int Number = 0;
  int Rows = 0;  // header row included
  int Columns = 0;
  /// Rows that found no room on the page, their texts as they would have been written.
  std::vector<std::vector<std::string>> LeftOut;
};

struct PagePlan {
  double WidthMm = 210;
  double HeightMm = 297;
  int Report = 0;  // 1-based
  int Page = 0;    // 1-based within the report
  std::vector<PlanItem> Items;
  std::vector<PlanGraph> Graphs;
  std::vector<PlanTable> Tables;

  /// Built in place: GCC 12 warns falsely about moving a variant holding a curve.
  template <class T>
  void Add(T&& item) {
    Items.emplace_back(std::in_place_type<std::decay_t<T>>, std::forward<T>(item));
  }
};

/// A drawn table's cell texts, [row][column], header row first, read from the plan;
/// a text cut to fit its cell is given whole.
std::vector<std::vector<std::string>> TableTexts(const PagePlan& plan, const PlanTable& table);

}  // namespace vantrel

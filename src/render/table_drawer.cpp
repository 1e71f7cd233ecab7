#include "render/table_drawer.h"

#include <algorithm>
#include <cmath>

#include "render/cell_grid.h"
#include "render/layout_rules.h"
#include "render/report_colours.h"
#include "render/report_texts.h"
#include "render/table_cells.h"
#include "render/text_box.h"
#include "support/text.h"

namespace vantrel {

namespace {

std::vector<ColumnCode> RaisedCodes(const TableDefinition& table, int offset) {
  std::vector<ColumnCode> codes = table.Cols;
  for (std::size_t i = 1; i < codes.size(); ++i)
    if (codes[i] >= 0 && codes[i] < code::kEmp)
      codes[i] = static_cast<ColumnCode>(std::min(9985, codes[i] + offset));
  return codes;
}

}  // namespace

std::string LeftOutNote(std::size_t rows) {
  return std::to_string(rows) + (rows == 1 ? " row" : " rows") + " not shown: no room on the page";
}

TableData FetchTable(ReportDataSource& data, const PageData& page, const AppSettings& settings,
                     const TableDefinition& table, int offset) {
  TableData out;
  const std::vector<ColumnCode> codes = RaisedCodes(table, offset);
  const std::string kind = ToUpper(Trim(table.Data));
  const int rowCount = static_cast<int>(table.Freqs.size());
  if (kind == "TEST SUMMARY :" || kind == "SUMMARY INFORMATION") {
    TextGrid texts;
    out.Found = data.ReadTestSummary("TEST SUMMARY :", texts, static_cast<int>(codes.size()),
                                     rowCount, kind == "SUMMARY INFORMATION", out.Failed);
    out.Grid = CellsOf(texts);
    out.Summary = true;
  } else if (kind == "COMMENT") {
    // One row per comment line, its cells the line's parts between "|".
    out.Found = true;
    ValueGrid& grid = out.Grid;
    for (std::size_t r = 0; r < table.Freqs.size(); ++r) {
      TextGrid line;
      if (!data.PrintComments(table.Freqs[r], line) || line.empty()) continue;
      for (std::size_t c = 0; c < line[0].size(); ++c) {
        if (grid.size() <= c) grid.resize(c + 1);
        grid[c].resize(r + 1);
        grid[c][r] = line[0][c];
      }
    }
    for (auto& column : grid) column.resize(table.Freqs.size());
    out.Comments = true;
    out.Summary = true;
  } else {
    ReadTestDataRequest request;
    request.TestName = table.Data;
    request.Occurrence = table.Order;
    request.Codes = codes;
    request.RowCodes = table.Freqs;
    request.Units =
        SubstituteNormLength(UnitsOfTest(table.Data), page.NormLength, page.CableLength);
    request.Form = ReadForm::Tabular;
    request.FailTextRed = settings.FailTextRed;
    ReadTestDataResult result =
        data.ReadTestData(request, table.ApplyAllResults || table.CombineAllResults);
    out.Found = result.Found;
    out.Failed = result.Failed;
    out.Grid = std::move(result.Grid);
    out.Headings = std::move(result.Titles);
    // A later page asks of each pair what a graph asks of its own: does the block
    // just read hold it?
    if (offset != 0) {
      out.PairInBlock.resize(codes.size());
      for (std::size_t c = 1; c < codes.size(); ++c)
        if (codes[c] >= 1 && codes[c] < code::kEmp)
          out.PairInBlock[c] = data.MoreColsToShow(codes[c] - 2);
    }
  }
  out.Incomplete = data.TakeIncompleteRead();
  return out;
}

bool DrawTable(RenderContext& context, PageCanvas& canvas, const TableDefinition& table,
               const SlotGrid& slots, int offset, int slotsX, int slotsY, bool& reportFailed,
               int number) {
  const PageData page = FetchPageFacts(context.Data);
  const TableData data = FetchTable(context.Data, page, context.State.Settings, table, offset);
  bool incomplete = false;
  return DrawTable(context, canvas, page, data, table, slots, offset, slotsX, slotsY, reportFailed,
                   incomplete, number);
}

namespace {

// Where a table's cells go, worked out before anything is drawn.
struct TablePlan {
  std::vector<int> Visible;
  TableCells Cells;
  MmRect Area;  // the cells' grid
  MmRect Note;  // the line saying how many rows were left out; empty when none were
  TableLayout Layout;
  std::vector<std::vector<std::string>> LeftOut;
};

std::vector<int> ShownColumns(const TableData& data, const TableDefinition& table,
                              const PageData& page, int offset) {
  const bool hideFirst = table.HideFirstCol || IsSingleValueTest(table.Data);
  std::vector<int> visible;
  if (data.Comments) {
    for (int c = hideFirst ? 1 : 0; c < static_cast<int>(data.Grid.size()); ++c)
      visible.push_back(c);
  } else if (data.Summary) {
    const std::size_t columns = RaisedCodes(table, offset).size();
    visible =
        VisibleTableColumns(std::vector<ColumnCode>(columns, code::kEmp), "", 0, 0, hideFirst);
  } else {
    visible = VisibleTableColumns(table.Cols, table.Data, page.Pairs, offset, hideFirst,
                                  data.PairInBlock);
  }
  return visible;
}

TablePlan LayOutTableItem(const LayoutContext& context, const PageCanvas& canvas,
                          const PageData& page, const TableData& data, const TableDefinition& table,
                          int offset, const MmRect& plot) {
  TablePlan out;
  out.Visible = ShownColumns(data, table, page, offset);
  out.Cells = ComputeTableCells(table, context.State.Settings, data.Grid, data.Headings,
                                out.Visible, data.Summary);
  out.Area = plot;
  if (out.Visible.empty()) return out;
  // Rows below the smallest readable size would be written over one another: the rows
  // that do not fit stay off the page, and a last line says how many.
  std::vector<std::vector<TableCell>>& rows = out.Cells.Rows;
  FontSpec smallest = canvas.Font();
  smallest.Points = std::min(smallest.Points, kSmallestPoints);
  const float leastRow = canvas.Metrics().TextHeight(smallest);
  const int fit = static_cast<int>(std::floor(plot.Height / leastRow + 1e-3f));
  if (static_cast<int>(rows.size()) > std::max(1, fit)) {
    const int kept = std::max(1, fit - 1);
    for (std::size_t r = static_cast<std::size_t>(kept); r < rows.size(); ++r) {
      std::vector<std::string> texts;
      for (const TableCell& cell : rows[r]) texts.push_back(cell.Text);
      out.LeftOut.push_back(std::move(texts));
    }
    rows.resize(static_cast<std::size_t>(kept));
    if (fit >= 2) {
      out.Note = plot;
      out.Note.Height = plot.Height / static_cast<float>(kept + 1);
      out.Note.Top = plot.Bottom() - out.Note.Height;
      out.Area.Height -= out.Note.Height;
    }
  }
  out.Layout = LayOutTable(canvas.Metrics(), canvas.Font(), out.Cells, true, out.Area,
                           static_cast<int>(out.Visible.size()));
  return out;
}

void DrawTitleBand(const LayoutContext& context, PageCanvas& canvas, const PageData& page,
                   const TableDefinition& table, const MmRect& band) {
  canvas.DrawWidth = 1;
  canvas.FontBold = true;
  if (context.State.Settings.NewTables) {
    DrawTextBox(canvas, SubstituteNormLength(table.Title, page.NormLength, page.CableLength), band,
                HAlign::Centre, VAlign::Middle, false, TitleBandColour(context),
                TitleTextColour(context));
  } else {
    DrawTextBox(canvas, table.Title, band, HAlign::Centre, VAlign::Middle, false, kNoFill,
                std::nullopt);
  }
  canvas.FontBold = false;
}

// Row 0 is the header row.
void DrawCells(const LayoutContext& context, PageCanvas& canvas, const TablePlan& plan,
               int number) {
  const AppSettings& settings = context.State.Settings;
  const TableLayout& layout = plan.Layout;
  const Rgb headerFill = NamedColour(context, settings.SubHeaderColor);
  const Rgb headerText = NamedColour(context, settings.SubHeaderTextColor);
  const auto& rows = plan.Cells.Rows;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const bool isHeader = r == 0;
    canvas.FontSize = isHeader ? layout.HeaderPoints : layout.BodyPoints;
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      const TableCell& cell = rows[r][c];
      long long fill = kNoFill;
      Rgb colour = cell.Colour;
      if (settings.NewTables) {
        if (isHeader)
          fill = headerFill, colour = headerText;
        else if (r % 2 == 0)
          fill = kBandGrey;
      }
      canvas.Cell = {number, static_cast<int>(r), static_cast<int>(c)};
      canvas.DrawWidth = 1;
      const MmRect rect = layout.Cell(static_cast<int>(c), static_cast<int>(r), plan.Area.Left);
      const std::vector<std::string>* lines =
          isHeader && c < layout.HeaderLines.size() ? &layout.HeaderLines[c] : nullptr;
      if (lines == nullptr || lines->size() < 2) {
        DrawTextBox(canvas, cell.Text, rect, HAlign::Centre, VAlign::Middle, true, fill, colour);
        continue;
      }
      DrawTextBox(canvas, "", rect, HAlign::Centre, VAlign::Middle, true, fill, colour);
      const float half = rect.Height / 2;
      for (std::size_t l = 0; l < 2; ++l) {
        const MmRect line{.Width = rect.Width,
                          .Height = half,
                          .Top = rect.Top + static_cast<float>(l) * half,
                          .Left = rect.Left};
        DrawTextBox(canvas, (*lines)[l], line, HAlign::Centre,
                    l == 0 ? VAlign::Bottom : VAlign::Top, false, kNoFill, colour, cell.Text);
      }
    }
  }
  canvas.Cell = {};
  if (plan.Note.Height > 0) {
    canvas.FontSize = layout.BodyPoints;
    canvas.DrawWidth = 1;
    DrawTextBox(canvas, LeftOutNote(plan.LeftOut.size()), plan.Note, HAlign::Centre, VAlign::Middle,
                true, kNoFill, kBlack);
  }
}

}  // namespace

bool DrawTable(const LayoutContext& context, PageCanvas& canvas, const PageData& page,
               const TableData& data, const TableDefinition& table, const SlotGrid& slots,
               int offset, int slotsX, int slotsY, bool& reportFailed, bool& incomplete,
               int number) {
  CanvasStateGuard keep(canvas);
  canvas.FontSize =
      table.FontSize > 0 ? std::max(kSmallestPoints, static_cast<float>(table.FontSize)) : 9;
  canvas.FontBold = false;
  const float titleHeight =
      Trim(table.Title).empty() ? 0.0f : std::floor(canvas.TextHeight("Myf")) + 2;
  const std::optional<MmRect> place = PlaceItem(slots, table.Slot, table.PosX, table.PosY,
                                                table.SizeX, table.SizeY, slotsX, slotsY);
  if (!place) return false;
  const MmRect item = *place;
  MmRect plot = item;
  plot.Top += titleHeight;
  plot.Height -= titleHeight;
  if (item.Width <= 0 || plot.Height <= 0) return false;
  if (context.SlotsFlag) {
    canvas.FillStyle = 1;
    canvas.Box(plot.Left, plot.Top, plot.Right(), plot.Bottom());
    canvas.CurrentX = plot.Left;
    canvas.CurrentY = plot.Top;
    canvas.PrintAid("Table");
  }
  if (data.Failed) reportFailed = true;
  if (data.Incomplete) incomplete = true;
  if (!data.Found) return false;
  if (titleHeight > 0)
    DrawTitleBand(context, canvas, page, table,
                  {.Width = item.Width, .Height = titleHeight, .Top = item.Top, .Left = item.Left});

  TablePlan plan = LayOutTableItem(context, canvas, page, data, table, offset, plot);
  if (plan.Visible.empty()) return true;
  if (context.SlotsFlag)
    BuildCellGrid(canvas, plan.Area, static_cast<int>(plan.Visible.size()),
                  static_cast<int>(plan.Cells.Rows.size()), false, true);
  DrawCells(context, canvas, plan, number);
  canvas.Plan().Tables.push_back({.Number = number,
                                  .Rows = static_cast<int>(plan.Cells.Rows.size()),
                                  .Columns = static_cast<int>(plan.Visible.size()),
                                  .LeftOut = std::move(plan.LeftOut)});
  return true;
}

}  // namespace vantrel

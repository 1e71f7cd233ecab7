#pragma once
// What every report routine needs besides the canvas: the program's definitions,
// the test data, the way to ask the user, colour names, and who watches the output.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/program_state.h"
#include "render/page_canvas.h"
#include "render/report_data_source.h"
#include "support/prompter.h"

namespace vantrel {

/// A drawn table, cell texts exactly as written, [row][column], header row first.
struct DrawnTable {
  int Report = 0;  // 1-based
  int Page = 0;    // 1-based within the report
  int Number = 0;  // 1-based as in the definition file
  std::vector<std::vector<std::string>> Rows;
};

/// A drawn graph's sets as plotted.
struct DrawnGraph {
  int Report = 0;
  int Page = 0;
  int Number = 0;
  std::vector<std::string> SetNames;
  std::vector<double> Frequencies;  // of the longest set
  /// [set][point]; NaN where the point is missing.
  std::vector<std::vector<double>> Values;
};

/// Told of every table and graph drawn, for exports that want the numbers.
class ReportObserver {
 public:
  virtual ~ReportObserver() = default;
  virtual void TableDrawn(const DrawnTable& table) = 0;
  virtual void GraphDrawn(const DrawnGraph& graph) = 0;
};

struct RenderContext {
  ProgramState& State;
  ReportDataSource& Data;
  Prompter& Ask;
  /// Colour names of the definition file to page colours and to palette numbers.
  std::function<Rgb(std::string_view)> Colour;
  std::function<int16_t(std::string_view)> Palette;
  /// Reads the report definitions; does its work once after each load.
  std::function<void()> ReadReports;
  bool SlotsFlag = false;
  ReportObserver* Observer = nullptr;
};

/// The colour tables of the definition file, reporting malformed names through ask.
void UseDefinitionColours(RenderContext& context);

}  // namespace vantrel

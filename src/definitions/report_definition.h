#pragma once
// One [REPORT_r] section with its graphs and tables.

#include <array>
#include <cstdint>
#include <string>

#include "definitions/graph_definition.h"
#include "definitions/table_definition.h"

namespace vantrel {

inline constexpr int kMaxReports = 208;
inline constexpr int kReportSlots = 209;
inline constexpr int kMaxGraphs = 31;
inline constexpr int kMaxTables = 31;

/// Index i holds the selection of report i+1.
using ReportSelection = std::array<bool, kReportSlots>;

struct ReportDefinition {
  std::string Title;
  bool HideHeader = false;
  std::string SubHeader;
  bool Selected = false;
  int16_t SlotsX = -1;
  int16_t SlotsY = -1;
  std::array<GraphDefinition, kMaxGraphs> Graphs;
  int16_t GraphCount = 0;
  std::array<TableDefinition, kMaxTables> Tables;
  int16_t TableCount = 0;
  bool MultiPage = true;
  int16_t Border = 5;
};

}  // namespace vantrel

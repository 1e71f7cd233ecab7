#pragma once
// Which tests a report's graphs and tables read, known from the definitions alone, so
// that the tests can be made ready before the pages ask for them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "definitions/graph_definition.h"
#include "definitions/report_definition.h"
#include "definitions/report_slots.h"
#include "definitions/table_definition.h"

namespace vantrel {

/// A test a report reads: one occurrence of the name, or every occurrence merged.
struct PlannedRead {
  std::string TestName;
  int16_t Occurrence = 0;
  bool All = false;
};

/// The test and occurrence that data set k of a graph reads.
PlannedRead GraphSetRead(const GraphDefinition& graph, int k);

/// The COLS of a graph say that it does not exist.
bool IsNoGraph(const GraphDefinition& graph);

/// The tests a graph reads, in the order its data sets are read.
std::vector<PlannedRead> GraphReads(const GraphDefinition& graph);

/// The test a table reads; none for a summary or comment lines.
std::optional<PlannedRead> TableRead(const TableDefinition& table);

/// The tests the first page of a report reads: its graphs', then its tables'.
std::vector<PlannedRead> ReportReads(const ReportDefinition& report);

/// ReportReads of every selected report, in report order.
std::vector<PlannedRead> SelectedReportReads(const ReportSlots& reports,
                                             const ReportSelection& selection);

}  // namespace vantrel

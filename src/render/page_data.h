#pragma once
// What one report page shows of the test data, fetched before the page is laid out:
// layout reads these and never the data object, so a page laid out twice reads once.

#include <functional>
#include <string>
#include <vector>

#include "definitions/header_definition.h"
#include "definitions/program_state.h"
#include "render/report_data_source.h"

namespace vantrel {

struct GraphData {
  /// False when the cable has no pair for the graph on this page, or it asks for none.
  bool Shown = false;
  /// The data sets in order, up to the first test that is not there.
  std::vector<ReadTestDataResult> Sets;
  /// The codes each set was asked for.
  std::vector<std::vector<ColumnCode>> Codes;
  bool Incomplete = false;  // a set lacks rows
};

struct TableData {
  bool Found = false;
  bool Summary = false;  // a test summary or comment lines, not a test's figures
  bool Comments = false;
  ValueGrid Grid;
  std::vector<std::string> Headings;
  /// Per position of the table's columns: the read block holds that position's pair.
  std::vector<bool> PairInBlock;
  bool Failed = false;
  bool Incomplete = false;
};

struct PageData {
  std::string TestDescription;
  std::string NormLength;
  std::string CableLength;
  int Pairs = 0;
  bool OverallFailed = false;
  /// HeaderString and HalfHeaderString of the items the header block shows.
  HeaderFamily HeaderValues;
  HeaderFamily HalfHeaderValues;
  std::vector<GraphData> Graphs;  // one per graph of the report
  std::vector<TableData> Tables;  // one per table
};

/// The texts, pair count and overall status every page reads; no item's data.
PageData FetchPageFacts(ReportDataSource& data);

/// What graph graphNumber (0-based) of a page starting at columnOffset reads.
GraphData FetchGraph(ReportDataSource& data, const PageData& page, const GraphDefinition& graph,
                     int columnOffset, int graphNumber);

/// What a table of a page starting at columnOffset reads.
TableData FetchTable(ReportDataSource& data, const PageData& page, const AppSettings& settings,
                     const TableDefinition& table, int columnOffset);

/// Everything a page of report reads; the header values only when headerShown. The
/// header's labels must be filled in first (FillHeaderLabels). cancel is asked before
/// each item; once it says yes nothing more is read.
PageData FetchPageData(ReportDataSource& data, const ProgramState& state,
                       const ReportDefinition& report, int columnOffset, bool headerShown,
                       const std::function<bool()>& cancel = {});

}  // namespace vantrel

#include "definitions/report_reads.h"

#include <algorithm>
#include <iterator>

#include "support/text.h"

namespace vantrel {

PlannedRead GraphSetRead(const GraphDefinition& g, int k) {
  const auto source = static_cast<std::size_t>(g.AutoOrderIncrease ? 0 : k);
  PlannedRead read;
  read.TestName = g.Data[source];
  read.Occurrence =
      static_cast<int16_t>(g.AutoOrderIncrease ? std::min(32767, g.Order[0] + k + 1)
                                               : g.Order[static_cast<std::size_t>(k)]);
  read.All = g.ApplyAllResults || g.CombineAllResults;
  return read;
}

bool IsNoGraph(const GraphDefinition& g) {
  return g.Cols[0].size() >= 2 && g.Cols[0][1] == code::kNoGraph;
}

std::vector<PlannedRead> GraphReads(const GraphDefinition& g) {
  std::vector<PlannedRead> reads;
  if (IsNoGraph(g)) return reads;
  for (int k = 0; k < kMaxDataSets; ++k) {
    PlannedRead read = GraphSetRead(g, k);
    if (Trim(read.TestName).empty()) break;
    reads.push_back(std::move(read));
  }
  return reads;
}

std::optional<PlannedRead> TableRead(const TableDefinition& table) {
  const std::string kind = ToUpper(Trim(table.Data));
  if (kind == "TEST SUMMARY :" || kind == "SUMMARY INFORMATION" || kind == "COMMENT")
    return std::nullopt;
  return PlannedRead{table.Data, table.Order, table.ApplyAllResults || table.CombineAllResults};
}

std::vector<PlannedRead> ReportReads(const ReportDefinition& report) {
  std::vector<PlannedRead> reads;
  const int graphs = std::min<int>(report.GraphCount, kMaxGraphs);
  for (int g = 0; g < graphs; ++g) {
    std::vector<PlannedRead> more = GraphReads(report.Graphs[static_cast<std::size_t>(g)]);
    std::move(more.begin(), more.end(), std::back_inserter(reads));
  }
  const int tables = std::min<int>(report.TableCount, kMaxTables);
  for (int t = 0; t < tables; ++t)
    if (auto read = TableRead(report.Tables[static_cast<std::size_t>(t)]))
      reads.push_back(std::move(*read));
  return reads;
}

std::vector<PlannedRead> SelectedReportReads(const ReportSlots& reports,
                                             const ReportSelection& selection) {
  std::vector<PlannedRead> reads;
  for (int i = 0; i < kMaxReports; ++i) {
    if (!selection[static_cast<std::size_t>(i)]) continue;
    std::vector<PlannedRead> more = ReportReads(reports[static_cast<std::size_t>(i)]);
    std::move(more.begin(), more.end(), std::back_inserter(reads));
  }
  return reads;
}

}  // namespace vantrel

#include "render/page_data.h"

#include <algorithm>

#include "render/graph_plotter.h"
#include "render/page_header.h"
#include "render/routine_fault.h"
#include "render/table_drawer.h"

namespace vantrel {

PageData FetchPageFacts(ReportDataSource& data) {
  PageData page;
  page.TestDescription = data.TestDescription();
  page.NormLength = data.NormalisationLength();
  page.CableLength = data.CableLength();
  page.Pairs = data.Pairs();
  page.OverallFailed = data.OverallFailed();
  return page;
}

PageData FetchPageData(ReportDataSource& data, const ProgramState& state,
                       const ReportDefinition& report, int columnOffset, bool headerShown,
                       const std::function<bool()>& cancel) {
  PageData page = FetchPageFacts(data);
  // Only what an item of this page reads counts towards its incomplete status.
  data.TakeIncompleteRead();
  // A cancelled page is laid out no further than its first check, so what is not
  // fetched is never missed.
  const auto stop = [&] { return cancel && cancel(); };
  const int graphs = std::min<int>(report.GraphCount, kMaxGraphs);
  for (int g = 0; g < graphs; ++g) {
    if (stop()) return page;
    page.Graphs.push_back(NamedFaults(kPlotGraphRoutine, [&] {
      return FetchGraph(data, page, report.Graphs[static_cast<std::size_t>(g)], columnOffset, g);
    }));
  }
  const int tables = std::min<int>(report.TableCount, kMaxTables);
  for (int t = 0; t < tables; ++t) {
    if (stop()) return page;
    page.Tables.push_back(FetchTable(data, page, state.Settings,
                                     report.Tables[static_cast<std::size_t>(t)], columnOffset));
  }
  if (headerShown) {
    const HeaderDefinition& header = state.Header;
    const int rows = HeaderRows(header);
    for (int n = 0; n < 2 * rows && n < kHeaderItems; ++n) {
      const auto i = static_cast<std::size_t>(n);
      if (!header.HeaderItems[i].empty()) page.HeaderValues[i] = data.HeaderString(n);
      if (!header.HalfHeaderItems[i].empty()) page.HalfHeaderValues[i] = data.HalfHeaderString(n);
    }
  }
  return page;
}

}  // namespace vantrel

#include "tools/vantrel_report/output_csv.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "support/file_writer.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel::report_tool {

std::string CsvField(const std::string& raw) {
  const std::string text = WithoutControls(raw);
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

void CsvWriter::Write(const std::string& name, const std::vector<std::vector<std::string>>& rows) {
  if (!error_.empty()) return;
  std::string text;
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) text += (i ? "," : "") + CsvField(row[i]);
    text += '\n';
  }
  if (!WriteWholeFile((std::filesystem::path(folder_) / name).string(), text, error_)) return;
  ++written_;
}

void CsvWriter::PagePlanned(const PagePlan& page) {
  for (const PlanGraph& graph : page.Graphs) WriteGraph(page, graph);
  for (const PlanTable& table : page.Tables) WriteTable(page, table);
}

void CsvWriter::WriteTable(const PagePlan& page, const PlanTable& t) {
  Write("report" + std::to_string(page.Report) + "-p" + std::to_string(page.Page) + "-table" +
            std::to_string(t.Number) + ".csv",
        TableTexts(page, t));
}

void CsvWriter::WriteGraph(const PagePlan& page, const PlanGraph& g) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> head{"frequency"};
  head.insert(head.end(), g.SetNames.begin(), g.SetNames.end());
  rows.push_back(std::move(head));
  for (std::size_t p = 0; p < g.Frequencies.size(); ++p) {
    std::vector<std::string> row{FormatGeneral(g.Frequencies[p])};
    if (!std::isfinite(g.Frequencies[p])) row[0].clear();
    for (const auto& set : g.Values) {
      row.push_back(p < set.size() && std::isfinite(set[p]) ? FormatGeneral(set[p]) : "");
    }
    rows.push_back(std::move(row));
  }
  Write("report" + std::to_string(page.Report) + "-p" + std::to_string(page.Page) + "-graph" +
            std::to_string(g.Number) + ".csv",
        rows);
}

}  // namespace vantrel::report_tool

#pragma once
// The numbers behind every drawn table and graph, one CSV file each, read from the
// page plan so that they are what the page shows.

#include <string>
#include <vector>

#include "render/render_context.h"

namespace vantrel::report_tool {

/// One field quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);

/// Writes the tables and graphs of every page as laid out.
class CsvWriter : public ReportObserver {
 public:
  explicit CsvWriter(std::string folder) : folder_(std::move(folder)) {}
  void PagePlanned(const PagePlan& page) override;
  /// The first file that could not be written, or empty.
  const std::string& Error() const { return error_; }
  int FilesWritten() const { return written_; }

 private:
  void WriteTable(const PagePlan& page, const PlanTable& table);
  void WriteGraph(const PagePlan& page, const PlanGraph& graph);
  void Write(const std::string& name, const std::vector<std::vector<std::string>>& rows);
  std::string folder_;
  std::string error_;
  int written_ = 0;
};

}  // namespace vantrel::report_tool

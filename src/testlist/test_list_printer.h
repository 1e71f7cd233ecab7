#pragma once
// The test list printed before the reports: the overall result, the header facts and
// one line per test of the summary with its status.

#include <string>

#include "definitions/app_settings.h"
#include "render/font_metrics.h"
#include "render/page_target.h"
#include "render/report_producer.h"
#include "support/prompter.h"
#include "testlist/test_list_reader.h"
#include "testlist/text_mode.h"

namespace vantrel {

/// Lays the list out on pages of the given size.
void LayOutTestList(const TestListData& data, const AppSettings& settings, TextMode& out);

/// Reads dataFile and prints its list onto target, starting a new page first unless
/// job.FirstPage; afterwards the next report starts on a new page. Nothing is printed
/// for a file without a test summary. A fault is said ("Error Printing Test List")
/// and the run goes on. True when a page was drawn.
bool PrintTestList(const std::string& dataFile, const AppSettings& settings, PageTarget& target,
                   JobPageState& job, Prompter& ask, const FontMetrics& metrics);

}  // namespace vantrel

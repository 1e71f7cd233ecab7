#pragma once
// The jobs of vantrel-report, one per file.

#include "tools/vantrel_report/opened_run.h"
#include "tools/vantrel_report/options.h"

namespace vantrel::report_tool {

int RunList(const Options& options);
int RunInfo(const Options& options);
/// opened, when given, holds the definition and the data already read.
int RunOutput(const Options& options, OpenedRun* opened = nullptr);
/// --pdf over several --data: one document, or one per result with --separate.
int RunPdfResults(const Options& options);
/// --print: the selected reports of each --data through the print run.
int RunPrint(const Options& options);
/// One line per printer: its name, a tab, "default" or nothing.
int RunListPrinters(const Options& options);
/// Prints one line per layout finding; kExitLayoutFindings when there is any.
int RunCheckLayout(const Options& options);
/// Prints one line per recorded file; kExitDiffers when any differs.
int RunVerify(const Options& options);
/// One CSV table of the worst margins over every result file given.
int RunSummary(const Options& options);
/// Runs until SIGTERM or SIGINT, finishing the file in hand.
int RunWatch(const Options& options);

}  // namespace vantrel::report_tool

#include "tools/vantrel_report/command_entry.h"

#include "tools/vantrel_report/commands.h"

using namespace vantrel::report_tool;

extern "C" {

extern const char VantrelReportBuild[];
const char VantrelReportBuild[] = VANTREL_VERSION " " VANTREL_BUILD_KIND;

/// Runs the job of options; opened, for the main job, holds its input already read.
int VantrelReportRun(const Options& o, OpenedRun* opened) {
  switch (ChosenJob(o)) {
    case Job::kListPrinters:
      return RunListPrinters(o);
    case Job::kWatch:
      return RunWatch(o);
    case Job::kPrint:
      return RunPrint(o);
    case Job::kVerify:
      return RunVerify(o);
    case Job::kSummary:
      return RunSummary(o);
    case Job::kInfo:
      return RunInfo(o);
    case Job::kList:
      return RunList(o);
    case Job::kCheckLayout:
      return RunCheckLayout(o);
    case Job::kPdfResults:
      return RunPdfResults(o);
    case Job::kOutput:
      return RunOutput(o, opened);
    case Job::kNone:
      break;
  }
  return kExitUsage;
}

}  // extern "C"

#pragma once
// The one symbol the launcher looks up in the commands' module, and the build it must
// come from: a module of another build is refused rather than called.

#include "tools/vantrel_report/opened_run.h"
#include "tools/vantrel_report/options.h"

namespace vantrel::report_tool {

using CommandEntry = int (*)(const Options& options, OpenedRun* opened);
inline constexpr char kCommandEntryName[] = "VantrelReportRun";
inline constexpr char kCommandBuildName[] = "VantrelReportBuild";
inline constexpr char kCommandBuild[] = VANTREL_VERSION " " VANTREL_BUILD_KIND;

}  // namespace vantrel::report_tool

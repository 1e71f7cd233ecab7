#include <cstdio>

#include "tools/vantrel_report/commands.h"

namespace vantrel::report_tool {

int RunList(const Options&) {
  std::fprintf(stderr, "vantrel-report: this job is not available yet\n");
  return kExitUsage;
}

}  // namespace vantrel::report_tool

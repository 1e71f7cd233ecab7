#include <cstdio>
#include <string>
#include <vector>

#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/options.h"

using namespace vantrel::report_tool;

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const ParseResult parsed = ParseOptions(args);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "vantrel-report: %s\n\n%s", parsed.error.c_str(), UsageText().c_str());
    return kExitUsage;
  }
  const Options& o = parsed.options;
  if (o.version) {
    std::printf("vantrel-report %s\n", VANTREL_VERSION);
    return kExitOk;
  }
  if (o.help) {
    std::fputs(UsageText().c_str(), stdout);
    return kExitOk;
  }
  if (o.listPrinters) return RunListPrinters(o);
  if (!o.watch.empty()) return RunWatch(o);
  if (o.print) return RunPrint(o);
  if (!o.verify.empty()) return RunVerify(o);
  if (!o.summary.empty() || !o.summaryPdf.empty()) return RunSummary(o);
  if (o.info) return RunInfo(o);
  if (o.list) return RunList(o);
  if (o.checkLayout) return RunCheckLayout(o);
  if (!o.pdf.empty() && (o.dataFiles.size() > 1 || o.separate)) return RunPdfResults(o);
  if (!o.pdf.empty() || !o.png.empty() || !o.csv.empty()) return RunOutput(o);
  std::fprintf(stderr, "vantrel-report: nothing to do\n\n%s", UsageText().c_str());
  return kExitUsage;
}

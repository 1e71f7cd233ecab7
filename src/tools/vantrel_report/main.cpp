#include <cstdio>
#include <string>
#include <vector>

#include "tools/vantrel_report/command_module.h"
#include "tools/vantrel_report/opened_run.h"
#include "tools/vantrel_report/options.h"

using namespace vantrel::report_tool;

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const ParseResult parsed = ParseOptions(args);
  if (!parsed.Error.empty()) {
    std::fprintf(stderr, "vantrel-report: %s\n\n%s", parsed.Error.c_str(), UsageText().c_str());
    return kExitUsage;
  }
  const Options& o = parsed.Parsed;
  if (o.Version) {
    std::printf("vantrel-report %s\n", VANTREL_VERSION);
    return kExitOk;
  }
  if (o.Help) {
    std::fputs(UsageText().c_str(), stdout);
    return kExitOk;
  }
  const Job job = ChosenJob(o);
  if (job == Job::kNone) {
    std::fprintf(stderr, "vantrel-report: nothing to do\n\n%s", UsageText().c_str());
    return kExitUsage;
  }
  CommandModule commands;
  if (job != Job::kOutput) {
    const CommandEntry run = commands.Entry();
    return run != nullptr ? run(o, nullptr) : kExitOutput;
  }
  // The main job: the drawing code loads while the data file is read, not before, so
  // that the read starts as soon as it can and a faulty definition loads nothing.
  OpenedRun opened;
  if (const int status = OpenRun(o, opened, [&commands] { commands.StartLoading(); });
      status != kExitOk)
    return status;
  // Every block's rows are judged before any page; that reading needs no Qt either.
  opened.Data->CheckEveryBlock();
  const CommandEntry run = commands.Entry();
  return run != nullptr ? run(o, &opened) : kExitOutput;
}

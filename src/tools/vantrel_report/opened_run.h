#pragma once
// The definition and the data file of one run, read before the drawing code is loaded:
// nothing here needs Qt, so the batch tool reads its input while the rest starts.

#include <functional>
#include <memory>
#include <string>

#include "definitions/program_state.h"
#include "platform/stderr_prompter.h"
#include "results/data_host.h"
#include "results/obj_data.h"
#include "tools/vantrel_report/options.h"

namespace vantrel::report_tool {

struct OpenedRun {
  std::unique_ptr<ProgramState> State;
  std::unique_ptr<StderrPrompter> Prompter;
  std::unique_ptr<DataHost> Host;
  std::unique_ptr<ObjData> Data;
};

/// Loads the definition, the data file and the report selection of options into run;
/// kExitOk, or the exit status after the reason was printed. beforeData is called once
/// the definition is read, as the data file is about to be.
int OpenRun(const Options& options, OpenedRun& run,
            const std::function<void()>& beforeData = nullptr);

/// Prints "vantrel-report: what" and gives code.
int Fail(const std::string& what, int code);

}  // namespace vantrel::report_tool

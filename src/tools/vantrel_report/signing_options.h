#pragma once
// Which key signs the batch tool's PDFs: the command line's, else the definition's.

#include "definitions/program_state.h"
#include "pdf/signer.h"
#include "tools/vantrel_report/options.h"

namespace vantrel::report_tool {

pdf::SigningSettings SigningFor(const Options& o, const ProgramState& state);

}  // namespace vantrel::report_tool

#pragma once
// Reads every [REPORT_r] with its graphs and tables, once after each load, and then
// empties the definition store.

#include "definitions/program_state.h"
#include "support/prompter.h"

namespace vantrel {

void ReadReportsIni(ProgramState& state, Prompter& prompter);

}  // namespace vantrel

// A fuzzed ZIP archive opened as a data file: directory, checks, extraction of the
// first entry, and the entry read as a result file.

#include <memory>

#include "definitions/program_state.h"
#include "fuzz_input.h"
#include "results/data_host.h"
#include "results/obj_data.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
  static auto state = std::make_unique<ProgramState>();
  fuzz::SilentPrompter prompter;
  NullDataHost host;
  ObjData data(*state, prompter, host);
  data.UseTempFolder(fuzz::Scratch());
  data.SetFile(fuzz::WriteInput(bytes, size, "input.zip"));
  return 0;
}

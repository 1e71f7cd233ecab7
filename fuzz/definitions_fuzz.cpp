// The definition store, the settings and every report, graph and table section, read
// from one fuzzed definition file; then each profile applied.

#include <memory>
#include <string_view>

#include "definitions/ini_store.h"
#include "definitions/profiles.h"
#include "definitions/program_state.h"
#include "definitions/report_reader.h"
#include "definitions/settings_reader.h"
#include "fuzz_input.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // Far too large for the stack; reloading it is what the window does too.
  static auto state = std::make_unique<ProgramState>();
  fuzz::SilentPrompter prompter;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!LoadIniBytes(bytes, "fuzz.ini", state->Ini, prompter)) return 0;
  ReadSettings(*state, prompter, "");
  ReadReportsIni(*state, prompter);
  for (const ProfileEntry& profile : state->Profiles.Entries) {
    SelectReportsByProfile(profile, state->Ini.NumReports, state->Selection, prompter);
  }
  return 0;
}

// Every report of a fuzzed definition file laid out and drawn on a picture, over a
// fixed result file: the layout must survive any grid, slot, size and axis setting.

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "definitions/ini_store.h"
#include "definitions/program_state.h"
#include "definitions/settings_reader.h"
#include "fuzz_input.h"
#include "render/objdata_source.h"
#include "render/page_target.h"
#include "render/report_job.h"
#include "results/data_host.h"
#include "results/obj_data.h"

using namespace vantrel;

namespace {

// Two tests with limits and a summary: enough for graphs, tables and the header.
constexpr std::string_view kResults =
    "Results\tfuzz.txt\nCable ID\tF-1\nPRODUCT :\nProduct Name\tFuzz\nCable Length(m)\t100\n"
    "Pairs\t2\nTest Description\tSEQ\nEXIT STATUS:\nPass/Fail Status\tFAILED\n"
    "TEST:\tAttenuation\nSweep\tLOG\nNo\tFreq\tPair 1\tPair 2\tLower\tUpper\tStatus\nTime\t1\n"
    "Units\tMHz\tdB\tdB\tdB\tdB\n1\t1\t-2\t-3\t-9\tx\tPP\n2\t10\t-4\t-5\t-9\tx\tPP\n"
    "3\t100\t-8\t-12\t-9\tx\tPF\n\n"
    "TEST:\tReturn Loss\nSweep\tLOG\nNo\tFreq\tPair 1\tPair 2\tLower\tUpper\tStatus\nTime\t1\n"
    "Units\tMHz\tdB\tdB\tdB\tdB\n1\t1\t20\t22\t10\tx\tPP\n2\t100\t15\t9\t10\tx\tPF\n\n"
    "TEST SUMMARY :\nAttenuation Test Pair 1\tPASS\tX\nReturn Loss Test Pair 2\tFAIL\tX\n";

QGuiApplication& Gui() {
  static int argc = 1;
  static char name[] = "layout_fuzz";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QGuiApplication app(argc, argv);
  return app;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
  Gui();
  static auto state = std::make_unique<ProgramState>();
  fuzz::SilentPrompter prompter;
  const std::string_view definition(reinterpret_cast<const char*>(bytes), size);
  if (!LoadIniBytes(definition, "fuzz.ini", state->Ini, prompter)) return 0;
  ReadSettings(*state, prompter, "");
  state->Settings.Logo.clear();  // a fuzzed path must not name a file of the machine

  NullDataHost host;
  ObjData data(*state, prompter, host);
  data.UseTempFolder(fuzz::Scratch());
  const auto* results = reinterpret_cast<const uint8_t*>(kResults.data());
  if (!data.SetFile(fuzz::WriteInput(results, kResults.size(), "layout.txt"))) return 0;
  ObjDataSource source(data);
  RenderContext context{.State = *state, .Data = source, .Ask = prompter};
  UseDefinitionColours(context);
  context.ReadReports();
  state->Settings.Logo.clear();
  state->Selection.fill(false);
  for (int r = 0; r < state->Ini.NumReports && r < 8; ++r) state->Selection[r] = true;
  PictureTarget target(PaperByName("A4"));
  ProduceSelectedReports(context, target, state->Selection);
  return 0;
}

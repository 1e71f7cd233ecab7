#include <cstdio>
#include <memory>
#include <string>

#include "definitions/ini_store.h"
#include "definitions/program_state.h"
#include "definitions/settings_reader.h"
#include "platform/signal_cleanup.h"
#include "platform/stderr_prompter.h"
#include "platform/temp_folder.h"
#include "results/data_host.h"
#include "results/obj_data.h"
#include "support/text.h"
#include "tools/vantrel_report/commands.h"

namespace vantrel::report_tool {

namespace {

void Line(const std::string& raw) {
  const std::string text = WithoutControls(raw);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

void HeaderLines(const char* family, const HeaderFamily& items,
                 const std::array<std::string, 31>& labels,
                 std::string (ObjData::*value)(int16_t) const, const ObjData& data) {
  for (int n = 1; n <= kHeaderItems; ++n) {
    const std::string& item = items[static_cast<std::size_t>(n - 1)];
    if (item.empty()) continue;
    const std::string& label = labels[static_cast<std::size_t>(n - 1)];
    Line(std::string(family) + " " + std::to_string(n) + ": " + (label.empty() ? item : label) +
         ": " + (data.*value)(static_cast<int16_t>(n - 1)));
  }
}

}  // namespace

int RunInfo(const Options& options) {
  RemoveTemporaryFilesOnSignals();
  // The state holds every report definition: far too big for the stack.
  auto state = std::make_unique<ProgramState>();
  StderrPrompter prompter(&state->AppTitle);
  if (!options.Definition.empty()) {
    if (!LoadIni(options.Definition, state->Ini, prompter)) {
      std::fprintf(stderr, "vantrel-report: the definition file %s was not loaded\n",
                   options.Definition.c_str());
      return kExitNotLoaded;
    }
    ReadSettings(*state, prompter, "");
  }
  const TempFolder temp = FindTempFolder();
  if (!temp.Error.empty()) {
    std::fprintf(stderr, "vantrel-report: %s\n", temp.Error.c_str());
    return kExitNotLoaded;
  }
  NullDataHost host;
  ObjData data(*state, prompter, host);
  data.UseTempFolder(temp.Path);
  if (!data.SetFile(options.Data)) {
    std::fprintf(stderr, "vantrel-report: the data file %s was not loaded\n", options.Data.c_str());
    return kExitNotLoaded;
  }
  Line(std::string("delimiter: ") + (data.Delimiter() == ',' ? "comma" : "tab"));
  Line(std::string("control limits: ") + (data.ControlLimitsStored() ? "yes" : "no"));
  Line("pairs: " + std::to_string(data.Pairs()));
  Line("cable length: " + data.CableLength());
  Line("normalisation length: " + data.NormalisationLength());
  Line("test description: " + data.TestDescription());
  Line(std::string("overall: ") + (data.OverallFailed() ? "FAILED" : "PASSED"));
  for (int16_t i = 0; i < data.TestCount(); ++i) {
    const TestIndexEntry* entry = data.Entry(i);
    Line("test " + std::to_string(i) + ": " + entry->Name + " @ " + std::to_string(entry->Start));
  }
  if (!options.Definition.empty()) {
    const HeaderDefinition& h = state->Header;
    HeaderLines("header", h.HeaderItems, h.HeaderTexts, &ObjData::HeaderString, data);
    HeaderLines("half header", h.HalfHeaderItems, h.HalfHeaderTexts, &ObjData::HalfHeaderString,
                data);
  }
  return std::fflush(stdout) == 0 ? kExitOk : kExitOutput;
}

}  // namespace vantrel::report_tool

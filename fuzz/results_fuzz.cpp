// A fuzzed result file through the data object: index, general header, every block
// parsed and prepared as a graph and as a table, the summaries.

#include <memory>

#include "definitions/program_state.h"
#include "fuzz_input.h"
#include "results/data_host.h"
#include "results/obj_data.h"
#include "results/read_test_data.h"

using namespace vantrel;

namespace {

void Prepare(ObjData& data, const std::string& name) {
  ReadTestDataRequest request;
  request.TestName = name;
  request.MarginKind = 3;
  request.Codes = {1,
                   2,
                   3,
                   code::kMin,
                   code::kMax,
                   code::kMean,
                   code::kUpperLimit,
                   code::kLowerLimit,
                   code::kLastPair};
  ReadAllTestData(data, request);
  request.Form = ReadForm::Tabular;
  request.Codes = {2, 3, code::kLastPair, code::kDistanceAboveLower + 2};
  request.RowCodes = {"1",
                      "100",
                      std::to_string(code::kMin),
                      std::to_string(code::kLowerMargin),
                      std::to_string(code::kMarginFreq),
                      std::to_string(code::kAverageMargin),
                      std::to_string(code::kEmp),
                      std::to_string(code::kStdDev)};
  ReadTestData(data, request);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
  static auto state = std::make_unique<ProgramState>();
  fuzz::SilentPrompter prompter;
  NullDataHost host;
  ObjData data(*state, prompter, host);
  data.UseTempFolder(fuzz::Scratch());
  if (!data.SetFile(fuzz::WriteInput(bytes, size, "results.txt"))) return 0;
  for (int16_t i = 0; i < data.TestCount(); ++i) {
    data.ParseEntry(i);
    Prepare(data, data.TestName(i));
  }
  TextGrid grid;
  bool anyFail = false;
  data.ReadTestSummary("TEST SUMMARY :", grid, 3, 4, anyFail);
  data.ReadRawTestSummary("TEST SUMMARY :", grid, 3, 4, anyFail);
  return 0;
}

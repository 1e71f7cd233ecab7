#pragma once
// A test-data object over files written into a fresh folder, with a recording host.

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"
#include "definitions/program_state.h"
#include "results/obj_data.h"

namespace vantrel::testing {

class RecordingHost : public DataHost {
 public:
  void SetCaption(const std::string& c) override { captions.push_back(c); }
  void SetProgress(int p) override { progress.push_back(p); }
  void ApplyProfile(const std::string& v) override { profiles.push_back(v); }
  void SelectionChanged() override { ++selectionChanges; }
  bool IsVisible() const override { return visible; }

  std::vector<std::string> captions;
  std::vector<int> progress;
  std::vector<std::string> profiles;
  int selectionChanges = 0;
  bool visible = false;
};

/// Copies go to a folder of the fixture's own, so that they can be counted.
class DataFixture {
 public:
  DataFixture() { data.UseTempFolder(tmp.path().string()); }

  /// Writes the file and opens it.
  bool Open(std::string_view bytes, std::string_view name = "run.txt") {
    return data.SetFile(files.Write(name, bytes).string());
  }
  int CopiesInTmp() const {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(tmp.path())) {
      if (e.path().filename().string().rfind("Rep", 0) == 0) ++n;
    }
    return n;
  }

  TempDir files;
  TempDir tmp;
  // Far too large for a test's stack.
  std::unique_ptr<ProgramState> statePtr = std::make_unique<ProgramState>();
  ProgramState& state = *statePtr;
  RecordingPrompter prompter;
  RecordingHost host;
  ObjData data{state, prompter, host};
};

/// A small tab-delimited file: header lines, then the given body.
inline std::string WithHeader(std::string_view body, std::string_view extraHeader = "") {
  return std::string("Results\trun.txt\nCable ID\tC-1\n") + std::string(extraHeader) +
         "Pairs\t4\nEXIT STATUS:\n" + std::string(body);
}

/// One test block with two pairs, two limit columns and the given rows.
inline std::string Block(std::string_view name, std::string_view rows) {
  return "TEST:\t" + std::string(name) +
         "\nSweep\tLOG\nNo\tFreq\tPair 1\tPair 2\tLower\tUpper\tStatus\nTime\t1\n"
         "Units\tMHz\tdB\tdB\tdB\tdB\n" +
         std::string(rows) + "\n";
}

}  // namespace vantrel::testing

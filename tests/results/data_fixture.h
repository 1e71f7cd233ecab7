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
  void SetCaption(const std::string& c) override { Captions.push_back(c); }
  void SetProgress(int p) override { Progress.push_back(p); }
  void ApplyProfile(const std::string& v) override { Profiles.push_back(v); }
  void SelectionChanged() override { ++SelectionChanges; }
  bool IsVisible() const override { return Visible; }

  std::vector<std::string> Captions;
  std::vector<int> Progress;
  std::vector<std::string> Profiles;
  int SelectionChanges = 0;
  bool Visible = false;
};

/// Copies go to a folder of the fixture's own, so that they can be counted.
class DataFixture {
 public:
  DataFixture() { Data.UseTempFolder(Tmp.path().string()); }

  /// Writes the file and opens it.
  bool Open(std::string_view bytes, std::string_view name = "run.txt") {
    return Data.SetFile(Files.Write(name, bytes).string());
  }
  int CopiesInTmp() const {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(Tmp.path())) {
      if (e.path().filename().string().rfind("Rep", 0) == 0) ++n;
    }
    return n;
  }

  TempDir Files;
  TempDir Tmp;
  // Far too large for a test's stack.
  std::unique_ptr<ProgramState> StatePtr = std::make_unique<ProgramState>();
  ProgramState& State = *StatePtr;
  RecordingPrompter Prompter;
  RecordingHost Host;
  ObjData Data{State, Prompter, Host};
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

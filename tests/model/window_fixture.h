#pragma once
// A main-window model over a definition file written in the test, with a recording
// host, dialog and prompter.

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"
#include "common/window_inputs.h"
#include "model/main_window_model.h"

namespace vantrel::testing {

class RecordingHost : public MainWindowHost {
 public:
  void Yield() override { Events(); }
  void Pump(int maxMs) override {
    // A real print server takes real time; without one, time need not pass.
    if (Sleeps && maxMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(maxMs));
    Events();
  }
  void CloseWindow() override { Calls.push_back("close"); }
  void ShowWindow() override {
    Visible = true;
    Calls.push_back("show");
  }
  void SetTopmost(bool on) override { Calls.push_back(on ? "topmost" : "not topmost"); }
  void SetCaption(const std::string& text) override { Caption = text; }
  bool IsWindowVisible() const override { return Visible; }
  bool OpenWithDesktop(const std::string& path) override {
    Opened.push_back(path);
    return true;
  }
  void Quit() override { Calls.push_back("quit"); }
  bool TrayAvailable() const override { return Tray; }
  void HideWindow() override {
    Visible = false;
    Calls.push_back("hide");
  }
  void MinimiseWindow() override { Calls.push_back("minimise"); }

  int Yields = 0;
  std::function<void()> OnEvents;  // what the user does while the events run
  bool Tray = false;
  bool Sleeps = false;
  bool Visible = false;
  std::string Caption;
  std::vector<std::string> Calls;
  std::vector<std::string> Opened;

 private:
  void Events() {
    ++Yields;
    if (OnEvents) OnEvents();
  }
};

struct WindowFixture {
  TempDir Dir;
  RecordingPrompter Prompter;
  RecordingHost Host;
  ScriptedDialog Dialog;
  std::unique_ptr<ProgramState> State = std::make_unique<ProgramState>();
  std::unique_ptr<MainWindowModel> Model;
  std::string Definition;

  WindowFixture();
  /// Writes the definition file and starts up as the program does.
  StartupOutcome Start(const std::string& ini, const std::string& commandTail = {},
                       const std::string& dataFile = {});
  std::string WriteResult(const std::string& name = "run.txt");
  std::vector<std::string> Titles() const;
};

}  // namespace vantrel::testing

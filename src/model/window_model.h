#pragma once
// What the main window shows, held without widgets: start-up, the print run, the
// profile commands and the batch tool change it; the window only binds to it.

#include <string>
#include <utility>
#include <vector>

#include "definitions/program_state.h"

namespace vantrel {

/// The part of the model that changed, so a view redraws only that.
enum class ModelChange { Rows, Status, Progress, Buttons, Printing, Flags, Tray };

/// Where a print run stands. The last three are where a run ended; like Idle, no run
/// is under way in them.
enum class RunState {
  Idle,
  Producing,        // the test list and the reports are drawn
  Spooling,         // the job is handed to the printer
  WaitingForQueue,  // the PDF step: until the printer's queue is empty
  WaitingForFile,   // the PDF step: until the driver's file is complete
  Copying,          // the PDF step: the file goes under its APPNAME name
  Done,
  Cancelled,
  Failed,
};

class WindowModelObserver {
 public:
  virtual ~WindowModelObserver() = default;
  virtual void ModelChanged(ModelChange what) = 0;
};

class WindowModel {
 public:
  explicit WindowModel(ProgramState& state) : state_(state) {}
  virtual ~WindowModel() = default;
  WindowModel(const WindowModel&) = delete;
  WindowModel& operator=(const WindowModel&) = delete;

  ProgramState& State() { return state_; }
  ReportSelection& Selection() { return state_.Selection; }

  /// True while a print run is going on, its PDF step included; the close
  /// confirmation reads it.
  bool PrintingFlag() const { return printing_ || RunUnderWay(); }
  void SetPrintingFlag(bool on) { Set(printing_, on, ModelChange::Printing); }

  RunState PrintRunState() const { return run_; }
  bool RunUnderWay() const { return run_ != RunState::Idle && run_ < RunState::Done; }
  /// The run's one way to say where it stands: every control's state and the status
  /// line follow from it.
  void SetRunState(RunState state, std::string status);
  /// Whole seconds a PDF wait has waited so far; -1 outside the waits.
  int WaitedSeconds() const { return waited_; }
  /// Told as progress, so that a listener of the status text hears each text once.
  void SetWaitedSeconds(int seconds) { Set(waited_, seconds, ModelChange::Progress); }
  /// Status panel 1 as shown: during a wait, how long it has waited.
  std::string StatusLine() const {
    if (waited_ < 0) return status_;
    return status_ + "  (waited " + std::to_string(waited_) + " s)";
  }

  /// True while the preview draws a report from the data this window holds: nothing
  /// may load, print or release it meanwhile.
  bool PreviewBusy() const { return previewBusy_; }
  void SetPreviewBusy(bool on) { Set(previewBusy_, on, ModelChange::Buttons); }

  /// "Print in &background": tray icon, window hidden, program closed after the run.
  bool Background() const { return background_; }
  void SetBackground(bool on) { Set(background_, on, ModelChange::Flags); }

  /// "Print Summary Report": the test list comes before the reports.
  bool TestListFlag() const { return testList_; }
  void SetTestListFlag(bool on) { Set(testList_, on, ModelChange::Flags); }

  /// Report production draws the slot layout when set ("Slots On").
  bool SlotsFlag() const { return slots_; }
  void SetSlotsFlag(bool on) { Set(slots_, on, ModelChange::Flags); }

  /// Status panel 1.
  const std::string& StatusText() const { return status_; }
  void SetStatusText(std::string text) {
    if (text == status_) return;
    status_ = std::move(text);
    Notify(ModelChange::Status);
  }

  /// Progress bar; minimum 0.
  int ProgressValue() const { return progressValue_; }
  int ProgressMax() const { return progressMax_; }
  void SetProgress(int value) { Set(progressValue_, value, ModelChange::Progress); }
  void SetProgressMax(int maximum) { Set(progressMax_, maximum, ModelChange::Progress); }

  /// EnableButtons: the 16 preview buttons; off while a run is under way.
  bool PreviewButtonsEnabled() const { return previewEnabled_ && !RunUnderWay(); }
  void EnableButtons(bool on) { Set(previewEnabled_, on, ModelChange::Buttons); }

  /// "Open &Result File", "Open New &Definition File" and the reloads: off while a run
  /// is under way, which reads the loaded files. "E&xit" and "&Close" always stay on:
  /// they are the way out of a run.
  bool FileCommandsEnabled() const { return fileCommands_ && !RunUnderWay(); }
  void SetFileCommandsEnabled(bool on) { Set(fileCommands_, on, ModelChange::Buttons); }

  /// "P&rint": enabled after a result file was loaded, and off while a run is under
  /// way, so that a second press cannot start a run inside the first.
  bool PrintEnabled() const { return printEnabled_ && !PrintingFlag() && !previewBusy_; }
  /// A result file is loaded: Print is possible once no run is under way.
  bool ResultLoaded() const { return printEnabled_; }

  /// The program is to end at once (Yes to "close the report software?").
  virtual void EndProgram() {}
  void SetPrintEnabled(bool on) { Set(printEnabled_, on, ModelChange::Buttons); }

  void AddObserver(WindowModelObserver* observer) { observers_.push_back(observer); }
  void RemoveObserver(WindowModelObserver* observer) { std::erase(observers_, observer); }

 protected:
  void Notify(ModelChange what) {
    for (WindowModelObserver* o : observers_) o->ModelChanged(what);
  }

 private:
  template <typename T>
  void Set(T& field, T value, ModelChange what) {
    if (field == value) return;
    field = value;
    Notify(what);
  }

  ProgramState& state_;
  bool printing_ = false;
  RunState run_ = RunState::Idle;
  int waited_ = -1;
  bool previewBusy_ = false;
  bool background_ = false;
  bool testList_ = false;
  bool slots_ = false;
  std::string status_;
  int progressValue_ = 0;
  int progressMax_ = 100;
  bool previewEnabled_ = true;
  bool fileCommands_ = true;
  bool printEnabled_ = false;
  std::vector<WindowModelObserver*> observers_;
};

}  // namespace vantrel

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

class WindowModelObserver {
 public:
  virtual ~WindowModelObserver() = default;
  virtual void ModelChanged(ModelChange what) = 0;
};

class WindowModel {
 public:
  explicit WindowModel(ProgramState& state) : state_(state) {}
  WindowModel(const WindowModel&) = delete;
  WindowModel& operator=(const WindowModel&) = delete;

  ProgramState& State() { return state_; }
  ReportSelection& Selection() { return state_.Selection; }

  /// True while a print run is going on; the close confirmation reads it.
  bool PrintingFlag() const { return printing_; }
  void SetPrintingFlag(bool on) { Set(printing_, on, ModelChange::Printing); }

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

  /// EnableButtons: the 16 preview buttons.
  bool PreviewButtonsEnabled() const { return previewEnabled_; }
  void EnableButtons(bool on) { Set(previewEnabled_, on, ModelChange::Buttons); }

  /// "Open &Result File", "Open New &Definition File", "E&xit" and "&Close", disabled
  /// while printing in the foreground.
  bool FileCommandsEnabled() const { return fileCommands_; }
  void SetFileCommandsEnabled(bool on) { Set(fileCommands_, on, ModelChange::Buttons); }

  /// "P&rint": enabled after a result file was loaded.
  bool PrintEnabled() const { return printEnabled_; }
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

#pragma once
// The two boundaries through which the data object and the print run reach the main
// window's model. Private to src/model.

#include <algorithm>

#include "model/main_window_model.h"

namespace vantrel {

// The data object reaches the window only through this.
class MainWindowModel::DataHostAdapter : public DataHost {
 public:
  explicit DataHostAdapter(MainWindowModel& model) : model_(model) {}
  void SetCaption(const std::string& caption) override { model_.Host().SetCaption(caption); }
  void SetProgress(int percent) override {
    model_.SetProgressMax(100);
    model_.SetProgress(std::clamp(percent, 0, 100));
  }
  bool IsVisible() const override { return model_.Host().IsWindowVisible(); }
  void ApplyProfile(const std::string& value) override { model_.CheckProfile(value); }
  void SelectionChanged() override { model_.UpdateButtons(); }

 private:
  MainWindowModel& model_;
};

class MainWindowModel::PrintHostAdapter : public PrintHost {
 public:
  explicit PrintHostAdapter(MainWindowModel& model) : model_(model) {}
  void ProcessEvents(int maxMs) override { model_.Host().Pump(maxMs); }
  bool CancelRequested() override { return model_.CancelRequested(); }
  void OpenFinishedPdf(const std::string& path) override {
    if (!model_.Host().OpenWithDesktop(path)) {
      model_.Ask().Tell(
          "The report was saved as\r" + path + "\rbut no program is set up to show PDF files.",
          "Auto PDF Saving", PromptIcon::Information);
    }
  }
  void CloseProgram() override { model_.Host().CloseWindow(); }
  void EnterBackground(const std::string& /*tip*/) override { model_.EnterBackground(); }
  void SetTrayTip(const std::string& tip) override { model_.SetTrayTip(tip); }

 private:
  MainWindowModel& model_;
};

}  // namespace vantrel

#pragma once
// The real main window over its model, with scripted prompts and dialogs.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"
#include "common/window_inputs.h"
#include "model/main_window_model.h"
#include "ui/main_window.h"

namespace vantrel::testing {

struct UiFixture {
  TempDir Dir;
  RecordingPrompter Prompter;
  ScriptedDialog Dialog;
  std::unique_ptr<ProgramState> State = std::make_unique<ProgramState>();
  MainWindow Window;
  MainWindowModel Model{*State, Prompter, Dialog, Window};
  std::string Definition;

  UiFixture() {
    Model.UseTempFolder(Dir.path().string());
    Window.Bind(Model);
  }
  StartupOutcome Start(const std::string& ini, const std::string& tail = {},
                       const std::string& data = {}) {
    Definition = Dir.Write("def.ini", ini).string();
    return Model.Startup(data + ">I" + Definition + "I<" + tail);
  }
  template <typename T>
  T* Find(const QString& name) {
    return Window.findChild<T*>(name);
  }
  QCheckBox* Check(int row) { return Find<QCheckBox>(QStringLiteral("ChkPrint%1").arg(row)); }
  QLabel* Label(int row) { return Find<QLabel>(QStringLiteral("LabelPrint%1").arg(row)); }
  QPushButton* Preview(int row) {
    return Find<QPushButton>(QStringLiteral("newCmdPreview%1").arg(row));
  }
  QAction* Action(const char* name) { return Find<QAction>(QString::fromUtf8(name)); }
};

// Acts once, from the event loop as an operator would, when the run reaches step.
class AtStep : public QObject {
 public:
  AtStep(MainWindowModel& model, RunState step, std::function<void()> act)
      : model_(model), step_(step), act_(std::move(act)) {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, [this] {
      if (!act_ || model_.PrintRunState() != step_) return;
      auto once = std::move(act_);
      act_ = nullptr;
      once();
    });
    timer_.start();
  }
  bool Done() const { return !act_; }

 private:
  MainWindowModel& model_;
  RunState step_;
  std::function<void()> act_;
  QTimer timer_;
};

}  // namespace vantrel::testing

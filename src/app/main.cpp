// vantrel: the desktop program. Its command line is its arguments joined by blanks:
// a data file, then ">I" definition file "I<", then ">N" report list "N<".

#include <QApplication>
#include <memory>

#include "definitions/program_state.h"
#include "model/main_window_model.h"
#include "platform/signal_cleanup.h"
#include "platform/temp_folder.h"
#include "startup/command_line.h"
#include "startup/temp_folder_notice.h"
#include "ui/main_window.h"
#include "ui/preview_connection.h"
#include "ui/qt_file_dialog.h"
#include "ui/qt_prompter.h"
#include "ui/window_extras.h"

int main(int argc, char** argv) {
  using namespace vantrel;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vantrel"));
  QApplication::setDesktopFileName(QStringLiteral("vantrel"));
  // Qt has taken its own options (-platform, -style) out of argv by now.
  const std::string commandLine = JoinArguments(argc, argv);
  RemoveTemporaryFilesOnSignals();

  // The report definitions are far too large for the stack.
  auto state = std::make_unique<ProgramState>();
  QtPrompter prompter(&state->AppTitle);
  QtFileDialog dialog;
  MainWindow window;
  prompter.SetParent(&window);
  dialog.SetParent(&window);
  MainWindowModel model(*state, prompter, dialog, window);
  const TempFolder temp = FindTempFolder();
  if (!temp.Error.empty()) TellUnusableTempFolder(temp.Error, prompter);
  model.UseTempFolder(temp.Path);
  window.Bind(model);
  ConnectWindowExtras(window, model);
  ConnectPreview(window, model, dialog);

  switch (model.Startup(commandLine)) {
    case StartupOutcome::Cancelled:
      return 0;
    case StartupOutcome::Failed:
      return 1;
    case StartupOutcome::Running:
      break;
  }
  // Closed while start-up was still printing: no event loop is needed any more.
  if (window.Closed()) return 0;
  return QApplication::exec();
}

// The tray icon of background printing and its menu.

#include "model/main_window_model.h"

namespace vantrel {

namespace {
const char kTrayPrefix[] = "Vantrel - ";
}

void MainWindowModel::AddTrayIcon() {
  if (trayIconShown_) return;
  trayIconShown_ = true;
  trayTip_ = std::string(kTrayPrefix) + "Printing...";
  Notify(ModelChange::Tray);
}

void MainWindowModel::SetTrayTip(const std::string& text) {
  if (!trayIconShown_) return;
  trayTip_ = kTrayPrefix + text;
  Notify(ModelChange::Tray);
}

void MainWindowModel::EnterBackground() {
  AddTrayIcon();
  if (host_.TrayAvailable())
    host_.HideWindow();
  else
    host_.MinimiseWindow();
}

void MainWindowModel::RestoreMainScreen() {
  // The run then leaves the program open at its end.
  SetBackground(false);
  trayIconShown_ = false;
  trayTip_.clear();
  Notify(ModelChange::Tray);
  host_.ShowWindow();
}

void MainWindowModel::CancelPrintout() { host_.CloseWindow(); }

}  // namespace vantrel

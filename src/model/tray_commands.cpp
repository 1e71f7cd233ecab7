// The tray icon of background printing and its menu.

#include "model/main_window_model.h"

namespace vantrel {

namespace {
const char kTrayPrefix[] = "Vantrel - ";

// The tip's field holds 63 characters before its end mark; cut between characters.
std::string ClippedTip(std::string tip) {
  constexpr int kTipCharacters = 63;
  int characters = 0;
  for (std::size_t i = 0; i < tip.size(); ++i) {
    if ((static_cast<unsigned char>(tip[i]) & 0xC0) == 0x80) continue;
    if (++characters > kTipCharacters) {
      tip.resize(i);
      break;
    }
  }
  return tip;
}
}  // namespace

void MainWindowModel::AddTrayIcon() {
  if (trayIconShown_) return;
  trayIconShown_ = true;
  trayTip_ = std::string(kTrayPrefix) + "Printing...";
  Notify(ModelChange::Tray);
}

void MainWindowModel::SetTrayTip(const std::string& text) {
  if (!trayIconShown_) return;
  trayTip_ = ClippedTip(kTrayPrefix + text);
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

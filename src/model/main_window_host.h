#pragma once
// What the main window's logic asks of the window that shows it. The Qt window
// implements it; tests use a recording fake.

#include <string>

namespace vantrel {

class MainWindowHost {
 public:
  virtual ~MainWindowHost() = default;
  /// Let pending window events run.
  virtual void Yield() = 0;
  /// Let events run for up to maxMs milliseconds, sleeping while none come.
  virtual void Pump(int maxMs) = 0;
  /// Closes the window as "&Close" does (a background run's end).
  virtual void CloseWindow() = 0;
  /// Shows the window (not modal).
  virtual void ShowWindow() = 0;
  /// Makes the window topmost or not; only called when TOPWINDOW allows it.
  virtual void SetTopmost(bool on) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual bool IsWindowVisible() const = 0;
  /// Opens a file with the desktop's handler for its type. False when none took it.
  virtual bool OpenWithDesktop(const std::string& path) = 0;
  /// Ends the program once the event loop runs again.
  virtual void Quit() = 0;
  /// True when the desktop has a notification area for the tray icon.
  virtual bool TrayAvailable() const { return false; }
  /// Background printing: out of sight with a tray icon to bring it back...
  virtual void HideWindow() {}
  /// ...or minimised where there is none, so that it can always be got back.
  virtual void MinimiseWindow() {}
};

}  // namespace vantrel

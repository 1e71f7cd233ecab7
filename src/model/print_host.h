#pragma once
// What a print run needs from whoever started it: the window lets its events run
// and owns the tray; the batch tool only sleeps. Every hook has a batch default.

#include <string>

namespace vantrel {

class PrintHost {
 public:
  virtual ~PrintHost() = default;

  /// Lets pending events run for at most maxMs milliseconds (0: only what is
  /// waiting). The default sleeps, which is all a program without windows can do.
  virtual void ProcessEvents(int maxMs);
  /// A steady clock in seconds for the waits; never jumps at midnight.
  virtual double Seconds();
  /// True once the operator asked the run to stop (checked between reports and
  /// during the PDF waits).
  virtual bool CancelRequested() { return false; }

  /// Opens the finished PDF with the desktop's handler. The window does; the batch
  /// tool never starts a viewer.
  virtual void OpenFinishedPdf(const std::string& /*path*/) {}

  /// Background mode ("Print in &background"): the tray icon appears with tip and the
  /// main window hides.
  virtual void EnterBackground(const std::string& /*tip*/) {}
  /// The tray icon's tip during the PDF waits.
  virtual void SetTrayTip(const std::string& /*tip*/) {}
  /// A background run is over: close the main window as "&Close" does.
  virtual void CloseProgram() {}
};

/// Returns after seconds, letting events run meanwhile.
void Wait(PrintHost& host, double seconds);

}  // namespace vantrel

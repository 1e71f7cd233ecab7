#pragma once
// The main window's items whose windows live here: the about box, a new instance on
// the same selection and the default printer chooser.

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/cups_printers.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace vantrel {

class MainWindow;
class MainWindowModel;

/// frmAbout.
class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

/// Where the chooser gets its printers and sets the default; the real one is the
/// print server.
struct PrinterSource {
  /// The printers with the current default marked, or nothing when the list cannot
  /// be read.
  std::function<std::optional<std::vector<PrinterEntry>>()> List;
  std::function<DefaultChange(const std::string&)> SetDefault;
};
/// The server's local queues, without instances.
PrinterSource CupsPrinterSource();

/// frmDefaultPrinter.
class DefaultPrinterDialog : public QDialog {
  Q_OBJECT
 public:
  explicit DefaultPrinterDialog(PrinterSource source, QWidget* parent = nullptr);
  /// Refills the list; the number of printers found.
  int FillList();

 private:
  void SetDefault();

  PrinterSource source_;
  QListWidget* list_ = nullptr;
  QPushButton* button_ = nullptr;
  QLabel* said_ = nullptr;
  bool listed_ = false;
};

/// Where a new instance's window goes: down and to the right of frame, so that it does
/// not hide the first; back at the screen's corner when it would leave the screen.
QPoint NewInstancePosition(const QRect& frame, const QRect& screen);
/// The new instance's arguments: Qt's own placement option, then the one argument of
/// the definition file and the selection.
QStringList NewInstanceArguments(const std::string& argument, QPoint position);

/// Starts a detached program with its arguments; true when it started.
using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

/// Connects and enables the three items of window over model.
void ConnectWindowExtras(MainWindow& window, MainWindowModel& model, Launcher launch = {},
                         PrinterSource printers = CupsPrinterSource());

}  // namespace vantrel

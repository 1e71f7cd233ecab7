#pragma once
// The main window's items whose windows live here: the about box, a new instance on
// the same selection and the default printer chooser.

#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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
  /// The names, or nothing when the list cannot be read.
  std::function<std::optional<std::vector<std::string>>()> List;
  /// "" when set, else why not.
  std::function<std::string(const std::string&)> SetDefault;
};
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
  bool listed_ = false;
};

/// Starts a detached program with its arguments; true when it started.
using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

/// Connects and enables the three items of window over model.
void ConnectWindowExtras(MainWindow& window, MainWindowModel& model, Launcher launch = {},
                         PrinterSource printers = CupsPrinterSource());

}  // namespace vantrel

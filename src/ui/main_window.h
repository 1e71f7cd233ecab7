#pragma once
// frmMain: the widgets over MainWindowModel. Object names are the control names
// (arrays as name + row: ChkPrint0 .. ChkPrint15), so tests find them by name.

#include <QMainWindow>
#include <array>
#include <functional>

#include "model/main_window_model.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QSystemTrayIcon;
class QToolBar;

namespace vantrel {

class MainWindow : public QMainWindow, public MainWindowHost, public WindowModelObserver {
  Q_OBJECT

 public:
  MainWindow();
  ~MainWindow() override;

  /// Binds the window to its model. The window is the model's host, so it is made
  /// first and the model is destroyed first; a window that goes first calls Unbind.
  void Bind(MainWindowModel& model);
  void Unbind();

  // MainWindowHost
  void Yield() override;
  void Pump(int maxMs) override;
  void CloseWindow() override { close(); }
  void ShowWindow() override;
  void SetTopmost(bool on) override;
  void SetCaption(const std::string& caption) override;
  bool IsWindowVisible() const override;
  bool OpenWithDesktop(const std::string& path) override;
  void Quit() override;
  bool TrayAvailable() const override;
  void HideWindow() override { hide(); }
  void MinimiseWindow() override { showMinimized(); }

  // WindowModelObserver
  void ModelChanged(ModelChange what) override;

  /// True once a close was confirmed: the program ends, also when no event loop runs.
  bool Closed() const { return closed_; }

  /// Items whose windows come from elsewhere; disabled until something handles them.
  QAction* SetDefaultPrinterAction() const { return setDefaultPrinter_; }
  QAction* OpenNewInstanceAction() const { return openNewInstance_; }
  QAction* AboutAction() const { return about_; }
  /// mnuTrayPopup, the tray icon's menu.
  QMenu* TrayMenu() const { return trayMenu_; }
  /// The tray icon while it is shown, else nullptr.
  QSystemTrayIcon* TrayIcon() const { return tray_; }
  /// Whether the desktop has a tray; the platform's answer unless told otherwise.
  void UseTrayAvailability(std::function<bool()> available) {
    trayAvailable_ = std::move(available);
  }

 Q_SIGNALS:
  /// A row's preview button (0-based report index).
  void PreviewRequested(int reportIndex);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolbar();
  void BuildList(QWidget* parent);
  void BuildStatusBar();
  /// The window stops being topmost before a command acts.
  template <typename F>
  void Act(F&& action);
  void RefreshRows();
  void RefreshButtons();
  void RefreshMenus();
  void RefreshStatus();
  void RefreshProgress();
  void RefreshTray();
  void BuildTrayMenu();
  void PlaceStatusPanels();

  MainWindowModel* model_ = nullptr;
  bool closed_ = false;

  std::array<QCheckBox*, kListRows> chkPrint_{};
  std::array<QLabel*, kListRows> labelPrint_{};
  std::array<QPushButton*, kListRows> preview_{};
  QToolBar* tbar_ = nullptr;
  QAction* select_ = nullptr;
  QAction* prev_ = nullptr;
  QAction* next_ = nullptr;
  QPushButton* cmdPrintJob_ = nullptr;
  QPushButton* cmdClose_ = nullptr;
  QPushButton* reloadIni_ = nullptr;
  QAction* reloadCurrentIni_ = nullptr;
  QLabel* exclamation_ = nullptr;
  QLabel* resultNotLoaded_ = nullptr;
  QGroupBox* editingFrame_ = nullptr;
  QPushButton* command2_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  QLabel* panel1_ = nullptr;
  QLabel* panel2_ = nullptr;
  QProgressBar* progBar_ = nullptr;

  QAction* fileDataFile_ = nullptr;
  QAction* fileDefFile_ = nullptr;
  QAction* setDefaultPrinter_ = nullptr;
  QAction* printInBackground_ = nullptr;
  QAction* printSummaryReport_ = nullptr;
  QAction* openNewInstance_ = nullptr;
  QAction* editingFrameItem_ = nullptr;
  QMenu* profiles_ = nullptr;
  std::array<QAction*, kMaxProfiles> profileItems_{};
  QAction* newProfileSep_ = nullptr;
  QAction* newProfile_ = nullptr;
  QAction* about_ = nullptr;
  QAction* fileExit_ = nullptr;
  QMenu* debug_ = nullptr;
  QMenu* trayMenu_ = nullptr;
  QSystemTrayIcon* tray_ = nullptr;
  std::function<bool()> trayAvailable_;
};

}  // namespace vantrel

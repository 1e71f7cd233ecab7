#include "ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>

#include "ui/elided_label.h"

namespace vantrel {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Twips at 96 dpi: 15 to a pixel.
int Twips(double twips) { return static_cast<int>(std::lround(twips / 15.0)); }

}  // namespace

MainWindow::MainWindow() {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Vantrel"));
  // The installed theme icon, else the one built in (a build tree has no theme).
  setWindowIcon(QIcon::fromTheme(QStringLiteral("vantrel"),
                                 QIcon(QStringLiteral(":/vantrel/vantrel-256.png"))));
  BuildMenus();
  BuildToolbar();
  BuildTrayMenu();

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  BuildList(central);
  // All 16 rows keep their place, shown or not, and share the list's height, so the
  // list fills the window at any size and a page of few reports keeps its shape.
  auto* list = new QFrame(central);
  list->setObjectName(QStringLiteral("ReportList"));
  list->setFrameShape(QFrame::StyledPanel);
  list->setBackgroundRole(QPalette::Base);
  list->setAutoFillBackground(true);
  auto* grid = new QGridLayout(list);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setVerticalSpacing(2);
  for (int j = 0; j < kListRows; ++j) {
    for (QWidget* w : std::initializer_list<QWidget*>{chkPrint_[j], labelPrint_[j], preview_[j]}) {
      QSizePolicy policy = w->sizePolicy();
      policy.setRetainSizeWhenHidden(true);
      w->setSizePolicy(policy);
    }
    grid->addWidget(chkPrint_[j], j, 0);
    grid->addWidget(labelPrint_[j], j, 1);
    grid->addWidget(preview_[j], j, 2);
    grid->setRowStretch(j, 1);
  }
  grid->setColumnStretch(1, 1);
  layout->addWidget(list, 1);

  exclamation_ = new QLabel(central);
  exclamation_->setObjectName(QStringLiteral("ExclamationImage"));
  exclamation_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(24, 24));
  resultNotLoaded_ = new QLabel(QStringLiteral("Result file has not been loaded"), central);
  resultNotLoaded_->setObjectName(QStringLiteral("ResultNotLoaded"));
  auto* warning = new QHBoxLayout;
  warning->addWidget(exclamation_);
  warning->addWidget(resultNotLoaded_);
  warning->addStretch(1);
  layout->addLayout(warning);

  editingFrame_ = new QGroupBox(central);
  editingFrame_->setObjectName(QStringLiteral("EditingFrame"));
  auto* editing = new QHBoxLayout(editingFrame_);
  reloadIni_ = new QPushButton(QStringLiteral("Re-load ini"), editingFrame_);
  reloadIni_->setObjectName(QStringLiteral("Command1"));
  command2_ = new QPushButton(QStringLiteral("Slots Off"), editingFrame_);
  command2_->setObjectName(QStringLiteral("Command2"));
  command2_->setToolTip(QStringLiteral("Show the report setup slots during the example plots."));
  auto* command3 = new QPushButton(QStringLiteral("Edit ini"), editingFrame_);
  command3->setObjectName(QStringLiteral("Command3"));
  editing->addWidget(reloadIni_);
  editing->addWidget(command2_);
  editing->addWidget(command3);
  editing->addStretch(1);
  editingFrame_->hide();
  layout->addWidget(editingFrame_);
  connect(reloadIni_, &QPushButton::clicked, this,
          [this] { Act([this] { model_->ReloadIni(); }); });
  connect(command2_, &QPushButton::clicked, this,
          [this] { Act([this] { model_->ToggleSlots(); }); });
  connect(command3, &QPushButton::clicked, this, [this] { Act([this] { model_->EditIni(); }); });

  cmdPrintJob_ = new QPushButton(QStringLiteral("P&rint"), central);
  cmdPrintJob_->setObjectName(QStringLiteral("CmdPrintJob"));
  cmdPrintJob_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  cmdPrintJob_->setEnabled(false);
  cmdClose_ = new QPushButton(QStringLiteral("&Close"), central);
  cmdClose_->setObjectName(QStringLiteral("CmdClose"));
  cmdClose_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdPrintJob_);
  buttons->addWidget(cmdClose_);
  layout->addLayout(buttons);
  connect(cmdPrintJob_, &QPushButton::clicked, this,
          [this] { Act([this] { model_->PrintCommand(true); }); });
  connect(cmdClose_, &QPushButton::clicked, this, [this] { Act([this] { close(); }); });

  setCentralWidget(central);
  BuildStatusBar();
  resize(640, 620);
}

MainWindow::~MainWindow() = default;

void MainWindow::Unbind() {
  if (model_) model_->RemoveObserver(this);
  model_ = nullptr;
}

template <typename F>
void MainWindow::Act(F&& action) {
  if (!model_) return;
  model_->KeepOnTop(false);
  action();
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("mnuFile"));
  const auto item = [&](const char* name, const char* caption) {
    QAction* action = file->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromUtf8(name));
    return action;
  };
  fileDataFile_ = item("FileDataFile", "Open &Result File");
  fileDefFile_ = item("FileDefFile", "Open New &Definition File");
  setDefaultPrinter_ = item("SetDefaultPrinter", "Set Default Printer");
  printInBackground_ = item("PrintInBackground", "Print in &background");
  printInBackground_->setCheckable(true);
  printSummaryReport_ = item("PrintSummaryReport", "Print Summary Report");
  printSummaryReport_->setCheckable(true);
  file->addSeparator();
  openNewInstance_ = item("mnuOpenNewInstance", "Open New Report Instance");
  editingFrameItem_ = item("mnuEditingFrame", "Show Editing Controls");
  editingFrameItem_->setCheckable(true);
  file->addSeparator();
  profiles_ = file->addMenu(QStringLiteral("Profiles"));
  profiles_->setObjectName(QStringLiteral("mnuProfiles"));
  for (int i = 0; i < kMaxProfiles; ++i) {
    QAction* profile = profiles_->addAction(QString());
    profile->setObjectName(QStringLiteral("mnuProfileData%1").arg(i));
    profile->setVisible(false);
    connect(profile, &QAction::triggered, this,
            [this, i] { Act([this, i] { model_->ApplyProfile(i); }); });
    profileItems_[i] = profile;
  }
  newProfileSep_ = profiles_->addSeparator();
  newProfileSep_->setObjectName(QStringLiteral("mnu_NewProfileSep"));
  newProfileSep_->setVisible(false);
  newProfile_ = profiles_->addAction(QStringLiteral("Add new profile..."));
  newProfile_->setObjectName(QStringLiteral("mnu_NewProfile"));
  file->addSeparator();
  about_ = item("FileAbout", "&About");
  fileExit_ = item("FileExit", "E&xit");

  // Their windows are not part of this one; whoever provides them enables them.
  setDefaultPrinter_->setEnabled(false);
  openNewInstance_->setEnabled(false);
  about_->setEnabled(false);

  debug_ = menuBar()->addMenu(QStringLiteral("Debug"));
  debug_->setObjectName(QStringLiteral("mnuDebug"));
  reloadCurrentIni_ = debug_->addAction(QStringLiteral("Re-load current ini file"));
  reloadCurrentIni_->setObjectName(QStringLiteral("mnuReloadCurrentIni"));
  debug_->menuAction()->setVisible(false);

  connect(fileDataFile_, &QAction::triggered, this,
          [this] { Act([this] { model_->ChooseDataFiles(); }); });
  connect(fileDefFile_, &QAction::triggered, this,
          [this] { Act([this] { model_->OpenDefinitionFile(); }); });
  connect(printInBackground_, &QAction::triggered, this,
          [this](bool on) { Act([this, on] { model_->SetBackground(on); }); });
  connect(printSummaryReport_, &QAction::triggered, this,
          [this](bool on) { Act([this, on] { model_->SetTestListFlag(on); }); });
  connect(editingFrameItem_, &QAction::triggered, this,
          [this] { Act([this] { model_->ToggleEditingFrame(); }); });
  connect(newProfile_, &QAction::triggered, this,
          [this] { Act([this] { model_->AddNewProfile(); }); });
  connect(fileExit_, &QAction::triggered, this, [this] { Act([this] { close(); }); });
  connect(reloadCurrentIni_, &QAction::triggered, this, [this] {
    if (model_) model_->ReloadCurrentIni();
  });
}

void MainWindow::BuildTrayMenu() {
  trayMenu_ = new QMenu(this);
  trayMenu_->setObjectName(QStringLiteral("mnuTrayPopup"));
  QAction* restore = trayMenu_->addAction(QStringLiteral("Restore main screen"));
  restore->setObjectName(QStringLiteral("mnuRestore"));
  QAction* cancel = trayMenu_->addAction(QStringLiteral("Cancel printout"));
  cancel->setObjectName(QStringLiteral("mnuCancel"));
  // The tray's items act at once; they never touch the topmost state.
  connect(restore, &QAction::triggered, this, [this] {
    if (model_) model_->RestoreMainScreen();
  });
  connect(cancel, &QAction::triggered, this, [this] {
    if (model_) model_->CancelPrintout();
  });
}

void MainWindow::BuildToolbar() {
  tbar_ = addToolBar(QStringLiteral("tbar"));
  tbar_->setObjectName(QStringLiteral("tbar"));
  tbar_->setMovable(false);
  tbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  select_ = tbar_->addAction(style()->standardIcon(QStyle::SP_DialogApplyButton),
                             QStringLiteral("Select"));
  select_->setObjectName(QStringLiteral("Select"));
  select_->setToolTip(QStringLiteral("Select All"));
  prev_ = tbar_->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Previous"));
  prev_->setObjectName(QStringLiteral("Prev"));
  prev_->setToolTip(QStringLiteral("Previous page of reports"));
  prev_->setEnabled(false);
  next_ = tbar_->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Next"));
  next_->setObjectName(QStringLiteral("Next"));
  next_->setToolTip(QStringLiteral("Next page of reports"));
  next_->setEnabled(false);
  connect(select_, &QAction::triggered, this,
          [this] { Act([this] { model_->ToggleSelectAll(); }); });
  connect(prev_, &QAction::triggered, this, [this] { Act([this] { model_->PrevReportPage(); }); });
  connect(next_, &QAction::triggered, this, [this] { Act([this] { model_->NextReportPage(); }); });
}

void MainWindow::BuildList(QWidget* parent) {
  const QIcon magnifier = style()->standardIcon(QStyle::SP_FileDialogContentsView);
  for (int j = 0; j < kListRows; ++j) {
    auto* check = new QCheckBox(parent);
    check->setObjectName(QStringLiteral("ChkPrint%1").arg(j));
    check->hide();
    // clicked, not toggled: only the operator's click writes the flag.
    connect(check, &QCheckBox::clicked, this, [this, j](bool on) {
      if (model_) model_->SetRowChecked(j, on);
    });
    // Cut to the row's width: a long title must not push the window off the screen.
    auto* label = new ElidedLabel(parent);
    label->setObjectName(QStringLiteral("LabelPrint%1").arg(j));
    label->setTextFormat(Qt::PlainText);
    label->hide();
    label->setBuddy(check);
    auto* preview = new QPushButton(QStringLiteral(" "), parent);
    preview->setObjectName(QStringLiteral("newCmdPreview%1").arg(j));
    preview->setToolTip(QStringLiteral("Print Preview"));
    preview->setIcon(magnifier);
    preview->setFixedWidth(preview->sizeHint().height() + 12);
    preview->hide();
    connect(preview, &QPushButton::clicked, this, [this, j] {
      Act([this, j] {
        const int report = model_->RowReport(j);
        if (report >= 0) Q_EMIT PreviewRequested(report);
      });
    });
    chkPrint_[j] = check;
    labelPrint_[j] = label;
    preview_[j] = preview;
  }
}

void MainWindow::BuildStatusBar() {
  statusBar_ = new QStatusBar(this);
  statusBar_->setObjectName(QStringLiteral("StatusBar"));
  statusBar_->setSizeGripEnabled(false);
  panel1_ = new QLabel(statusBar_);
  panel1_->setObjectName(QStringLiteral("StatusPanel1"));
  panel2_ = new QLabel(statusBar_);
  panel2_->setObjectName(QStringLiteral("StatusPanel2"));
  // Placed by hand, not by the status bar's layout: their widths follow the window's
  // and must never make the window wider.
  panel1_->setFrameShape(QFrame::StyledPanel);
  panel1_->setFrameShadow(QFrame::Sunken);
  panel2_->setFrameShape(QFrame::StyledPanel);
  panel2_->setFrameShadow(QFrame::Sunken);
  panel1_->setIndent(4);
  statusBar_->setMinimumHeight(fontMetrics().height() + 10);
  progBar_ = new QProgressBar(statusBar_);
  progBar_->setObjectName(QStringLiteral("ProgBar"));
  progBar_->setTextVisible(false);
  progBar_->setValue(0);
  panel1_->installEventFilter(this);
  panel2_->installEventFilter(this);
  statusBar_->installEventFilter(this);
  setStatusBar(statusBar_);
}

void MainWindow::PlaceStatusPanels() {
  const int twips = width() * 15;
  const int panel1 = Twips(0.75 * twips);
  const int height = statusBar_->height();
  panel1_->setGeometry(0, 0, panel1, height);
  panel2_->setGeometry(panel1, 0, Twips(0.25 * twips), height);
  // Over panel 2, inset as the twip measures put it.
  progBar_->setGeometry(panel1 + Twips(60), Twips(45), std::max(0, Twips(0.25 * twips - 165)),
                        std::max(4, height - 2 * Twips(45)));
  progBar_->raise();
}

void MainWindow::Bind(MainWindowModel& model) {
  model_ = &model;
  model.AddObserver(this);
  ModelChanged(ModelChange::Rows);
  ModelChanged(ModelChange::Buttons);
  ModelChanged(ModelChange::Flags);
  ModelChanged(ModelChange::Status);
  ModelChanged(ModelChange::Progress);
}

void MainWindow::ModelChanged(ModelChange what) {
  if (!model_) return;
  switch (what) {
    case ModelChange::Rows:
      RefreshRows();
      break;
    case ModelChange::Status:
      RefreshStatus();
      break;
    case ModelChange::Progress:
      RefreshProgress();
      RefreshStatus();  // a wait's seconds come as progress
      break;
    case ModelChange::Buttons:
      RefreshButtons();
      break;
    case ModelChange::Printing:
      RefreshButtons();
      RefreshProgress();
      break;
    case ModelChange::Flags:
      RefreshMenus();
      break;
    case ModelChange::Tray:
      RefreshTray();
      break;
  }
}

void MainWindow::RefreshRows() {
  const auto& rows = model_->Rows();
  for (int j = 0; j < kListRows; ++j) {
    const ReportRow& row = rows[j];
    chkPrint_[j]->setChecked(row.Checked);
    chkPrint_[j]->setVisible(row.Visible);
    // The label is the check box's buddy, so it reads "&" as an access key; the
    // doubled "&&" of the caption shows the title's "&" once.
    labelPrint_[j]->setText(Q(row.Caption));
    labelPrint_[j]->setToolTip(Q(row.ToolTip));
    labelPrint_[j]->setVisible(row.Visible);
    chkPrint_[j]->setAccessibleName(Q(row.ToolTip));
    preview_[j]->setVisible(row.Visible);
  }
  const SelectButtonState& select = model_->SelectButton();
  select_->setText(Q(select.Caption));
  select_->setToolTip(Q(select.ToolTip));
  select_->setIcon(style()->standardIcon(select.Image == 1 ? QStyle::SP_DialogResetButton
                                                           : QStyle::SP_DialogApplyButton));
  prev_->setEnabled(model_->PrevEnabled());
  next_->setEnabled(model_->NextEnabled());
}

void MainWindow::RefreshButtons() {
  const bool preview = model_->PreviewButtonsEnabled();
  for (QPushButton* button : preview_) button->setEnabled(preview);
  cmdPrintJob_->setEnabled(model_->PrintEnabled());
  const bool files = model_->FileCommandsEnabled();
  fileDataFile_->setEnabled(files);
  fileDefFile_->setEnabled(files);
  // Close and Exit stay on during a run: they are its way out, and ask first.
  reloadIni_->setEnabled(files);
  reloadCurrentIni_->setEnabled(files);
  // While the preview draws from this window's data, the window takes no command.
  const bool free = !model_->PreviewBusy();
  if (centralWidget() != nullptr) centralWidget()->setEnabled(free);
  menuBar()->setEnabled(free);
  tbar_->setEnabled(free);
  exclamation_->setVisible(model_->ResultNotLoadedShown());
  resultNotLoaded_->setVisible(model_->ResultNotLoadedShown());
}

void MainWindow::RefreshMenus() {
  printInBackground_->setChecked(model_->Background());
  printSummaryReport_->setVisible(model_->SummaryMenuVisible());
  printSummaryReport_->setChecked(model_->TestListFlag());
  editingFrameItem_->setChecked(model_->EditingFrameVisible());
  editingFrame_->setVisible(model_->EditingFrameVisible());
  command2_->setText(Q(model_->SlotsCaption()));
  debug_->menuAction()->setVisible(model_->DebugMenuVisible());
  const auto& items = model_->ProfileMenu();
  for (int i = 0; i < kMaxProfiles; ++i) {
    // Profile names are not access keys either.
    profileItems_[i]->setText(Q(EscapeAmpersands(items[i].Caption)));
    profileItems_[i]->setVisible(items[i].Visible);
  }
  newProfileSep_->setVisible(model_->ProfileSeparatorVisible());
}

void MainWindow::RefreshStatus() { panel1_->setText(Q(model_->StatusLine())); }

void MainWindow::RefreshProgress() {
  progBar_->setMaximum(std::max(1, model_->ProgressMax()));
  progBar_->setValue(std::clamp(model_->ProgressValue(), 0, progBar_->maximum()));
  // An empty bar at rest reads as a text field; it shows while there is progress.
  progBar_->setVisible(model_->ProgressValue() > 0 || model_->PrintingFlag());
}

bool MainWindow::TrayAvailable() const {
  return trayAvailable_ ? trayAvailable_() : QSystemTrayIcon::isSystemTrayAvailable();
}

void MainWindow::RefreshTray() {
  const bool shown = model_->TrayIconShown() && TrayAvailable();
  if (!shown) {
    if (tray_) tray_->hide();
    return;
  }
  if (!tray_) {
    tray_ = new QSystemTrayIcon(windowIcon(), this);
    tray_->setObjectName(QStringLiteral("TrayIcon"));
    tray_->setContextMenu(trayMenu_);
    // The left button brings the menu up as well as the right.
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
              if (reason == QSystemTrayIcon::Trigger) trayMenu_->popup(QCursor::pos());
            });
  }
  tray_->setToolTip(Q(model_->TrayTip()));
  tray_->show();
}

void MainWindow::Yield() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void MainWindow::Pump(int maxMs) {
  if (maxMs <= 0) {
    Yield();
    return;
  }
  // Sleeps until an event or the timer comes, instead of spinning. Not a local
  // QEventLoop: once the program is quitting, its exec() returns at once, which made
  // a wait spin and pile up timers.
  QElapsedTimer clock;
  clock.start();
  QTimer wake;  // its own, so that a Pump nested in this one cannot stop it
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  do {
    // A timer may fire a little early; the wait is never left without one.
    if (!wake.isActive()) wake.start(std::max<int>(1, maxMs - static_cast<int>(clock.elapsed())));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  } while (!clock.hasExpired(maxMs));
}

void MainWindow::ShowWindow() {
  if (isMinimized())
    showNormal();
  else
    show();
  PlaceStatusPanels();
}

void MainWindow::SetTopmost(bool on) {
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
  const bool visible = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  // Changing a window flag hides the window.
  if (visible) show();
}

void MainWindow::SetCaption(const std::string& caption) { setWindowTitle(Q(caption)); }

bool MainWindow::IsWindowVisible() const { return isVisible(); }

bool MainWindow::OpenWithDesktop(const std::string& path) {
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)))) return true;
  // Without a desktop session's services (no display, say) the desktop's own opener
  // still knows the handler; started directly, never through a shell.
  return QProcess::startDetached(QStringLiteral("xdg-open"), {Q(path)});
}

void MainWindow::Quit() { QCoreApplication::quit(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closed_) {
    event->accept();
    return;
  }
  if (model_ && !model_->ConfirmClose()) {
    event->ignore();
    return;
  }
  closed_ = true;
  if (tray_) tray_->hide();
  hide();
  Yield();
  if (model_) model_->ReleaseData();
  Yield();
  event->accept();
  Quit();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  PlaceStatusPanels();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == statusBar_ && event->type() == QEvent::Resize) PlaceStatusPanels();
  if (event->type() == QEvent::MouseButtonDblClick &&
      (watched == statusBar_ || watched == panel1_ || watched == panel2_)) {
    if (model_) model_->ToggleDebugMenu();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
  if (model_) model_->KeepOnTop(false);
  QMainWindow::mousePressEvent(event);
}

}  // namespace vantrel

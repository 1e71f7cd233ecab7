#pragma once
// frmMain without widgets: the paged report list, the select button, the file and
// profile commands, closing and the start-up sequence. The Qt window binds to it and
// forwards its clicks here; tests drive it without a display.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "definitions/file_dialog.h"
#include "model/main_window_host.h"
#include "model/print_run.h"
#include "model/window_model.h"
#include "render/objdata_source.h"
#include "results/obj_data.h"
#include "support/prompter.h"

namespace vantrel {

inline constexpr int kListRows = 16;

/// One row of the list: check box, label and preview button share visibility.
struct ReportRow {
  bool Visible = false;
  bool Checked = false;
  std::string Caption;  // the title with "&" doubled, so it is no access key
  std::string ToolTip;  // the title as it is
};

/// The toolbar button keyed "Select".
struct SelectButtonState {
  std::string Caption = "Select";
  std::string ToolTip = "Select All";
  int Image = 2;
};

struct ProfileMenuItem {
  bool Visible = false;
  std::string Caption;
};

/// How start-up ended: the window runs, or the program ends at once.
enum class StartupOutcome { Running, Cancelled, Failed };

class MainWindowModel : public WindowModel {
 public:
  /// Stands in for the print run (tests of what calls it).
  using PrintCommandFn = std::function<void(bool endOfJob)>;

  MainWindowModel(ProgramState& state, Prompter& prompter, FileDialog& dialog,
                  MainWindowHost& host);
  ~MainWindowModel();

  Prompter& Ask() { return prompter_; }
  MainWindowHost& Host() { return host_; }
  /// The test-data object, created on first use.
  ObjData& Data();
  bool HasData() const { return data_ != nullptr; }
  /// Removes the data file's temporary copy; the next Data() starts afresh. Not while
  /// a run is printing from it: then the program's end removes it.
  void ReleaseData();
  /// The print run of this window, over the data object.
  PrintRun& Printing();
  /// What report production draws with: the definitions and the data object.
  RenderContext& Rendering();
  /// The paper of the printer the next job goes to, which the preview draws on too.
  PaperSize PrinterPaper() const;
  /// The preview's Print: that report alone in a job of its own.
  void PrintPreviewed(int reportIndex);
  /// The printer of the next job: "" the user's default, kBuiltInPdfPrinter the
  /// built-in PDF printer.
  void SetPrinterName(std::string name);
  /// What the last print command or run gave.
  const PrintRunResult& LastPrint() const { return lastPrint_; }
  void UsePrintCommand(PrintCommandFn print) { print_ = std::move(print); }
  /// Folder for the data file's temporary copies.
  void UseTempFolder(std::string folder) { tempFolder_ = std::move(folder); }

  // --- start-up -----------------------------------------------------------------
  /// The whole start-up sequence for one command line. Cancelled or Failed (the
  /// definition file could not be read, which was said) end the program at once.
  StartupOutcome Startup(const std::string& commandLine);
  bool StartupInProgress() const { return startup_; }
  /// Makes the window topmost or not when TOPWINDOW allows it.
  void KeepOnTop(bool on);

  // --- the list -------------------------------------------------------------------
  void Init_Form();
  void UpdateButtons();
  void ResetReportSelection();
  void ShowSelectState();
  void ShowDeselectState();
  void NextReportPage();
  void PrevReportPage();
  void ToggleSelectAll();
  /// A click on row's check box.
  void SetRowChecked(int row, bool checked);
  /// A report's title with TEST_DESCRIPTION filled from the loaded result file.
  std::string ShownTitle(int report) const;
  /// 0-based report index shown in row, or -1 when the row shows none.
  int RowReport(int row) const;

  int ListPageStart() const { return listPageStart_; }
  int ReportCount() const;
  const std::array<ReportRow, kListRows>& Rows() const { return rows_; }
  const SelectButtonState& SelectButton() const { return select_; }
  bool PrevEnabled() const { return prevEnabled_; }
  bool NextEnabled() const { return nextEnabled_; }
  /// ExclamationImage and ResultNotLoaded.
  bool ResultNotLoadedShown() const { return resultNotLoaded_; }

  // --- files ------------------------------------------------------------------------
  bool LoadDataFile(const std::string& path);
  void LoadDefinitionFile(const std::string& path);
  /// "Open &Result File": one file is loaded, several are printed in turn.
  void ChooseDataFiles();
  /// "Open New &Definition File".
  void OpenDefinitionFile();
  /// "Re-load ini".
  void ReloadIni();
  /// "Re-load current ini file" of the Debug menu.
  void ReloadCurrentIni();
  /// "Edit ini": the definition file in the desktop's editor for it.
  void EditIni();
  /// "Slots Off" / "Slots On".
  void ToggleSlots();
  std::string SlotsCaption() const { return SlotsFlag() ? "Slots On" : "Slots Off"; }
  /// "P&rint" and the multi-result loop.
  void PrintCommand(bool endOfJob);
  /// The run itself, as AUTOPRINT starts it.
  void PrintReports(bool endOfJob, bool stayOpen);

  // --- menus ------------------------------------------------------------------------
  bool SummaryMenuVisible() const { return summaryMenu_; }
  bool EditingFrameVisible() const { return editingFrame_; }
  void ToggleEditingFrame();
  bool DebugMenuVisible() const { return debugMenu_; }
  void ToggleDebugMenu();

  // --- profiles ---------------------------------------------------------------------
  void SetupProfiles();
  void ApplyProfile(int index);
  /// AUTOPROFILE: applies the first profile whose name, as a pattern, matches value.
  void CheckProfile(const std::string& value);
  /// "Add new profile...".
  void AddNewProfile();
  const std::array<ProfileMenuItem, kMaxProfiles>& ProfileMenu() const { return profileMenu_; }
  bool ProfileSeparatorVisible() const { return profileSeparator_; }

  // --- background printing -------------------------------------------------------
  /// TrayIconShown: the icon is up, with TrayTip.
  bool TrayIconShown() const { return trayIconShown_; }
  const std::string& TrayTip() const { return trayTip_; }
  /// The icon with "Vantrel - Printing..."; nothing when it is up already.
  void AddTrayIcon();
  /// "Vantrel - " + text, only while the icon is up.
  void SetTrayTip(const std::string& text);
  /// A background run starts: the icon comes up and the window goes out of sight.
  void EnterBackground();
  /// "Restore main screen": the window comes back and stays after the run.
  void RestoreMainScreen();
  /// "Cancel printout": closes the window, which asks first while printing.
  void CancelPrintout();

  // --- closing ----------------------------------------------------------------------
  /// Asks first while printing; false when the operator keeps the program open.
  bool ConfirmClose();
  /// Set when a close was confirmed during a run: the run stops at its next yield.
  bool CancelRequested() const { return cancelRequested_; }
  /// Yes to "close the report software?": the window closes without another question.
  void EndProgram() override;
  bool Quitting() const { return quitting_; }
  void ClearCancelRequest() { cancelRequested_ = false; }

 private:
  // True, after telling the user, while a printout or the preview reads the loaded files.
  bool RefuseWhileBusy();
  class DataHostAdapter;
  class PrintHostAdapter;
  /// Ends a job that earlier results left open, printing nothing more into it.
  void EndOpenJob();
  /// What a run's end asks of the window: to end the program after a fault.
  void AfterRun();
  void FillProfileMenu();
  void AskAndAddProfile();
  /// With showProgress, the progress bar follows the report titles while the window is up.
  void LoadAndReadSettings(const std::string& path, const std::string& reportList,
                           bool showProgress = false);
  void SetResultLoaded(bool loaded);
  std::vector<std::string> SplitChosenFiles(const std::string& chosen) const;

  ProgramState& program_;
  Prompter& prompter_;
  FileDialog& dialog_;
  MainWindowHost& host_;
  std::unique_ptr<DataHostAdapter> dataHost_;
  std::unique_ptr<ObjData> data_;
  std::unique_ptr<ObjDataSource> source_;
  std::unique_ptr<RenderContext> context_;
  std::unique_ptr<PrintHostAdapter> printHost_;
  std::unique_ptr<PrintRun> printRun_;
  std::string printerName_;
  PrintRunResult lastPrint_;
  std::string tempFolder_ = "/tmp";
  PrintCommandFn print_;

  bool startup_ = false;
  int listPageStart_ = 1;
  std::array<ReportRow, kListRows> rows_{};
  SelectButtonState select_;
  bool prevEnabled_ = false;
  bool nextEnabled_ = false;
  bool resultNotLoaded_ = true;
  bool summaryMenu_ = false;
  bool editingFrame_ = false;
  bool debugMenu_ = false;
  std::array<ProfileMenuItem, kMaxProfiles> profileMenu_{};
  bool profileSeparator_ = false;
  bool cancelRequested_ = false;
  bool quitting_ = false;
  bool multiRun_ = false;  // the multi-result loop prints one result after another
  bool trayIconShown_ = false;
  std::string trayTip_;
};

/// "&" doubled, so that a label shows it instead of reading an access key.
std::string EscapeAmpersands(const std::string& text);

}  // namespace vantrel

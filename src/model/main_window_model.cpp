#include <algorithm>

#include "model/main_window_adapters.h"
#include "support/text.h"

namespace vantrel {

MainWindowModel::MainWindowModel(ProgramState& state, Prompter& prompter, FileDialog& dialog,
                                 MainWindowHost& host)
    : WindowModel(state),
      program_(state),
      prompter_(prompter),
      dialog_(dialog),
      host_(host),
      dataHost_(std::make_unique<DataHostAdapter>(*this)) {}

MainWindowModel::~MainWindowModel() = default;

ObjData& MainWindowModel::Data() {
  if (!data_) {
    data_ = std::make_unique<ObjData>(State(), prompter_, *dataHost_);
    data_->UseTempFolder(tempFolder_);
  }
  return *data_;
}

std::string MainWindowModel::ShownTitle(int report) const {
  const std::string& title = program_.Reports[report].Title;
  // The placeholder is filled as the printed page fills it, once a result says how.
  if (!data_ || data_->TestDescription().empty()) return title;
  return ReplaceAll(title, "TEST_DESCRIPTION", data_->TestDescription());
}

std::string EscapeAmpersands(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

int MainWindowModel::ReportCount() const {
  return std::clamp<int>(program_.Ini.NumReports, 0, kMaxReports);
}

void MainWindowModel::KeepOnTop(bool on) {
  if (State().Settings.TopWindow) host_.SetTopmost(on);
}

void MainWindowModel::Init_Form() {
  ResetReportSelection();
  SetupProfiles();
}

void MainWindowModel::ResetReportSelection() {
  listPageStart_ = 1;
  SetPrintingFlag(false);
  bool allSelected = true;
  const int count = ReportCount();
  ReportSelection& selection = Selection();
  for (int i = 0; i < kMaxReports; ++i) {
    selection[i] = false;
    if (i < count) {
      selection[i] = State().Reports[i].Selected;
      if (!selection[i]) allSelected = false;
    }
  }
  if (allSelected) {
    ShowDeselectState();
  } else {
    ShowSelectState();
  }
  nextEnabled_ = count > kListRows;
  prevEnabled_ = false;
  UpdateButtons();
}

void MainWindowModel::ShowSelectState() {
  select_ = {"Select", "Select All", 2};
  Notify(ModelChange::Rows);
}

void MainWindowModel::ShowDeselectState() {
  select_ = {"De-Select", "De-select All", 1};
  Notify(ModelChange::Rows);
}

int MainWindowModel::RowReport(int row) const {
  if (row < 0 || row >= kListRows) return -1;
  const int r = listPageStart_ - 1 + row;
  return r < ReportCount() ? r : -1;
}

void MainWindowModel::UpdateButtons() {
  const int count = ReportCount();
  for (int j = 0; j < kListRows; ++j) {
    const int r = listPageStart_ - 1 + j;
    ReportRow& row = rows_[j];
    row.Checked = r >= 0 && r < kReportSlots && Selection()[r];
    if (r >= 0 && r < count) {
      const std::string title = ShownTitle(r);
      row.Caption = EscapeAmpersands(title);
      row.ToolTip = title;
      row.Visible = true;
    } else {
      row.Visible = false;
    }
  }
  Notify(ModelChange::Rows);
}

void MainWindowModel::SetRowChecked(int row, bool checked) {
  if (row < 0 || row >= kListRows) return;
  const int r = listPageStart_ - 1 + row;
  if (r < 0 || r >= kMaxReports) return;
  Selection()[r] = checked;
  rows_[row].Checked = checked;
  Notify(ModelChange::Rows);
}

void MainWindowModel::NextReportPage() {
  // The toolbar disables the button; a stray call must not leave the list.
  if (listPageStart_ + kListRows > ReportCount()) return;
  listPageStart_ += kListRows;
  prevEnabled_ = true;
  if (ReportCount() < listPageStart_ + kListRows) nextEnabled_ = false;
  UpdateButtons();
}

void MainWindowModel::PrevReportPage() {
  if (listPageStart_ <= 1) return;
  listPageStart_ -= kListRows;
  nextEnabled_ = true;
  if (listPageStart_ == 1) prevEnabled_ = false;
  UpdateButtons();
}

void MainWindowModel::ToggleSelectAll() {
  const bool select = select_.Caption == "Select";
  const int count = std::min(ReportCount(), kMaxReports);
  for (int i = 0; i < count; ++i) Selection()[i] = select;
  if (select) {
    ShowDeselectState();
  } else {
    ShowSelectState();
  }
  UpdateButtons();
}

void MainWindowModel::ToggleSlots() { SetSlotsFlag(!SlotsFlag()); }

void MainWindowModel::ToggleEditingFrame() {
  editingFrame_ = !editingFrame_;
  Notify(ModelChange::Flags);
}

void MainWindowModel::ToggleDebugMenu() {
  debugMenu_ = !debugMenu_;
  Notify(ModelChange::Flags);
}

bool MainWindowModel::ConfirmClose() {
  if (quitting_) return true;
  // Between two results of the multi-result loop, or with their job still open, the
  // printout is as much under way as during a report.
  if (PrintingFlag() || multiRun_ || (printRun_ && printRun_->JobOpen())) {
    const PromptAnswer answer = prompter_.Message(
        "The reports are still printing, closing will cancel the current printout.\r\r"
        "Are you sure you want to close the report software?",
        "Custom Report Software", PromptIcon::Question, PromptButtons::YesNo);
    if (answer != PromptAnswer::Yes) return false;
    cancelRequested_ = true;
  }
  // A preview being drawn is no printout: it stops without a question.
  if (PreviewBusy()) cancelRequested_ = true;
  return true;
}

}  // namespace vantrel

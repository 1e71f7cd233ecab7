// The window's file commands: result files, definition files, the editing aids.

#include <filesystem>

#include "definitions/ini_chooser.h"
#include "definitions/ini_store.h"
#include "definitions/profiles.h"
#include "definitions/settings_reader.h"
#include "model/main_window_model.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

// The text before the last "." of the file's own name.
std::string StripExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

}  // namespace

bool MainWindowModel::RefuseWhileBusy() {
  if (!PrintingFlag() && !PreviewBusy()) return false;
  // Loading now would change the files under the pages being made, or free them.
  prompter_.Tell(
      "The reports are still printing. Load another file when the printout is done, "
      "or cancel it first.",
      "Custom Report Software", PromptIcon::Exclamation);
  return true;
}

bool MainWindowModel::LoadDataFile(const std::string& path) {
  EnableButtons(false);
  SetStatusText("Reading Data...");
  SetProgress(0);
  host_.Yield();
  program_.DataFilePath = path;
  const bool loaded = !path.empty() && Data().SetFile(path);
  SetResultLoaded(loaded);
  UpdateButtons();
  SetStatusText(loaded ? "" : "No test data found in the data file.");
  EnableButtons(true);
  SetProgress(0);
  return loaded;
}

void MainWindowModel::SetResultLoaded(bool loaded) {
  resultNotLoaded_ = !loaded;
  SetPrintEnabled(loaded);
  Notify(ModelChange::Buttons);
}

void MainWindowModel::LoadAndReadSettings(const std::string& path, const std::string& reportList,
                                          bool showProgress) {
  program_.DefinitionPath = path;
  ProgressSink progress;
  if (showProgress && host_.IsWindowVisible()) {
    progress = [this](int value, int maximum) {
      SetProgressMax(maximum);
      SetProgress(value);
    };
  }
  ReadSettings(program_, prompter_, reportList, progress);
  FindLogoBeside(program_.Settings, path);
}

void MainWindowModel::LoadDefinitionFile(const std::string& path) {
  const std::string status = StatusText();
  SetStatusText("Reading New Definition File");
  EnableButtons(false);
  // An unreadable file was reported by the loader; the loaded definitions stay.
  if (LoadIni(path, program_.Ini, prompter_)) {
    LoadAndReadSettings(path, "", true);
    ResetReportSelection();
    SetupProfiles();
  }
  EnableButtons(true);
  SetProgress(0);
  SetStatusText(status);
}

void MainWindowModel::ReloadCurrentIni() {
  if (RefuseWhileBusy()) return;
  const std::string status = StatusText();
  SetStatusText("Re-loading current Definition File");
  EnableButtons(false);
  if (LoadIni(program_.DefinitionPath, program_.Ini, prompter_)) {
    LoadAndReadSettings(program_.DefinitionPath, "", true);
    ResetReportSelection();
  }
  EnableButtons(true);
  SetProgress(0);
  SetStatusText(status);
}

void MainWindowModel::OpenDefinitionFile() {
  if (RefuseWhileBusy()) return;
  const std::string folder = fs::path(ExecutablePath()).parent_path().string();
  const std::string path =
      dialog_.Show("Please select an ini file to open", FileDialogMode::Select, folder, "ini");
  if (path.empty()) return;
  LoadDefinitionFile(path);
  if (!program_.DataFilePath.empty()) LoadDataFile(program_.DataFilePath);
}

void MainWindowModel::ReloadIni() {
  if (RefuseWhileBusy()) return;
  LoadDefinitionFile(program_.DefinitionPath);
  if (!program_.DataFilePath.empty()) LoadDataFile(program_.DataFilePath);
}

void MainWindowModel::EditIni() {
  if (program_.DefinitionPath.empty()) return;
  if (!host_.OpenWithDesktop(program_.DefinitionPath)) {
    prompter_.Tell("No program is set up to open " + program_.DefinitionPath + ".", "Edit ini",
                   PromptIcon::Exclamation);
  }
}

std::vector<std::string> MainWindowModel::SplitChosenFiles(const std::string& chosen) const {
  if (chosen.find('\0') == std::string::npos) return {chosen};
  std::vector<std::string> parts;
  std::size_t from = 0;
  while (from <= chosen.size()) {
    const std::size_t nul = chosen.find('\0', from);
    parts.push_back(chosen.substr(from, nul == std::string::npos ? std::string::npos : nul - from));
    if (nul == std::string::npos) break;
    from = nul + 1;
  }
  std::string folder = parts.front();
  if (folder.empty() || folder.back() != '/') folder += '/';
  std::vector<std::string> paths;
  for (std::size_t i = 1; i < parts.size(); ++i) {
    if (!parts[i].empty()) paths.push_back(folder + parts[i]);
  }
  return paths;
}

void MainWindowModel::ChooseDataFiles() {
  if (RefuseWhileBusy()) return;
  const std::string chosen = dialog_.Show("Select Results", FileDialogMode::SelectMulti, "", "");
  if (chosen.empty()) return;
  const std::vector<std::string> paths = SplitChosenFiles(chosen);
  if (paths.empty()) return;
  if (paths.size() == 1) {
    LoadDataFile(paths.front());
    return;
  }
  SetBackground(false);
  const PromptAnswer answer = prompter_.Message(
      std::to_string(paths.size()) +
          " results are about to be printed.\r\rWould you like to print these as separate "
          "print-outs?\r\r(Select YES, to print separately, or NO, as one print-out)",
      "Multiple Results", PromptIcon::Question, PromptButtons::YesNoCancel);
  if (answer == PromptAnswer::Cancel) return;
  bool separate = answer == PromptAnswer::Yes;
  multiRun_ = true;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    program_.Settings.AppName = FileNameOf(StripExtension(paths[i]));
    const bool loaded = LoadDataFile(paths[i]);
    host_.Yield();
    if (i + 1 == paths.size()) separate = true;
    // A refused file leaves the one before it loaded: printing then would print that
    // one again under this one's name.
    if (loaded) {
      PrintCommand(separate);
    } else if (i + 1 == paths.size()) {
      EndOpenJob();
    }
    host_.Yield();
    // Closing the window stops the loop, and a printer that refused one job would
    // refuse the next ones too.
    if (CancelRequested() || lastPrint_.Quit || !lastPrint_.PrinterError.empty()) break;
  }
  multiRun_ = false;
  // Stopped between two results: the pages of the earlier ones are not sent in part.
  if (CancelRequested() && printRun_) printRun_->DropOpenJob();
}

}  // namespace vantrel

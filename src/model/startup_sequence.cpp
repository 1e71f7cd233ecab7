// From the command line to a shown window with its data file loaded.

#include <filesystem>

#include "definitions/ini_chooser.h"
#include "definitions/ini_store.h"
#include "model/main_window_model.h"
#include "startup/command_line.h"

namespace vantrel {

namespace {

// Missing and unnamed data files, and folders, are not loaded and not complained about.
bool NamesAFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::exists(path, ec) &&
         !std::filesystem::is_directory(path, ec);
}

}  // namespace

StartupOutcome MainWindowModel::Startup(const std::string& commandLine) {
  Data();
  host_.Yield();
  const CommandLine line = SplitCommandLine(commandLine);

  std::string definition = line.DefinitionFile;
  if (definition.empty()) {
    definition = ChooseIniFile(dialog_);
    if (definition.empty()) return StartupOutcome::Cancelled;
  }
  program_.DefinitionPath = definition;
  // The loader has said which file and why; there is nothing to show without it.
  if (!LoadIni(definition, program_.Ini, prompter_)) return StartupOutcome::Failed;
  LoadAndReadSettings(definition, line.ReportList);

  Init_Form();
  startup_ = true;
  EnableButtons(false);
  summaryMenu_ = program_.Settings.TestSummary;
  SetTestListFlag(program_.Settings.TestSummary);
  host_.SetCaption("Vantrel");
  host_.ShowWindow();
  KeepOnTop(true);

  bool loaded = false;
  if (NamesAFile(line.DataFile)) {
    program_.DataFilePath = line.DataFile;
    loaded = Data().SetFile(line.DataFile);
  }
  // Said before printing: during the run the window must not claim there is no result.
  SetResultLoaded(loaded);
  if (loaded && program_.Settings.AutoPrint) PrintReports(true, false);
  UpdateButtons();
  SetStatusText("");
  EnableButtons(true);
  host_.Yield();
  SetProgress(0);
  startup_ = false;
  return StartupOutcome::Running;
}

}  // namespace vantrel

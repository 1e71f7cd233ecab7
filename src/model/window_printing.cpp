// The window's side of the print run: the same PrintRun the batch tool drives, with a
// host that keeps the window's events running and opens the finished PDF.

#include <algorithm>

#include "model/main_window_adapters.h"
#include "testlist/test_list_printer.h"

namespace vantrel {

PrintRun& MainWindowModel::Printing() {
  if (!printRun_) {
    source_ = std::make_unique<ObjDataSource>(Data());
    context_ = std::make_unique<RenderContext>(RenderContext{
        .State = program_, .Data = *source_, .Ask = prompter_, .SlotsFlag = SlotsFlag()});
    UseDefinitionColours(*context_);
    printHost_ = std::make_unique<PrintHostAdapter>(*this);
    printRun_ = std::make_unique<PrintRun>(*this, *context_, *printHost_);
    printRun_->SetPrinter(printerName_);
    // A zipped result is read through its unpacked copy, never the archive itself.
    printRun_->SetTestListPrinter(
        [this](const std::string& file, PageTarget& target, JobPageState& job) {
          const std::string& copy = data_ ? data_->TempPath() : file;
          return PrintTestList(copy.empty() ? file : copy, program_.Settings, target, job,
                               prompter_, PrintFontMetrics());
        });
  }
  return *printRun_;
}

RenderContext& MainWindowModel::Rendering() {
  Printing();
  context_->SlotsFlag = SlotsFlag();
  return *context_;
}

PaperSize MainWindowModel::PrinterPaper() const {
  // Opening a printer only looks it up; no job is started.
  const PrinterChoice choice = OpenPrinter(printerName_, tempFolder_);
  return choice.Printer ? choice.Printer->Paper() : PaperSize{};
}

void MainWindowModel::PrintPreviewed(int reportIndex) {
  if (RunUnderWay()) return;
  PrintRun& run = Printing();
  context_->SlotsFlag = SlotsFlag();
  lastPrint_ = run.PrintSingleReport(reportIndex);
  AfterRun();
}

void MainWindowModel::AfterRun() {
  if (lastPrint_.Quit) EndProgram();
}

void MainWindowModel::EndProgram() {
  if (quitting_) return;
  quitting_ = true;
  cancelRequested_ = true;
  host_.CloseWindow();
}

void MainWindowModel::SetPrinterName(std::string name) {
  printerName_ = std::move(name);
  if (printRun_) printRun_->SetPrinter(printerName_);
}

void MainWindowModel::ReleaseData() {
  // A run, the multi-result loop or the preview still stands on these (a job left
  // open among them); they go with the program.
  if (PrintingFlag() || PreviewBusy() || multiRun_ || (printRun_ && printRun_->JobOpen())) return;
  printRun_.reset();
  printHost_.reset();
  context_.reset();
  source_.reset();
  data_.reset();
}

void MainWindowModel::PrintCommand(bool endOfJob) {
  // A second press (or a command from elsewhere) during a run is ignored, never nested.
  if (RunUnderWay() || quitting_) return;
  if (print_) {
    print_(endOfJob);
    return;
  }
  PrintRun& run = Printing();
  context_->SlotsFlag = SlotsFlag();
  lastPrint_ = run.PrintCommand(endOfJob);
  AfterRun();
}

void MainWindowModel::PrintReports(bool endOfJob, bool stayOpen) {
  if (RunUnderWay() || quitting_) return;
  if (print_) {
    print_(endOfJob);
    return;
  }
  PrintRun& run = Printing();
  context_->SlotsFlag = SlotsFlag();
  lastPrint_ = run.PrintReports(endOfJob, stayOpen);
  AfterRun();
}

void MainWindowModel::EndOpenJob() {
  if (!printRun_ || !printRun_->JobOpen()) return;
  const ReportSelection kept = Selection();
  Selection().fill(false);
  lastPrint_ = printRun_->PrintCommand(true);
  Selection() = kept;
}

}  // namespace vantrel

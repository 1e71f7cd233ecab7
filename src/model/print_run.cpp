#include "model/print_run.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "definitions/profiles.h"
#include "model/print_paths.h"
#include "pdf/signing_settings.h"
#include "render/report_job.h"
#include "support/file_writer.h"
#include "support/text.h"
#include "testlist/test_list_printer.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

const char* const kPdfTitle = "Auto PDF Saving";

// Holds the job's first page back until something is drawn, so that a run that draws
// nothing sends nothing.
class LazyPages : public PageTarget {
 public:
  explicit LazyPages(PageTarget& inner) : inner_(inner) {}
  bool Begin() override { return true; }
  bool NewPage() override { return Ensure() && inner_.NewPage(); }
  bool End() override { return true; }  // the job's Finish ends the pages
  QPainter& Painter() override {
    if (!Ensure()) throw OutputDeviceError(inner_.Error());
    return inner_.Painter();
  }
  double PageWidthMm() const override { return inner_.PageWidthMm(); }
  double PageHeightMm() const override { return inner_.PageHeightMm(); }
  double DotsPerMm() const override { return inner_.DotsPerMm(); }
  int PagesStarted() const override { return begun_ ? inner_.PagesStarted() : 0; }
  bool Failed() const { return failed_; }

 private:
  bool Ensure() {
    if (begun_) return true;
    if (failed_) return false;
    begun_ = inner_.Begin();
    failed_ = !begun_;
    return begun_;
  }
  PageTarget& inner_;
  bool begun_ = false;
  bool failed_ = false;
};

std::string FormatSeconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", seconds);
  return text;
}

}  // namespace

struct PrintRun::OpenJob {
  std::unique_ptr<Spooler> Printer;
  std::unique_ptr<PrintJob> Job;
  std::unique_ptr<LazyPages> Pages;
  bool AnyPage = false;  // a later result starts on a new page
  // The PDF step of the job, run once it has ended: the driver's file and APPNAME as
  // it was when the job began.
  std::string TempPdf;
  std::string FinalPdf;
};

PrintRun::PrintRun(WindowModel& model, RenderContext& context, PrintHost& host)
    : model_(model), context_(context), host_(host) {
  testList_ = [this](const std::string& file, PageTarget& target, JobPageState& job) {
    return PrintTestList(file, context_.State.Settings, target, job, context_.Ask,
                         context_.Fonts != nullptr ? *context_.Fonts : PrintFontMetrics());
  };
}

PrintRun::~PrintRun() = default;

bool PrintRun::JobOpen() const { return job_ != nullptr; }

std::string PrintRun::FilledTitle(int reportIndex) const {
  const std::string& title = context_.State.Reports[static_cast<std::size_t>(reportIndex)].Title;
  return ReplaceAll(title, "TEST_DESCRIPTION", context_.Data.TestDescription());
}

PrintRunResult PrintRun::PrintCommand(bool endOfJob) {
  const bool foreground = !model_.Background();
  if (foreground) model_.SetFileCommandsEnabled(false);
  PrintRunResult result = PrintReports(endOfJob, false);
  if (!model_.Background()) model_.SetFileCommandsEnabled(true);
  return result;
}

bool PrintRun::StartJob(PrintRunResult& result) {
  ProgramState& state = context_.State;
  const AppSettings& s = state.Settings;
  auto job = std::make_unique<OpenJob>();
  if (pdfStep_ && !s.AutoPdfTempDir.empty()) {
    // The driver names its file by the job title, which is why the title is set here.
    const TempPdfName temp = MakeTempPdfName(s.AutoPdfTempDir);
    state.AppTitle = temp.Title;
    job->TempPdf = temp.Path;
    job->FinalPdf = context_.Data.FillParameters(s.AppName);
    host_.ProcessEvents(0);
  }
  std::string builtIn = s.AutoPdfTempDir;
  if (builtIn.empty()) {
    builtIn = fs::path(state.DataFilePath).parent_path().string();
    if (builtIn.empty()) builtIn = ".";
  }
  PrinterChoice choice = open_ ? open_(builtIn) : OpenPrinter(printer_, builtIn, &context_.Ask);
  std::string error = choice.Error;
  if (choice.Printer) {
    job->Job = choice.Printer->StartJob(SafeJobTitle(state.AppTitle), error);
    job->Printer = std::move(choice.Printer);
  }
  if (!job->Job) {
    result.PrinterError = error;
    context_.Ask.Message("Problem Printing to the Printer\r" + error, "Printer Error",
                         PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
  }
  RecordCertificate(context_, job->Job->Target());
  job->Pages = std::make_unique<LazyPages>(job->Job->Target());
  job_ = std::move(job);
  return true;
}

PrintRunResult PrintRun::PrintReports(bool endOfJob, bool stayOpen) {
  const ProgramState& state = context_.State;
  std::vector<int> chosen;
  for (int i = 0; i < kMaxReports; ++i)
    if (state.Selection[static_cast<std::size_t>(i)]) chosen.push_back(i);
  return Run(chosen, model_.TestListFlag(), endOfJob, stayOpen, model_.Background());
}

PrintRunResult PrintRun::PrintSingleReport(int reportIndex) {
  if (reportIndex < 0 || reportIndex >= kMaxReports) return {};
  model_.SetFileCommandsEnabled(false);
  pdfStep_ = false;
  PrintRunResult result = Run({reportIndex}, false, true, true, false);
  pdfStep_ = true;
  model_.SetFileCommandsEnabled(true);
  return result;
}

PrintRunResult PrintRun::Run(const std::vector<int>& chosen, bool withTestList, bool endOfJob,
                             bool stayOpen, bool background) {
  PrintRunResult result;
  ProgramState& state = context_.State;
  if (context_.ReadReports) context_.ReadReports();
  result.Selected = static_cast<int>(chosen.size());
  const bool testList = testList_ && withTestList && !state.DataFilePath.empty();

  // The printer is checked before any page is drawn: a missing one is said once.
  const bool wanted = result.Selected > 0 || testList;
  // A certificate over part of the data is worse than none.
  if (wanted) result.DataError = context_.Data.CertificationFault();
  if (!result.DataError.empty()) {
    context_.Ask.Message("Nothing was printed: " + result.DataError + ".", "Incomplete Test",
                         PromptIcon::Exclamation, PromptButtons::Ok);
    return result;
  }
  if (wanted && !job_ && !StartJob(result)) return result;
  if (background) host_.EnterBackground("Vantrel - Printing...");
  model_.SetPrintingFlag(true);
  model_.EnableButtons(false);

  JobPageState pages;
  if (job_) pages.FirstPage = !job_->AnyPage;
  if (wanted && testList) {
    if (testList_(state.DataFilePath, *job_->Pages, pages)) result.Printed = true;
  }
  if (result.Selected > 0) model_.SetProgressMax(result.Selected);
  ReportProducer producer(context_);
  producer.ProcessEvents = [this, &producer] {
    host_.ProcessEvents(0);
    if (host_.CancelRequested()) producer.RequestCancel();
  };
  int n = 0;
  for (int index : chosen) {
    if (host_.CancelRequested()) {
      result.Failed += result.Selected - n;
      break;
    }
    ++n;
    model_.SetStatusText("Printing " + FilledTitle(index) + "  (" + std::to_string(n) + "/" +
                         std::to_string(result.Selected) + ")");
    model_.SetProgress(n);
    host_.ProcessEvents(0);
    const ProduceOutcome outcome = producer.ProduceReport(index, false, *job_->Pages, pages);
    if (job_->Pages->Failed()) {
      result.PrinterError = job_->Job->Target().Error();
      ++result.Failed;
      break;
    }
    if (outcome == ProduceOutcome::Drawn) {
      ++result.Produced;
    } else if (outcome == ProduceOutcome::NotTested) {
      ++result.Skipped;
    } else {
      ++result.Failed;
      if (outcome == ProduceOutcome::QuitRequested) {
        result.Quit = true;
        break;
      }
    }
  }
  if (pages.Printed) {
    result.Printed = true;
    job_->AnyPage = true;
  }
  // A job ends with its last result even when that one drew nothing, so that the
  // results before it are never left unsent.
  std::unique_ptr<OpenJob> ended;
  if (job_ && (endOfJob || result.Quit || !result.PrinterError.empty())) {
    ended = EndJob(result);
  } else if (job_ && job_->AnyPage && !job_->TempPdf.empty()) {
    result.Pdf = PdfOutcome::Deferred;
  }

  model_.SetPrintingFlag(false);
  model_.EnableButtons(true);
  model_.SetProgress(0);
  model_.SetStatusText("");

  if (ended && !ended->TempPdf.empty())
    CompletePdf(*ended->Printer, ended->TempPdf, ended->FinalPdf, result);
  if (!stayOpen && background && model_.Background()) host_.CloseProgram();
  return result;
}

std::unique_ptr<PrintRun::OpenJob> PrintRun::EndJob(PrintRunResult& result) {
  std::unique_ptr<OpenJob> job = std::move(job_);
  if (!job->AnyPage) return nullptr;  // nothing was drawn, nothing is sent
  const std::string error = job->Job->Finish();
  if (!error.empty()) {
    if (result.PrinterError.empty()) result.PrinterError = error;
    context_.Ask.Message("Problem Printing to the Printer\r" + error, "Printer Error",
                         PromptIcon::Exclamation, PromptButtons::Ok);
    return nullptr;
  }
  result.JobEnded = true;
  // The built-in printer made the file itself: the run says where.
  if (job->TempPdf.empty() && !job->Job->WrittenFile().empty()) {
    result.Pdf = PdfOutcome::Saved;
    result.PdfPath = job->Job->WrittenFile();
  }
  return job;
}

void PrintRun::CompletePdf(Spooler& printer, const std::string& tempPdf, const std::string& final,
                           PrintRunResult& result) {
  result.PdfPath = final;
  if (!WaitForQueue(printer, result)) return;
  Wait(host_, 1.0);
  MakePath(FolderOf(final), false, context_.Ask);
  if (!WaitForFile(tempPdf, result)) return;
  host_.SetTrayTip("Copying pdf file...");
  std::error_code ec;
  if (fs::exists(final, ec)) {
    const PromptAnswer answer = context_.Ask.Message(
        "The following filename already exists:\r" + final +
            "\r\rDo you want to overwrite this file?\rSelecting No will mean the report is not "
            "saved",
        kPdfTitle, PromptIcon::Exclamation, PromptButtons::YesNo);
    host_.ProcessEvents(0);
    if (answer != PromptAnswer::Yes) {
      result.Pdf = PdfOutcome::NotReplaced;
      result.PdfError =
          final + " already exists; the report was not saved (it stays in " + tempPdf + ")";
      return;
    }
  }
  // Signed before the copy, so that nothing unsigned ever stands under the final name.
  if (std::string why; !pdf::SignIfWanted(
          tempPdf, pdf::SigningSettingsOf(context_.State.Settings, context_.State.DefinitionPath),
          why)) {
    result.Pdf = PdfOutcome::CopyFailed;
    result.PdfError = why + " (the unsigned PDF stays in " + tempPdf + ")";
    context_.Ask.Message("The report could not be signed\r" + why + "\rIt stays in " + tempPdf,
                         kPdfTitle, PromptIcon::Exclamation, PromptButtons::Ok);
    return;
  }
  CopyPdf(tempPdf, final, result);
  if (result.Pdf != PdfOutcome::Saved) return;
  host_.ProcessEvents(0);
  host_.OpenFinishedPdf(final);
}

bool PrintRun::WaitForQueue(Spooler& printer, PrintRunResult& result) {
  host_.SetTrayTip("Waiting for print queue to empty...");
  const double limit = context_.State.Settings.PdfWaitSeconds;
  const double deadline = host_.Seconds() + limit;
  for (;;) {
    Wait(host_, 0.5);
    if (host_.CancelRequested()) {
      result.Pdf = PdfOutcome::Cancelled;
      return false;
    }
    const int jobs = printer.ActiveJobs();
    if (jobs == 0) return true;
    if (jobs < 0) {
      // Nothing to wait on: the file may still be there.
      context_.Ask.Message("The print queue of '" + printer.PrinterName() +
                               "' cannot be read: the queue or the print server is missing.",
                           kPdfTitle, PromptIcon::Exclamation, PromptButtons::Ok);
      return true;
    }
    if (host_.Seconds() >= deadline) {
      result.Pdf = PdfOutcome::NotAppeared;
      result.PdfError = "the print queue of '" + printer.PrinterName() + "' still holds " +
                        std::to_string(jobs) + " job(s) after " + FormatSeconds(limit) + " seconds";
      context_.Ask.Message("The print queue of '" + printer.PrinterName() + "' still holds " +
                               std::to_string(jobs) + " job(s) after " + FormatSeconds(limit) +
                               " seconds.\rThe report is not saved.",
                           kPdfTitle, PromptIcon::Exclamation, PromptButtons::Ok);
      return false;
    }
  }
}

bool PrintRun::WaitForFile(const std::string& tempPdf, PrintRunResult& result) {
  const std::string folder = context_.State.Settings.AutoPdfTempDir;
  host_.SetTrayTip("Waiting for file to appear in: " + folder);
  const double limit = context_.State.Settings.PdfWaitSeconds;
  const double deadline = host_.Seconds() + limit;
  // A file still growing is not done; its size must hold still over one check.
  std::uintmax_t lastSize = 0;
  for (;;) {
    std::error_code ec;
    const std::uintmax_t size = fs::is_regular_file(tempPdf, ec) ? fs::file_size(tempPdf, ec) : 0;
    if (ec) lastSize = 0;
    if (size > 0 && size == lastSize) return true;
    lastSize = size;
    if (host_.CancelRequested()) {
      result.Pdf = PdfOutcome::Cancelled;
      return false;
    }
    if (host_.Seconds() >= deadline) {
      const std::string name = fs::path(tempPdf).filename().string();
      result.Pdf = PdfOutcome::NotAppeared;
      result.PdfError = "the PDF did not appear in " + folder + ": " + name +
                        " was expected within " + FormatSeconds(limit) + " seconds";
      context_.Ask.Message("The PDF did not appear in " + folder + "\r" + name +
                               " was expected within " + FormatSeconds(limit) +
                               " seconds.\rThe report is not saved.",
                           kPdfTitle, PromptIcon::Exclamation, PromptButtons::Ok);
      return false;
    }
    Wait(host_, 0.5);
  }
}

void PrintRun::CopyPdf(const std::string& tempPdf, const std::string& final,
                       PrintRunResult& result) {
  const auto fail = [&](const std::string& why) {
    result.Pdf = PdfOutcome::CopyFailed;
    result.PdfError = "cannot save " + final + ": " + why + " (the PDF stays in " + tempPdf + ")";
    context_.Ask.Message(
        "The report could not be saved as\r" + final + "\r" + why + "\rIt stays in " + tempPdf,
        kPdfTitle, PromptIcon::Exclamation, PromptButtons::Ok);
  };
  // A copy that fails halfway, or of a file the driver did not finish, never stands
  // under the final name.
  std::string error;
  if (!CopyToFile(tempPdf, final, error, {.Trailer = std::string(kPdfTrailer)})) {
    const std::string prefix = "cannot write " + final + ": ";
    return fail(error.rfind(prefix, 0) == 0 ? error.substr(prefix.size()) : error);
  }
  // Only now is the copy complete.
  std::error_code ec;
  fs::remove(tempPdf, ec);
  result.Pdf = PdfOutcome::Saved;
}

}  // namespace vantrel

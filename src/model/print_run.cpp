#include "model/print_run.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "definitions/profiles.h"
#include "model/print_paths.h"
#include "pdf/signing_settings.h"
#include "render/lazy_target.h"
#include "render/report_job.h"
#include "support/file_writer.h"
#include "support/text.h"
#include "testlist/test_list_printer.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

const char* const kPdfTitle = "Auto PDF Saving";

std::string FormatSeconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", seconds);
  return text;
}

}  // namespace

struct PrintRun::OpenJob {
  std::unique_ptr<Spooler> Printer;
  std::unique_ptr<PrintJob> Job;
  std::unique_ptr<LazyTarget> Pages;
  bool AnyPage = false;  // a later result starts on a new page
  // The PDF step of the job, run once it has ended: the driver's file and APPNAME as
  // it was when the job began.
  std::string TempPdf;
  std::string FinalPdf;
  std::string Title;  // the job's name at the printer
  std::string Held;   // why the queue holds the job, "" when it does not
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

PrintRunResult PrintRun::PrintCommand(bool endOfJob) { return PrintReports(endOfJob, false); }

void PrintRun::DropOpenJob() { job_.reset(); }

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
    job->Title = SafeJobTitle(state.AppTitle);
    job->Job = choice.Printer->StartJob(job->Title, error);
    job->Printer = std::move(choice.Printer);
  }
  if (!job->Job) {
    result.PrinterError = error;
    context_.Ask.Message("Problem Printing to the Printer\r" + error, "Printer Error",
                         PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
  }
  RecordCertificate(context_, job->Job->Target());
  job->Pages = std::make_unique<LazyTarget>(job->Job->Target(), LazyTarget::Ending::ByOwner);
  job_ = std::move(job);
  return true;
}

PrintRunResult PrintRun::PrintReports(bool endOfJob, bool stayOpen) {
  std::vector<int> all(kMaxReports);
  for (int i = 0; i < kMaxReports; ++i) all[static_cast<std::size_t>(i)] = i;
  return Run(all, true, model_.TestListFlag(), endOfJob, stayOpen, model_.Background());
}

PrintRunResult PrintRun::PrintSingleReport(int reportIndex) {
  if (reportIndex < 0 || reportIndex >= kMaxReports) return {};
  pdfStep_ = false;
  PrintRunResult result = Run({reportIndex}, false, false, true, true, false);
  pdfStep_ = true;
  return result;
}

PrintRunResult PrintRun::Run(const std::vector<int>& candidates, bool live, bool withTestList,
                             bool endOfJob, bool stayOpen, bool background) {
  PrintRunResult result;
  // A run inside a run would draw on the pages being drawn and take the same
  // temporary PDF name: a second Print while one is under way does nothing.
  if (running_ || model_.RunUnderWay() || model_.PreviewBusy()) {
    result.Refused = true;
    return result;
  }
  running_ = true;
  struct Running {
    bool& Flag;
    ~Running() { Flag = false; }
  } running{running_};
  ProgramState& state = context_.State;
  if (context_.ReadReports) context_.ReadReports();
  const auto chosen = [&](int i) { return !live || state.Selection[static_cast<std::size_t>(i)]; };
  for (const int i : candidates)
    if (chosen(i)) ++result.Selected;
  const bool testList = testList_ && withTestList && !state.DataFilePath.empty();
  const bool continuing = job_ != nullptr;

  // The printer is checked before any page is drawn: a missing one is said once.
  const bool wanted = result.Selected > 0 || testList;
  // A certificate over part of the data is worse than none.
  if (wanted) result.DataError = context_.Data.CertificationFault();
  if (!result.DataError.empty()) {
    context_.Ask.Message("Nothing was printed: " + result.DataError + ".", "Incomplete Test",
                         PromptIcon::Exclamation, PromptButtons::Ok);
    model_.SetRunState(RunState::Failed, "Nothing was printed: a test is incomplete.");
    return result;
  }
  if (wanted && !job_ && !StartJob(result)) {
    // The printer's message has given the reason already.
    model_.SetRunState(RunState::Failed, "The reports were not printed.");
    return result;
  }
  if (background) host_.EnterBackground("Vantrel - Printing...");
  model_.SetRunState(RunState::Producing, "");

  JobPageState pages;
  if (job_) pages.FirstPage = !job_->AnyPage;
  if (wanted && testList) {
    if (testList_(state.DataFilePath, *job_->Pages, pages)) result.Printed = true;
  }
  ReportProducer producer(context_);
  producer.ProcessEvents = [this, &producer] {
    host_.ProcessEvents(0);
    if (host_.CancelRequested()) producer.RequestCancel();
  };
  int n = 0;
  for (const int index : candidates) {
    if (!wanted || host_.CancelRequested()) break;
    if (!chosen(index)) continue;
    ++n;
    const int total = std::max(result.Selected, n);
    model_.SetProgressMax(total);
    model_.SetRunState(RunState::Producing, "Printing " + FilledTitle(index) + "  (" +
                                                std::to_string(n) + "/" + std::to_string(total) +
                                                ")");
    model_.SetProgress(n);
    host_.ProcessEvents(0);
    if (host_.CancelRequested()) break;
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
  result.Selected = std::max(result.Selected, n);
  if (pages.Printed && job_) {
    result.Printed = true;
    job_->AnyPage = true;
  }
  model_.SetProgress(0);

  std::unique_ptr<OpenJob> ended;
  if (result.Quit || host_.CancelRequested()) {
    // Stopped: what was drawn is dropped with its spool file, never sent in part.
    result.Cancelled = !result.Quit;
    result.Failed += result.Selected - result.Produced - result.Skipped - result.Failed;
    if (result.Cancelled && !result.PrinterError.empty()) result.Cancelled = false;
    job_.reset();
    if (result.Cancelled) result.Pdf = PdfOutcome::Cancelled;
  } else if (job_ && (endOfJob || !result.PrinterError.empty())) {
    // A job ends with its last result even when that one drew nothing, so that the
    // results before it are never left unsent.
    model_.SetRunState(RunState::Spooling,
                       "Sending the printout to " + job_->Printer->PrinterName());
    ended = EndJob(result);
  } else if (job_ && job_->AnyPage && !job_->TempPdf.empty()) {
    result.Pdf = PdfOutcome::Deferred;
  }

  if (ended && !ended->TempPdf.empty()) CompletePdf(*ended, result);
  // The job's spool file goes before the run says it is over.
  ended.reset();
  Conclude(result, wanted || continuing);
  if (!stayOpen && background && model_.Background() && !result.Cancelled && !result.Quit)
    host_.CloseProgram();
  return result;
}

void PrintRun::Conclude(const PrintRunResult& result, bool wanted) {
  if (result.Quit || result.Cancelled) {
    model_.SetRunState(RunState::Cancelled, "The printout was cancelled: nothing was sent.");
    return;
  }
  std::string status;
  if (result.Skipped > 0) {
    status = std::to_string(result.Skipped) + " of the " + std::to_string(result.Selected) +
             " ticked reports were not printed: the result file holds none of their tests.";
  }
  if (!wanted) {
    status = "No report is ticked: nothing was printed.";
  } else if (!result.OutputFile.empty()) {
    status = "Printed to " + result.OutputFile + (status.empty() ? "" : "  " + status);
  } else if (result.Pdf == PdfOutcome::Saved) {
    status = "Saved as " + result.PdfPath + (status.empty() ? "" : "  " + status);
  }
  const bool failed = !result.PrinterError.empty() || !result.PdfError.empty() || result.Failed > 0;
  model_.SetRunState(failed ? RunState::Failed : RunState::Done, status);
  // Where the operator pressed Print and got nothing, a line in the status bar is not
  // enough.
  if (!wanted) {
    context_.Ask.Tell("No report is ticked, so nothing was printed.\rTick the reports to print.",
                      "Custom Report Software", PromptIcon::Information);
  } else if (!result.Printed && result.Failed == 0 && result.PrinterError.empty() &&
             result.Skipped > 0) {
    context_.Ask.Tell("Nothing was printed: the result file holds none of the tests of the " +
                          std::to_string(result.Selected) + " ticked report(s).",
                      "Custom Report Software", PromptIcon::Exclamation);
  }
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
  // A stopped queue holds the job. A PDF run waits for it (and can be stopped while it
  // waits); a plain print would end as if it had printed, so it is said as a fault.
  if (const std::string held = job->Job->Held(); !held.empty()) {
    if (job->TempPdf.empty()) {
      if (result.PrinterError.empty()) result.PrinterError = held;
      context_.Ask.Message("Problem Printing to the Printer\r" + held, "Printer Error",
                           PromptIcon::Exclamation, PromptButtons::Ok);
    } else {
      job->Held = held;
    }
  }
  // The built-in printer made the file itself: the run says where.
  if (job->TempPdf.empty()) result.OutputFile = job->Job->WrittenFile();
  return job;
}

bool PrintRun::StopPdf(OpenJob& job, PrintRunResult& result) {
  if (!host_.CancelRequested()) return false;
  job.Job->Cancel();
  std::error_code ec;
  fs::remove(job.TempPdf, ec);
  result.Pdf = PdfOutcome::Cancelled;
  result.Cancelled = true;
  result.OutputFile.clear();
  return true;
}

void PrintRun::CompletePdf(OpenJob& job, PrintRunResult& result) {
  const std::string& tempPdf = job.TempPdf;
  const std::string& final = job.FinalPdf;
  result.PdfPath = final;
  const bool queued = WaitForQueue(*job.Printer, job.Held, result);
  if (StopPdf(job, result) || !queued) return;
  Wait(host_, 1.0);
  if (StopPdf(job, result)) return;
  MakePath(FolderOf(final), false, context_.Ask);
  const bool appeared = WaitForFile(tempPdf, result);
  if (StopPdf(job, result) || !appeared) return;
  model_.SetRunState(RunState::Copying, "Copying pdf file...");
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
  result.OutputFile.clear();
  host_.ProcessEvents(0);
  host_.OpenFinishedPdf(final);
}

bool PrintRun::WaitForQueue(Spooler& printer, const std::string& held, PrintRunResult& result) {
  const std::string what =
      "Waiting for print queue to empty..." + (held.empty() ? "" : "  (" + held + ")");
  model_.SetRunState(RunState::WaitingForQueue, what);
  host_.SetTrayTip(what);
  const double limit = context_.State.Settings.PdfWaitSeconds;
  const double start = host_.Seconds();
  const double deadline = start + limit;
  for (;;) {
    Wait(host_, 0.5);
    model_.SetWaitedSeconds(static_cast<int>(host_.Seconds() - start));
    if (host_.CancelRequested()) return false;
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
  const std::string what = "Waiting for file to appear in: " + folder;
  model_.SetRunState(RunState::WaitingForFile, what);
  host_.SetTrayTip(what);
  const double limit = context_.State.Settings.PdfWaitSeconds;
  const double start = host_.Seconds();
  const double deadline = start + limit;
  // A file still growing is not done; its size must hold still over one check.
  std::uintmax_t lastSize = 0;
  for (;;) {
    std::error_code ec;
    const std::uintmax_t size = fs::is_regular_file(tempPdf, ec) ? fs::file_size(tempPdf, ec) : 0;
    if (ec) lastSize = 0;
    if (size > 0 && size == lastSize) return true;
    lastSize = size;
    if (host_.CancelRequested()) return false;
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
    model_.SetWaitedSeconds(static_cast<int>(host_.Seconds() - start));
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

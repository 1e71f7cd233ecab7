#pragma once
// The print run: every selected report of the current result file in one print job
// (or on in a job an earlier result left open), the test list first when asked for,
// progress and status in the window model, and with AUTOPDF_TEMPDIR the PDF step:
// wait for the queue and the driver's file, then copy it to APPNAME.
//
// The window and the batch tool both drive it:
//   PrintRun run(model, context, host);
//   run.SetPrinter(name);              // "" (the default): the user's default printer
//   PrintRunResult r = run.PrintCommand(true);

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/print_host.h"
#include "model/window_model.h"
#include "platform/print/spooler.h"
#include "render/render_context.h"
#include "render/report_producer.h"

namespace vantrel {

enum class PdfOutcome {
  None,         // no PDF step: no AUTOPDF_TEMPDIR, or nothing printed
  Deferred,     // the job is still open; the step runs when it ends
  Saved,        // the PDF is under its APPNAME name, the temporary file gone
  NotReplaced,  // the overwrite question was answered No; the temporary file stays
  NotAppeared,  // the queue or the file did not come within PDFWAITSECONDS
  CopyFailed,   // the copy under APPNAME could not be made; nothing was replaced
  Cancelled,    // the operator stopped the waits
};

struct PrintRunResult {
  int Selected = 0;
  int Produced = 0;
  int Skipped = 0;           // the data file lacks their tests
  int Failed = 0;            // faulted or cancelled reports
  bool Printed = false;      // something was drawn in this run
  bool JobEnded = false;     // this run ended and sent the job
  bool Quit = false;         // the operator asked to close the program
  bool Cancelled = false;    // stopped on the operator's word; nothing partial was sent
  bool Refused = false;      // another run was under way; this one did nothing
  std::string OutputFile;    // the file the built-in PDF printer wrote
  std::string PrinterError;  // the printer is missing or refused the job
  PdfOutcome Pdf = PdfOutcome::None;
  std::string PdfPath;    // where the PDF was saved, or was to be
  std::string PdfError;   // what went wrong in the PDF step
  std::string DataError;  // the data file lacks data; nothing was printed
  bool Ok() const {
    return Failed == 0 && !Quit && !Cancelled && !Refused && PrinterError.empty() &&
           DataError.empty() &&
           (Pdf == PdfOutcome::None || Pdf == PdfOutcome::Deferred || Pdf == PdfOutcome::Saved);
  }
};

/// Prints the test list of dataFile onto target; JobPageState says whether a page must
/// be started first, and is left so that the next report starts a new page. True when
/// anything was drawn. The run's own reads the current data file (DataFilePath); a
/// caller holding the unpacked copy of a ZIP passes a printer that reads that instead.
using TestListPrinter =
    std::function<bool(const std::string& dataFile, PageTarget& target, JobPageState& job)>;

class PrintRun {
 public:
  /// Opens the printer when a job starts; builtInFolder is where the built-in PDF
  /// printer writes. The default opens the printer named by SetPrinter.
  using PrinterOpener = std::function<PrinterChoice(const std::string& builtInFolder)>;

  PrintRun(WindowModel& model, RenderContext& context, PrintHost& host);
  ~PrintRun();
  PrintRun(const PrintRun&) = delete;
  PrintRun& operator=(const PrintRun&) = delete;

  /// The printer of the next job: "" is the user's default, kBuiltInPdfPrinter the
  /// built-in one.
  void SetPrinter(std::string name) { printer_ = std::move(name); }
  void SetPrinterOpener(PrinterOpener open) { open_ = std::move(open); }
  /// When the test-list flag is set, the test list comes before the reports.
  void SetTestListPrinter(TestListPrinter print) { testList_ = std::move(print); }

  /// The "P&rint" button (endOfJob true) and the multi-result loop: the file commands
  /// are off while a foreground run goes on.
  PrintRunResult PrintCommand(bool endOfJob);
  /// endOfJob false leaves the job open: the next call continues it on a new page, and
  /// its PDF step waits until a call with endOfJob true has ended the job. stayOpen
  /// false lets a background run close the program at its end.
  PrintRunResult PrintReports(bool endOfJob, bool stayOpen);
  /// The preview's Print: reportIndex alone in a job of its own, without the test
  /// list, in the foreground whatever "Print in &background" says: the operator is
  /// looking at the window. No PDF is waited for or copied under APPNAME.
  PrintRunResult PrintSingleReport(int reportIndex);

  /// True between a run with endOfJob false and the run that ends the job.
  bool JobOpen() const;
  /// Drops a job left open without sending it (the program ends with it).
  void DropOpenJob();

 private:
  struct OpenJob;
  /// live: each candidate's selection flag is read as the loop reaches it, so a box
  /// ticked during the run still counts; otherwise every candidate prints.
  PrintRunResult Run(const std::vector<int>& candidates, bool live, bool testList, bool endOfJob,
                     bool stayOpen, bool background);
  bool StartJob(PrintRunResult& result);
  /// Sends the open job; the job back when its PDF step is due.
  std::unique_ptr<OpenJob> EndJob(PrintRunResult& result);
  void CompletePdf(OpenJob& job, PrintRunResult& result);
  bool WaitForQueue(Spooler& printer, const std::string& held, PrintRunResult& result);
  bool WaitForFile(const std::string& tempPdf, PrintRunResult& result);
  /// True once the operator asked to stop: a job already sent is withdrawn and the
  /// driver's file, if any, removed.
  bool StopPdf(OpenJob& job, PrintRunResult& result);
  /// Where the run ended, said in the status line (and in a message where nothing at
  /// all was printed).
  void Conclude(const PrintRunResult& result, bool wanted);
  void CopyPdf(const std::string& tempPdf, const std::string& final, PrintRunResult& result);
  std::string FilledTitle(int reportIndex) const;

  WindowModel& model_;
  RenderContext& context_;
  PrintHost& host_;
  std::string printer_;
  PrinterOpener open_;
  TestListPrinter testList_;
  std::unique_ptr<OpenJob> job_;
  bool pdfStep_ = true;   // off for the preview's Print, which only prints
  bool running_ = false;  // from the first step of a run to its end
};

}  // namespace vantrel

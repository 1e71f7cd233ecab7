#pragma once
// Where a print run's pages go: a print queue, or the built-in PDF printer when the
// machine has no print server. A job is drawn on a page target and then handed over.

#include <memory>
#include <string>

#include "render/page_target.h"
#include "support/prompter.h"

namespace vantrel {

/// Listed and chosen like a queue; writes each job as "<job title>.pdf" into a folder.
inline constexpr const char* kBuiltInPdfPrinter = "Vantrel PDF";

class PrintJob {
 public:
  virtual ~PrintJob() = default;
  /// The pages of the job; the run begins it and draws on it, but never ends it.
  virtual PageTarget& Target() = 0;
  /// Ends the pages and hands the job to the printer. "" on success, else why not
  /// (naming the printer). A job dropped without Finish leaves nothing behind.
  virtual std::string Finish() = 0;
  /// The file the printer itself made of the finished job, "" when it made none (a
  /// queue takes the job).
  virtual std::string WrittenFile() const { return {}; }
  /// Why a job the printer took will not print for now (a stopped queue holds it); ""
  /// when nothing holds it.
  virtual std::string Held() const { return {}; }
  /// Withdraws a job already handed over that the printer has not finished. A job
  /// never handed over needs nothing: dropping it is enough.
  virtual void Cancel() {}
};

class Spooler {
 public:
  virtual ~Spooler() = default;
  virtual const std::string& PrinterName() const = 0;
  /// A job whose title is the name the printer (a PDF driver) gives its file; nullptr
  /// with error set when not even the pages can be kept.
  virtual std::unique_ptr<PrintJob> StartJob(const std::string& title, std::string& error) = 0;
  /// Jobs the printer has not finished yet; -1 when its queue or server is missing.
  virtual int ActiveJobs() = 0;
  /// The paper its jobs are drawn on.
  virtual PaperSize Paper() const { return {}; }
};

struct PrinterChoice {
  std::unique_ptr<Spooler> Printer;
  std::string Error;  // set when Printer is null: the printer and what is wrong with it
};

/// name "" is the user's default queue, or the built-in PDF printer when there is no
/// default (no server, no queue). A name the server does not know is an error, never a
/// silent PDF. builtInFolder is where the built-in printer writes; it asks ask (when
/// given) before it replaces a file that it did not make itself.
PrinterChoice OpenPrinter(const std::string& name, const std::string& builtInFolder,
                          Prompter* ask = nullptr);

struct PrinterListEntry {
  std::string Name;
  bool IsDefault = false;
};

/// The server's queues; the built-in PDF printer comes last, and only when it is the
/// default.
std::vector<PrinterListEntry> AvailablePrinters();

}  // namespace vantrel

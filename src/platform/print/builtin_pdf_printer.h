#pragma once
// The printer of a machine without a print server: each job becomes
// "<job title>.pdf" in its folder, written through a file writer as a PDF driver
// would leave it. A file there that this printer did not make in this run is replaced
// only when the user says so.

#include <string>

#include "platform/print/spooler.h"
#include "support/prompter.h"

namespace vantrel {

class BuiltInPdfPrinter : public Spooler {
 public:
  /// Without ask, a file it did not make is never replaced.
  explicit BuiltInPdfPrinter(std::string folder, PaperSize paper = {}, Prompter* ask = nullptr);
  const std::string& PrinterName() const override { return name_; }
  std::unique_ptr<PrintJob> StartJob(const std::string& title, std::string& error) override;
  /// Nothing is ever queued: the file is complete when Finish returns.
  PaperSize Paper() const override { return paper_; }
  int ActiveJobs() override { return 0; }
  const std::string& Folder() const { return folder_; }

 private:
  std::string name_ = kBuiltInPdfPrinter;
  std::string folder_;
  PaperSize paper_;
  Prompter* ask_;
};

}  // namespace vantrel

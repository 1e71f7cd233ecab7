#pragma once
// The printer of a machine without a print server: each job becomes
// "<job title>.pdf" in its folder, written under a temporary name and renamed when
// complete, as a PDF driver would leave it.

#include <string>

#include "platform/print/spooler.h"

namespace vantrel {

class BuiltInPdfPrinter : public Spooler {
 public:
  explicit BuiltInPdfPrinter(std::string folder, PaperSize paper = {});
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
};

}  // namespace vantrel

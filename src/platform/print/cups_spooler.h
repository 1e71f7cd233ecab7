#pragma once
// A CUPS queue: the job is drawn into a PDF in the temporary folder and sent as a
// file, so that the queue's own filters turn it into what the printer takes.

#include <string>

#include "platform/print/spooler.h"

namespace vantrel {

class CupsSpooler : public Spooler {
 public:
  /// tempFolder holds the job's PDF until the server has taken it.
  CupsSpooler(std::string name, std::string tempFolder);
  const std::string& PrinterName() const override { return name_; }
  std::unique_ptr<PrintJob> StartJob(const std::string& title, std::string& error) override;
  PaperSize Paper() const override { return paper_; }
  int ActiveJobs() override;

 private:
  std::string name_;
  std::string tempFolder_;
  PaperSize paper_;
};

}  // namespace vantrel

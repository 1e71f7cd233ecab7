#pragma once
// A job drawn into a temporary PDF file that is removed unless something takes it:
// what both printers start from.

#include <functional>
#include <string>

#include "platform/print/spooler.h"

namespace vantrel {

class PdfFileJob : public PrintJob {
 public:
  /// Called with the complete file; "" when it took the file, else why not.
  using Deliver = std::function<std::string(const std::string& pdfPath)>;

  /// pattern as for MakeTemporaryFile, ending in "XXXXXX.pdf".
  static std::unique_ptr<PdfFileJob> Make(std::string pattern, PaperSize paper,
                                          const std::string& title, Deliver deliver,
                                          std::string& error);
  ~PdfFileJob() override;
  PageTarget& Target() override { return target_; }
  std::string Finish() override;

 private:
  PdfFileJob(std::string path, PaperSize paper, const std::string& title, Deliver deliver);
  std::string path_;
  PdfTarget target_;
  Deliver deliver_;
  bool finished_ = false;
};

}  // namespace vantrel

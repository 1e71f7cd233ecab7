#pragma once
// A job drawn into a PDF file: a temporary one that is removed unless something takes
// it (a print queue), or the part of a file writer that becomes the file itself.

#include <functional>
#include <memory>
#include <string>

#include "platform/print/spooler.h"
#include "support/file_writer.h"

namespace vantrel {

class PdfFileJob : public PrintJob {
 public:
  /// Called with the complete file; "" when it took the file, else why not.
  using Deliver = std::function<std::string(const std::string& pdfPath)>;
  /// Called with the complete part of a writer; "" when it committed it, else why not.
  using Keep = std::function<std::string(FileWriter& file)>;

  /// pattern as for MakeTemporaryFile, ending in "XXXXXX.pdf".
  static std::unique_ptr<PdfFileJob> Make(std::string pattern, PaperSize paper,
                                          const std::string& title, Deliver deliver,
                                          std::string& error);
  /// Draws into file's part; keep decides, once the pages are complete, whether and
  /// how it is committed.
  static std::unique_ptr<PdfFileJob> Into(std::unique_ptr<FileWriter> file, PaperSize paper,
                                          const std::string& title, Keep keep);
  ~PdfFileJob() override;
  PageTarget& Target() override { return target_; }
  std::string Finish() override;
  std::string WrittenFile() const override { return written_; }

 private:
  PdfFileJob(std::string path, PaperSize paper, const std::string& title);
  PdfFileJob(const FileWriter& file, PaperSize paper, const std::string& title);
  std::string path_;
  PdfTarget target_;
  Deliver deliver_;
  std::unique_ptr<FileWriter> file_;
  Keep keep_;
  std::string written_;
  bool finished_ = false;
};

}  // namespace vantrel

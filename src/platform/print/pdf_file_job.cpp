#include "platform/print/pdf_file_job.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/temporary_files.h"

namespace vantrel {

std::unique_ptr<PdfFileJob> PdfFileJob::Make(std::string pattern, PaperSize paper,
                                             const std::string& title, Deliver deliver,
                                             std::string& error) {
  const int fd = MakeTemporaryFile(pattern, 4);
  if (fd < 0) {
    error =
        "cannot make a temporary file for the print job (" + pattern + "): " + std::strerror(errno);
    return nullptr;
  }
  ::close(fd);
  return std::unique_ptr<PdfFileJob>(new PdfFileJob(pattern, paper, title, std::move(deliver)));
}

PdfFileJob::PdfFileJob(std::string path, PaperSize paper, const std::string& title, Deliver deliver)
    : path_(std::move(path)), target_(path_, paper, title), deliver_(std::move(deliver)) {}

PdfFileJob::~PdfFileJob() {
  if (target_.PagesStarted() > 0 && !finished_) target_.End();
  ::unlink(path_.c_str());
  ForgetTemporaryFile(path_);
}

std::string PdfFileJob::Finish() {
  if (finished_) return "";
  finished_ = true;
  if (target_.PagesStarted() == 0) return "";  // nothing was drawn, nothing to send
  if (!target_.End()) return target_.Error().empty() ? "cannot finish " + path_ : target_.Error();
  return deliver_ ? deliver_(path_) : "";
}

}  // namespace vantrel

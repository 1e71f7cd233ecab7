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
  auto job = std::unique_ptr<PdfFileJob>(new PdfFileJob(pattern, paper, title));
  job->deliver_ = std::move(deliver);
  return job;
}

std::unique_ptr<PdfFileJob> PdfFileJob::Into(std::unique_ptr<FileWriter> file, PaperSize paper,
                                             const std::string& title, Keep keep) {
  auto job = std::unique_ptr<PdfFileJob>(new PdfFileJob(*file, paper, title));
  job->file_ = std::move(file);
  job->keep_ = std::move(keep);
  return job;
}

PdfFileJob::PdfFileJob(std::string path, PaperSize paper, const std::string& title)
    : path_(std::move(path)), target_(path_, paper, title) {
  target_.MarkAsPrintJob();
}

PdfFileJob::PdfFileJob(const FileWriter& file, PaperSize paper, const std::string& title)
    : path_(file.PartPath()), target_(file, paper, title) {
  target_.MarkAsPrintJob();
}

PdfFileJob::~PdfFileJob() {
  if (target_.PagesStarted() > 0 && !finished_) target_.End();
  if (file_) return;  // the writer removes its own part
  ::unlink(path_.c_str());
  ForgetTemporaryFile(path_);
}

std::string PdfFileJob::Finish() {
  if (finished_) return "";
  finished_ = true;
  if (target_.PagesStarted() == 0) return "";  // nothing was drawn, nothing to send
  if (!target_.End()) return target_.Error().empty() ? "cannot finish " + path_ : target_.Error();
  if (file_) {
    const std::string refusal = keep_ ? keep_(*file_) : (file_->Commit() ? "" : file_->Error());
    if (refusal.empty()) written_ = file_->Target();
    return refusal;
  }
  return deliver_ ? deliver_(path_) : "";
}

}  // namespace vantrel

#include "platform/print/cups_spooler.h"

#include <cups/cups.h>

#include <memory>
#include <utility>

#include "platform/cups_printers.h"
#include "platform/print/pdf_file_job.h"

namespace vantrel {

namespace {

// The queue's own paper and printable area; A4 when the server names none. A paper
// too small for a report is kept, so that the report can say so.
PaperSize QueuePaper(const std::string& name) { return CupsQueueMedia(name).value_or(PaperSize{}); }

// The server's job id is known only once the file is sent; a cancel needs it.
class CupsJob : public PrintJob {
 public:
  CupsJob(std::unique_ptr<PdfFileJob> pages, std::shared_ptr<int> id,
          std::shared_ptr<std::string> held, std::string queue)
      : pages_(std::move(pages)),
        id_(std::move(id)),
        held_(std::move(held)),
        queue_(std::move(queue)) {}
  PageTarget& Target() override { return pages_->Target(); }
  std::string Finish() override { return pages_->Finish(); }
  std::string Held() const override { return *held_; }
  void Cancel() override {
    if (*id_ > 0) cupsCancelJob2(CUPS_HTTP_DEFAULT, queue_.c_str(), *id_, 0);
    *id_ = 0;
  }

 private:
  std::unique_ptr<PdfFileJob> pages_;
  std::shared_ptr<int> id_;
  std::shared_ptr<std::string> held_;
  std::string queue_;
};

}  // namespace

CupsSpooler::CupsSpooler(std::string name, std::string tempFolder)
    : name_(std::move(name)), tempFolder_(std::move(tempFolder)), paper_(QueuePaper(name_)) {}

std::unique_ptr<PrintJob> CupsSpooler::StartJob(const std::string& title, std::string& error) {
  const std::string name = name_;
  auto id = std::make_shared<int>(0);
  auto held = std::make_shared<std::string>();
  std::unique_ptr<PdfFileJob> pages = PdfFileJob::Make(
      tempFolder_ + "/vantrel-job-XXXXXX.pdf", paper_, title,
      [name, title, id, held](const std::string& pdf) {
        std::string why;
        *id = CupsSubmitFile(name, pdf, title, why);
        // A job the queue took is sent; whether waiting for it is worth it is the run's say.
        if (*id > 0) std::swap(*held, why);
        return why;
      },
      error);
  if (!pages) return nullptr;
  return std::make_unique<CupsJob>(std::move(pages), std::move(id), std::move(held), name_);
}

int CupsSpooler::ActiveJobs() { return CupsActiveJobs(name_); }

}  // namespace vantrel

#include "platform/print/cups_spooler.h"

#include "platform/cups_printers.h"
#include "platform/print/pdf_file_job.h"

namespace vantrel {

namespace {

// The queue's own paper and printable area; A4 when the server names none. A paper
// too small for a report is kept, so that the report can say so.
PaperSize QueuePaper(const std::string& name) {
  const std::optional<QueueMedia> media = CupsQueueMedia(name);
  if (!media) return {};
  return {.WidthMm = media->WidthMm,
          .HeightMm = media->HeightMm,
          .LeftMm = media->LeftMm,
          .TopMm = media->TopMm,
          .RightMm = media->RightMm,
          .BottomMm = media->BottomMm};
}

}  // namespace

CupsSpooler::CupsSpooler(std::string name, std::string tempFolder)
    : name_(std::move(name)), tempFolder_(std::move(tempFolder)), paper_(QueuePaper(name_)) {}

std::unique_ptr<PrintJob> CupsSpooler::StartJob(const std::string& title, std::string& error) {
  const std::string name = name_;
  return PdfFileJob::Make(
      tempFolder_ + "/vantrel-job-XXXXXX.pdf", paper_, title,
      [name, title](const std::string& pdf) {
        std::string why;
        CupsSubmitFile(name, pdf, title, why);
        return why;
      },
      error);
}

int CupsSpooler::ActiveJobs() { return CupsActiveJobs(name_); }

}  // namespace vantrel

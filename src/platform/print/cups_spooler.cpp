#include "platform/print/cups_spooler.h"

#include <QPageSize>
#include <QPrinterInfo>

#include "platform/cups_printers.h"
#include "platform/print/pdf_file_job.h"

namespace vantrel {

namespace {

// The queue's own paper when Qt knows the queue; A4 otherwise.
PaperSize QueuePaper(const std::string& name) {
  const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(name));
  if (info.isNull()) return {};
  const QSizeF mm = info.defaultPageSize().size(QPageSize::Millimeter);
  if (mm.width() < 50 || mm.height() < 50) return {};
  return {mm.width(), mm.height()};
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

#include "platform/print/builtin_pdf_printer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/print/pdf_file_job.h"

namespace vantrel {

namespace fs = std::filesystem;

BuiltInPdfPrinter::BuiltInPdfPrinter(std::string folder, PaperSize paper)
    : folder_(std::move(folder)), paper_(paper) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
  if (folder_.empty()) folder_ = ".";
}

std::unique_ptr<PrintJob> BuiltInPdfPrinter::StartJob(const std::string& title,
                                                      std::string& error) {
  std::error_code ec;
  if (!fs::is_directory(folder_, ec)) {
    error =
        "the printer '" + name_ + "' cannot write into " + folder_ + ": the folder does not exist";
    return nullptr;
  }
  const std::string final = folder_ + "/" + title + ".pdf";
  const std::string printer = name_;
  // The part starts with a dot so that a watcher of the folder never takes it for
  // the finished file.
  return PdfFileJob::Make(
      folder_ + "/." + title + ".XXXXXX.pdf", paper_, title,
      [final, printer](const std::string& part) -> std::string {
        const int fd = ::open(part.c_str(), O_RDONLY);
        const bool synced = fd >= 0 && ::fsync(fd) == 0;
        if (fd >= 0) ::close(fd);
        if (!synced || std::rename(part.c_str(), final.c_str()) != 0)
          return "the printer '" + printer + "' cannot write " + final + ": " +
                 std::strerror(errno);
        return "";
      },
      error);
}

}  // namespace vantrel

#include "platform/print/builtin_pdf_printer.h"

#include <sys/stat.h>

#include <filesystem>
#include <mutex>
#include <set>

#include "platform/print/pdf_file_job.h"

namespace vantrel {

namespace {

namespace fs = std::filesystem;

// What the printer made in this process may be made again without a question: the
// second page of a job that a run left open, the same title printed twice.
class MadeFiles {
 public:
  bool Has(const std::string& path) {
    const std::lock_guard<std::mutex> hold(lock_);
    return made_.count(path) > 0;
  }
  void Add(const std::string& path) {
    const std::lock_guard<std::mutex> hold(lock_);
    made_.insert(path);
  }

 private:
  std::mutex lock_;
  std::set<std::string> made_;
};

MadeFiles& Made() {
  static MadeFiles made;
  return made;
}

}  // namespace

BuiltInPdfPrinter::BuiltInPdfPrinter(std::string folder, PaperSize paper, Prompter* ask)
    : folder_(std::move(folder)), paper_(paper), ask_(ask) {
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
  auto file = std::make_unique<FileWriter>(
      final, WriteRules{.Trailer = std::string(kPdfTrailer), .IfExists = Existing::Keep});
  if (!file->Ready()) {
    error = "the printer '" + name_ + "' " + file->Error();
    return nullptr;
  }
  const std::string printer = name_;
  Prompter* ask = ask_;
  return PdfFileJob::Into(
      std::move(file), paper_, title, [printer, ask](FileWriter& pdf) -> std::string {
        const std::string& target = pdf.Target();
        const std::string notSaved = "the printer '" + printer + "' did not replace " + target;
        struct stat there {};
        if (Made().Has(target)) {
          pdf.SetIfExists(Existing::Replace);
        } else if (::lstat(target.c_str(), &there) == 0) {
          if (ask == nullptr) return notSaved + ", which it did not make; the report is not saved";
          const PromptAnswer answer = ask->Message(
              "The following filename already exists:\r" + target +
                  "\r\rDo you want to overwrite this file?\rSelecting No will mean the report is "
                  "not saved",
              "Auto PDF Saving", PromptIcon::Exclamation, PromptButtons::YesNo);
          if (answer != PromptAnswer::Yes) return notSaved + "; the report is not saved";
          pdf.SetIfExists(Existing::Replace);
        }
        if (!pdf.Commit()) return "the printer '" + printer + "' " + pdf.Error();
        Made().Add(target);
        return "";
      });
}

}  // namespace vantrel

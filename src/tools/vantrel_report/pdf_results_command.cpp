// --pdf with several --data: one PDF holding every result, each starting on a new
// page, or with --separate one PDF per result in a folder, named after its APPNAME.

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "render/page_target.h"
#include "render/report_job.h"
#include "support/file_writer.h"
#include "support/text.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/output_file.h"
#include "tools/vantrel_report/report_session.h"
#include "tools/vantrel_report/signing_options.h"

namespace vantrel::report_tool {

namespace {

namespace fs = std::filesystem;

// One document across several jobs: the first Begin starts it, every later Begin
// starts a new page, and only the caller ends it.
class ContinuedTarget : public PageTarget {
 public:
  explicit ContinuedTarget(PageTarget& inner) : inner_(inner) {}
  bool Begin() override {
    const bool ok = begun_ ? inner_.NewPage() : (begun_ = inner_.Begin());
    if (!ok) error_ = inner_.Error();
    return ok;
  }
  bool NewPage() override {
    const bool ok = inner_.NewPage();
    if (!ok) error_ = inner_.Error();
    return ok;
  }
  bool End() override { return true; }
  QPainter& Painter() override { return inner_.Painter(); }
  double PageWidthMm() const override { return inner_.PageWidthMm(); }
  double PageHeightMm() const override { return inner_.PageHeightMm(); }
  double DotsPerMm() const override { return inner_.DotsPerMm(); }
  int PagesStarted() const override { return inner_.PagesStarted(); }
  bool IsFileOutput() const override { return inner_.IsFileOutput(); }
  // The document records the result it starts with.
  bool KeepsCertificate() const override { return !begun_ && inner_.KeepsCertificate(); }
  void SetCertificate(std::shared_future<CertificateRecord> r,
                      const CertificateOptions& o) override {
    if (!begun_) inner_.SetCertificate(std::move(r), o);
  }
  bool Begun() const { return begun_; }

 private:
  PageTarget& inner_;
  bool begun_ = false;
};

// The APPNAME's file name, ending in .pdf.
std::string PdfNameOf(const std::string& appName, const std::string& dataFile) {
  std::string name = fs::path(ReplaceAll(appName, "\\", "/")).filename().string();
  if (Trim(name).empty()) name = fs::path(dataFile).stem().string();
  if (!EqualsNoCase(fs::path(name).extension().string(), ".pdf")) name += ".pdf";
  return name;
}

}  // namespace

namespace {

// --separate: one PDF per result in the folder --pdf names. A result that cannot be
// certified is named and the others are still written.
int WriteSeparatePdfs(ReportSession& session, const Options& o, const PaperSize& paper, int& n,
                      const JobProgress& progress, const pdf::SigningIdentity* signer) {
  std::error_code ec;
  fs::create_directories(o.Pdf, ec);
  if (!fs::is_directory(o.Pdf, ec))
    return Fail("cannot create the folder " + o.Pdf + (ec ? ": " + ec.message() : ""), kExitOutput);
  std::vector<std::string> inputs = o.DataFiles;
  inputs.push_back(o.Definition);
  RenderContext& context = session.Context();
  std::set<std::string> written;
  int status = kExitOk;
  std::vector<std::string> notWritten;
  const auto failed = [&](const std::string& file, int code) {
    notWritten.push_back(file);
    if (status == kExitOk) status = code;
  };
  for (const std::string& file : o.DataFiles) {
    if (++n > 1)
      if (const int loaded = session.LoadData(file); loaded != kExitOk) {
        failed(file, loaded);
        continue;
      }
    if (const std::string lack = MissingData(session.Data(), o); !lack.empty()) {
      Fail(lack + " in " + file + "; no PDF was written for it", kExitOutput);
      failed(file, kExitOutput);
      continue;
    }
    // The APPNAME as this result fills it; two results of one run never share a file:
    // the second gets "-2", and so on.
    const std::string appName = context.Data.FillParameters(session.State().Settings.AppName);
    const std::string name = PdfNameOf(appName, file);
    std::string path = (fs::path(o.Pdf) / name).string();
    for (int k = 2; written.count(path) > 0; ++k)
      path = (fs::path(o.Pdf) / (fs::path(name).stem().string() + "-" + std::to_string(k) + ".pdf"))
                 .string();
    written.insert(path);
    if (const std::string refusal = OutputRefusal(path, inputs); !refusal.empty()) {
      Fail(refusal, kExitUsage);
      failed(file, kExitUsage);
      continue;
    }
    FileWriter part(path, PdfRules());
    if (!part.Ready()) {
      Fail(part.Error(), kExitOutput);
      failed(file, kExitOutput);
      continue;
    }
    ReportJobResult r;
    {
      PdfTarget target(part, paper, appName);
      r = ProduceSelectedReports(context, target, session.State().Selection, progress);
    }
    std::string signError;
    if (!r.Ended || !r.Error.empty() || !r.AllProduced() ||
        !SignPart(signer, part.PartPath(), signError) || !part.Commit()) {
      const std::string why =
          !r.Error.empty() ? r.Error : (!signError.empty() ? signError : part.Error());
      Fail("the PDF " + path + " was not written" + (why.empty() ? "" : ": " + why), kExitOutput);
      failed(file, kExitOutput);
      continue;
    }
    if (!o.Quiet) std::fprintf(stderr, "vantrel-report: saved %s\n", path.c_str());
  }
  if (!notWritten.empty()) {
    std::string names;
    for (const std::string& file : notWritten) names += (names.empty() ? "" : ", ") + file;
    Fail(std::to_string(notWritten.size()) + " of " + std::to_string(o.DataFiles.size()) +
             " result(s) have no PDF: " + names,
         status);
  }
  return status;
}

}  // namespace

int RunPdfResults(const Options& o) {
  ReportSession session;
  if (const int status = session.Open(o); status != kExitOk) return status;
  RenderContext& context = session.Context();
  context.Certificate = {o.AttachData, o.PdfA};
  const PaperSize paper = PaperByName(o.PageSize);
  int n = 0;
  const auto progress = [&](const std::string& title, int k, int total) {
    const std::string shown = ShownTitle(context, title);
    if (!o.Quiet)
      std::fprintf(stderr, "Printing %s  (%d/%d, result %d/%d)\n", shown.c_str(), k, total, n,
                   static_cast<int>(o.DataFiles.size()));
  };
  // A key that cannot sign is found before anything is drawn.
  std::string error;
  const std::unique_ptr<pdf::SigningIdentity> signer = SignerFor(o, session.State(), error);
  if (!error.empty()) return Fail(error, kExitUsage);
  if (o.Separate) return WriteSeparatePdfs(session, o, paper, n, progress, signer.get());

  FileWriter part(o.Pdf, PdfRules());
  if (!part.Ready()) return Fail(part.Error(), kExitOutput);
  PdfTarget target(part, paper, context.Data.FillParameters(session.State().Settings.AppName));
  ContinuedTarget document(target);
  const auto skipped = [&] {
    return std::to_string(static_cast<int>(o.DataFiles.size()) - n) + " result(s) after it skipped";
  };
  for (const std::string& file : o.DataFiles) {
    if (++n > 1)
      if (const int loaded = session.LoadData(file); loaded != kExitOk)
        return Fail(o.Pdf + " was not written; " + skipped(), loaded);
    if (const std::string lack = MissingData(session.Data(), o); !lack.empty())
      return Fail(lack + " in " + file + "; " + o.Pdf + " was not written; " + skipped(),
                  kExitOutput);
    const ReportJobResult r =
        ProduceSelectedReports(context, document, session.State().Selection, progress);
    if (!r.Error.empty() || !r.AllProduced())
      return Fail("the PDF " + o.Pdf + " was not written" + (r.Error.empty() ? "" : ": " + r.Error),
                  kExitOutput);
  }
  if (!document.Begun())
    return Fail(
        "none of the selected reports has a test in the data files; " + o.Pdf + " was not written",
        kExitOutput);
  if (!target.End())
    return Fail("the PDF " + o.Pdf + " was not written: " + target.Error(), kExitOutput);
  if (!SignPart(signer.get(), part.PartPath(), error)) return Fail(error, kExitOutput);
  if (!part.Commit()) return Fail(part.Error(), kExitOutput);
  return kExitOk;
}

}  // namespace vantrel::report_tool

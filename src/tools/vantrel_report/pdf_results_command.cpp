// --pdf with several --data: one PDF holding every result, each starting on a new
// page, or with --separate one PDF per result in a folder, named after its APPNAME.

#include <cstdio>
#include <filesystem>
#include <set>

#include "render/page_target.h"
#include "render/report_job.h"
#include "support/file_writer.h"
#include "support/text.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/output_file.h"
#include "tools/vantrel_report/report_session.h"

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

int RunPdfResults(const Options& o) {
  ReportSession session;
  if (const int status = session.Open(o); status != kExitOk) return status;
  RenderContext& context = session.Context();
  context.Certificate = {o.attachData, o.pdfA};
  const PaperSize paper = PaperByName(o.pageSize);
  int n = 0;
  const auto progress = [&](const std::string& title, int k, int total) {
    const std::string shown = ShownTitle(context, title);
    if (!o.quiet)
      std::fprintf(stderr, "Printing %s  (%d/%d, result %d/%d)\n", shown.c_str(), k, total, n,
                   static_cast<int>(o.dataFiles.size()));
  };
  std::vector<std::string> inputs = o.dataFiles;
  inputs.push_back(o.definition);

  if (o.separate) {
    std::error_code ec;
    fs::create_directories(o.pdf, ec);
    if (!fs::is_directory(o.pdf, ec)) return Fail("cannot create the folder " + o.pdf, kExitOutput);
    std::set<std::string> written;
    for (const std::string& file : o.dataFiles) {
      if (++n > 1)
        if (const int loaded = session.LoadData(file); loaded != kExitOk) return loaded;
      // Two results of one run never share a file: the second gets "-2", and so on.
      const std::string name = PdfNameOf(session.State().Settings.AppName, file);
      std::string path = (fs::path(o.pdf) / name).string();
      for (int k = 2; written.count(path) > 0; ++k)
        path =
            (fs::path(o.pdf) / (fs::path(name).stem().string() + "-" + std::to_string(k) + ".pdf"))
                .string();
      written.insert(path);
      if (const std::string refusal = OutputRefusal(path, inputs); !refusal.empty())
        return Fail(refusal, kExitUsage);
      FileWriter part(path, PdfRules());
      if (!part.Ready()) return Fail(part.Error(), kExitOutput);
      ReportJobResult r;
      {
        PdfTarget target(part, paper, session.State().Settings.AppName);
        r = ProduceSelectedReports(context, target, session.State().Selection, progress);
      }
      if (!r.Ended || !r.Error.empty() || !r.AllProduced())
        return Fail(
            "the PDF " + path + " was not written" + (r.Error.empty() ? "" : ": " + r.Error),
            kExitOutput);
      if (const std::string lack = MissingData(session.Data(), o); !lack.empty())
        return Fail(lack + " in " + file + "; " + path + " was not written", kExitOutput);
      if (!part.Commit()) return Fail(part.Error(), kExitOutput);
      if (!o.quiet) std::fprintf(stderr, "vantrel-report: saved %s\n", path.c_str());
    }
    return kExitOk;
  }

  FileWriter part(o.pdf, PdfRules());
  if (!part.Ready()) return Fail(part.Error(), kExitOutput);
  PdfTarget target(part, paper, session.State().Settings.AppName);
  ContinuedTarget document(target);
  for (const std::string& file : o.dataFiles) {
    if (++n > 1)
      if (const int loaded = session.LoadData(file); loaded != kExitOk) return loaded;
    const ReportJobResult r =
        ProduceSelectedReports(context, document, session.State().Selection, progress);
    if (!r.Error.empty() || !r.AllProduced())
      return Fail("the PDF " + o.pdf + " was not written" + (r.Error.empty() ? "" : ": " + r.Error),
                  kExitOutput);
    if (const std::string lack = MissingData(session.Data(), o); !lack.empty())
      return Fail(lack + " in " + file + "; " + o.pdf + " was not written", kExitOutput);
  }
  if (!document.Begun())
    return Fail(
        "none of the selected reports has a test in the data files; " + o.pdf + " was not written",
        kExitOutput);
  if (!target.End())
    return Fail("the PDF " + o.pdf + " was not written: " + target.Error(), kExitOutput);
  if (!part.Commit()) return Fail(part.Error(), kExitOutput);
  return kExitOk;
}

}  // namespace vantrel::report_tool

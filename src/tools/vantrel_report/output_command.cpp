#include <cstdio>
#include <filesystem>
#include <memory>

#include "render/page_target.h"
#include "render/report_job.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/output_csv.h"
#include "tools/vantrel_report/report_session.h"

namespace vantrel::report_tool {

namespace {

namespace fs = std::filesystem;

bool PrepareFolder(const std::string& dir, std::string& error) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (!fs::is_directory(dir, ec)) {
    error = "cannot create the folder " + dir;
    return false;
  }
  return true;
}

// A PDF goes to a temporary name beside its destination and is renamed when complete.
std::string TempPdfName(const std::string& pdf) {
  const fs::path p(pdf);
  for (int i = 0; i < 1000; ++i) {
    fs::path candidate =
        p.parent_path() / ("." + p.filename().string() + ".part" + std::to_string(i));
    std::error_code ec;
    if (!fs::exists(candidate, ec)) return candidate.string();
  }
  return pdf + ".part";
}

}  // namespace

int RunOutput(const Options& o) {
  ReportSession session;
  if (const int status = session.Open(o); status != kExitOk) return status;
  ProgramState& state = session.State();
  RenderContext& context = session.Context();
  const JobProgress progress = [&](const std::string& title, int n, int total) {
    if (!o.quiet) std::fprintf(stderr, "Printing %s  (%d/%d)\n", title.c_str(), n, total);
  };
  const PaperSize paper = PaperByName(o.pageSize);
  std::unique_ptr<CsvWriter> csv;
  if (!o.csv.empty()) {
    std::string error;
    if (!PrepareFolder(o.csv, error)) return Fail(error, kExitOutput);
    csv = std::make_unique<CsvWriter>(o.csv);
    context.Observer = csv.get();
  }
  bool allProduced = true;
  int produced = 0;
  bool told = false;
  const auto account = [&](const ReportJobResult& r) {
    allProduced = allProduced && r.AllProduced();
    produced = std::max(produced, r.Produced);
    if (!r.Error.empty()) std::fprintf(stderr, "vantrel-report: %s\n", r.Error.c_str());
    if (!told && r.Skipped > 0 && !o.quiet)
      std::fprintf(stderr,
                   "vantrel-report: %d selected report(s) skipped: the data file holds "
                   "none of their tests\n",
                   r.Skipped);
    told = true;
  };
  bool ran = false;
  if (!o.pdf.empty()) {
    const std::string temp = TempPdfName(o.pdf);
    PdfTarget target(temp, paper, state.Settings.AppName);
    const ReportJobResult r = ProduceSelectedReports(context, target, state.Selection, progress);
    account(r);
    std::error_code ec;
    if (!r.Ended || !r.Error.empty()) {
      fs::remove(temp, ec);
      if (r.Error.empty() && r.Produced == 0 && r.Failed == 0)
        return Fail("none of the selected reports has a test in the data file; " + o.pdf +
                        " was not written",
                    kExitOutput);
      return Fail("the PDF " + o.pdf + " was not written", kExitOutput);
    }
    fs::rename(temp, o.pdf, ec);
    if (ec) {
      fs::remove(temp, ec);
      return Fail("cannot write " + o.pdf, kExitOutput);
    }
    context.Observer = nullptr;
    ran = true;
  }
  if (!o.png.empty()) {
    std::string error;
    if (!PrepareFolder(o.png, error)) return Fail(error, kExitOutput);
    ImageTarget target(paper, o.dpi, [&](const QImage& page, int number, std::string& why) {
      char name[32];
      std::snprintf(name, sizeof name, "page-%03d.png", number);
      const std::string path = (fs::path(o.png) / name).string();
      const std::string part = path + ".part";
      if (!page.save(QString::fromStdString(part), "PNG")) {
        why = "cannot write " + path;
        std::error_code ec;
        fs::remove(part, ec);
        return false;
      }
      std::error_code ec;
      fs::rename(part, path, ec);
      if (ec) why = "cannot write " + path;
      return !ec;
    });
    const ReportJobResult r =
        ProduceSelectedReports(context, target, state.Selection, ran ? JobProgress{} : progress);
    account(r);
    if (!r.Error.empty()) return Fail("the pages were not all written to " + o.png, kExitOutput);
    context.Observer = nullptr;
    ran = true;
  }
  if (!ran && csv) {
    PictureTarget target(paper);
    account(ProduceSelectedReports(context, target, state.Selection, progress));
  }
  if (csv && !csv->Error().empty()) return Fail(csv->Error(), kExitOutput);
  if (!allProduced) return Fail("not every selected report was produced", kExitOutput);
  return kExitOk;
}

}  // namespace vantrel::report_tool

#include <cstdio>
#include <filesystem>
#include <memory>

#include "render/page_target.h"
#include "support/text.h"
#include "render/report_job.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/output_csv.h"
#include "tools/vantrel_report/output_file.h"
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

}  // namespace

int RunOutput(const Options& o) {
  ReportSession session;
  if (const int status = session.Open(o); status != kExitOk) return status;
  ProgramState& state = session.State();
  RenderContext& context = session.Context();
  context.Certificate = {o.attachData, o.pdfA};
  const JobProgress progress = [&](const std::string& title, int n, int total) {
    // The title as the page shows it, its placeholder filled.
    const std::string shown = ShownTitle(context, title);
    if (!o.quiet) std::fprintf(stderr, "Printing %s  (%d/%d)\n", shown.c_str(), n, total);
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
    PartFile part(o.pdf);
    if (part.Path().empty()) return Fail(part.Error(), kExitOutput);
    ReportJobResult r;
    {
      PdfTarget target(part.Path(), paper, state.Settings.AppName);
      r = ProduceSelectedReports(context, target, state.Selection, progress);
    }
    account(r);
    if (!r.Ended || !r.Error.empty()) {
      if (r.Error.empty() && r.Produced == 0 && r.Failed == 0)
        return Fail("none of the selected reports has a test in the data file; " + o.pdf +
                        " was not written",
                    kExitOutput);
      return Fail("the PDF " + o.pdf + " was not written", kExitOutput);
    }
    // A certificate over partial data is worse than none.
    if (const std::string lack = MissingData(session.Data(), o); !lack.empty())
      return Fail(lack + "; " + o.pdf + " was not written", kExitOutput);
    if (!part.Commit("%%EOF")) return Fail(part.Error(), kExitOutput);
    context.Observer = nullptr;
    ran = true;
  }
  if (!o.png.empty()) {
    std::string error;
    if (!PrepareFolder(o.png, error)) return Fail(error, kExitOutput);
    // The page's own fault message cannot carry the reason; it is said here, once.
    bool toldWhy = false;
    const auto tell = [&toldWhy](const std::string& why) {
      if (!toldWhy) std::fprintf(stderr, "vantrel-report: %s\n", why.c_str());
      toldWhy = true;
    };
    ImageTarget target(paper, o.dpi, [&](const QImage& page, int number, std::string& why) {
      char name[32];
      std::snprintf(name, sizeof name, "page-%03d.png", number);
      const std::string path = (fs::path(o.png) / name).string();
      if (const std::string refusal = OutputRefusal(path, {o.data, o.definition});
          !refusal.empty()) {
        why = refusal;
        return false;
      }
      PartFile part(path);
      if (part.Path().empty()) {
        why = part.Error();
        return false;
      }
      if (!page.save(QString::fromStdString(part.Path()), "PNG")) {
        why = "cannot write " + path + ": " + WhyNotWritten(part.Path());
        tell(why);
        return false;
      }
      const bool committed = part.Commit();
      if (!committed) tell(why = part.Error());
      return committed;
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
  if (const std::string lack = MissingData(session.Data(), o); !lack.empty())
    return Fail(lack, kExitOutput);
  return kExitOk;
}

}  // namespace vantrel::report_tool

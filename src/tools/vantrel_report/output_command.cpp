#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "definitions/ini_store.h"
#include "definitions/program_state.h"
#include "definitions/settings_reader.h"
#include "platform/stderr_prompter.h"
#include "render/objdata_source.h"
#include "render/page_target.h"
#include "render/report_job.h"
#include "results/data_host.h"
#include "results/obj_data.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/output_csv.h"
#include "tools/vantrel_report/output_selection.h"

namespace vantrel::report_tool {

namespace {

namespace fs = std::filesystem;

// The data file's header may name a profile to start with.
class BatchHost : public NullDataHost {
 public:
  BatchHost(ProgramState& state, Prompter& prompter) : state_(state), prompter_(prompter) {}
  void ApplyProfile(const std::string& value) override { SelectProfile(state_, value, prompter_); }

 private:
  ProgramState& state_;
  Prompter& prompter_;
};

std::unique_ptr<QGuiApplication> StartGui() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "vantrel-report";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

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

int Fail(const std::string& what, int code) {
  std::fprintf(stderr, "vantrel-report: %s\n", what.c_str());
  return code;
}

}  // namespace

int RunOutput(const Options& o) {
  if (o.definition.empty()) return Fail("--definition FILE is needed", kExitUsage);
  if (o.data.empty()) return Fail("--data FILE is needed", kExitUsage);
  auto app = StartGui();

  // The definitions are far too large for the stack.
  auto owned = std::make_unique<ProgramState>();
  ProgramState& state = *owned;
  StderrPrompter prompter(&state.AppTitle);
  if (!LoadIni(o.definition, state.Ini, prompter))
    return Fail("cannot load the definition file " + o.definition, kExitUsage);
  state.DefinitionPath = o.definition;
  ReadSettings(state, prompter, "");
  // A relative logo path is taken from the definition file's folder when it is there.
  if (const fs::path logo(state.Settings.Logo); !logo.empty() && logo.is_relative()) {
    const fs::path beside = fs::path(o.definition).parent_path() / logo;
    std::error_code ec;
    if (!fs::exists(logo, ec) && fs::exists(beside, ec)) state.Settings.Logo = beside.string();
  }

  BatchHost host(state, prompter);
  auto ownedData = std::make_unique<ObjData>(state, prompter, host);
  ObjData& data = *ownedData;
  state.DataFilePath = o.data;
  if (!data.SetFile(o.data))
    return Fail("the data file " + o.data + " was not loaded", kExitNotLoaded);

  if (o.reports) {
    const std::string error = ParseReportList(*o.reports, state.Ini.NumReports, state.Selection);
    if (!error.empty()) return Fail(error, kExitUsage);
  } else if (o.profile) {
    if (!SelectProfile(state, *o.profile, prompter))
      return Fail("there is no profile named '" + *o.profile + "'", kExitUsage);
  }

  ObjDataSource source(data);
  RenderContext context{state, source, prompter, {}, {}, {}, o.slots, nullptr};
  UseDefinitionColours(context);
  // The definitions are read once here so that the PDF's title and the report
  // titles of the progress lines are known before the first page.
  context.ReadReports();
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
  int selected = 0;
  for (bool on : state.Selection) selected += on ? 1 : 0;
  if (selected == 0) return Fail("no report is selected; nothing was written", kExitOutput);

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

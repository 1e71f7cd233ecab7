#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "pdf/signer.h"
#include "render/page_target.h"
#include "render/paint_pipeline.h"
#include "render/png_file.h"
#include "render/report_job.h"
#include "support/file_writer.h"
#include "support/text.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/output_csv.h"
#include "tools/vantrel_report/output_file.h"
#include "tools/vantrel_report/report_session.h"
#include "tools/vantrel_report/signing_options.h"

namespace vantrel::report_tool {

namespace {

namespace fs = std::filesystem;

// Page files written on up to `threads` threads while later pages are drawn. Each
// write gives its fault's message, or "" when the file was written.
class PageWriters {
 public:
  explicit PageWriters(int threads) : threads_(std::max(1, threads)) {}
  ~PageWriters() { Finish(); }

  void Add(std::function<std::string()> write) {
    while (static_cast<int>(running_.size()) >= threads_) Collect();
    running_.push_back(std::async(std::launch::async, std::move(write)));
  }
  /// The first fault so far, of the writes already done.
  std::string FirstError() {
    while (!running_.empty() &&
           running_.front().wait_for(std::chrono::seconds(0)) == std::future_status::ready)
      Collect();
    return error_;
  }
  /// Waits for every write; the first fault, or "".
  std::string Finish() {
    while (!running_.empty()) Collect();
    return error_;
  }

 private:
  void Collect() {
    const std::string error = running_.front().get();
    running_.pop_front();
    if (error_.empty()) error_ = error;
  }

  int threads_;
  std::deque<std::future<std::string>> running_;
  std::string error_;
};

int Threads(const Options& o) {
  if (o.jobs > 0) return o.jobs;
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
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
  // Said before any file is written, not after the first page ran out of memory.
  if (!o.png.empty())
    if (const std::string refusal = PageBitmapRefusal(paper, o.dpi); !refusal.empty())
      return Fail("--png at --dpi " + std::to_string(o.dpi) + ": " + refusal, kExitUsage);
  // With more than one thread, pages are painted on a thread of their own while the
  // next ones are laid out; one thread is the plain page-after-page run.
  const int threads = Threads(o);
  std::optional<PaintPipeline> pipeline;
  if (threads > 1) {
    pipeline.emplace();
    context.Pipeline = &*pipeline;
  }
  std::unique_ptr<CsvWriter> csv;
  if (!o.csv.empty()) {
    std::string error;
    if (!MakeFolders(o.csv, error)) return Fail(error, kExitOutput);
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
    // A key that cannot sign is found before anything is drawn.
    std::unique_ptr<pdf::SigningIdentity> signer;
    if (const pdf::SigningSettings signing = SigningFor(o, state); signing.Wanted()) {
      std::string error;
      signer = pdf::SigningIdentity::Load(signing, error);
      if (!signer) return Fail(error, kExitUsage);
    }
    FileWriter part(o.pdf, PdfRules());
    if (!part.Ready()) return Fail(part.Error(), kExitOutput);
    ReportJobResult r;
    {
      PdfTarget target(part, paper, state.Settings.AppName);
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
    if (std::string error; signer && !pdf::AppendSignature(part.PartPath(), *signer, error))
      return Fail(error, kExitOutput);
    if (!part.Commit()) return Fail(part.Error(), kExitOutput);
    context.Observer = nullptr;
    ran = true;
  }
  if (!o.png.empty()) {
    std::string error;
    if (!MakeFolders(o.png, error)) return Fail(error, kExitOutput);
    // The page's own fault message cannot carry the reason; it is said here, once.
    bool toldWhy = false;
    const auto tell = [&toldWhy](const std::string& why) {
      if (!toldWhy) std::fprintf(stderr, "vantrel-report: %s\n", why.c_str());
      toldWhy = true;
    };
    // Writes one page's file. The reason when it was not written, and whether it is
    // said at once (the others reach the user through the job's own fault).
    struct Written {
      std::string why;
      bool tell = false;
    };
    const auto write = [&o](const QImage& page, int number) -> Written {
      char name[32];
      std::snprintf(name, sizeof name, "page-%03d.png", number);
      const std::string path = (fs::path(o.png) / name).string();
      if (std::string refusal = OutputRefusal(path, {o.data, o.definition}); !refusal.empty())
        return {refusal};
      FileWriter part(path);
      if (!part.Ready()) return {part.Error()};
      if (std::string why; !WritePng(page, part.PartPath(), why))
        return {"cannot write " + path + ": " + why, true};
      if (!part.Commit()) return {part.Error(), true};
      return {};
    };
    std::optional<PageWriters> writers;
    if (threads > 1) writers.emplace(threads);
    ImageTarget target(paper, o.dpi, [&](const QImage& page, int number, std::string& why) {
      if (writers) {
        // A fault of an earlier page ends the run at this one.
        if (why = writers->FirstError(); !why.empty()) {
          tell(why);
          return false;
        }
        writers->Add([write, page, number] {
          const Written w = write(page, number);
          return w.why.empty() && !w.tell ? std::string()
                                          : (w.why.empty() ? "cannot write a page" : w.why);
        });
        return true;
      }
      const Written w = write(page, number);
      why = w.why;
      if (w.tell) tell(why);
      return why.empty() && !w.tell;
    });
    const ReportJobResult r =
        ProduceSelectedReports(context, target, state.Selection, ran ? JobProgress{} : progress);
    // Pages still being written when the last was drawn.
    const std::string late = writers ? writers->Finish() : std::string();
    if (!late.empty()) tell(late);
    account(r);
    if (!r.Error.empty() || !late.empty())
      return Fail("the pages were not all written to " + o.png, kExitOutput);
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

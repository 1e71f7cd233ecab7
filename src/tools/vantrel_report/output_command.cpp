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
#include "render/font_metrics.h"
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
  if (o.Jobs > 0) return o.Jobs;
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

// One run of --pdf, --png and --csv over one data file: the formats are written one
// after the other from the same loaded data.
class OutputRun {
 public:
  OutputRun(const Options& o, ReportSession& session)
      : o_(o),
        session_(session),
        context_(session.Context()),
        paper_(PaperByName(o.PageSize)),
        threads_(Threads(o)) {
    context_.Certificate = {o.AttachData, o.PdfA};
    // With more than one thread, pages are painted on a thread of their own while the
    // next ones are laid out; one thread is the plain page-after-page run.
    if (threads_ > 1) {
      pipeline_.emplace();
      context_.Pipeline = &*pipeline_;
      layoutHelper_.emplace(1);
      // Each thread makes its own fonts: the helper's are made while the first page's
      // data is fetched.
      layoutHelper_->Queue([] { WarmUpThreadFonts(); });
      context_.LayoutHelper = &*layoutHelper_;
      context_.LayoutThreads = threads_;
    }
  }

  int Run() {
    // Said before any file is written, not after the first page ran out of memory.
    if (!o_.Png.empty())
      if (const std::string refusal = PageBitmapRefusal(paper_, o_.Dpi); !refusal.empty())
        return Fail("--png at --dpi " + std::to_string(o_.Dpi) + ": " + refusal, kExitUsage);
    if (!o_.Csv.empty()) {
      std::string error;
      if (!MakeFolders(o_.Csv, error)) return Fail(error, kExitOutput);
      csv_ = std::make_unique<CsvWriter>(o_.Csv);
      context_.Observer = csv_.get();
    }
    bool ran = false;
    if (!o_.Pdf.empty()) {
      if (const int status = Pdf(); status != kExitOk) return status;
      ran = true;
    }
    if (!o_.Png.empty()) {
      // One set of progress lines per run.
      if (const int status = Png(ran ? JobProgress{} : Progress()); status != kExitOk)
        return status;
      ran = true;
    }
    if (!ran && csv_) {
      PictureTarget target(paper_);
      Account(ProduceSelectedReports(context_, target, State().Selection, Progress()));
    }
    if (csv_ && !csv_->Error().empty()) return Fail(csv_->Error(), kExitOutput);
    if (!allProduced_) return Fail("not every selected report was produced", kExitOutput);
    return kExitOk;
  }

 private:
  ProgramState& State() { return session_.State(); }

  JobProgress Progress() {
    return [this](const std::string& title, int n, int total) {
      // The title as the page shows it, its placeholder filled.
      const std::string shown = ShownTitle(context_, title);
      if (!o_.Quiet) std::fprintf(stderr, "Printing %s  (%d/%d)\n", shown.c_str(), n, total);
    };
  }

  void Account(const ReportJobResult& r) {
    allProduced_ = allProduced_ && r.AllProduced();
    if (!r.Error.empty()) std::fprintf(stderr, "vantrel-report: %s\n", r.Error.c_str());
    if (!toldSkipped_ && r.Skipped > 0 && !o_.Quiet)
      std::fprintf(stderr,
                   "vantrel-report: %d selected report(s) skipped: the data file holds "
                   "none of their tests\n",
                   r.Skipped);
    toldSkipped_ = true;
  }

  int Pdf() {
    // A key that cannot sign is found before anything is drawn.
    std::string error;
    const std::unique_ptr<pdf::SigningIdentity> signer = SignerFor(o_, State(), error);
    if (!error.empty()) return Fail(error, kExitUsage);
    FileWriter part(o_.Pdf, PdfRules());
    if (!part.Ready()) return Fail(part.Error(), kExitOutput);
    ReportJobResult r;
    {
      PdfTarget target(part, paper_, context_.Data.FillParameters(State().Settings.AppName));
      r = ProduceSelectedReports(context_, target, State().Selection, Progress());
    }
    Account(r);
    if (!r.Ended || !r.Error.empty()) {
      if (r.Error.empty() && r.Produced == 0 && r.Failed == 0)
        return Fail("none of the selected reports has a test in the data file; " + o_.Pdf +
                        " was not written",
                    kExitOutput);
      return Fail("the PDF " + o_.Pdf + " was not written", kExitOutput);
    }
    if (!SignPart(signer.get(), part.PartPath(), error)) return Fail(error, kExitOutput);
    if (!part.Commit()) return Fail(part.Error(), kExitOutput);
    context_.Observer = nullptr;  // the tables and graphs went to the CSV files once
    return kExitOk;
  }

  // Writes one page's file. The reason when it was not written, and whether it is
  // said at once (the others reach the user through the job's own fault).
  struct Written {
    std::string Why;
    bool Tell = false;
  };

  Written WritePage(const QImage& page, int number) const {
    char name[32];
    std::snprintf(name, sizeof name, "page-%03d.png", number);
    const std::string path = (fs::path(o_.Png) / name).string();
    if (std::string refusal = OutputRefusal(path, {o_.Data, o_.Definition}); !refusal.empty())
      return {refusal};
    FileWriter part(path);
    if (!part.Ready()) return {part.Error()};
    if (std::string why; !WritePng(page, part.PartPath(), why))
      return {"cannot write " + path + ": " + why, true};
    if (!part.Commit()) return {part.Error(), true};
    return {};
  }

  int Png(const JobProgress& progress) {
    std::string error;
    if (!MakeFolders(o_.Png, error)) return Fail(error, kExitOutput);
    // The page's own fault message cannot carry the reason; it is said here, once.
    bool toldWhy = false;
    const auto tell = [&toldWhy](const std::string& why) {
      if (!toldWhy) std::fprintf(stderr, "vantrel-report: %s\n", why.c_str());
      toldWhy = true;
    };
    std::optional<PageWriters> writers;
    if (threads_ > 1) writers.emplace(threads_);
    ImageTarget target(paper_, o_.Dpi, [&](const QImage& page, int number, std::string& why) {
      if (writers) {
        // A fault of an earlier page ends the run at this one.
        if (why = writers->FirstError(); !why.empty()) {
          tell(why);
          return false;
        }
        writers->Add([this, page, number] {
          const Written w = WritePage(page, number);
          return w.Why.empty() && !w.Tell ? std::string()
                                          : (w.Why.empty() ? "cannot write a page" : w.Why);
        });
        return true;
      }
      const Written w = WritePage(page, number);
      why = w.Why;
      if (w.Tell) tell(why);
      return why.empty() && !w.Tell;
    });
    const ReportJobResult r = ProduceSelectedReports(context_, target, State().Selection, progress);
    // Pages still being written when the last was drawn.
    const std::string late = writers ? writers->Finish() : std::string();
    if (!late.empty()) tell(late);
    Account(r);
    if (!r.Error.empty() || !late.empty())
      return Fail("the pages were not all written to " + o_.Png, kExitOutput);
    context_.Observer = nullptr;
    return kExitOk;
  }

  const Options& o_;
  ReportSession& session_;
  RenderContext& context_;
  const PaperSize paper_;
  const int threads_;
  std::optional<PaintPipeline> pipeline_;
  std::optional<PaintPipeline> layoutHelper_;
  std::unique_ptr<CsvWriter> csv_;
  bool allProduced_ = true;
  bool toldSkipped_ = false;
};

}  // namespace

int RunOutput(const Options& o, OpenedRun* opened) {
  ReportSession session;
  if (const int status = session.Open(o, opened); status != kExitOk) return status;
  // A certificate over partial data is worse than none.
  if (const std::string lack = MissingData(session.Data(), o); !lack.empty())
    return Fail(lack + "; nothing was written", kExitOutput);
  OutputRun run(o, session);
  return run.Run();
}

}  // namespace vantrel::report_tool

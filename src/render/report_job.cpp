#include "render/report_job.h"

#include <optional>
#include <stdexcept>

#include "render/lazy_target.h"
#include "render/paint_pipeline.h"

namespace vantrel {

void RecordCertificate(RenderContext& context, PageTarget& target) {
  if (!target.KeepsCertificate()) return;
  target.SetCertificate(StartCertificateRecord(context.State, context.Data.AnyTestFailed()),
                        context.Certificate);
}

ReportJobResult ProduceSelectedReports(RenderContext& context, PageTarget& target,
                                       const ReportSelection& selection,
                                       const JobProgress& progress) {
  ReportJobResult result;
  if (context.ReadReports) context.ReadReports();
  std::vector<int> chosen;
  for (int i = 0; i < kMaxReports; ++i)
    if (selection[static_cast<std::size_t>(i)]) chosen.push_back(i);
  result.Selected = static_cast<int>(chosen.size());
  RecordCertificate(context, target);

  // Where pages are painted on a thread of their own, the tests are parsed on another,
  // ahead of the pages that read them.
  struct ReadAhead {
    explicit ReadAhead(ReportDataSource& data) : Data(data) {}
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    ~ReadAhead() { Data.ExpectReads({}); }
    ReportDataSource& Data;
  };
  std::optional<ReadAhead> readAhead;
  if (context.Pipeline != nullptr) {
    context.Data.ExpectReads(SelectedReportReads(context.State.Reports, selection));
    readAhead.emplace(context.Data);
  }

  LazyTarget lazy(target, LazyTarget::Ending::WithRun);

  ReportProducer producer(context);
  JobPageState job;
  int n = 0;
  for (int index : chosen) {
    ++n;
    if (progress)
      progress(context.State.Reports[static_cast<std::size_t>(index)].Title, n, result.Selected);
    const ProduceOutcome outcome = producer.ProduceReport(index, false, lazy, job);
    if (lazy.Failed()) {
      result.Error = target.Error().empty() ? "the output could not be started" : target.Error();
      ++result.Failed;
      break;
    }
    switch (outcome) {
      case ProduceOutcome::Drawn:
        ++result.Produced;
        break;
      case ProduceOutcome::NotTested:
        ++result.Skipped;
        break;
      case ProduceOutcome::QuitRequested:
        result.Quit = true;
        ++result.Failed;
        break;
      default:
        ++result.Failed;
        break;
    }
    if (result.Quit) break;
  }
  if (context.Pipeline != nullptr) {
    // Every page is painted before the target is ended or its fault is read.
    context.Pipeline->Drain();
    if (const std::string fault = context.Pipeline->Error(); !fault.empty() && result.Error.empty())
      result.Error = fault;
  }
  if (lazy.Begun()) {
    result.Ended = target.End();
    if (!result.Ended && result.Error.empty())
      result.Error = target.Error().empty() ? "the output could not be completed" : target.Error();
  }
  return result;
}

}  // namespace vantrel

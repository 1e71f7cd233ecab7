#include "render/report_job.h"

#include <stdexcept>

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

  // The target is begun lazily so that a run that draws nothing writes nothing.
  class LazyTarget : public PageTarget {
   public:
    explicit LazyTarget(PageTarget& inner) : inner_(inner) {}
    bool Begin() override { return true; }
    bool NewPage() override {
      if (Ensure() && inner_.NewPage()) return true;
      error_ = inner_.Error();
      return false;
    }
    bool End() override { return !begun_ || inner_.End(); }
    QPainter& Painter() override {
      if (!Ensure()) throw OutputDeviceError(inner_.Error());
      return inner_.Painter();
    }
    double PageWidthMm() const override { return inner_.PageWidthMm(); }
    double PageHeightMm() const override { return inner_.PageHeightMm(); }
    double DotsPerMm() const override { return inner_.DotsPerMm(); }
    int PagesStarted() const override { return begun_ ? inner_.PagesStarted() : 0; }
    bool IsFileOutput() const override { return inner_.IsFileOutput(); }
    bool Begun() const { return begun_; }
    bool Failed() const { return failed_; }

   private:
    bool Ensure() {
      if (begun_) return true;
      if (failed_) return false;
      begun_ = inner_.Begin();
      failed_ = !begun_;
      return begun_;
    }
    PageTarget& inner_;
    bool begun_ = false;
    bool failed_ = false;
  } lazy(target);

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

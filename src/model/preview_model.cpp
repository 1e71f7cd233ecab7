#include "model/preview_model.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "render/plan_painter.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

// Clicks double and halve past the box's range, but a page drawn thousands of times
// its size (or too small to see) helps nobody and ends in numbers that no longer hold.
constexpr double kMinClickZoom = 1.0 / 64;
constexpr double kMaxClickZoom = 64;

bool EndsWithPng(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return tail == ".png";
}

// Keeps the first page's layout for Save, and passes every page on to whoever
// watched the output before.
class PlanKeeper : public ReportObserver {
 public:
  explicit PlanKeeper(RenderContext& context) : context_(context), next_(context.Observer) {
    context_.Observer = this;
  }
  ~PlanKeeper() override { context_.Observer = next_; }
  PlanKeeper(const PlanKeeper&) = delete;
  PlanKeeper& operator=(const PlanKeeper&) = delete;
  void PagePlanned(const PagePlan& page) override {
    if (!Plan) Plan = page;
    if (next_) next_->PagePlanned(page);
  }
  std::optional<PagePlan> Plan;

 private:
  RenderContext& context_;
  ReportObserver* next_;
};

}  // namespace

double ParseZoom(const std::string& text) {
  double z = Val(text);
  if (!(z > 0)) return 1.0;
  if (z >= 25 && z <= 200) z /= 100;
  return std::clamp(z, kMinBoxZoom, kMaxBoxZoom);
}

std::string ZoomText(double zoom) {
  const long percent = std::lround(zoom * 100);
  return (percent == 0 ? std::string() : std::to_string(percent)) + "%";
}

PreviewScroll ScrollRule(double zoom, double pageWidth, double pageHeight, double viewWidth,
                         double viewHeight, double h, double v) {
  PreviewScroll s;
  const double x = zoom * pageWidth - viewWidth;
  const double y = zoom * pageHeight - viewHeight;
  s.HEnabled = x >= 0;
  s.VEnabled = y >= 0;
  s.OverflowX = s.HEnabled ? x : 0;
  s.OverflowY = s.VEnabled ? y : 0;
  s.Left = std::clamp(h, 0.0, 1.0) * s.OverflowX;
  s.Top = std::clamp(v, 0.0, 1.0) * s.OverflowY;
  s.MarginX = s.HEnabled ? 0 : -x / 2;
  s.MarginY = s.VEnabled ? 0 : -y / 2;
  return s;
}

PreviewModel::PreviewModel(WindowModel& main, ContextSource context, ReportPrinter print,
                           PreviewHost& host, PaperSource paper)
    : main_(main),
      context_(std::move(context)),
      print_(std::move(print)),
      host_(host),
      paperSource_(std::move(paper)) {}

void PreviewModel::Notify(PreviewChange what) {
  for (PreviewObserver* o : observers_) o->PreviewChanged(what);
}

const QPicture* PreviewModel::Page() const {
  if (!page_ || page_->Pages().empty()) return nullptr;
  return page_->Pages().front().get();
}

int PreviewModel::ReportCount() const {
  return std::clamp<int>(context_().State.Ini.NumReports, 0, kMaxReports);
}

std::string PreviewModel::Title() const {
  if (report_ < 0) return {};
  RenderContext& context = context_();
  return ReplaceAll(context.State.Reports[static_cast<std::size_t>(report_)].Title,
                    "TEST_DESCRIPTION", context.Data.TestDescription());
}

ProduceOutcome PreviewModel::ShowReport(int reportIndex) {
  if (busy_ || main_.PrintingFlag() || main_.PreviewBusy()) return ProduceOutcome::Busy;
  if (reportIndex < 0 || reportIndex >= kMaxReports) return ProduceOutcome::Faulted;
  RenderContext& context = context_();
  report_ = reportIndex;
  busy_ = true;
  cancel_ = false;
  main_.SetPreviewBusy(true);
  // The last report's page is not shown as if it were this one's.
  page_.reset();
  plan_.reset();
  Notify(PreviewChange::Production);
  Notify(PreviewChange::Page);

  // The page as it will print: on the printer's paper.
  paper_ = paperSource_ ? paperSource_() : PaperSize{};
  auto target = std::make_unique<PictureTarget>(paper_);
  dotsPerMm_ = target->DotsPerMm();
  ReportProducer producer(context);
  producer.ProcessEvents = [this, &producer] {
    host_.ProcessEvents();
    if (cancel_ || host_.ProgramClosing()) producer.RequestCancel();
  };
  JobPageState job;
  ProduceOutcome outcome = ProduceOutcome::Faulted;
  PlanKeeper keeper(context);
  if (target->Begin()) {
    outcome = producer.ProduceReport(reportIndex, true, *target, job);
    target->End();
  }
  if (outcome == ProduceOutcome::Drawn) plan_ = std::move(keeper.Plan);
  // What was drawn before a cancel is shown.
  page_ = std::move(target);

  busy_ = false;
  main_.SetPreviewBusy(false);
  Notify(PreviewChange::Production);
  Notify(PreviewChange::Page);
  // Yes to "close the report software?" ends the program, from here as from a run.
  if (outcome == ProduceOutcome::QuitRequested) main_.EndProgram();
  return outcome;
}

void PreviewModel::Close() {
  if (busy_) cancel_ = true;
  host_.HidePreview();
  host_.ShowMainWindow();
}

void PreviewModel::SetZoom(double zoom) {
  zoom_ = zoom;
  zoomText_ = ZoomText(zoom);
  Notify(PreviewChange::Zoom);
}

void PreviewModel::ZoomBoxLeft(const std::string& text) { SetZoom(ParseZoom(text)); }

void PreviewModel::ZoomBoxClicked() { SetScroll(0, 0); }

void PreviewModel::PreviewMouseDown(bool leftButton) {
  if (busy_) return;
  const double zoom = leftButton ? zoom_ * 2 : zoom_ / 2;
  if (zoom > kMaxClickZoom || zoom < kMinClickZoom) return;
  SetZoom(zoom);
}

void PreviewModel::SetScroll(double h, double v) {
  h = std::clamp(h, 0.0, 1.0);
  v = std::clamp(v, 0.0, 1.0);
  if (h == scrollH_ && v == scrollV_) return;
  scrollH_ = h;
  scrollV_ = v;
  Notify(PreviewChange::Scroll);
}

PreviewScroll PreviewModel::Scroll(double viewWidthMm, double viewHeightMm) const {
  return ScrollRule(zoom_, paper_.WidthMm, paper_.HeightMm, viewWidthMm, viewHeightMm, scrollH_,
                    scrollV_);
}

void PreviewModel::Print() {
  if (busy_ || main_.PrintingFlag() || report_ < 0) return;
  host_.HidePreview();
  host_.ShowMainWindow();
  if (print_) print_(report_);
}

std::string PreviewModel::SavePicture(const std::string& path, int dpi) const {
  const QPicture* page = Page();
  if (page == nullptr) return "there is no page to save";
  QImage image;
  ImageTarget target(paper_, dpi, [&image](const QImage& drawn, int, std::string&) {
    image = drawn;
    return true;
  });
  if (!target.Begin()) return target.Error();
  try {
    if (plan_) {
      PaintPlan(*plan_, target);
    } else {
      // The bitmap's resolution scales the picture's millimetres to its pixels.
      target.Painter().drawPicture(0, 0, *page);
    }
  } catch (const OutputDeviceError& e) {
    return e.what();
  }
  if (!target.End() || image.isNull()) return "the page could not be drawn";
  // A save that fails halfway leaves any earlier file of that name as it was.
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
  if (!image.save(&file, EndsWithPng(path) ? "PNG" : "BMP")) {
    file.cancelWriting();
    return "the picture could not be written";
  }
  if (!file.commit()) return file.errorString().toStdString();
  return {};
}

bool PreviewModel::PrevEnabled() const { return !busy_ && report_ > 0; }

bool PreviewModel::NextEnabled() const {
  return !busy_ && report_ >= 0 && report_ + 1 < ReportCount();
}

void PreviewModel::PrevReport() {
  if (PrevEnabled()) ShowReport(report_ - 1);
}

void PreviewModel::NextReport() {
  if (NextEnabled()) ShowReport(report_ + 1);
}

}  // namespace vantrel

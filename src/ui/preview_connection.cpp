#include "ui/preview_connection.h"

#include "model/main_window_model.h"
#include "ui/main_window.h"

namespace vantrel {

PreviewConnection::PreviewConnection(MainWindow& window, MainWindowModel& model, FileDialog& dialog)
    : QObject(&window), window_(window), model_(model), dialog_(dialog) {
  connect(&window, &MainWindow::PreviewRequested, this, [this](int report) {
    ReportWindow& preview = Window();
    preview.show();
    preview.raise();
    // Out of the way while the preview is up; closing the preview brings it back.
    window_.hide();
    preview.ShowReport(report);
  });
}

// The window goes before the model it observes.
PreviewConnection::~PreviewConnection() { preview_.reset(); }

ReportWindow& PreviewConnection::Window() {
  if (!preview_) {
    MainWindow& main = window_;
    MainWindowModel& model = model_;
    preview_ = std::make_unique<ReportWindow>(
        dialog_, model.Ask(),
        [&main] {
          if (main.Closed()) return;
          main.ShowWindow();
          main.raise();
        },
        [&main, &model] { return main.Closed() || model.CancelRequested(); });
    previewModel_ = std::make_unique<PreviewModel>(
        model, [&model]() -> RenderContext& { return model.Rendering(); },
        [&model](int report) { model.PrintPreviewed(report); }, *preview_,
        [&model] { return model.PrinterPaper(); });
    preview_->setWindowIcon(main.windowIcon());
    preview_->Bind(*previewModel_);
  }
  return *preview_;
}

PreviewConnection* ConnectPreview(MainWindow& window, MainWindowModel& model, FileDialog& dialog) {
  return new PreviewConnection(window, model, dialog);
}

}  // namespace vantrel

#pragma once
// The main window's preview buttons and the one preview window they show.

#include <QObject>
#include <memory>

#include "definitions/file_dialog.h"
#include "model/preview_model.h"
#include "ui/report_window.h"

namespace vantrel {

class MainWindow;
class MainWindowModel;

/// Owned by the main window. The preview window is made at the first click and only
/// hidden afterwards.
class PreviewConnection : public QObject {
  Q_OBJECT
 public:
  PreviewConnection(MainWindow& window, MainWindowModel& model, FileDialog& dialog);
  ~PreviewConnection() override;
  /// The preview window, made on first use.
  ReportWindow& Window();
  /// nullptr until the first preview.
  ReportWindow* WindowIfMade() const { return preview_.get(); }
  PreviewModel* Model() const { return previewModel_.get(); }

 private:
  MainWindow& window_;
  MainWindowModel& model_;
  FileDialog& dialog_;
  std::unique_ptr<PreviewModel> previewModel_;
  std::unique_ptr<ReportWindow> preview_;
};

/// Connects window's preview buttons to a preview over model.
PreviewConnection* ConnectPreview(MainWindow& window, MainWindowModel& model, FileDialog& dialog);

}  // namespace vantrel

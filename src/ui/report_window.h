#pragma once
// FrmReport: the print preview's widgets over PreviewModel. Object names are the
// control names (CboZoom, PicPreview, HScrollPreview, CmdPrint, ...).

#include <QWidget>
#include <functional>

#include "definitions/file_dialog.h"
#include "model/preview_model.h"
#include "support/prompter.h"

class QComboBox;
class QPushButton;
class QScrollBar;

namespace vantrel {

/// PicPreview: the page replayed from its vector picture at the zoom.
class PreviewPicture : public QWidget {
  Q_OBJECT
 public:
  explicit PreviewPicture(QWidget* parent);
  void Bind(PreviewModel* model) { model_ = model; }
  /// Screen pixels per millimetre.
  double PixelsPerMm() const;

 Q_SIGNALS:
  void Pressed(bool leftButton);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  PreviewModel* model_ = nullptr;
};

class ReportWindow : public QWidget, public PreviewHost, public PreviewObserver {
  Q_OBJECT
 public:
  /// showMain brings the main window back; closing says the program is ending.
  ReportWindow(FileDialog& dialog, Prompter& prompter, std::function<void()> showMain,
               std::function<bool()> closing = {});
  ~ReportWindow() override;

  /// Binds the window to its model; a model that goes first is left with Unbind.
  void Bind(PreviewModel& model);
  void Unbind();
  /// Shows the window and draws report (0-based) in it.
  void ShowReport(int reportIndex);

  // PreviewHost
  void ProcessEvents() override;
  void HidePreview() override { hide(); }
  void ShowMainWindow() override;
  bool ProgramClosing() override { return closing_ && closing_(); }

  // PreviewObserver
  void PreviewChanged(PreviewChange what) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyZoomBox();
  void Redraw();
  void RefreshControls();
  void SaveAs();

  FileDialog& dialog_;
  Prompter& prompter_;
  std::function<void()> showMain_;
  std::function<bool()> closing_;
  PreviewModel* model_ = nullptr;
  bool placing_ = false;  // the bars are being set, not moved by the operator

  QPushButton* prev_ = nullptr;
  QPushButton* next_ = nullptr;
  QComboBox* zoom_ = nullptr;
  QPushButton* print_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* close_ = nullptr;
  PreviewPicture* picture_ = nullptr;
  QScrollBar* hScroll_ = nullptr;
  QScrollBar* vScroll_ = nullptr;
};

}  // namespace vantrel

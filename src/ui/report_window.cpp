#include "ui/report_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

namespace vantrel {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The page's surroundings, as a desk under a sheet of paper.
const QColor kDesk(0x80, 0x80, 0x80);

}  // namespace

PreviewPicture::PreviewPicture(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PicPreview"));
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(120, 120);
  setCursor(Qt::CrossCursor);
  setToolTip(QStringLiteral("Left click: zoom in. Right click: zoom out."));
}

double PreviewPicture::PixelsPerMm() const { return logicalDpiX() / 25.4; }

void PreviewPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kDesk);
  if (model_ == nullptr || model_->Page() == nullptr) return;
  const double ppm = PixelsPerMm();
  const PreviewScroll s = model_->Scroll(width() / ppm, height() / ppm);
  const double zoom = model_->Zoom();
  const QRectF page((s.MarginX - s.Left) * ppm, (s.MarginY - s.Top) * ppm,
                    zoom * model_->PageWidthMm() * ppm, zoom * model_->PageHeightMm() * ppm);
  painter.fillRect(page.translated(3, 3), QColor(0x50, 0x50, 0x50));
  painter.fillRect(page, Qt::white);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setClipRect(page);
  painter.translate(page.topLeft());
  // Replayed as vectors at every zoom, so the page stays sharp when enlarged.
  const double scale = zoom * ppm / model_->PictureDotsPerMm();
  painter.scale(scale, scale);
  painter.drawPicture(0, 0, *model_->Page());
}

void PreviewPicture::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  Q_EMIT Pressed(event->button() == Qt::LeftButton);
  event->accept();
}

ReportWindow::ReportWindow(FileDialog& dialog, Prompter& prompter, std::function<void()> showMain,
                           std::function<bool()> closing)
    : QWidget(nullptr, Qt::Window),
      dialog_(dialog),
      prompter_(prompter),
      showMain_(std::move(showMain)),
      closing_(std::move(closing)) {
  setObjectName(QStringLiteral("FrmReport"));
  setWindowTitle(QStringLiteral("Print Preview"));
  auto* layout = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  prev_ = new QPushButton(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Previous"),
                          this);
  prev_->setObjectName(QStringLiteral("PrevReport"));
  prev_->setToolTip(QStringLiteral("Previous report"));
  next_ =
      new QPushButton(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Next"), this);
  next_->setObjectName(QStringLiteral("NextReport"));
  next_->setToolTip(QStringLiteral("Next report"));
  zoom_ = new QComboBox(this);
  zoom_->setObjectName(QStringLiteral("CboZoom"));
  zoom_->setEditable(true);
  zoom_->setInsertPolicy(QComboBox::NoInsert);
  // Completion would turn a typed "10" (a factor) into the list's "100%".
  zoom_->setCompleter(nullptr);
  zoom_->addItems({QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("75%"),
                   QStringLiteral("100%"), QStringLiteral("150%"), QStringLiteral("200%")});
  zoom_->setToolTip(QStringLiteral("Zoom: a percentage from 25 to 200, or a factor"));
  zoom_->setMinimumContentsLength(5);
  zoom_->installEventFilter(this);
  zoom_->lineEdit()->installEventFilter(this);
  print_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                           QStringLiteral("&Print"), this);
  print_->setObjectName(QStringLiteral("CmdPrint"));
  print_->setToolTip(QStringLiteral("Print this report"));
  save_ = new QPushButton(QStringLiteral("&Save"), this);
  save_->setObjectName(QStringLiteral("cmdSaveAs"));
  save_->setToolTip(QStringLiteral("Save the page as a picture file"));
  close_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                           QStringLiteral("&Close"), this);
  close_->setObjectName(QStringLiteral("CmdClose"));
  bar->addWidget(prev_);
  bar->addWidget(next_);
  bar->addSpacing(12);
  bar->addWidget(zoom_);
  bar->addStretch(1);
  bar->addWidget(print_);
  bar->addWidget(save_);
  bar->addWidget(close_);
  layout->addLayout(bar);

  auto* view = new QGridLayout;
  view->setSpacing(0);
  picture_ = new PreviewPicture(this);
  hScroll_ = new QScrollBar(Qt::Horizontal, this);
  hScroll_->setObjectName(QStringLiteral("HScrollPreview"));
  vScroll_ = new QScrollBar(Qt::Vertical, this);
  vScroll_->setObjectName(QStringLiteral("VScrollPreview"));
  picture_->installEventFilter(this);
  view->addWidget(picture_, 0, 0);
  view->addWidget(vScroll_, 0, 1);
  view->addWidget(hScroll_, 1, 0);
  layout->addLayout(view, 1);

  connect(prev_, &QPushButton::clicked, this, [this] {
    if (model_) model_->PrevReport();
  });
  connect(next_, &QPushButton::clicked, this, [this] {
    if (model_) model_->NextReport();
  });
  connect(zoom_, &QComboBox::activated, this, [this] {
    if (!model_) return;
    model_->ZoomBoxClicked();
    picture_->setFocus(Qt::OtherFocusReason);
    ApplyZoomBox();
  });
  connect(picture_, &PreviewPicture::Pressed, this, [this](bool left) {
    if (model_) model_->PreviewMouseDown(left);
  });
  const auto scrolled = [this] {
    if (placing_ || !model_) return;
    model_->SetScroll(
        hScroll_->maximum() > 0 ? double(hScroll_->value()) / hScroll_->maximum() : 0,
        vScroll_->maximum() > 0 ? double(vScroll_->value()) / vScroll_->maximum() : 0);
  };
  connect(hScroll_, &QScrollBar::valueChanged, this, scrolled);
  connect(vScroll_, &QScrollBar::valueChanged, this, scrolled);
  connect(print_, &QPushButton::clicked, this, [this] {
    if (model_) model_->Print();
  });
  connect(save_, &QPushButton::clicked, this, [this] { SaveAs(); });
  connect(close_, &QPushButton::clicked, this, [this] { close(); });

  // A4 at 100 % across, and most of its height on a common screen.
  resize(860, 900);
}

ReportWindow::~ReportWindow() { Unbind(); }

void ReportWindow::Unbind() {
  if (model_) model_->RemoveObserver(this);
  model_ = nullptr;
  picture_->Bind(nullptr);
}

void ReportWindow::Bind(PreviewModel& model) {
  model_ = &model;
  picture_->Bind(&model);
  model.AddObserver(this);
  zoom_->setEditText(Q(model.ZoomBoxText()));
  RefreshControls();
  Redraw();
}

void ReportWindow::ShowReport(int reportIndex) {
  if (!model_) return;
  show();
  raise();
  activateWindow();
  model_->ShowReport(reportIndex);
}

void ReportWindow::ProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void ReportWindow::ShowMainWindow() {
  if (showMain_) showMain_();
}

void ReportWindow::PreviewChanged(PreviewChange what) {
  switch (what) {
    case PreviewChange::Zoom:
      zoom_->setEditText(Q(model_->ZoomBoxText()));
      Redraw();
      break;
    case PreviewChange::Scroll:
      Redraw();
      break;
    case PreviewChange::Production:
      RefreshControls();
      break;
    case PreviewChange::Page: {
      const QString title = Q(model_->Title()).trimmed();
      setWindowTitle(title.isEmpty() ? QStringLiteral("Print Preview")
                                     : title + QStringLiteral(" - Print Preview"));
      Redraw();
      break;
    }
  }
}

void ReportWindow::RefreshControls() {
  const bool on = model_->ControlsEnabled();
  zoom_->setEnabled(on);
  print_->setEnabled(on && model_->Page() != nullptr);
  save_->setEnabled(on && model_->Page() != nullptr);
  prev_->setEnabled(model_->PrevEnabled());
  next_->setEnabled(model_->NextEnabled());
  close_->setText(Q(model_->CloseCaption()));
}

void ReportWindow::ApplyZoomBox() {
  if (model_ && model_->ControlsEnabled()) model_->ZoomBoxLeft(zoom_->currentText().toStdString());
}

void ReportWindow::Redraw() {
  if (!model_) return;
  const double ppm = picture_->PixelsPerMm();
  const PreviewScroll s = model_->Scroll(picture_->width() / ppm, picture_->height() / ppm);
  placing_ = true;
  const auto place = [&](QScrollBar* bar, bool enabled, double overflowMm, double part, int view) {
    const int maximum =
        enabled ? std::max(1, static_cast<int>(std::min(std::lround(overflowMm * ppm), 1L << 30)))
                : 0;
    bar->setRange(0, maximum);
    bar->setPageStep(std::max(1, view));
    bar->setSingleStep(std::max(1, view / 20));
    bar->setValue(static_cast<int>(std::lround(part * maximum)));
    bar->setEnabled(enabled);
  };
  place(hScroll_, s.HEnabled, s.OverflowX, model_->ScrollH(), picture_->width());
  place(vScroll_, s.VEnabled, s.OverflowY, model_->ScrollV(), picture_->height());
  placing_ = false;
  picture_->update();
}

void ReportWindow::SaveAs() {
  if (!model_ || !model_->ControlsEnabled()) return;
  const std::string path = dialog_.Show("Save Picture File", FileDialogMode::Save, {}, "bmp,png");
  if (path.empty()) return;
  const std::string error = model_->SavePicture(path);
  if (!error.empty())
    prompter_.Tell("The picture could not be saved as\r" + path + "\r" + error, "Save Picture File",
                   PromptIcon::Exclamation);
}

void ReportWindow::closeEvent(QCloseEvent* event) {
  // The window is made once and only hidden; closing it during a drawing cancels that.
  if (model_)
    model_->Close();
  else
    hide();
  event->ignore();
}

void ReportWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Redraw();
}

void ReportWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool ReportWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == picture_ && event->type() == QEvent::Resize) Redraw();
  if (watched == picture_ && event->type() == QEvent::Wheel) {
    // The wheel pans the page as the bars do; sideways (or with Shift) across it.
    auto* wheel = static_cast<QWheelEvent*>(event);
    const QPoint delta = wheel->angleDelta();
    const bool across =
        std::abs(delta.x()) > std::abs(delta.y()) || (wheel->modifiers() & Qt::ShiftModifier);
    const int amount = across && delta.x() != 0 ? delta.x() : delta.y();
    QScrollBar* bar = across ? hScroll_ : vScroll_;
    // A notch (120) moves three steps of the bar, as a text view does.
    if (bar->isEnabled()) bar->setValue(bar->value() - amount * 3 * bar->singleStep() / 120);
    return true;
  }
  if (watched == zoom_ || watched == zoom_->lineEdit()) {
    if (event->type() == QEvent::FocusOut) {
      ApplyZoomBox();
    } else if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        picture_->setFocus(Qt::OtherFocusReason);
        // Without a focused window the focus does not move; the box is read all the same.
        ApplyZoomBox();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vantrel

#include "render/page_target.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <cmath>
#include <cstdio>

namespace vantrel {

PaperSize PaperByName(const std::string& name) {
  if (name == "A3") return {.WidthMm = 297, .HeightMm = 420};
  if (name == "Letter") return {.WidthMm = 215.9, .HeightMm = 279.4};
  if (name == "Legal") return {.WidthMm = 215.9, .HeightMm = 355.6};
  return {.WidthMm = 210, .HeightMm = 297};
}

namespace {

QPageSize ToPageSize(PaperSize paper) {
  return QPageSize(QSizeF(paper.WidthMm, paper.HeightMm), QPageSize::Millimeter, QString(),
                   QPageSize::ExactMatch);
}

}  // namespace

// QFile forgets a failed write at the next call (a full disk then looks like a file
// that was written); the first fault is kept here for the job's end.
class PdfFile : public QFile {
 public:
  using QFile::QFile;
  const QString& Fault() const { return fault_; }

 protected:
  qint64 writeData(const char* data, qint64 length) override {
    const qint64 written = QFile::writeData(data, length);
    // A short write sets no error; the full disk is the usual reason.
    if (written != length && fault_.isEmpty())
      fault_ = error() != NoError ? errorString()
                                  : QString::fromStdString(WhyNotWritten(fileName().toStdString()));
    return written;
  }

 private:
  QString fault_;
};

PdfTarget::PdfTarget(std::string path, PaperSize paper, std::string title, int dpi)
    : path_(std::move(path)), shown_(path_), paper_(paper), title_(std::move(title)), dpi_(dpi) {}

PdfTarget::PdfTarget(const FileWriter& file, PaperSize paper, std::string title, int dpi)
    : path_(file.PartPath()),
      shown_(file.Target()),
      paper_(paper),
      title_(std::move(title)),
      dpi_(dpi) {}

PdfTarget::~PdfTarget() = default;

bool PdfTarget::Begin() {
  // The file is ours, not the writer's, so that a failed write can say why.
  file_ = std::make_unique<PdfFile>(QString::fromStdString(path_));
  if (!file_->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
    error_ = "cannot write " + shown_ + ": " + file_->errorString().toStdString();
    file_.reset();
    return false;
  }
  writer_ = std::make_unique<QPdfWriter>(file_.get());
  writer_->setResolution(dpi_);
  writer_->setTitle(QString::fromStdString(title_));
  writer_->setCreator(QStringLiteral("Vantrel"));
  // Qt writes the metadata and attachments only when they are given before painting.
  if (record_.valid() && !AddCertificate()) {
    writer_.reset();
    return false;
  }
  // The painter's origin is then the printable area's corner.
  writer_->setPageLayout(
      QPageLayout(ToPageSize(paper_), QPageLayout::Portrait,
                  QMarginsF(paper_.LeftMm, paper_.TopMm, paper_.RightMm, paper_.BottomMm),
                  QPageLayout::Millimeter));
  if (!painter_.begin(writer_.get())) {
    error_ = WriteFault();
    writer_.reset();
    file_.reset();
    return false;
  }
  pages_ = 1;
  return true;
}

std::string PdfTarget::WriteFault() const {
  if (file_ && !file_->Fault().isEmpty())
    return "cannot write " + shown_ + ": " + file_->Fault().toStdString();
  if (file_ && file_->error() != QFileDevice::NoError)
    return "cannot write " + shown_ + ": " + file_->errorString().toStdString();
  return "cannot write " + shown_;
}

bool PdfTarget::AddCertificate() {
  const CertificateRecord& r = record_.get();
  writer_->setCreator(QString::fromStdString(r.Program + " " + r.Version));
  if (certificate_.PdfA) writer_->setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
  writer_->setDocumentXmpMetadata(CertificateXmp(r, title_, certificate_.PdfA));
  if (!certificate_.AttachData) return true;
  if (certificate_.PdfA) {
    error_ = "a PDF/A-1 file cannot hold embedded files";
    return false;
  }
  for (const CertificateFile* file : {&r.Data, &r.Definition}) {
    if (file->Path.empty()) continue;
    QFile f(QString::fromStdString(file->Path));
    if (!f.open(QIODevice::ReadOnly)) {
      error_ = "cannot attach " + file->Path + ": " + f.errorString().toStdString();
      return false;
    }
    const QByteArray bytes = f.readAll();
    // An attachment that is not the file digested would make the record a lie.
    if (Sha256Hex(bytes) != file->Sha256) {
      error_ = "cannot attach " + file->Path + ": it changed while the PDF was made";
      return false;
    }
    // Qt writes the name into a literal string as it is: an unbalanced parenthesis
    // would break the file, a backslash eat the next character.
    QString name = QString::fromStdString(file->Name);
    name.replace('\\', "\\\\").replace('(', "\\(").replace(')', "\\)");
    writer_->addFileAttachment(name, bytes);
  }
  return true;
}

bool PdfTarget::NewPage() {
  const bool failed = file_ && !file_->Fault().isEmpty();
  if (failed || !painter_.isActive() || !writer_->newPage()) {
    error_ = failed || (file_ && file_->error() != QFileDevice::NoError)
                 ? WriteFault()
                 : "cannot start a new page in " + shown_;
    return false;
  }
  ++pages_;
  return true;
}

bool PdfTarget::End() {
  if (!painter_.isActive()) return false;
  // QPdfWriter writes as it goes; only end() tells whether the file is complete.
  bool ok = painter_.end();
  writer_.reset();
  ok = ok && file_->error() == QFileDevice::NoError && file_->flush();
  file_->close();
  ok = ok && file_->error() == QFileDevice::NoError && file_->Fault().isEmpty();
  if (!ok)
    error_ = file_->error() != QFileDevice::NoError || !file_->Fault().isEmpty()
                 ? WriteFault()
                 : "cannot finish " + shown_;
  file_.reset();
  return ok;
}

bool PrinterTarget::Begin() {
  printer_.setFullPage(false);
  if (!painter_.begin(&printer_)) {
    error_ = "the printer did not accept the job";
    return false;
  }
  pages_ = 1;
  return true;
}

bool PrinterTarget::NewPage() {
  if (!printer_.newPage()) {
    error_ = "the printer did not start a new page";
    return false;
  }
  ++pages_;
  return true;
}

bool PrinterTarget::End() { return painter_.isActive() && painter_.end(); }

double PrinterTarget::PageWidthMm() const {
  return printer_.pageLayout().paintRect(QPageLayout::Millimeter).width();
}

double PrinterTarget::PageHeightMm() const {
  return printer_.pageLayout().paintRect(QPageLayout::Millimeter).height();
}

bool PictureTarget::Begin() {
  pages_.clear();
  return StartPicture();
}

bool PictureTarget::NewPage() { return StartPicture(); }

bool PictureTarget::StartPicture() {
  if (painter_.isActive()) painter_.end();
  pages_.push_back(std::make_unique<QPicture>());
  return painter_.begin(pages_.back().get());
}

bool PictureTarget::End() { return !painter_.isActive() || painter_.end(); }

double PictureTarget::DotsPerMm() const {
  QPicture probe;
  return probe.logicalDpiX() / 25.4;
}

std::string PageBitmapRefusal(PaperSize paper, int dpi) {
  const double w = std::floor(paper.WidthMm * dpi / 25.4 + 0.5);
  const double h = std::floor(paper.HeightMm * dpi / 25.4 + 0.5);
  const double bytes = w * h * 4;
  // QImage counts its lines in int.
  if (bytes <= kMaxPageBitmapBytes && w <= 0x7fffffff / 4 && h <= 0x7fffffff) return "";
  const double mmSquared = paper.WidthMm * paper.HeightMm / (25.4 * 25.4);
  const int fits = static_cast<int>(std::sqrt(kMaxPageBitmapBytes / 4 / mmSquared));
  char text[256];
  std::snprintf(text, sizeof text,
                "a page of %.0f x %.0f pixels (%d dpi) needs %.1f GiB, more than the %.0f GiB a "
                "page bitmap may take; %d dpi is the most this paper allows",
                w, h, dpi, bytes / (1024.0 * 1024 * 1024),
                kMaxPageBitmapBytes / (1024.0 * 1024 * 1024), fits);
  return text;
}

ImageTarget::ImageTarget(PaperSize paper, int dpi, PageSink sink)
    : paper_(paper), dpi_(dpi), sink_(std::move(sink)) {}

bool ImageTarget::StartImage() {
  if (std::string refusal = PageBitmapRefusal(paper_, dpi_); !refusal.empty()) {
    error_ = std::move(refusal);
    return false;
  }
  const int w = static_cast<int>(paper_.WidthMm * dpi_ / 25.4 + 0.5);
  const int h = static_cast<int>(paper_.HeightMm * dpi_ / 25.4 + 0.5);
  image_ = QImage(w, h, QImage::Format_RGB32);
  if (image_.isNull()) {
    error_ = "a page of " + std::to_string(w) + " x " + std::to_string(h) +
             " pixels does not fit in memory";
    return false;
  }
  const int dotsPerMetre = static_cast<int>(dpi_ / 0.0254 + 0.5);
  image_.setDotsPerMeterX(dotsPerMetre);
  image_.setDotsPerMeterY(dotsPerMetre);
  image_.fill(Qt::white);
  if (!painter_.begin(&image_)) {
    error_ = "cannot paint on a page bitmap";
    return false;
  }
  painter_.setRenderHint(QPainter::Antialiasing);
  painter_.setRenderHint(QPainter::TextAntialiasing);
  ++pages_;
  return true;
}

bool ImageTarget::FinishImage() {
  if (!painter_.isActive()) return true;
  painter_.end();
  return sink_ ? sink_(image_, pages_, error_) : true;
}

bool ImageTarget::Begin() {
  pages_ = 0;
  return StartImage();
}

bool ImageTarget::NewPage() { return FinishImage() && StartImage(); }

bool ImageTarget::End() { return FinishImage(); }

}  // namespace vantrel

#pragma once
// The devices a report is drawn on: PDF file, printer, vector pictures for the
// preview, bitmaps. Each hands out one painter for the current page.

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QPrinter>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "render/certificate_record.h"
#include "support/file_writer.h"
#include "support/paper_size.h"

namespace vantrel {

/// "A4", "A3", "Letter" or "Legal"; anything else is A4.
PaperSize PaperByName(const std::string& name);

/// The device refused a page or its painter: the printer fault the user is asked about.
class OutputDeviceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PageTarget {
 public:
  virtual ~PageTarget() = default;
  /// Starts the job and its first page. False (with Error()) when the device refused.
  virtual bool Begin() = 0;
  /// Ends the current sheet and starts the next.
  virtual bool NewPage() = 0;
  /// Ends the job; false when the output could not be completed.
  virtual bool End() = 0;
  virtual QPainter& Painter() = 0;
  virtual double PageWidthMm() const = 0;
  virtual double PageHeightMm() const = 0;
  /// Device pixels per millimetre, for turning page millimetres into device units.
  virtual double DotsPerMm() const = 0;
  virtual int PagesStarted() const = 0;
  /// Where the pages came from, for devices that keep such a record (a PDF); given
  /// before Begin.
  virtual bool KeepsCertificate() const { return false; }
  virtual void SetCertificate(std::shared_future<CertificateRecord>, const CertificateOptions&) {}
  /// A file the user named (a PDF, PNG pages), not a printer: its faults are told as
  /// what they are, never as a printer being offline.
  virtual bool IsFileOutput() const { return false; }
  const std::string& Error() const { return error_; }

 protected:
  std::string error_;
};

class PdfFile;

/// Vector PDF with embedded fonts, written straight to path (an existing file there,
/// such as a writer's part, is truncated and keeps its mode). Any failed write fails
/// the job, however the PDF writer carried on after it.
class PdfTarget : public PageTarget {
 public:
  PdfTarget(std::string path, PaperSize paper, std::string title, int dpi = 1200);
  /// Into file's part; messages name the file's target, not the part.
  PdfTarget(const FileWriter& file, PaperSize paper, std::string title, int dpi = 1200);
  ~PdfTarget() override;
  bool Begin() override;
  bool NewPage() override;
  bool End() override;
  QPainter& Painter() override { return painter_; }
  double PageWidthMm() const override { return paper_.PrintableWidthMm(); }
  double PageHeightMm() const override { return paper_.PrintableHeightMm(); }
  double DotsPerMm() const override { return dpi_ / 25.4; }
  int PagesStarted() const override { return pages_; }
  bool KeepsCertificate() const override { return true; }
  bool IsFileOutput() const override { return !printJob_; }
  /// The file is a print job's, on its way to a printer.
  void MarkAsPrintJob() { printJob_ = true; }
  /// Begin waits for the record: the PDF writer takes its metadata before the first page.
  void SetCertificate(std::shared_future<CertificateRecord> record,
                      const CertificateOptions& options) override {
    record_ = std::move(record);
    certificate_ = options;
  }

 private:
  bool AddCertificate();
  std::string WriteFault() const;
  std::string path_;
  std::string shown_;  // the name messages give
  PaperSize paper_;
  std::string title_;
  int dpi_;
  std::shared_future<CertificateRecord> record_;
  CertificateOptions certificate_;
  bool printJob_ = false;
  std::unique_ptr<PdfFile> file_;
  std::unique_ptr<QPdfWriter> writer_;
  QPainter painter_;
  int pages_ = 0;
};

/// A printer set up by the caller; its printable page gives the page size.
class PrinterTarget : public PageTarget {
 public:
  explicit PrinterTarget(QPrinter& printer) : printer_(printer) {}
  bool Begin() override;
  bool NewPage() override;
  bool End() override;
  QPainter& Painter() override { return painter_; }
  double PageWidthMm() const override;
  double PageHeightMm() const override;
  double DotsPerMm() const override { return printer_.resolution() / 25.4; }
  int PagesStarted() const override { return pages_; }

 private:
  QPrinter& printer_;
  QPainter painter_;
  int pages_ = 0;
};

/// One resolution-independent picture per page; the preview replays them at any zoom.
class PictureTarget : public PageTarget {
 public:
  explicit PictureTarget(PaperSize paper) : paper_(paper) {}
  bool Begin() override;
  bool NewPage() override;
  bool End() override;
  QPainter& Painter() override { return painter_; }
  double PageWidthMm() const override { return paper_.WidthMm; }
  double PageHeightMm() const override { return paper_.HeightMm; }
  double DotsPerMm() const override;
  int PagesStarted() const override { return static_cast<int>(pages_.size()); }
  const std::vector<std::unique_ptr<QPicture>>& Pages() const { return pages_; }

 private:
  bool StartPicture();
  PaperSize paper_;
  std::vector<std::unique_ptr<QPicture>> pages_;
  QPainter painter_;
};

/// The most one page bitmap may take: A3 at 1200 dpi fits, 2400 dpi on A4 does not.
inline constexpr double kMaxPageBitmapBytes = 2.0 * 1024 * 1024 * 1024;

/// Why pages of paper at dpi cannot be drawn as bitmaps ("" when they can): the size
/// a page would take, the bound, and the resolution that fits.
std::string PageBitmapRefusal(PaperSize paper, int dpi);

/// White bitmaps at a given resolution; each finished page is handed to sink, which
/// returns false when it could not keep the page (the job then fails).
class ImageTarget : public PageTarget {
 public:
  using PageSink = std::function<bool(const QImage& page, int pageNumber, std::string& error)>;
  ImageTarget(PaperSize paper, int dpi, PageSink sink);
  bool Begin() override;
  bool NewPage() override;
  bool End() override;
  QPainter& Painter() override { return painter_; }
  double PageWidthMm() const override { return paper_.WidthMm; }
  double PageHeightMm() const override { return paper_.HeightMm; }
  double DotsPerMm() const override { return dpi_ / 25.4; }
  int PagesStarted() const override { return pages_; }
  bool IsFileOutput() const override { return true; }

 private:
  bool StartImage();
  bool FinishImage();

  PaperSize paper_;
  int dpi_;
  PageSink sink_;
  QImage image_;
  QPainter painter_;
  int pages_ = 0;
};

}  // namespace vantrel

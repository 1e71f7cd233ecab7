#include "render/logo_image.h"

#include <sys/stat.h>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QtGlobal>
#include <cstdio>

#include "support/plain_file.h"

namespace vantrel {

namespace {

// Image plug-ins report faults as warnings (libpng once per chunk); while a logo is
// decoded they are caught and become part of our one message instead.
QString* capturedWarnings = nullptr;

void CaptureWarning(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (capturedWarnings == nullptr) return;
  if (capturedWarnings->isEmpty()) *capturedWarnings = text;
}

class WarningCapture {
 public:
  WarningCapture() : previous_(qInstallMessageHandler(CaptureWarning)) {
    capturedWarnings = &text_;
  }
  ~WarningCapture() {
    capturedWarnings = nullptr;
    qInstallMessageHandler(previous_);
  }
  WarningCapture(const WarningCapture&) = delete;
  WarningCapture& operator=(const WarningCapture&) = delete;
  const QString& Text() const { return text_; }

 private:
  QtMessageHandler previous_;
  QString text_;
};

bool Decode(const std::string& bytes, LogoImage& logo, std::string& error) {
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  WarningCapture warnings;
  QImageReader reader(&buffer);
  if (!reader.canRead()) {
    error = "it is not a picture in a format the program reads";
    return false;
  }
  const QSize size = reader.size();
  if (size.isValid() && static_cast<long long>(size.width()) * size.height() > kMaxLogoPixels) {
    error = "it is too large a picture (" + std::to_string(size.width()) + " x " +
            std::to_string(size.height()) + " pixels)";
    return false;
  }
  QImage picture;
  if (!reader.read(&picture) || picture.isNull()) {
    const QString why = warnings.Text().isEmpty() ? reader.errorString() : warnings.Text();
    error = "it is damaged (" + why.toStdString() + ")";
    return false;
  }
  SizeLogo(picture.width(), picture.height(), picture.dotsPerMeterX(), picture.dotsPerMeterY(),
           logo);
  logo.Picture = std::move(picture);
  return true;
}

std::string Millimetres(double mm) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", mm);
  return text;
}

}  // namespace

void SizeLogo(int width, int height, int dotsPerMetreX, int dotsPerMetreY, LogoImage& logo) {
  constexpr double kScreen = 3780;  // 96 dots per inch
  const double dpmX = dotsPerMetreX > 0 ? dotsPerMetreX : kScreen;
  const double dpmY = dotsPerMetreY > 0 ? dotsPerMetreY : kScreen;
  double widthMm = width / dpmX * 1000;
  double heightMm = height / dpmY * 1000;
  logo.Note.clear();
  if (heightMm > kMaxLogoOwnHeightMm) {
    // One dot per metre, say, would push every item of the page metres down.
    logo.Note = "it declares " + std::to_string(static_cast<long long>(dpmY)) +
                " dots per metre, which would make it " + Millimetres(heightMm) +
                " mm high; it is drawn at 96 dots per inch";
    widthMm = width / kScreen * 1000;
    heightMm = height / kScreen * 1000;
    if (heightMm > kMaxLogoOwnHeightMm) {
      widthMm *= kMaxLogoOwnHeightMm / heightMm;
      heightMm = kMaxLogoOwnHeightMm;
      logo.Note += ", no higher than " + Millimetres(kMaxLogoOwnHeightMm) + " mm";
    }
  }
  logo.WidthMm = static_cast<float>(widthMm);
  logo.HeightMm = static_cast<float>(heightMm);
}

bool LoadLogoImage(const std::string& path, LogoImage& logo, std::string& error) {
  logo = LogoImage{};
  std::string bytes;
  if (!ReadPlainFile(path, bytes, error, kMaxLogoBytes)) return false;
  if (bytes.empty()) {
    error = "it is empty";
    return false;
  }
  return Decode(bytes, logo, error);
}

const LogoImage& LogoFor(const std::string& path, Prompter& ask) {
  // Every page draws the logo; decoding (and a complaint) once per file version is
  // enough. A changed file is read again.
  static std::string loadedPath;
  static struct timespec loadedTime {};
  static off_t loadedSize = -1;
  static LogoImage logo;
  struct stat info {};
  const bool present = ::stat(path.c_str(), &info) == 0;
  if (present && path == loadedPath && info.st_mtim.tv_sec == loadedTime.tv_sec &&
      info.st_mtim.tv_nsec == loadedTime.tv_nsec && info.st_size == loadedSize) {
    return logo;
  }
  if (!present && path == loadedPath && loadedSize == -2) return logo;
  loadedPath = path;
  loadedTime = info.st_mtim;
  loadedSize = present ? info.st_size : -2;
  std::string error;
  if (!LoadLogoImage(path, logo, error)) {
    ask.Tell(
        "The logo '" + path + "' cannot be drawn: " + error + ".\r\rThe pages are made without it.",
        "Logo", PromptIcon::Exclamation);
  } else if (!logo.Note.empty()) {
    ask.Tell("The logo '" + path + "' " + logo.Note.substr(3) + ".", "Logo",
             PromptIcon::Exclamation);
  }
  return logo;
}

}  // namespace vantrel

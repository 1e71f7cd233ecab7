#include "render/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace vantrel {

namespace {

struct PngFault {
  char Text[256] = "";
};

void OnError(png_structp png, png_const_charp message) {
  auto* fault = static_cast<PngFault*>(png_get_error_ptr(png));
  std::snprintf(fault->Text, sizeof fault->Text, "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// libpng leaves this frame by longjmp on a fault, so nothing in it has a destructor.
bool Encode(std::FILE* out, const QImage& rgb32, PngFault& fault) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &fault, OnError, OnWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, out);
  png_set_IHDR(png, info, static_cast<png_uint_32>(rgb32.width()),
               static_cast<png_uint_32>(rgb32.height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (rgb32.dotsPerMeterX() > 0 && rgb32.dotsPerMeterY() > 0)
    png_set_pHYs(png, info, static_cast<png_uint_32>(rgb32.dotsPerMeterX()),
                 static_cast<png_uint_32>(rgb32.dotsPerMeterY()), PNG_RESOLUTION_METER);
  // A page is mostly flat white: without row filters and at a light zlib level the
  // file is as small as QImage::save makes it, where trying every filter on every row
  // took most of the time.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, 3);
  png_write_info(png, info);
  // An RGB32 pixel is one 0xffRRGGBB word; the PNG wants R, G, B bytes.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
  png_set_bgr(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);
#else
  png_set_filler(png, 0, PNG_FILLER_BEFORE);
#endif
  for (int y = 0; y < rgb32.height(); ++y) png_write_row(png, rgb32.constScanLine(y));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const QImage& image, const std::string& path, std::string& why) {
  if (image.isNull()) {
    why = "there is no picture to write";
    return false;
  }
  const QImage rgb32 =
      image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    why = std::strerror(errno);
    return false;
  }
  PngFault fault;
  const bool encoded = Encode(out, rgb32, fault);
  const int writeFault = std::ferror(out) ? errno : 0;
  const bool closed = std::fclose(out) == 0;
  if (encoded && closed && writeFault == 0) return true;
  if (writeFault != 0)
    why = std::strerror(writeFault);
  else if (fault.Text[0] != '\0')
    why = fault.Text;
  else
    why = closed ? "the PNG encoder failed" : std::strerror(errno);
  return false;
}

}  // namespace vantrel

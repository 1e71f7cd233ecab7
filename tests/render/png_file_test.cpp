#include "render/png_file.h"

#include <gtest/gtest.h>

#include <QColor>

#include "common/temp_dir.h"

namespace vantrel {
namespace {

using testing::TempDir;

// Every channel takes many values, so a swapped byte order or a lost row shows.
QImage Pattern(QImage::Format format) {
  QImage image(67, 41, format);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixelColor(x, y, QColor((x * 37) % 256, (y * 59) % 256, (x * y * 13) % 256));
  image.setDotsPerMeterX(5906);
  image.setDotsPerMeterY(2953);
  return image;
}

TEST(WritePng, ReadsBackPixelForPixelWithItsResolution) {
  TempDir dir;
  for (const QImage::Format format :
       {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_RGB888}) {
    const QImage image = Pattern(format);
    const std::string path = (dir.path() / "page.png").string();
    std::string why;
    ASSERT_TRUE(WritePng(image, path, why)) << why;
    const QImage back(QString::fromStdString(path));
    ASSERT_EQ(back.size(), image.size());
    EXPECT_EQ(back.dotsPerMeterX(), 5906);
    EXPECT_EQ(back.dotsPerMeterY(), 2953);
    EXPECT_FALSE(back.hasAlphaChannel());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32),
              image.convertToFormat(QImage::Format_RGB32))
        << "format " << format;
  }
}

TEST(WritePng, SaysWhyWhenTheFileCannotBeWritten) {
  TempDir dir;
  std::string why;
  EXPECT_FALSE(
      WritePng(Pattern(QImage::Format_RGB32), (dir.path() / "no" / "p.png").string(), why));
  EXPECT_EQ(why, "No such file or directory");
  if (std::FILE* full = std::fopen("/dev/full", "wb")) {
    std::fclose(full);
    why.clear();
    EXPECT_FALSE(WritePng(Pattern(QImage::Format_RGB32), "/dev/full", why));
    EXPECT_EQ(why, "No space left on device");
  }
}

}  // namespace
}  // namespace vantrel

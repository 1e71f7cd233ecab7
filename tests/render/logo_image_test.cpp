#include "render/logo_image.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"

namespace vantrel {
namespace {

using testing::RecordingPrompter;
using testing::TempDir;

uint32_t Crc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string BigEndian(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

// A PNG that announces width x height pixels and holds no picture data.
std::string PngHeaderOnly(uint32_t width, uint32_t height) {
  const std::string chunk =
      "IHDR" + BigEndian(width) + BigEndian(height) + std::string("\x08\x06\x00\x00\x00", 5);
  // libpng reads up to the first data chunk before it tells the size.
  return std::string("\x89PNG\r\n\x1a\n", 8) + BigEndian(13) + chunk + BigEndian(Crc32(chunk)) +
         BigEndian(0) + "IDAT" + BigEndian(Crc32("IDAT"));
}

std::string SmallPng(int dotsPerMetre = 0) {
  QImage image(40, 20, QImage::Format_RGB32);
  image.fill(Qt::red);
  if (dotsPerMetre > 0) {
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

TEST(LoadLogoImage, ReadsAPictureAndItsSizeInMillimetres) {
  TempDir dir;
  LogoImage logo;
  std::string error;
  ASSERT_TRUE(LoadLogoImage(dir.Write("logo.png", SmallPng()).string(), logo, error)) << error;
  EXPECT_EQ(logo.Picture.width(), 40);
  EXPECT_GT(logo.WidthMm, 0);
  EXPECT_NEAR(logo.WidthMm, 2 * logo.HeightMm, 0.01);
}

TEST(LoadLogoImage, EveryUnusableFileGivesItsReasonWithoutBlocking) {
  TempDir dir;
  const std::string fifo = (dir.path() / "pipe.png").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string good = SmallPng();
  const std::vector<std::pair<std::string, std::string>> cases{
      {(dir.path() / "absent.png").string(), "No such file or directory"},
      {dir.path().string(), "it is a folder"},
      {fifo, "it is a pipe, not a plain file"},
      {"/dev/zero", "it is a device, not a plain file"},
      {dir.Write("empty.png", "").string(), "it is empty"},
      {dir.Write("text.png", "not a picture").string(), "not a picture in a format"},
      {dir.Write("cut.png", good.substr(0, good.size() / 2)).string(), "it is damaged"},
      {dir.Write("huge.png", PngHeaderOnly(20000, 20000)).string(),
       "too large a picture (20000 x 20000 pixels)"},
      {dir.Write("big.png", std::string(kMaxLogoBytes + 1, 'x')).string(), "larger than 32 MiB"}};
  for (const auto& [path, reason] : cases) {
    LogoImage logo;
    std::string error;
    EXPECT_FALSE(LoadLogoImage(path, logo, error)) << path;
    EXPECT_NE(error.find(reason), std::string::npos) << path << ": " << error;
    EXPECT_TRUE(logo.Picture.isNull());
  }
}

TEST(LogoFor, TellsAFaultOnceAndReadsAChangedFileAgain) {
  TempDir dir;
  RecordingPrompter prompter;
  const std::string path = dir.Write("logo.png", "garbage").string();
  for (int page = 0; page < 5; ++page) EXPECT_TRUE(LogoFor(path, prompter).Picture.isNull());
  ASSERT_EQ(prompter.Messages.size(), 1u);
  EXPECT_EQ(prompter.Messages[0].Text.rfind("The logo '" + path + "' cannot be drawn: ", 0), 0u);
  EXPECT_EQ(prompter.Messages[0].Title, "Logo");

  dir.Write("logo.png", SmallPng());
  EXPECT_FALSE(LogoFor(path, prompter).Picture.isNull());
  EXPECT_EQ(prompter.Messages.size(), 1u);
}

// One dot per metre would make a 20-dot logo 20 m high and push the page off itself.
TEST(SizeLogo, AResolutionThatMakesNoSenseGivesWayAndIsSaid) {
  LogoImage logo;
  SizeLogo(40, 20, 3780, 3780, logo);  // 96 dots per inch, as declared
  EXPECT_NEAR(logo.HeightMm, 20 / 3.78, 0.01);
  EXPECT_EQ(logo.Note, "");
  SizeLogo(40, 20, 1, 1, logo);
  EXPECT_NEAR(logo.HeightMm, 20 / 3.78, 0.01);
  EXPECT_NEAR(logo.WidthMm, 40 / 3.78, 0.01);
  EXPECT_NE(logo.Note.find("1 dots per metre, which would make it 20000 mm high"),
            std::string::npos)
      << logo.Note;
  SizeLogo(500, 3780, 1, 1, logo);  // still a metre high at 96 dots per inch
  EXPECT_FLOAT_EQ(logo.HeightMm, kMaxLogoOwnHeightMm);
  EXPECT_NEAR(logo.WidthMm, kMaxLogoOwnHeightMm * 500 / 3780, 0.01);
  EXPECT_NE(logo.Note.find("no higher than 200 mm"), std::string::npos) << logo.Note;
}

TEST(LogoFor, SaysOnceThatAPicturesOwnSizeWasNotBelieved) {
  TempDir dir;
  RecordingPrompter prompter;
  const std::string path = dir.Write("tiny-dpm.png", SmallPng(1)).string();
  for (int page = 0; page < 3; ++page) EXPECT_LT(LogoFor(path, prompter).HeightMm, 10);
  ASSERT_EQ(prompter.Messages.size(), 1u);
  EXPECT_EQ(prompter.Messages[0].Text.rfind("The logo '" + path + "' declares 1 dots per metre", 0),
            0u)
      << prompter.Messages[0].Text;
}

}  // namespace
}  // namespace vantrel

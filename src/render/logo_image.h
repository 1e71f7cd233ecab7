#pragma once
// The logo picture of the page header, loaded safely: only a plain file of sensible
// size, decoded once, every fault said once in the user's terms.

#include <QImage>
#include <string>

#include "support/prompter.h"

namespace vantrel {

struct LogoImage {
  QImage Picture;  // null when there is no usable logo
  float WidthMm = 0;
  float HeightMm = 0;
  std::string Note;  // what was done about a picture whose own size makes no sense
};

/// A picture's own size is never taller than the largest logo band LOGOHEIGHT sets.
inline constexpr float kMaxLogoOwnHeightMm = 200;

/// A file larger than this is no logo; reading it would only cost time and memory.
inline constexpr std::uint64_t kMaxLogoBytes = 32u << 20;
/// Nor is a picture of more pixels than this (a 10000 x 10000 bitmap).
inline constexpr long long kMaxLogoPixels = 100'000'000;

/// The size in millimetres of a picture of width x height dots at the resolution it
/// declares (dots per metre, 0 when unsaid: 96 dots per inch). A resolution that would
/// make it taller than kMaxLogoOwnHeightMm is not believed: 96 dots per inch then, and
/// still no taller than that; note says so.
void SizeLogo(int width, int height, int dotsPerMetreX, int dotsPerMetreY, LogoImage& logo);

/// Reads and decodes path. A missing, unreadable, folder, pipe, device, oversized or
/// corrupt file gives false and the reason in error; nothing blocks.
bool LoadLogoImage(const std::string& path, LogoImage& logo, std::string& error);

/// The logo of path, loaded once per file version. A fault is told once through ask
/// ("The logo ... cannot be drawn: reason"); the pages are then made without it.
const LogoImage& LogoFor(const std::string& path, Prompter& ask);

}  // namespace vantrel

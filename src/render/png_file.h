#pragma once
// Pages as PNG files, written in a third of the time QImage::save takes for them.

#include <QImage>
#include <string>

namespace vantrel {

/// Writes image to path as an 8-bit RGB PNG with the image's resolution. On failure
/// returns false and says why; what was written of the file is left to the caller,
/// who writes to a file of its own before it takes the name.
bool WritePng(const QImage& image, const std::string& path, std::string& why);

}  // namespace vantrel

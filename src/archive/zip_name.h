#pragma once
// Whether a path names a ZIP archive.

#include <string_view>

namespace vantrel {

/// True when the trimmed path is longer than 4 characters and ends in ".zip" in any case.
bool IsZipFile(std::string_view path);

}  // namespace vantrel

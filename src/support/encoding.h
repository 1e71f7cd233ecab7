#pragma once
// Input files arrive as bytes from instruments and editors of every age.

#include <string>
#include <string_view>

namespace vantrel {

bool IsValidUtf8(std::string_view bytes);

/// Valid UTF-8 stays as it is; anything else is read as Windows-1252.
std::string DecodeInput(std::string_view bytes);

}  // namespace vantrel

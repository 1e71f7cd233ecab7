#pragma once
// Reading a whole input file as bytes, without exceptions and without blocking.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace vantrel {

/// The bytes of a regular file. Anything else (a folder, a pipe, a device) and any read
/// error gives false with a reason in error: such a path would block or never end. A
/// file longer than maxBytes is refused before it is read.
bool ReadPlainFile(const std::string& path, std::string& bytes, std::string& error,
                   std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());

/// Why bytes cannot be text that the program reads (UTF-16, binary data, an archive),
/// "" when they can. Only the first kTextProbeBytes are looked at.
std::string TextFault(std::string_view bytes);
inline constexpr std::size_t kTextProbeBytes = 65536;

/// The bytes without a leading UTF-8 byte order mark.
std::string_view WithoutBom(std::string_view bytes);
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace vantrel

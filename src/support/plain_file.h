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

/// Opens path for reading under ReadPlainFile's rules; the descriptor, or -1 with the
/// reason in error and errno set by the call that failed (0 for a file that is no plain
/// file or is larger than maxBytes).
int OpenPlainFile(const std::string& path, std::string& error,
                  std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());

/// Appends up to count bytes read from fd, fewer only at its end; false with errno set.
bool ReadUpTo(int fd, std::size_t count, std::string& bytes);

/// Copies what follows the position of from to the position of to, at most limit + 1
/// bytes (so that a file larger than limit can be told), counted in copied. False on a
/// fault, with its errno in readFault or writeFault.
bool CopyRest(int from, int to, std::uint64_t limit, std::uint64_t& copied, int& readFault,
              int& writeFault);

/// Why bytes cannot be text that the program reads (UTF-16, binary data, an archive),
/// "" when they can. Only the first kTextProbeBytes are looked at.
std::string TextFault(std::string_view bytes);
inline constexpr std::size_t kTextProbeBytes = 65536;

/// The bytes without a leading UTF-8 byte order mark.
std::string_view WithoutBom(std::string_view bytes);
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace vantrel

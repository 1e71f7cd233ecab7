#pragma once
// A libzip archive opened for reading, and the one loop that copies an entry's bytes.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/cunzip.h"

struct zip;

namespace vantrel {

/// Text packs well, but not a thousandfold: beyond this an entry is taken for a bomb.
inline constexpr uint64_t kMaxExpansion = 200;
/// Small entries are not checked for their ratio: a tiny file may pack any way.
inline constexpr uint64_t kRatioCheckBytes = uint64_t{1} << 20;

/// Why the entry's declared sizes forbid unpacking it ("" when they do not): too large,
/// or packed too densely for a result file.
std::string ExpansionFault(const ZipEntry& entry);

class ZipReader {
 public:
  ZipReader() = default;
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  /// False with error set when the archive cannot be opened or is inconsistent.
  bool Open(const std::string& path, std::string& error);
  /// The archive's file entries in order; folder entries are left out.
  bool List(std::vector<ZipEntry>& entries, std::string& error);
  /// Writes the entry's bytes to out. Refuses encrypted entries, entries that
  /// ExpansionFault refuses and entries that unpack to more than they declare; checks
  /// the CRC. error says what is wrong, to follow "the archive ...".
  bool Copy(const ZipEntry& entry, std::FILE* out, std::string& error);

 private:
  struct zip* archive_ = nullptr;
};

}  // namespace vantrel

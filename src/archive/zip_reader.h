#pragma once
// A libzip archive opened for reading, and the one loop that copies an entry's bytes.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/cunzip.h"

struct zip;

namespace vantrel {

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
  /// Writes the entry's bytes to out. Refuses encrypted entries and entries over
  /// kMaxEntryBytes, whatever their directory record claims; checks the CRC.
  bool Copy(const ZipEntry& entry, std::FILE* out, std::string& error);

 private:
  struct zip* archive_ = nullptr;
};

}  // namespace vantrel

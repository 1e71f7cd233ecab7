#include "archive/zip_reader.h"

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace vantrel {

namespace {

std::string MethodName(int32_t method) {
  switch (method) {
    case ZIP_CM_STORE:
      return "Stored";
    case ZIP_CM_DEFLATE:
      return "Deflated";
    case ZIP_CM_DEFLATE64:
      return "Deflate64";
    case ZIP_CM_BZIP2:
      return "BZip2";
    case ZIP_CM_LZMA:
      return "LZMA";
    case ZIP_CM_XZ:
      return "XZ";
    default:
      return "Method " + std::to_string(method);
  }
}

std::string DateText(std::time_t when) {
  std::tm parts{};
  if (localtime_r(&when, &parts) == nullptr) return "";
  char text[32];
  if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &parts) == 0) return "";
  return text;
}

std::string MiB(uint64_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB"; }

}  // namespace

std::string ExpansionFault(const ZipEntry& entry) {
  if (entry.Size > kMaxEntryBytes) {
    return "would unpack to " + MiB(entry.Size) + ", more than the " + MiB(kMaxEntryBytes) +
           " a result file may have";
  }
  if (entry.Size > kRatioCheckBytes &&
      entry.Size / std::max<uint64_t>(entry.PackedSize, 1) > kMaxExpansion) {
    return "would unpack " + std::to_string(entry.PackedSize) + " bytes to " + MiB(entry.Size) +
           ", far more than any result file packs (a ZIP bomb?)";
  }
  return "";
}

ZipReader::~ZipReader() {
  if (archive_ != nullptr) zip_discard(archive_);
}

bool ZipReader::Open(const std::string& path, std::string& error) {
  int code = 0;
  archive_ = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (archive_ != nullptr) return true;
  zip_error_t detail;
  zip_error_init_with_code(&detail, code);
  error = std::string("it cannot be read as a ZIP archive: ") + zip_error_strerror(&detail);
  zip_error_fini(&detail);
  return false;
}

bool ZipReader::List(std::vector<ZipEntry>& entries, std::string& error) {
  entries.clear();
  const zip_int64_t count = zip_get_num_entries(archive_, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(i), 0, &st) != 0) {
      error = std::string("its directory is damaged: ") + zip_strerror(archive_);
      return false;
    }
    std::string full = (st.valid & ZIP_STAT_NAME) != 0 && st.name != nullptr ? st.name : "";
    if (full.empty() || full.back() == '/') continue;
    ZipEntry entry;
    const std::size_t slash = full.find_last_of('/');
    entry.Name = slash == std::string::npos ? full : full.substr(slash + 1);
    entry.Folder = slash == std::string::npos ? "" : full.substr(0, slash);
    entry.Size = (st.valid & ZIP_STAT_SIZE) != 0 ? st.size : 0;
    entry.PackedSize = (st.valid & ZIP_STAT_COMP_SIZE) != 0 ? st.comp_size : 0;
    if (entry.Size > 0 && entry.PackedSize <= entry.Size) {
      entry.Ratio = static_cast<int>(100 - entry.PackedSize * 100 / entry.Size);
    }
    if ((st.valid & ZIP_STAT_MTIME) != 0) entry.Date = DateText(st.mtime);
    entry.Crc = (st.valid & ZIP_STAT_CRC) != 0 ? st.crc : 0;
    if ((st.valid & ZIP_STAT_COMP_METHOD) != 0) entry.Method = MethodName(st.comp_method);
    entry.Encrypted =
        (st.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && st.encryption_method != ZIP_EM_NONE;
    entry.ArchiveIndex = static_cast<uint64_t>(i);
    entries.push_back(std::move(entry));
  }
  return true;
}

bool ZipReader::Copy(const ZipEntry& entry, std::FILE* out, std::string& error) {
  const std::string name = entry.Folder.empty() ? entry.Name : entry.Folder + "/" + entry.Name;
  if (entry.Encrypted) {
    error = "its entry '" + name + "' is encrypted";
    return false;
  }
  // Refused before a byte is inflated: a bomb must cost neither time nor disk.
  if (const std::string why = ExpansionFault(entry); !why.empty()) {
    error = "its entry '" + name + "' " + why;
    return false;
  }
  const uint64_t cap = entry.Size;
  zip_file_t* file = zip_fopen_index(archive_, entry.ArchiveIndex, 0);
  if (file == nullptr) {
    error = "its entry '" + name + "' cannot be read: " + zip_strerror(archive_);
    return false;
  }
  std::vector<char> buffer(1 << 16);
  uint64_t total = 0;
  bool ok = true;
  for (;;) {
    const zip_int64_t got = zip_fread(file, buffer.data(), buffer.size());
    if (got < 0) {
      error = "its entry '" + name + "' is damaged: " + zip_file_strerror(file);
      ok = false;
      break;
    }
    if (got == 0) break;
    total += static_cast<uint64_t>(got);
    // The directory's size may be forged; the bytes themselves decide.
    if (total > cap) {
      error = "its entry '" + name + "' holds more data than the archive's directory declares";
      ok = false;
      break;
    }
    if (out != nullptr && std::fwrite(buffer.data(), 1, static_cast<std::size_t>(got), out) !=
                              static_cast<std::size_t>(got)) {
      error = std::string("the extracted data cannot be written: ") + std::strerror(errno);
      ok = false;
      break;
    }
  }
  zip_fclose(file);
  return ok;
}

}  // namespace vantrel

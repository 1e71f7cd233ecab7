#include "archive/cunzip.h"

#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "archive/zip_reader.h"
#include "support/file_writer.h"
#include "support/text.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

const ZipEntry kNoEntry{};

// The entry's path below the destination, or empty when it would leave it.
fs::path SafeRelativePath(const ZipEntry& entry, bool useFolders, bool spacesToUnderscores) {
  std::string full =
      useFolders && !entry.Folder.empty() ? entry.Folder + "/" + entry.Name : entry.Name;
  if (!useFolders) {
    const std::size_t cut = full.find_last_of("/\\");
    if (cut != std::string::npos) full = full.substr(cut + 1);
  }
  if (spacesToUnderscores) full = ReplaceAll(full, " ", "_");
  if (full.empty() || full.front() == '/' || full.front() == '\\') return {};
  if (full.size() > 1 && full[1] == ':') return {};  // a drive letter
  fs::path result;
  for (const std::string& part : SplitAt(ReplaceAll(full, "\\", "/"), '/')) {
    if (part == "..") return {};
    if (part.empty() || part == ".") continue;
    result /= part;
  }
  return result;
}

}  // namespace

const ZipEntry* cUnzip::At(long i) const {
  if (i < 1 || i > FileCount()) return nullptr;
  return &entries_[static_cast<std::size_t>(i - 1)];
}

std::string cUnzip::Filename(long i) const { return At(i) ? At(i)->Name : ""; }
std::string cUnzip::FileDirectory(long i) const { return At(i) ? At(i)->Folder : ""; }
uint64_t cUnzip::FileSize(long i) const { return At(i) ? At(i)->Size : 0; }
uint64_t cUnzip::FilePackedSize(long i) const { return At(i) ? At(i)->PackedSize : 0; }
int cUnzip::FileCompressionRatio(long i) const { return At(i) ? At(i)->Ratio : 0; }
std::string cUnzip::FileDate(long i) const { return At(i) ? At(i)->Date : ""; }
uint32_t cUnzip::FileCRC(long i) const { return At(i) ? At(i)->Crc : 0; }
std::string cUnzip::FileCompressionMethod(long i) const { return At(i) ? At(i)->Method : ""; }
bool cUnzip::FileEncrypted(long i) const { return At(i) ? At(i)->Encrypted : false; }
bool cUnzip::FileSelected(long i) const { return At(i) ? At(i)->Selected : false; }

void cUnzip::FileSelected(long i, bool selected) {
  if (i >= 1 && i <= FileCount()) entries_[static_cast<std::size_t>(i - 1)].Selected = selected;
}

bool cUnzip::Directory() {
  error_.clear();
  entries_.clear();
  ZipReader reader;
  return reader.Open(zipFile_, error_) && reader.List(entries_, error_);
}

bool cUnzip::Unzip() {
  error_.clear();
  if (zipFile_.empty()) return false;
  ZipReader reader;
  if (!reader.Open(zipFile_, error_)) return false;
  if (entries_.empty() && !reader.List(entries_, error_)) return false;
  for (const ZipEntry& entry : entries_) {
    if (entry.Selected && !ExtractOne(&reader, entry)) return false;
  }
  return true;
}

bool cUnzip::ExtractOne(void* readerPtr, const ZipEntry& entry) {
  ZipReader& reader = *static_cast<ZipReader*>(readerPtr);
  if (testZip_) return reader.Copy(entry, nullptr, error_);

  const fs::path relative = SafeRelativePath(entry, useFolderNames_, spaceToUnderScore_);
  if (relative.empty()) {
    error_ = "The entry '" + entry.Folder + "/" + entry.Name + "' would leave the folder";
    return false;
  }
  const fs::path folder = unzipFolder_.empty() ? fs::path(".") : fs::path(unzipFolder_);
  const fs::path destination = folder / relative;
  std::error_code ec;
  // Without OverwriteExisting a file already there is kept, as the unzip tools do.
  if (!overwriteExisting_ && fs::exists(destination, ec)) return true;
  const std::string parent = destination.parent_path().string();
  if (std::string why; !MakeFolders(parent, why)) {
    const std::size_t said = std::string("cannot create the folder " + parent + ": ").size();
    error_ = "The folder '" + parent + "' cannot be made: " + why.substr(said);
    return false;
  }

  // Through the one file writer, so a fault leaves no half file; without
  // OverwriteExisting a file that appeared meanwhile is kept as well.
  FileWriter file(
      destination.string(),
      {.Trailer = "", .IfExists = overwriteExisting_ ? Existing::Replace : Existing::Keep});
  const std::string cannot = "The file '" + destination.string() + "' cannot be written: ";
  const int fd = file.Ready() ? ::dup(file.Descriptor()) : -1;
  std::FILE* out = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
  if (out == nullptr) {
    if (fd >= 0) ::close(fd);
    error_ = cannot + (file.Ready() ? std::strerror(errno) : file.Reason());
    return false;
  }
  bool ok = reader.Copy(entry, out, error_);
  if (std::fclose(out) != 0 && ok) {
    error_ = cannot + std::strerror(errno);
    ok = false;
  }
  if (ok && !file.Commit()) {
    if (!overwriteExisting_ && file.FoundExisting()) return true;
    error_ = cannot + file.Reason();
    ok = false;
  }
  return ok;
}

std::string cUnzip::GetVersion() const { return std::string("libzip ") + zip_libzip_version(); }

}  // namespace vantrel

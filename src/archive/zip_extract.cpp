#include "archive/zip_extract.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "archive/cunzip.h"
#include "archive/zip_reader.h"
#include "support/text.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kZipTitle = "Zip Error";

// The fault's long-standing first line, which users quote to support, then what is
// wrong in the user's terms and the archive; no positions, no folder never chosen.
void ZipFault(Prompter& prompter, const std::string& archive, const std::string& what) {
  prompter.Message("Error in ZipModules/Orv_UnZip_to_file\r\rThe archive '" + archive +
                       "' cannot be used: " + what + ".\r\rFile_to_unzip: " + archive,
                   kZipTitle, PromptIcon::Critical, PromptButtons::Ok);
}

std::string Lowered(std::string text) {
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
    text[0] = static_cast<char>(text[0] - 'A' + 'a');
  return text;
}

}  // namespace

std::string Orv_UnZip_to_file(const std::string& archive, const std::string& folder,
                              const std::string& target, Prompter& prompter) {
  cUnzip unzip;
  unzip.ZipFile(archive);
  unzip.UnzipFolder(Trim(folder));
  // Only the first entry is the data file; the rest stay in the archive.
  if (!unzip.Directory()) {
    ZipFault(prompter, archive, Lowered(unzip.Error()));
    return "";
  }
  if (unzip.FileCount() < 1) {
    ZipFault(prompter, archive, "it holds no file");
    return "";
  }
  const std::string name = unzip.Filename(1);
  for (long i = 2; i <= unzip.FileCount(); ++i) unzip.FileSelected(i, false);
  unzip.OverwriteExisting(true);
  if (!unzip.Unzip()) {
    ZipFault(prompter, archive, Lowered(unzip.Error()));
    return "";
  }
  fs::path extracted = fs::path(Trim(folder).empty() ? "." : Trim(folder)) / name;
  if (Trim(target).empty()) return (fs::path(Trim(folder)) / name).string();

  std::error_code ec;
  fs::copy_file(extracted, Trim(target), fs::copy_options::overwrite_existing, ec);
  if (ec) {
    ZipFault(prompter, archive,
             "the extracted file cannot be copied to " + Trim(target) + ": " + ec.message());
    fs::remove(extracted, ec);
    return "";
  }
  fs::remove(extracted, ec);
  return Trim(target);
}

bool ExtractFirstEntryTo(const std::string& archive, const std::string& target, Prompter& prompter,
                         std::string* entryName) {
  std::string error;
  ZipReader reader;
  std::vector<ZipEntry> entries;
  if (!reader.Open(archive, error) || !reader.List(entries, error)) {
    ZipFault(prompter, archive, error);
    return false;
  }
  if (entries.empty()) {
    ZipFault(prompter, archive, "it holds no file");
    return false;
  }
  const ZipEntry& first = entries.front();
  if (entryName != nullptr)
    *entryName = first.Folder.empty() ? first.Name : first.Folder + "/" + first.Name;
  std::FILE* out = std::fopen(target.c_str(), "wb");
  if (out == nullptr) {
    ZipFault(prompter, archive,
             "the temporary file " + target + " cannot be written: " + std::strerror(errno));
    return false;
  }
  bool ok = reader.Copy(first, out, error);
  if (std::fclose(out) != 0 && ok) {
    error = "the temporary file " + target + " cannot be written: " + std::strerror(errno);
    ok = false;
  }
  if (!ok) {
    // Nothing half-extracted may be taken for a data file, nor fill the disk.
    std::FILE* clear = std::fopen(target.c_str(), "wb");
    if (clear != nullptr) std::fclose(clear);
    ZipFault(prompter, archive, error);
  }
  return ok;
}

}  // namespace vantrel

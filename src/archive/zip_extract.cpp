#include "archive/zip_extract.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "archive/cunzip.h"
#include "archive/zip_reader.h"
#include "support/text.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kZipTitle = "Zip Error";

void ZipFault(Prompter& prompter, const std::string& description, const char* position,
              const std::string& archive, const std::string& folder) {
  prompter.Message("Error in ZipModules/Orv_UnZip_to_file\r\r" + description +
                       " - Module position " + position + "\r\rFile_to_unzip: " + archive +
                       "\rUnzip_Dir: " + folder,
                   kZipTitle, PromptIcon::Critical, PromptButtons::Ok);
}

std::string ParentFolder(const std::string& path) {
  const std::string parent = fs::path(path).parent_path().string();
  return parent.empty() ? "" : parent + "/";
}

}  // namespace

std::string Orv_UnZip_to_file(const std::string& archive, const std::string& folder,
                              const std::string& target, Prompter& prompter) {
  cUnzip unzip;
  unzip.ZipFile(archive);
  unzip.UnzipFolder(Trim(folder));
  // Only the first entry is the data file; the rest stay in the archive.
  if (!unzip.Directory()) {
    ZipFault(prompter, unzip.Error(), "4", archive, folder);
    return "";
  }
  if (unzip.FileCount() < 1) {
    ZipFault(prompter, "The archive holds no file", "5", archive, folder);
    return "";
  }
  const std::string name = unzip.Filename(1);
  for (long i = 2; i <= unzip.FileCount(); ++i) unzip.FileSelected(i, false);
  unzip.OverwriteExisting(true);
  if (!unzip.Unzip()) {
    ZipFault(prompter, unzip.Error(), "6", archive, folder);
    return "";
  }
  fs::path extracted = fs::path(Trim(folder).empty() ? "." : Trim(folder)) / name;
  if (Trim(target).empty()) return (fs::path(Trim(folder)) / name).string();

  std::error_code ec;
  fs::copy_file(extracted, Trim(target), fs::copy_options::overwrite_existing, ec);
  if (ec) {
    ZipFault(prompter, ec.message(), "7", archive, folder);
    fs::remove(extracted, ec);
    return "";
  }
  fs::remove(extracted, ec);
  return Trim(target);
}

bool ExtractFirstEntryTo(const std::string& archive, const std::string& target,
                         Prompter& prompter) {
  const std::string folder = ParentFolder(archive);
  std::string error;
  ZipReader reader;
  std::vector<ZipEntry> entries;
  if (!reader.Open(archive, error) || !reader.List(entries, error)) {
    ZipFault(prompter, error, "4", archive, folder);
    return false;
  }
  if (entries.empty()) {
    ZipFault(prompter, "The archive holds no file", "5", archive, folder);
    return false;
  }
  std::FILE* out = std::fopen(target.c_str(), "wb");
  if (out == nullptr) {
    ZipFault(prompter, "The temporary file cannot be written", "6", archive, folder);
    return false;
  }
  bool ok = reader.Copy(entries.front(), out, error);
  if (std::fclose(out) != 0 && ok) {
    error = "The temporary file cannot be written";
    ok = false;
  }
  if (!ok) {
    // Nothing half-extracted may be taken for a data file.
    std::FILE* clear = std::fopen(target.c_str(), "wb");
    if (clear != nullptr) std::fclose(clear);
    ZipFault(prompter, error, "6", archive, folder);
  }
  return ok;
}

}  // namespace vantrel

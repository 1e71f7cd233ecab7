#include "results/obj_data.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "archive/zip_extract.h"
#include "archive/zip_name.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

// Reads a whole file; errno-style code on failure.
int ReadWhole(const std::string& path, std::string& bytes) {
  bytes.clear();
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return errno != 0 ? errno : EIO;
  struct stat info {};
  if (fstat(fileno(in), &info) == 0 && info.st_size > 0) {
    bytes.reserve(static_cast<std::size_t>(info.st_size));
  }
  char buffer[1 << 16];
  int code = 0;
  for (;;) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, in);
    bytes.append(buffer, got);
    if (got < sizeof buffer) {
      if (std::ferror(in)) code = errno != 0 ? errno : EIO;
      break;
    }
  }
  std::fclose(in);
  if (code != 0) bytes.clear();
  return code;
}

int WriteWhole(const std::string& path, std::string_view bytes) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return errno != 0 ? errno : EIO;
  int code = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) code = errno ? errno : EIO;
  if (std::fclose(out) != 0 && code == 0) code = errno != 0 ? errno : EIO;
  return code;
}

}  // namespace

ObjData::ObjData(ProgramState& state, Prompter& prompter, DataHost& host)
    : state_(state), prompter_(prompter), host_(host) {}

ObjData::~ObjData() {
  if (copyPresent_ && !tempPath_.empty()) std::remove(tempPath_.c_str());
}

bool ObjData::RemoveCopy() {
  for (;;) {
    std::error_code ec;
    if (fs::remove(tempPath_, ec) || !ec) return true;
    if (ec != std::errc::permission_denied && ec != std::errc::operation_not_permitted &&
        ec != std::errc::device_or_resource_busy) {
      return false;
    }
    const PromptAnswer answer =
        prompter_.Message("Trouble Removing the temporary file\r" + tempPath_, state_.AppTitle,
                          PromptIcon::Exclamation, PromptButtons::RetryCancel);
    if (answer != PromptAnswer::Retry) return true;
  }
}

bool ObjData::SetFile(const std::string& path) {
  std::error_code ec;
  if (path.empty() || !fs::is_regular_file(path, ec)) return false;

  host_.SetCaption(fs::path(path).filename().string() + " - Vantrel");

  // Block positions are 32-bit.
  if (!IsZipFile(path) && fs::file_size(path, ec) > static_cast<std::uintmax_t>(kMaxFileBytes)) {
    prompter_.Message("File '" + path + "' is larger than 2 GB and cannot be read.", "File Error",
                      PromptIcon::Critical, PromptButtons::Ok);
    return false;
  }

  if (copyPresent_ && !tempPath_.empty() && !RemoveCopy()) return false;

  // The old index and block point into the old copy's bytes.
  contents_.clear();
  testCount_ = 0;
  ResetNumCols();

  std::string folder = "/tmp";
  if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') {
    if (fs::is_directory(tmp, ec)) {
      folder = tmp;
    } else {
      prompter_.Tell("Error Finding the Temporary Directory", state_.AppTitle);
    }
  }
  std::string name = (fs::path(folder) / "RepXXXXXX").string();
  const int fd = mkstemp(name.data());
  bool named = fd >= 0;
  if (named) {
    close(fd);
    tempPath_ = name;
    copyPresent_ = true;
  } else {
    tempPath_.clear();
    prompter_.Tell("Error Creating a temporary File", state_.AppTitle);
  }

  if (IsZipFile(path)) {
    if (!named || !ExtractFirstEntryTo(path, tempPath_, prompter_)) return false;
    if (const int code = ReadWhole(tempPath_, contents_); code != 0) {
      prompter_.Message(std::strerror(code), "Error", PromptIcon::Critical, PromptButtons::Ok);
      return false;
    }
  } else {
    if (const int code = ReadWhole(path, contents_); code != 0) {
      if (code == EACCES || code == EPERM) {
        prompter_.Message("File '" + path + "' is currently open.\r\r"
                          "Please close this file before attempting to load it into the "
                          "reports.",
                          "File Error", PromptIcon::Critical, PromptButtons::Ok);
      } else {
        prompter_.Message(std::strerror(code), "Error", PromptIcon::Critical,
                          PromptButtons::Ok);
      }
      return false;
    }
    if (named) {
      if (const int code = WriteWhole(tempPath_, contents_); code != 0) {
        contents_.clear();
        prompter_.Message(std::strerror(code), "Error", PromptIcon::Critical,
                          PromptButtons::Ok);
        return false;
      }
    }
  }

  state_.DataFilePath = path;
  if (!named) {
    contents_.clear();
    return false;
  }
  const bool indexed = ReadTestNames();
  Set_Sequence_Profiles(testDescription_);
  return indexed;
}

}  // namespace vantrel

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
#include "support/plain_file.h"
#include "support/temporary_files.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

int WriteWhole(const std::string& path, std::string_view bytes) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return errno != 0 ? errno : EIO;
  int code = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) code = errno ? errno : EIO;
  if (std::fclose(out) != 0 && code == 0) code = errno != 0 ? errno : EIO;
  return code;
}

// "it is empty" of an archive's entry reads "its first entry 'x' is empty".
std::string OfEntry(const std::string& entry, const std::string& fault) {
  const std::string subject = "its first entry '" + entry + "'";
  return fault.rfind("it ", 0) == 0 ? subject + fault.substr(2) : subject + ": " + fault;
}

}  // namespace

RefusalMessage SystemRefusal(const std::string& path, int code) {
  if (code == EACCES || code == EPERM) {
    return {"File '" + path + "' is currently open.\r\r" +
                "Please close this file before attempting to load it into the reports.\r\r" +
                "The system refuses to read it: " + std::strerror(code) + ".",
            "File Error"};
  }
  return {std::string(std::strerror(code)) + "\r\rThe data file '" + path + "' cannot be loaded.",
          "Error"};
}

ObjData::ObjData(ProgramState& state, Prompter& prompter, DataHost& host)
    : state_(state), prompter_(prompter), host_(host) {}

ObjData::~ObjData() {
  if (copyPresent_ && !tempPath_.empty()) {
    std::remove(tempPath_.c_str());
    ForgetTemporaryFile(tempPath_);
  }
  if (tempLock_ >= 0) ::close(tempLock_);
}

void ObjData::Refuse(const std::string& path, const std::string& reason) {
  prompter_.Message("The data file '" + path + "' cannot be loaded: " + reason + ".", "File Error",
                    PromptIcon::Critical, PromptButtons::Ok);
}

void ObjData::RefuseSystem(const std::string& path, int code) {
  const RefusalMessage m = SystemRefusal(path, code);
  prompter_.Message(m.Text, m.Title, PromptIcon::Critical, PromptButtons::Ok);
}

bool ObjData::RemoveCopy() {
  for (;;) {
    std::error_code ec;
    if (fs::remove(tempPath_, ec) || !ec) {
      ForgetTemporaryFile(tempPath_);
      if (tempLock_ >= 0) ::close(tempLock_);
      tempLock_ = -1;
      return true;
    }
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

// Reads the user's file, or checks that an archive is one; nothing changes on a refusal.
bool ObjData::ReadSource(const std::string& path, std::string& bytes) {
  std::string error;
  if (IsZipFile(path)) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
      RefuseSystem(path, errno);
      return false;
    }
    if (!S_ISREG(info.st_mode)) {
      // Read only for its reason: a folder or a pipe is refused without blocking.
      ReadPlainFile(path, bytes, error, 0);
      Refuse(path, error);
      return false;
    }
    return true;
  }
  errno = 0;
  if (!ReadPlainFile(path, bytes, error, static_cast<std::uint64_t>(kMaxFileBytes))) {
    // errno stays 0 where the file is no plain file or too large: our own reasons.
    if (errno != 0 && !path.empty())
      RefuseSystem(path, errno);
    else
      Refuse(path, error);
    return false;
  }
  if (bytes.empty()) error = "it is empty";
  if (error.empty()) error = TextFault(bytes);
  if (!error.empty()) {
    Refuse(path, error);
    bytes.clear();
    return false;
  }
  return true;
}

bool ObjData::MakeCopyFile() {
  // Copies that runs killed with -9 left behind are as large as their data files.
  RemoveStaleFiles(tempFolder_, "Rep", "");
  std::string name;
  const int fd = MakeOwnedFile(tempFolder_, "Rep", "", name, 0600);
  if (fd < 0) {
    prompter_.Tell("Error Creating a temporary File\r\rNo file can be made in the folder " +
                       tempFolder_ + ": " + std::strerror(errno) + ".",
                   state_.AppTitle, PromptIcon::Critical);
    tempPath_.clear();
    return false;
  }
  if (tempLock_ >= 0) ::close(tempLock_);
  tempLock_ = fd;
  tempPath_ = name;
  copyPresent_ = true;
  return true;
}

bool ObjData::ExtractCopy(const std::string& path) {
  std::string entry;
  if (!ExtractFirstEntryTo(path, tempPath_, prompter_, &entry)) return false;
  std::string error;
  if (!ReadPlainFile(tempPath_, contents_, error)) {
    Refuse(path, "its temporary copy " + tempPath_ + " cannot be read: " + error);
    return false;
  }
  if (contents_.empty()) error = "it is empty";
  if (error.empty()) error = TextFault(contents_);
  if (!error.empty()) {
    Refuse(path, OfEntry(entry, error));
    contents_.clear();
    return false;
  }
  return true;
}

bool ObjData::WriteCopy(const std::string& path, std::string&& bytes) {
  if (const int code = WriteWhole(tempPath_, bytes); code != 0) {
    Refuse(path, "its temporary copy " + tempPath_ + " cannot be written: " + std::strerror(code));
    // A half copy must not fill the folder until the next file.
    std::FILE* clear = std::fopen(tempPath_.c_str(), "wb");
    if (clear != nullptr) std::fclose(clear);
    return false;
  }
  contents_ = std::move(bytes);
  return true;
}

bool ObjData::SetFile(const std::string& path) {
  std::string bytes;
  if (!ReadSource(path, bytes)) return false;

  host_.SetCaption(fs::path(path).filename().string() + " - Vantrel");
  if (copyPresent_ && !tempPath_.empty() && !RemoveCopy()) return false;

  // The old index and block point into the old copy's bytes.
  contents_.clear();
  testCount_ = 0;
  ResetNumCols();
  unreadable_.clear();
  incomplete_.clear();
  decimalCommaTold_ = false;

  if (!MakeCopyFile()) return false;
  const bool copied = IsZipFile(path) ? ExtractCopy(path) : WriteCopy(path, std::move(bytes));
  if (!copied) return false;

  state_.DataFilePath = path;
  const bool indexed = ReadTestNames();
  if (!indexed && !indexFault_.empty()) Refuse(path, indexFault_);
  Set_Sequence_Profiles(testDescription_);
  return indexed;
}

}  // namespace vantrel

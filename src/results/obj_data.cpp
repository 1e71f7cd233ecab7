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
#include "results/copy_lines.h"
#include "support/plain_file.h"
#include "support/temporary_files.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

bool WriteWhole(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
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
  ahead_.reset();
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

// Opens the user's file and checks its first bytes, or checks that an archive is one;
// nothing changes on a refusal.
bool ObjData::OpenSource(const std::string& path, int& fd, std::string& head) {
  std::string error;
  if (IsZipFile(path)) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
      RefuseSystem(path, errno);
      return false;
    }
    if (!S_ISREG(info.st_mode)) {
      // Opened only for its reason: a folder or a pipe is refused without blocking.
      if (const int opened = OpenPlainFile(path, error); opened >= 0) ::close(opened);
      Refuse(path, error);
      return false;
    }
    return true;
  }
  fd = OpenPlainFile(path, error, static_cast<std::uint64_t>(kMaxFileBytes));
  if (fd >= 0 && !ReadUpTo(fd, kTextProbeBytes, head)) error = std::strerror(errno);
  if (fd < 0 || !error.empty()) {
    // errno is 0 where the file is no plain file or too large: our own reasons.
    if (errno != 0 && !path.empty())
      RefuseSystem(path, errno);
    else
      Refuse(path, error);
    if (fd >= 0) ::close(fd);
    fd = -1;
    return false;
  }
  if (head.empty()) error = "it is empty";
  if (error.empty()) error = TextFault(head);
  if (!error.empty()) {
    Refuse(path, error);
    ::close(fd);
    fd = -1;
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
  struct stat info {};
  std::string head;
  std::string error;
  if (::fstat(tempLock_, &info) != 0 || ::lseek(tempLock_, 0, SEEK_SET) != 0 ||
      !ReadUpTo(tempLock_, kTextProbeBytes, head)) {
    Refuse(path, "its temporary copy " + tempPath_ + " cannot be read: " + std::strerror(errno));
    return false;
  }
  if (head.empty()) error = "it is empty";
  if (error.empty() && static_cast<std::uint64_t>(info.st_size) > kMaxFileBytes)
    error = "it is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
  if (error.empty()) error = TextFault(head);
  if (!error.empty()) {
    Refuse(path, OfEntry(entry, error));
    ClearCopy();
    return false;
  }
  copySize_ = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool ObjData::WriteCopy(const std::string& path, int source, std::string_view head) {
  std::uint64_t copied = head.size();
  int readFault = 0;
  int writeFault = 0;
  errno = 0;
  if (!WriteWhole(tempLock_, head)) {
    writeFault = errno != 0 ? errno : EIO;
  } else if (CopyRest(source, tempLock_, static_cast<std::uint64_t>(kMaxFileBytes) - head.size(),
                      copied, readFault, writeFault) &&
             copied > static_cast<std::uint64_t>(kMaxFileBytes)) {
    // It grew while it was copied.
    Refuse(path, "it is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB");
    ClearCopy();
    return false;
  }
  if (readFault != 0) {
    RefuseSystem(path, readFault);
    ClearCopy();
    return false;
  }
  if (writeFault != 0) {
    Refuse(path,
           "its temporary copy " + tempPath_ + " cannot be written: " + std::strerror(writeFault));
    ClearCopy();
    return false;
  }
  copySize_ = copied;
  return true;
}

// A half copy must not fill the folder until the next file.
void ObjData::ClearCopy() {
  if (::ftruncate(tempLock_, 0) != 0) {
    // Nothing more to do: the copy goes with the next file or the end of the run.
  }
  copySize_ = 0;
}

CopyLines ObjData::LinesFrom(std::uint64_t position, std::size_t window,
                             std::size_t longest) const {
  return CopyLines(tempLock_, copySize_, position, window, longest);
}

std::string ObjData::CopyFault(const std::string& fault) const {
  return "its temporary copy " + tempPath_ + " cannot be read: " + fault;
}

bool ObjData::SetFile(const std::string& path) {
  // The read-ahead reads the copy that is about to go.
  ahead_.reset();
  int source = -1;
  std::string head;
  if (!OpenSource(path, source, head)) return false;
  struct Closer {
    int Fd;
    ~Closer() {
      if (Fd >= 0) ::close(Fd);
    }
  } closer{source};

  host_.SetCaption(fs::path(path).filename().string() + " - Vantrel");
  if (copyPresent_ && !tempPath_.empty() && !RemoveCopy()) return false;

  // The old index and block belong to the old copy.
  copySize_ = 0;
  testCount_ = 0;
  ResetNumCols();
  unreadable_.clear();
  incomplete_.clear();
  checks_.clear();
  decimalCommaTold_ = false;

  if (!MakeCopyFile()) return false;
  const bool copied = IsZipFile(path) ? ExtractCopy(path) : WriteCopy(path, source, head);
  if (!copied) return false;

  state_.DataFilePath = path;
  const bool indexed = ReadTestNames();
  if (!indexed && !indexFault_.empty()) Refuse(path, indexFault_);
  Set_Sequence_Profiles(testDescription_);
  return indexed;
}

}  // namespace vantrel

#include "support/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

#include "support/temporary_files.h"

namespace vantrel {

namespace {

namespace fs = std::filesystem;

// Short whatever the target's name: a legal 250-byte name must still get its part.
// The leading dot keeps a watcher of the folder from taking it for a finished file.
constexpr const char* kPartPrefix = ".vantrel-";
constexpr const char* kPartSuffix = ".part";

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISFIFO(mode)) return "a pipe";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a plain file";
}

bool EndsWith(int fd, std::string_view trailer) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || info.st_size < static_cast<off_t>(trailer.size())) return false;
  // Writers may put a line end or two after the trailer.
  char tail[64] = {};
  const off_t want = std::min<off_t>(info.st_size, static_cast<off_t>(sizeof tail));
  if (::pread(fd, tail, static_cast<std::size_t>(want), info.st_size - want) != want) return false;
  std::string_view end(tail, static_cast<std::size_t>(want));
  while (!end.empty() && (end.back() == '\n' || end.back() == '\r' || end.back() == ' '))
    end.remove_suffix(1);
  return end.ends_with(trailer);
}

// One scan per folder and process: --separate writes thousands of files into one.
void RemoveStalePartsOnce(const std::string& folder) {
  static std::mutex lock;
  static std::set<std::string> cleaned;
  {
    const std::lock_guard<std::mutex> hold(lock);
    if (!cleaned.insert(folder).second) return;
  }
  RemoveStaleParts(folder);
}

// A rename that never replaces: the file under the name may be a colleague's.
int RenameNoReplace(const char* from, const char* to) {
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // Filesystems without it: a hard link fails on an existing name as well.
  if (::link(from, to) != 0) return errno;
  ::unlink(from);
  return 0;
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const std::string folder = fs::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

std::string WhyNotWritten(const std::string& path) {
  struct statvfs room {};
  if (::statvfs(FolderOf(path).c_str(), &room) == 0 && room.f_bavail == 0) {
    return std::strerror(ENOSPC);
  }
  return "the file was not written completely";
}

void RemoveStaleParts(const std::string& folder) {
  RemoveStaleFiles(folder, kPartPrefix, kPartSuffix);
}

void RemoveUnheldParts(const std::string& folder) {
  RemoveStaleFiles(folder, kPartPrefix, kPartSuffix, true);
}

bool MakeFolders(const std::string& folder, std::string& error) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!ec && fs::is_directory(folder, ec)) return true;
  error = "cannot create the folder " + folder + ": " +
          (ec ? ec.message() : std::string(std::strerror(ENOTDIR)));
  return false;
}

FileWriter::FileWriter(std::string target, WriteRules rules)
    : target_(std::move(target)), rules_(std::move(rules)) {
  const std::string folder = FolderOf(target_);
  RemoveStalePartsOnce(folder);
  std::string part;
  fd_ = MakeOwnedFile(folder, kPartPrefix, kPartSuffix, part);
  if (fd_ < 0) {
    error_ = "cannot write " + target_ + ": " + std::strerror(errno);
    return;
  }
  part_ = part;
}

FileWriter::~FileWriter() { Abandon(); }

void FileWriter::Abandon() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  ::unlink(part_.c_str());
  ForgetTemporaryFile(part_);
}

std::string FileWriter::Reason() const {
  const std::string prefix = "cannot write " + target_ + ": ";
  return error_.rfind(prefix, 0) == 0 ? error_.substr(prefix.size()) : error_;
}

bool FileWriter::Fail(const std::string& why) {
  if (error_.empty()) error_ = "cannot write " + target_ + ": " + why;
  Abandon();
  return false;
}

bool FileWriter::Write(std::string_view bytes) {
  if (fd_ < 0) return false;
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return Fail(put < 0 ? std::strerror(errno) : WhyNotWritten(part_));
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

bool FileWriter::Commit() {
  if (fd_ < 0) {
    if (error_.empty()) error_ = "cannot write " + target_ + ": the file was given up";
    return false;
  }
  if (!rules_.Trailer.empty() && !EndsWith(fd_, rules_.Trailer)) return Fail(WhyNotWritten(part_));
  struct stat existing {};
  const bool exists = ::stat(target_.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode))
    return Fail("it is " + KindOf(existing.st_mode) + "; only a plain file is replaced");
  if (exists && rules_.IfExists == Existing::Keep) {
    foundExisting_ = true;
    return Fail(std::strerror(EEXIST));
  }
  // Colleagues and the file share must read a replaced file as before. Only root can
  // give a file away; anyone else keeps being its owner, as with any edit.
  if (exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()))
    (void)!::fchown(fd_, existing.st_uid, existing.st_gid);
  if (exists && ::fchmod(fd_, existing.st_mode & 07777) != 0) return Fail(std::strerror(errno));
  if (::fsync(fd_) != 0) return Fail(std::strerror(errno));
  return PutInPlace();
}

bool FileWriter::PutInPlace() {
  const int moved = rules_.IfExists == Existing::Keep
                        ? RenameNoReplace(part_.c_str(), target_.c_str())
                        : (::rename(part_.c_str(), target_.c_str()) == 0 ? 0 : errno);
  if (moved != 0) {
    foundExisting_ = moved == EEXIST;
    return Fail(std::strerror(moved));
  }
  ForgetTemporaryFile(part_);
  const int fd = fd_;
  fd_ = -1;
  const bool closed = ::close(fd) == 0;
  // The rename itself is only on the disk once the folder is.
  const int folder = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  if (!closed) {
    error_ = "cannot write " + target_ + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool WriteWholeFile(const std::string& target, std::string_view bytes, std::string& error,
                    const WriteRules& rules) {
  FileWriter file(target, rules);
  if (file.Write(bytes) && file.Commit()) return true;
  error = file.Error();
  return false;
}

bool CopyToFile(const std::string& source, const std::string& target, std::string& error,
                const WriteRules& rules) {
  FileWriter file(target, rules);
  if (!file.Ready()) {
    error = file.Error();
    return false;
  }
  const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    error = "cannot read " + source + ": " + std::strerror(errno);
    return false;
  }
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(in, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = "cannot read " + source + ": " + std::strerror(errno);
      ::close(in);
      return false;
    }
    if (got == 0) break;
    if (!file.Write(std::string_view(buffer, static_cast<std::size_t>(got)))) break;
  }
  ::close(in);
  if (file.Ready() && file.Commit()) return true;
  error = file.Error();
  return false;
}

}  // namespace vantrel

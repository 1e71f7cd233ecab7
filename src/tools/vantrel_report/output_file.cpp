#include "tools/vantrel_report/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "support/temporary_files.h"

namespace vantrel::report_tool {

namespace {

namespace fs = std::filesystem;

// Short whatever the final name: a legal 250-byte name must still get its part.
constexpr const char* kPartPrefix = ".vantrel-";
constexpr const char* kPartSuffix = ".part";

std::string FolderOf(const std::string& path) {
  const std::string folder = fs::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISFIFO(mode)) return "a pipe";
  return "not a plain file";
}

}  // namespace

std::string WhyNotWritten(const std::string& path) {
  struct statvfs room {};
  if (::statvfs(FolderOf(path).c_str(), &room) == 0 && room.f_bavail == 0) {
    return std::strerror(ENOSPC);
  }
  return "the file was not written completely";
}

namespace {

bool EndsWith(int fd, const std::string& trailer) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || info.st_size < static_cast<off_t>(trailer.size())) return false;
  // Writers may put a line end or two after the trailer.
  char tail[64] = {};
  const off_t want = std::min<off_t>(info.st_size, static_cast<off_t>(sizeof tail));
  if (::pread(fd, tail, static_cast<std::size_t>(want), info.st_size - want) != want) return false;
  std::string end(tail, static_cast<std::size_t>(want));
  while (!end.empty() && (end.back() == '\n' || end.back() == '\r')) end.pop_back();
  return end.size() >= trailer.size() &&
         end.compare(end.size() - trailer.size(), trailer.size(), trailer) == 0;
}

}  // namespace

std::string OutputRefusal(const std::string& output, const std::vector<std::string>& inputs) {
  struct stat target {};
  if (::stat(output.c_str(), &target) != 0) return "";
  for (const std::string& input : inputs) {
    struct stat in {};
    if (!input.empty() && ::stat(input.c_str(), &in) == 0 && in.st_dev == target.st_dev &&
        in.st_ino == target.st_ino) {
      return output + " is the input file " + input + "; it would be overwritten";
    }
  }
  if (!S_ISREG(target.st_mode)) {
    return output + " is " + KindOf(target.st_mode) + "; output goes only to plain files";
  }
  return "";
}

void RemoveStaleParts(const std::string& folder) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(kPartPrefix, 0) != 0 || !name.ends_with(kPartSuffix)) continue;
    const long pid = std::strtol(name.c_str() + std::strlen(kPartPrefix), nullptr, 10);
    // Another run that is still at work keeps its part.
    if (pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)) {
      fs::remove(entry.path(), ec);
    }
  }
}

PartFile::PartFile(std::string final) : final_(std::move(final)) {
  const std::string folder = FolderOf(final_);
  RemoveStaleParts(folder);
  std::string name =
      folder + "/" + kPartPrefix + std::to_string(::getpid()) + "-XXXXXX" + kPartSuffix;
  const int fd = MakeTemporaryFile(name, static_cast<int>(std::strlen(kPartSuffix)));
  if (fd < 0) {
    error_ = "cannot write " + final_ + ": " + std::strerror(errno);
    return;
  }
  ::close(fd);
  part_ = name;
}

PartFile::~PartFile() {
  if (part_.empty() || committed_) return;
  ::unlink(part_.c_str());
  ForgetTemporaryFile(part_);
}

bool PartFile::Commit(const std::string& trailer) {
  if (part_.empty()) return false;
  const std::string cannot = "cannot write " + final_ + ": ";
  const int fd = ::open(part_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error_ = cannot + std::strerror(errno);
    return false;
  }
  bool ok = trailer.empty() || EndsWith(fd, trailer);
  if (!ok) error_ = cannot + WhyNotWritten(part_);
  if (ok && ::fsync(fd) != 0) {
    error_ = cannot + std::strerror(errno);
    ok = false;
  }
  ::close(fd);
  // Whatever appeared under the final name meanwhile, only a plain file is replaced.
  if (struct stat now{}; ok && ::stat(final_.c_str(), &now) == 0 && !S_ISREG(now.st_mode)) {
    error_ = cannot + "it is " + KindOf(now.st_mode) + " now";
    ok = false;
  }
  if (ok && ::rename(part_.c_str(), final_.c_str()) != 0) {
    error_ = cannot + std::strerror(errno);
    ok = false;
  }
  if (!ok) return false;
  committed_ = true;
  ForgetTemporaryFile(part_);
  return true;
}

}  // namespace vantrel::report_tool

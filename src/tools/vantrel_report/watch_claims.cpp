#include "tools/vantrel_report/watch_claims.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "support/file_writer.h"

namespace vantrel::report_tool {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLock = ".lock";
constexpr const char* kStaging = ".new-";

// The lock of a claim folder taken without waiting; -1 when its watcher lives.
int TryLock(const fs::path& folder) {
  const int fd = open((folder / kLock).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  // Removed by the watcher that held it just before: nothing left to take over.
  std::error_code ec;
  if (!fs::exists(folder / kLock, ec)) {
    close(fd);
    return -1;
  }
  return fd;
}

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "host";
  std::string host(name);
  for (char& c : host)
    if (c == '/' || c == '.') c = '_';
  return host;
}

}  // namespace

Claims::~Claims() {
  for (Folder& f : adopted_) Remove(f);
  Remove(own_);
}

bool Claims::Open(const fs::path& dir, std::string& why) {
  root_ = dir / ".claims";
  std::error_code ec;
  fs::create_directories(root_, ec);
  if (!fs::is_directory(root_, ec)) {
    why = "cannot create the claim folder " + root_.string() +
          (ec ? ": " + ec.message() : ": a file of that name is in the way");
    return false;
  }
  // Made and locked under a name no watcher looks at, then renamed: a claim folder is
  // never seen without its held lock.
  std::string staging = (root_ / (std::string(kStaging) + "XXXXXX")).string();
  if (mkdtemp(staging.data()) == nullptr) {
    why = "cannot create a folder in " + root_.string() + ": " + std::strerror(errno);
    return false;
  }
  const fs::path stagingPath(staging);
  const int fd = open((stagingPath / kLock).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0 || flock(fd, LOCK_EX) != 0) {
    why = "cannot lock a claim folder in " + root_.string() + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    fs::remove_all(stagingPath, ec);
    return false;
  }
  const std::string unique = stagingPath.filename().string().substr(std::strlen(kStaging));
  const fs::path final = root_ / (HostName() + "-" + std::to_string(getpid()) + "-" + unique);
  if (rename(stagingPath.c_str(), final.c_str()) != 0) {
    why = "cannot create a claim folder in " + root_.string() + ": " + std::strerror(errno);
    close(fd);
    fs::remove_all(stagingPath, ec);
    return false;
  }
  own_ = {final, fd};
  return true;
}

bool Claims::Take(const fs::path& file, std::string& why) {
  why.clear();
  const fs::path to = own_.Path / file.filename();
  if (renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) {
    // Without the flag: a hard link is as exclusive; the loser's unlink finds nothing.
    if (link(file.c_str(), to.c_str()) == 0) {
      if (unlink(file.c_str()) == 0) return true;
      unlink(to.c_str());
      return false;
    }
  }
  if (errno == ENOENT) return false;
  // Our own folder still holds one of that name (it could not be moved on yet).
  if (errno == EEXIST) return false;
  why = "cannot claim " + file.string() + ": " + std::strerror(errno);
  return false;
}

std::vector<fs::path> Claims::Held() {
  AdoptDead();
  std::vector<fs::path> held{own_.Path};
  for (const Folder& f : adopted_) held.push_back(f.Path);
  return held;
}

void Claims::AdoptDead() {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(root_, ec)) {
    const fs::path path = e.path();
    const std::string name = path.filename().string();
    if (path == own_.Path || !e.is_directory(ec)) continue;
    bool held = false;
    for (const Folder& f : adopted_) held = held || f.Path == path;
    if (held) continue;
    const int fd = TryLock(path);
    if (fd < 0) continue;
    Folder dead{path, fd};
    // A staging folder of a watcher that died while starting holds nothing.
    if (name.starts_with(kStaging)) {
      Remove(dead);
      continue;
    }
    // Only a folder's holder writes in it, so a part of a marker being written when
    // its watcher died is the dead watcher's, even while its pid is still to be seen.
    RemoveUnheldParts(path.string());
    adopted_.push_back(dead);
  }
}

void Claims::ReleaseIfEmpty(const fs::path& folder) {
  for (auto it = adopted_.begin(); it != adopted_.end(); ++it) {
    if (it->Path != folder) continue;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
      if (e.path().filename() != kLock) return;
    Remove(*it);
    adopted_.erase(it);
    return;
  }
}

void Claims::Remove(Folder& folder) {
  if (folder.Lock < 0) return;
  std::error_code ec;
  bool empty = true;
  for (const auto& e : fs::directory_iterator(folder.Path, ec))
    empty = empty && e.path().filename() == kLock;
  // The lock goes before the folder, and is let go last: a watcher that opens it in
  // between finds the folder gone or empty.
  if (empty) {
    fs::remove(folder.Path / kLock, ec);
    fs::remove(folder.Path, ec);
  }
  close(folder.Lock);
  folder.Lock = -1;
}

}  // namespace vantrel::report_tool

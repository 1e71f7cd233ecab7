#include "support/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

namespace vantrel {

namespace {

// A signal handler may neither allocate nor lock: fixed slots, claimed atomically.
constexpr std::size_t kSlots = 16;
constexpr std::size_t kPathBytes = 4096;

struct Slot {
  std::atomic<int> State{0};  // 0 free, 1 being written, 2 holds a path
  char Path[kPathBytes] = {};
};

std::array<Slot, kSlots> slots;

// Files being made but not yet registered. A thread making one blocks the ending
// signals, but the process's signal may still be handled on another thread, which
// must then wait for the file's name before it removes the files.
std::atomic<int> making{0};
// Set once the process is ending: no file is made any more.
std::atomic<bool> ending{false};

// The ending signals blocked on this thread, and a file being made, while it lives.
class MakingFile {
 public:
  MakingFile() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&signals, signal);
    pthread_sigmask(SIG_BLOCK, &signals, &previous_);
    making.fetch_add(1);
    if (ending.load()) {
      // The process dies any moment now; a file made meanwhile would stay behind.
      making.fetch_sub(1);
      for (;;) ::pause();
    }
  }
  ~MakingFile() {
    making.fetch_sub(1);
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  MakingFile(const MakingFile&) = delete;
  MakingFile& operator=(const MakingFile&) = delete;

 private:
  sigset_t previous_;
};

constexpr std::size_t kRandomChars = 6;
constexpr std::time_t kReusedPidAge = 60;

std::string RandomChars() {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char bytes[kRandomChars] = {};
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    static std::atomic<unsigned> counter{0};
    const unsigned seed = static_cast<unsigned>(std::time(nullptr)) ^ (++counter * 2654435761u);
    for (std::size_t i = 0; i < kRandomChars; ++i) bytes[i] = static_cast<unsigned char>(seed >> i);
  }
  std::string out;
  for (const unsigned char b : bytes) out += kAlphabet[b % (sizeof kAlphabet - 1)];
  return out;
}

bool IsAlphanumeric(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The pid of a name MakeOwnedFile gives, 0 for any other name.
long OwnerPid(std::string_view name, std::string_view prefix, std::string_view suffix) {
  if (!name.starts_with(prefix) || !name.ends_with(suffix)) return 0;
  name.remove_prefix(prefix.size());
  name.remove_suffix(suffix.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9) return 0;
  if (name.size() != dash + 1 + kRandomChars) return 0;
  long pid = 0;
  for (std::size_t i = 0; i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    pid = pid * 10 + (name[i] - '0');
  }
  for (std::size_t i = dash + 1; i < name.size(); ++i)
    if (!IsAlphanumeric(name[i])) return 0;
  return pid;
}

// A live run holds its file's lock, on this machine or another one sharing the folder,
// so a free lock is the sign; the pid only spares a young file of a run in its first
// microseconds, and a dead pid on this machine needs no waiting.
bool RunIsOver(const std::string& path, long pid, bool lockAlone) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  bool over = false;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    const bool pidGone = ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
    over = lockAlone || pidGone || std::time(nullptr) - info.st_mtime > kReusedPidAge;
  }
  ::close(fd);
  return over;
}

}  // namespace

int MakeOwnedFile(const std::string& folder, const std::string& prefix, const std::string& suffix,
                  std::string& path, unsigned mode) {
  const std::string start = (folder.empty() ? std::string(".") : folder) + "/" + prefix +
                            std::to_string(::getpid()) + "-";
  const MakingFile guard;
  int fd = -1;
  int error = EEXIST;
  std::string name;
  for (int attempt = 0; attempt < 100 && fd < 0 && error == EEXIST; ++attempt) {
    name = start + RandomChars() + suffix;
    fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
    error = errno;
  }
  if (fd >= 0) {
    // Taken before anyone could see the file without it: only a dead run's is free.
    ::flock(fd, LOCK_EX | LOCK_NB);
    RegisterTemporaryFile(name);
    path = name;
  }
  errno = error;
  return fd;
}

void RemoveStaleFiles(const std::string& folder, const std::string& prefix,
                      const std::string& suffix, bool lockAlone) {
  const std::string base = folder.empty() ? std::string(".") : folder;
  DIR* dir = ::opendir(base.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    const long pid = OwnerPid(entry->d_name, prefix, suffix);
    if (pid == 0) continue;
    const std::string path = base + "/" + entry->d_name;
    if (RunIsOver(path, pid, lockAlone)) ::unlink(path.c_str());
  }
  ::closedir(dir);
}

int MakeTemporaryFile(std::string& pattern, int suffixLength) {
  int fd = -1;
  int error = 0;
  {
    const MakingFile guard;
    fd = ::mkstemps(pattern.data(), suffixLength);
    error = errno;
    if (fd >= 0) RegisterTemporaryFile(pattern);
  }
  errno = error;
  return fd;
}

bool RegisterTemporaryFile(const std::string& path) {
  if (path.empty() || path.size() >= kPathBytes) return false;
  for (Slot& slot : slots) {
    int expected = 0;
    if (!slot.State.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(slot.Path, path.c_str(), path.size() + 1);
    slot.State.store(2);
    return true;
  }
  return false;
}

void ForgetTemporaryFile(const std::string& path) {
  for (Slot& slot : slots) {
    int expected = 2;
    if (slot.State.load() != 2 || path != slot.Path) continue;
    slot.State.compare_exchange_strong(expected, 0);
  }
}

void RemoveTemporaryFilesNow() {
  for (Slot& slot : slots) {
    if (slot.State.load() == 2) ::unlink(slot.Path);
  }
}

void RemoveTemporaryFilesAtEnd() {
  ending.store(true);
  // A file another thread is making is named within microseconds; a second at most.
  for (int waits = 0; making.load() > 0 && waits < 100000; ++waits) {
    const timespec pause{0, 10000};
    ::nanosleep(&pause, nullptr);
  }
  RemoveTemporaryFilesNow();
}

}  // namespace vantrel

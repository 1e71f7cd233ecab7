#include "support/temporary_files.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace vantrel {

namespace {

// A signal handler may neither allocate nor lock: fixed slots, claimed atomically.
constexpr std::size_t kSlots = 16;
constexpr std::size_t kPathBytes = 4096;

struct Slot {
  std::atomic<int> state{0};  // 0 free, 1 being written, 2 holds a path
  char path[kPathBytes] = {};
};

std::array<Slot, kSlots> slots;

}  // namespace

int MakeTemporaryFile(std::string& pattern, int suffixLength) {
  sigset_t ending, previous;
  sigemptyset(&ending);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&ending, signal);
  sigprocmask(SIG_BLOCK, &ending, &previous);
  const int fd = ::mkstemps(pattern.data(), suffixLength);
  const int error = errno;
  if (fd >= 0) RegisterTemporaryFile(pattern);
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  errno = error;
  return fd;
}

bool RegisterTemporaryFile(const std::string& path) {
  if (path.empty() || path.size() >= kPathBytes) return false;
  for (Slot& slot : slots) {
    int expected = 0;
    if (!slot.state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.state.store(2);
    return true;
  }
  return false;
}

void ForgetTemporaryFile(const std::string& path) {
  for (Slot& slot : slots) {
    int expected = 2;
    if (slot.state.load() != 2 || path != slot.path) continue;
    slot.state.compare_exchange_strong(expected, 0);
  }
}

void RemoveTemporaryFilesNow() {
  for (Slot& slot : slots) {
    if (slot.state.load() == 2) ::unlink(slot.path);
  }
}

}  // namespace vantrel

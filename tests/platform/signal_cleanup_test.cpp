#include "platform/signal_cleanup.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "common/temp_dir.h"
#include "support/temporary_files.h"

namespace vantrel {
namespace {

using testing::TempDir;

// The signal may be handled on any thread of the process, also while another one is
// between making a file and registering it; either way nothing may stay behind.
TEST(SignalCleanup, ASignalWhileAnotherThreadMakesAFileLeavesNothing) {
  TempDir dir;
  for (int trial = 0; trial < 60; ++trial) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RemoveTemporaryFilesOnSignals();
      std::atomic<bool> started{false};
      std::thread maker([&] {
        for (;;) {
          std::string path;
          const int fd = MakeOwnedFile(dir.path().string(), ".t-", ".part", path);
          if (fd < 0) std::_Exit(3);
          if (!started.exchange(true)) (void)!::write(ready[1], "r", 1);
          ::close(fd);
          ::unlink(path.c_str());
          ForgetTemporaryFile(path);
        }
      });
      // This thread takes the signal unless the kernel picks the maker.
      for (;;) ::pause();
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(200 + 37 * trial));
    ::kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "trial " << trial << ": status " << status;
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      ADD_FAILURE() << "trial " << trial << " left " << entry.path().filename();
    if (::testing::Test::HasFailure()) break;
  }
}

}  // namespace
}  // namespace vantrel

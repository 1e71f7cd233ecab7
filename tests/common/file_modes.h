#pragma once
// Permission bits of a file and a umask set for one scope, for the tests of written files.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

namespace vantrel::testing {

inline mode_t ModeOf(const std::filesystem::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

class Umask {
 public:
  explicit Umask(mode_t mask) : old_(::umask(mask)) {}
  ~Umask() { ::umask(old_); }
  Umask(const Umask&) = delete;
  Umask& operator=(const Umask&) = delete;

 private:
  mode_t old_;
};

}  // namespace vantrel::testing

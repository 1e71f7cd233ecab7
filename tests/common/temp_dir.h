#pragma once
// A fresh folder per test, removed with everything in it when the test ends.

#include <filesystem>
#include <string>
#include <string_view>

namespace vantrel::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  /// Writes bytes exactly as given (no line-end translation) and returns the path.
  std::filesystem::path Write(std::string_view name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace vantrel::testing

#pragma once
// A folder on a tmpfs of a few kilobytes, for writing onto a full disk. Mounting needs
// root (or CAP_SYS_ADMIN); without it Mounted() is false and Why() says so.

#include <filesystem>
#include <string>

namespace vantrel::testing {

class SmallDisk {
 public:
  explicit SmallDisk(const std::string& size = "96k");
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Why() const { return why_; }
  const std::filesystem::path& path() const { return path_; }
  /// Fills what is left of the disk so that the next write fails at once.
  void Fill() const;

 private:
  std::filesystem::path path_;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace vantrel::testing

#include "common/small_disk.h"

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace vantrel::testing {

SmallDisk::SmallDisk(const std::string& size) {
  std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-disk-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    why_ = std::string("mkdtemp: ") + std::strerror(errno);
    return;
  }
  path_ = pattern;
  const std::string options = "size=" + size + ",mode=0777";
  if (::mount("tmpfs", pattern.c_str(), "tmpfs", 0, options.c_str()) != 0) {
    why_ = "a tmpfs cannot be mounted here (" + std::string(std::strerror(errno)) +
           "); the full-disk cases need root";
    return;
  }
  mounted_ = true;
}

SmallDisk::~SmallDisk() {
  if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

void SmallDisk::Fill() const {
  std::ofstream out(path_ / "filler", std::ios::binary);
  const std::string block(4096, 'x');
  for (int i = 0; i < 1024 && out; ++i) out.write(block.data(), block.size());
}

}  // namespace vantrel::testing

#include "definitions/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace vantrel {

bool ReadDefinitionBytes(const std::string& path, std::string& bytes, std::string& error) {
  // Opened without blocking so that a pipe cannot hold us before the type check.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a plain file";
    ::close(fd);
    return false;
  }
  std::string data;
  data.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = std::strerror(errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    data.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  bytes = std::move(data);
  return true;
}

}  // namespace vantrel

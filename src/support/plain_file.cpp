#include "support/plain_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace vantrel {

namespace {

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder";
  if (S_ISFIFO(mode)) return "it is a pipe, not a plain file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a plain file";
  if (S_ISSOCK(mode)) return "it is a socket, not a plain file";
  return "it is not a plain file";
}

std::string SizeText(std::uint64_t bytes) {
  if (bytes >= (std::uint64_t{1} << 20)) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

int OpenPlainFile(const std::string& path, std::string& error, std::uint64_t maxBytes) {
  if (path.empty()) {
    error = "no file name was given";
    errno = 0;
    return -1;
  }
  // Opened without blocking so that a pipe cannot hold us before the type check.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = KindOf(info.st_mode);
    ::close(fd);
    errno = 0;
    return -1;
  }
  if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
    error = "it is larger than " + SizeText(maxBytes);
    ::close(fd);
    errno = 0;
    return -1;
  }
  return fd;
}

bool ReadUpTo(int fd, std::size_t count, std::string& bytes) {
  const std::size_t start = bytes.size();
  bytes.resize(start + count);
  std::size_t got = 0;
  while (got < count) {
    const ssize_t n = ::read(fd, bytes.data() + start + got, count - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      bytes.resize(start + got);
      return false;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(start + got);
  return true;
}

namespace {

bool WriteAll(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t n = ::write(fd, bytes, count);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    bytes += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool CopyRest(int from, int to, std::uint64_t limit, std::uint64_t& copied, int& readFault,
              int& writeFault) {
  readFault = writeFault = 0;
  const std::uint64_t most = limit == std::numeric_limits<std::uint64_t>::max() ? limit : limit + 1;
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  // The kernel copies without our memory; where it cannot (another file system, an old
  // kernel), the plain loop below does it and tells a read fault from a write fault.
  while (copied < most) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, most - copied));
    const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, want, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)) {
      writeFault = errno;
      return false;
    }
    if (n <= 0) break;
    copied += static_cast<std::uint64_t>(n);
  }
  std::unique_ptr<char[]> buffer;
  while (copied < most) {
    if (!buffer) buffer.reset(new char[kChunk]);
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, most - copied));
    const ssize_t n = ::read(from, buffer.get(), want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      readFault = errno;
      return false;
    }
    if (n == 0) break;
    if (!WriteAll(to, buffer.get(), static_cast<std::size_t>(n))) {
      writeFault = errno != 0 ? errno : EIO;
      return false;
    }
    copied += static_cast<std::uint64_t>(n);
  }
  return true;
}

bool ReadPlainFile(const std::string& path, std::string& bytes, std::string& error,
                   std::uint64_t maxBytes) {
  const int fd = OpenPlainFile(path, error, maxBytes);
  if (fd < 0) return false;
  struct stat info {};
  std::string data;
  if (::fstat(fd, &info) == 0) data.reserve(static_cast<std::size_t>(info.st_size));
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
    // The file may grow while it is read.
    if (data.size() + static_cast<std::size_t>(n) > maxBytes) {
      error = "it is larger than " + SizeText(maxBytes);
      ::close(fd);
      errno = 0;
      return false;
    }
    data.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  bytes = std::move(data);
  return true;
}

std::string TextFault(std::string_view bytes) {
  const std::string_view probe = bytes.substr(0, kTextProbeBytes);
  if (probe.starts_with("\xFF\xFE") || probe.starts_with("\xFE\xFF")) {
    return "it is UTF-16 text; save it as UTF-8 or 8-bit text";
  }
  if (probe.starts_with("PK\x03\x04")) return "it is a ZIP archive, not a text file";
  std::size_t zeros = 0, evenZeros = 0, controls = 0;
  for (std::size_t i = 0; i < probe.size(); ++i) {
    const auto byte = static_cast<unsigned char>(probe[i]);
    if (byte == 0) {
      ++zeros;
      if (i % 2 == 0) ++evenZeros;
    }
    if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') ++controls;
  }
  // UTF-16 without a byte order mark: every other byte of Latin text is zero.
  const std::size_t half = probe.size() / 2;
  if (half > 0 && (zeros - evenZeros > half * 9 / 10 || evenZeros > half * 9 / 10)) {
    return "it is UTF-16 text; save it as UTF-8 or 8-bit text";
  }
  // A stray NUL from a flaky transfer is no reason to refuse a text; binary data is
  // full of such bytes.
  if (controls > 8 && controls > probe.size() / 100) return "it holds binary data, not text";
  return "";
}

std::string_view WithoutBom(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
  return bytes;
}

}  // namespace vantrel

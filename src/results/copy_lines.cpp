#include "results/copy_lines.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vantrel {

CopyLines::CopyLines(int fd, std::uint64_t size, std::uint64_t position, std::size_t window,
                     std::size_t longest)
    : fd_(fd),
      size_(size),
      window_(std::clamp(window, kSmallestWindow, kWindow)),
      longest_(longest),
      base_(std::min(position > 0 ? position - 1 : 0, size)) {}

void CopyLines::Seek(std::uint64_t position) {
  const std::uint64_t offset = std::min(position > 0 ? position - 1 : 0, size_);
  if (offset >= base_ && offset <= base_ + end_) {
    begin_ = static_cast<std::size_t>(offset - base_);
    return;
  }
  base_ = offset;
  begin_ = end_ = 0;
}

// Keeps the unread bytes, widens the buffer when they fill it, and reads what follows.
bool CopyLines::Fill() {
  if (!fault_.empty() || AllRead()) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    base_ += begin_;
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == capacity_) {
    const std::uint64_t left = size_ - base_;
    const std::size_t wider = capacity_ == 0
                                  ? static_cast<std::size_t>(std::min<std::uint64_t>(window_, left))
                                  : capacity_ * 2;
    std::unique_ptr<char[]> bigger(new char[wider]);
    if (end_ > 0) std::memcpy(bigger.get(), buffer_.get(), end_);
    buffer_ = std::move(bigger);
    capacity_ = wider;
  }
  const std::size_t want =
      static_cast<std::size_t>(std::min<std::uint64_t>(capacity_ - end_, size_ - (base_ + end_)));
  ssize_t got = 0;
  do {
    got = ::pread(fd_, buffer_.get() + end_, want, static_cast<off_t>(base_ + end_));
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    fault_ = std::strerror(errno);
    return false;
  }
  if (got == 0) {
    fault_ = "it ends after " + std::to_string(base_ + end_) + " of its " + std::to_string(size_) +
             " bytes";
    return false;
  }
  end_ += static_cast<std::size_t>(got);
  return true;
}

// Drops what is left of a line given cut, up to and with its line end.
void CopyLines::SkipRest(bool afterCarriageReturn) {
  for (;;) {
    if (begin_ == end_ && !Fill()) return;
    const char* begin = buffer_.get() + begin_;
    if (afterCarriageReturn) {
      if (*begin == '\n') ++begin_;
      return;
    }
    const std::size_t left = end_ - begin_;
    const void* lf = std::memchr(begin, '\n', left);
    const std::size_t upTo =
        lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin) : left;
    if (const void* cr = std::memchr(begin, '\r', upTo)) {
      begin_ += static_cast<std::size_t>(static_cast<const char*>(cr) - begin) + 1;
      afterCarriageReturn = true;
    } else {
      begin_ += lf ? upTo + 1 : upTo;
      if (lf) return;
    }
  }
}

bool CopyLines::Next(std::string_view& line) {
  line = {};
  for (;;) {
    if (AtEnd()) return false;
    if (begin_ == end_) {
      if (!Fill()) return false;
      continue;
    }
    const char* begin = buffer_.get() + begin_;
    const std::size_t left = end_ - begin_;
    const void* lf = std::memchr(begin, '\n', left);
    std::size_t length = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin) : left;
    std::size_t ending = lf ? 1 : 0;
    bool known = lf != nullptr || AllRead();
    // A lone CR ends a line too; whether LF follows may lie beyond the bytes held.
    if (const void* cr = std::memchr(begin, '\r', length)) {
      length = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
      known = length + 1 < left || AllRead();
      ending = length + 1 < left && begin[length + 1] == '\n' ? 2 : 1;
    }
    if (known) {
      line = std::string_view(begin, length);
      begin_ += length + ending;
      return true;
    }
    if (longest_ > 0 && left >= longest_) {
      cut_.assign(begin, std::min(length, longest_));
      begin_ = end_;
      SkipRest(length < left);
      line = cut_;
      return true;
    }
    if (!Fill()) return false;
  }
}

}  // namespace vantrel

#pragma once
// The lines of the temporary copy, read through a window rather than held whole, so
// that memory follows the longest line read, not the file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vantrel {

/// Walks the lines of an open file of known size as LineCursor walks a text in memory:
/// LF, CR LF or a lone CR end a line, positions are 1-based bytes. A line stays valid
/// until the next Next or Seek. A read error, or a file that ends before its size, ends
/// the walk early, and Fault() says why.
class CopyLines {
 public:
  static constexpr std::size_t kWindow = std::size_t{1} << 20;
  static constexpr std::size_t kSmallestWindow = std::size_t{1} << 16;

  /// window is how much one read asks for (between kSmallestWindow and kWindow); a
  /// longer line widens it, unless longest is set: a line beyond longest bytes is
  /// then given cut to its first longest bytes.
  CopyLines(int fd, std::uint64_t size, std::uint64_t position = 1, std::size_t window = kWindow,
            std::size_t longest = 0);

  bool AtEnd() const { return !fault_.empty() || (begin_ == end_ && AllRead()); }
  /// 1-based position of the next line.
  std::uint64_t Position() const { return base_ + begin_ + 1; }
  void Seek(std::uint64_t position);
  /// The next line without its line end; false (line empty) at the end or on a fault.
  bool Next(std::string_view& line);
  /// "" while every read worked, else the reason.
  const std::string& Fault() const { return fault_; }

 private:
  bool AllRead() const { return base_ + end_ >= size_; }
  bool Fill();
  void SkipRest(bool afterCarriageReturn);

  int fd_;
  std::uint64_t size_;
  std::size_t window_;
  std::size_t longest_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::uint64_t base_ = 0;  // file offset of buffer_[0]
  std::size_t begin_ = 0;   // the next line, within the buffer
  std::size_t end_ = 0;     // bytes held
  std::string cut_;         // a line given cut: its rest is skipped before the caller sees it
  std::string fault_;
};

}  // namespace vantrel

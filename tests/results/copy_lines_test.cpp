#include "results/copy_lines.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "common/temp_dir.h"
#include "results/line_fields.h"

namespace vantrel {
namespace {

using Lines = std::vector<std::pair<std::uint64_t, std::string>>;

class OpenText {
 public:
  explicit OpenText(const std::string& text)
      : fd_(::open(dir_.Write("text.txt", text).c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~OpenText() { ::close(fd_); }
  int fd() const { return fd_; }

 private:
  testing::TempDir dir_;
  int fd_;
};

Lines InMemory(const std::string& text) {
  Lines lines;
  LineCursor cursor(text);
  std::string_view line;
  for (std::size_t at = cursor.Position(); cursor.Next(line); at = cursor.Position())
    lines.emplace_back(at, std::string(line));
  return lines;
}

Lines ThroughWindow(CopyLines& cursor) {
  Lines lines;
  std::string_view line;
  for (std::uint64_t at = cursor.Position(); cursor.Next(line); at = cursor.Position())
    lines.emplace_back(at, std::string(line));
  return lines;
}

TEST(CopyLines, GivesTheLinesOfTheTextInMemoryWhereverTheWindowEnds) {
  // Each line end in turn falls on the edge of the first read: LF, CR LF split across
  // it, a lone CR, a line longer than the window, and a last line without its end.
  const std::string tail =
      "a\nb\r\nc\rd\r\r\ne\n" + std::string(3 * CopyLines::kSmallestWindow, 'x') + "\r\nlast";
  for (std::size_t shift = 0; shift < 14; ++shift) {
    const std::string filler(CopyLines::kSmallestWindow - 10 + shift, 'f');
    const std::string text = filler + "\n" + tail;
    OpenText file(text);
    CopyLines cursor(file.fd(), text.size(), 1, CopyLines::kSmallestWindow);
    EXPECT_EQ(ThroughWindow(cursor), InMemory(text)) << "shift " << shift;
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_EQ(cursor.Fault(), "");
  }
  const std::string ending = std::string(CopyLines::kSmallestWindow - 1, 'f') + "\r";
  OpenText file(ending);
  CopyLines cursor(file.fd(), ending.size(), 1, CopyLines::kSmallestWindow);
  EXPECT_EQ(ThroughWindow(cursor), InMemory(ending));
}

TEST(CopyLines, SeeksBackToALineAndStartsWhereAsked) {
  const std::string text = std::string(100000, 'a') + "\nsecond\nthird\n";
  OpenText file(text);
  CopyLines cursor(file.fd(), text.size(), 100002);
  std::string_view line;
  ASSERT_TRUE(cursor.Next(line));
  EXPECT_EQ(line, "second");
  const std::uint64_t third = cursor.Position();
  ASSERT_TRUE(cursor.Next(line));
  cursor.Seek(third);
  ASSERT_TRUE(cursor.Next(line));
  EXPECT_EQ(line, "third");
  cursor.Seek(1);
  ASSERT_TRUE(cursor.Next(line));
  EXPECT_EQ(line.size(), 100000u);
}

TEST(CopyLines, ALineBeyondTheLongestIsCutAndTheNextLineKeepsItsPosition) {
  const std::size_t longest = CopyLines::kSmallestWindow;
  for (const std::string end : {"\n", "\r\n", "\r"}) {
    const std::string text = "head\n" + std::string(3 * longest, 'x') + end + "next\n" +
                             std::string(longest, 'y') + "\r\nlast";
    OpenText file(text);
    CopyLines cursor(file.fd(), text.size(), 1, longest, longest);
    Lines expected = InMemory(text);
    expected[1].second.resize(longest);
    expected[3].second.resize(longest);
    EXPECT_EQ(ThroughWindow(cursor), expected);
  }
}

TEST(CopyLines, AFileShorterThanItsSizeEndsTheWalkWithAFault) {
  const std::string text = "one\ntwo\nthr";
  OpenText file(text);
  CopyLines cursor(file.fd(), text.size() + 50);
  std::string_view line;
  ASSERT_TRUE(cursor.Next(line));
  ASSERT_TRUE(cursor.Next(line));
  EXPECT_FALSE(cursor.Next(line));
  EXPECT_EQ(line, "");
  EXPECT_TRUE(cursor.AtEnd());
  EXPECT_EQ(cursor.Fault(), "it ends after 11 of its 61 bytes");

  CopyLines closed(-1, 10);
  EXPECT_FALSE(closed.Next(line));
  EXPECT_EQ(closed.Fault(), "Bad file descriptor");
}

}  // namespace
}  // namespace vantrel

// The copy is read through windows: what lies across a window's edge, and a copy that
// changes under the reader.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "data_fixture.h"
#include "results/copy_lines.h"

namespace vantrel {
namespace {

using testing::Block;
using testing::DataFixture;
using testing::WithHeader;
namespace fs = std::filesystem;

constexpr int kTests = 40;
constexpr int kRows = 2000;

std::string Rows(int test, int rows) {
  std::string text;
  for (int r = 0; r < rows; ++r) {
    if (r > 0) text += "\n";
    text += std::to_string(r + 1) + "\t" + std::to_string(r + 1) + "\t" +
            std::to_string(test * 10000 + r) + "\t1\t0\t9\tPP";
  }
  return text;
}

// Over twice the index's window; the last block ends without a line end.
std::string ManyBlocks(bool crlf) {
  std::string body;
  for (int t = 0; t < kTests; ++t) body += Block("T" + std::to_string(t), Rows(t, kRows)) + "\n";
  body.resize(body.size() - 2);
  std::string text = WithHeader(body);
  if (!crlf) return text;
  std::string windows;
  for (const char c : text) windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return windows;
}

void ExpectEveryBlockWhole(DataFixture& f) {
  ASSERT_EQ(f.Data.TestCount(), kTests);
  bool straddles = false;
  for (int16_t t = 0; t < kTests; ++t) {
    const auto parsed = f.Data.ParseEntry(t);
    ASSERT_TRUE(parsed.has_value()) << t;
    ASSERT_EQ(parsed->Block->Rows(), kRows) << t;
    EXPECT_EQ(parsed->Block->At(2, 0).Number, t * 10000) << t;
    EXPECT_EQ(parsed->Block->At(2, kRows - 1).Number, t * 10000 + kRows - 1) << t;
    const auto start = static_cast<std::size_t>(f.Data.Entry(t)->Start);
    straddles = straddles ||
                (start <= CopyLines::kWindow && t + 1 < kTests &&
                 static_cast<std::size_t>(f.Data.Entry(t + 1)->Start) > CopyLines::kWindow + 1);
  }
  EXPECT_TRUE(straddles) << "no block lies across the index's window edge";
  EXPECT_TRUE(f.Data.LastTestComplete());
  EXPECT_EQ(f.Data.CertificationFault(false), "");
  EXPECT_TRUE(f.Prompter.Messages.empty());
}

TEST(WindowedRead, BlocksAcrossTheWindowsEdgeReadWholeWithEitherLineEnd) {
  for (const bool crlf : {false, true}) {
    DataFixture f;
    ASSERT_TRUE(f.Open(ManyBlocks(crlf)));
    ExpectEveryBlockWhole(f);
  }
}

TEST(WindowedRead, AZippedFileLargerThanTheWindowReadsAsThePlainOne) {
  DataFixture f;
  f.Files.Write("run.txt", ManyBlocks(true));
  const std::string command = "cd '" + f.Files.path().string() + "' && zip -q run.zip run.txt";
  ASSERT_EQ(std::system(command.c_str()), 0);
  ASSERT_TRUE(f.Data.SetFile((f.Files.path() / "run.zip").string()));
  ExpectEveryBlockWhole(f);
}

TEST(WindowedRead, LinesLongerThanAWindowKeepTheBlocksAfterThem) {
  DataFixture f;
  f.State.Header.HeaderItems[0] = "Specification";
  const std::string longValue(3 * CopyLines::kWindow / 2, 's');
  const std::string body = "EXIT STATUS:\t" + std::string(200000, 'z') + "\n" +
                           Block("A", "1\t1\t5\t6\t0\t9\tPP") + "Specification\t" + longValue +
                           "\n\n" + Block("B", "1\t1\t7\t8\t0\t9\tPP");
  ASSERT_TRUE(f.Open(std::string("Results\trun.txt\nPairs\t4\n") + body));
  ASSERT_EQ(f.Data.TestCount(), 2);
  EXPECT_EQ(f.Data.FindTest("A", 0)->Block->At(2, 0).Number, 5);
  EXPECT_EQ(f.Data.FindTest("B", 0)->Block->At(2, 0).Number, 7);
  // The index reads a line's start only; its first window holds the value's start.
  EXPECT_EQ(f.Data.HeaderString(0), longValue.substr(0, CopyLines::kWindow - 14));
}

TEST(WindowedRead, ACopyCutShortUnderTheReaderGivesNoBlockAndSaysWhy) {
  DataFixture f;
  const std::string text =
      WithHeader(Block("A", "1\t1\t5\t6\t0\t9\tPP") + "\n" + Block("B", Rows(0, 300)));
  ASSERT_TRUE(f.Open(text));
  // Gone by its name, the copy is still read through its descriptor.
  const std::string copy = f.Data.TempPath();
  const std::string kept = testing::ReadFileBytes(copy);
  fs::remove(copy);
  EXPECT_EQ(f.Data.FindTest("B", 0)->Block->Rows(), 300);

  f.Files.Write("cut.txt", text);
  ASSERT_TRUE(f.Data.SetFile((f.Files.path() / "cut.txt").string()));
  fs::resize_file(f.Data.TempPath(), text.size() - 100);
  f.Data.ResetNumCols();
  EXPECT_EQ(f.Data.FindTest("A", 0)->Block->At(2, 0).Number, 5);
  EXPECT_FALSE(f.Data.FindTest("B", 0).has_value());
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  const std::string reason = "its temporary copy " + f.Data.TempPath() +
                             " cannot be read: it ends after " + std::to_string(text.size() - 100) +
                             " of its " + std::to_string(text.size()) + " bytes";
  EXPECT_EQ(f.Prompter.Messages[0].Text,
            "Error in ObjData/ReadTestData\r\rThe test 'B' is not whole: " + reason +
                "; it cannot be read.");
  EXPECT_EQ(f.Data.TestLack(1), reason);
  EXPECT_FALSE(f.Data.LastTestComplete());
  EXPECT_EQ(f.Data.CertificationFault(true), "a test could not be read");
  EXPECT_EQ(f.Prompter.Messages.size(), 1u);

  // An index built again must not stop at the cut as if the file ended there.
  EXPECT_FALSE(f.Data.ReadTestNames());
  EXPECT_EQ(f.Data.TestCount(), 0);
}

}  // namespace
}  // namespace vantrel

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "data_fixture.h"

namespace vantrel {
namespace {

using testing::Block;
using testing::DataFixture;
using testing::WithHeader;

std::vector<PlannedRead> Reads(std::initializer_list<const char*> names) {
  std::vector<PlannedRead> reads;
  for (const char* name : names) reads.push_back({name, 0, false});
  return reads;
}

// What a read gives: the block's first pair figures and the status it was judged by.
struct Seen {
  std::vector<double> Pair1;
  bool Failed = false;
  bool Incomplete = false;
  bool operator==(const Seen&) const = default;
};

Seen Read(DataFixture& f, const std::string& name) {
  const auto parsed = f.Data.FindTest(name, 0);
  Seen seen;
  if (!parsed) return seen;
  for (int r = 0; r < parsed->Block->Rows(); ++r)
    seen.Pair1.push_back(parsed->Block->At(2, r).Number);
  seen.Failed = parsed->Failed;
  seen.Incomplete = parsed->Incomplete;
  return seen;
}

// Blocks end at a blank line.
const std::string kFile = WithHeader(
    Block("Whole", "1\t1\t2\t3\t4\t5\tPP\n2\t2\t3\t4\t5\t6\tPP") + "\n" +
    Block("Short", "1\t1\t2\t3\t4\t5\tPP\n2\t2\t3\t4\t5\t6\tPP\n3\t3\t4\t5\t6\t7\tPP\n4\t4\t5") +
    "\n" + Block("Comma", "1\t1\t2,5\t3\t4\t5\tPP\n2\t2\t3,5\t4\t5\t6\tPP") + "\n" +
    Block("Failing", "1\t1\t7\t3\t4\t5\tPF\n2\t2\t8\t4\t5\t6\tPP"));

TEST(ReadAhead, TellsWhatABlockFoundOnlyWhenItIsReadAndAsAReadWithoutItWould) {
  // Read in an order that leaves the plan twice: the thread's blocks and the reader's own
  // must tell the same, in the reader's order.
  const std::vector<std::string> order = {"Whole", "Comma", "Short", "Failing", "Short"};
  DataFixture plain;
  ASSERT_TRUE(plain.Open(kFile));
  std::vector<Seen> expected;
  for (const std::string& name : order) expected.push_back(Read(plain, name));
  ASSERT_EQ(plain.Prompter.Messages.size(), 2u);  // the short row, the decimal comma

  DataFixture f;
  ASSERT_TRUE(f.Open(kFile));
  f.Data.ReadAhead(Reads({"Whole", "Short", "Comma", "Failing", "Nowhere"}));
  // Time for the thread to parse every block, and nothing may have been said.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(f.Prompter.Messages.empty());
  for (std::size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(Read(f, order[i]), expected[i]) << order[i];
    if (order[i] == "Whole") {
      EXPECT_TRUE(f.Prompter.Messages.empty());
    }
  }
  ASSERT_EQ(f.Prompter.Messages.size(), plain.Prompter.Messages.size());
  for (std::size_t i = 0; i < plain.Prompter.Messages.size(); ++i)
    EXPECT_EQ(f.Prompter.Messages[i].Text, plain.Prompter.Messages[i].Text);
  EXPECT_EQ(f.Data.IncompleteTests(), 1);
}

TEST(ReadAhead, ANewFileIsNeverReadFromBlocksParsedOfTheOldOne) {
  const auto file = [](int base) {
    std::string text;
    for (int k = 0; k < 4; ++k)
      text += Block("T" + std::to_string(k), "1\t1\t" + std::to_string(base + k) + "\tP") + "\n";
    return WithHeader(text);
  };
  DataFixture f;
  ASSERT_TRUE(f.Open(file(10)));
  f.Data.ReadAhead(Reads({"T0", "T1", "T2", "T3"}));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  // Same names at the same places.
  ASSERT_TRUE(f.Open(file(20)));
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(Read(f, "T" + std::to_string(k)).Pair1, std::vector<double>{20.0 + k});
}

}  // namespace
}  // namespace vantrel

#include "results/block_completeness.h"

#include <gtest/gtest.h>

#include <string>

namespace vantrel {
namespace {

const std::string kHeader = "Results\tr.txt\nPairs\t2\nPass/Fail Status\tPASSED\n\n";

// A sweep block declaring points rows, of which the first rows are written.
std::string Sweep(const std::string& name, int points, int rows) {
  std::string text = "TEST:\t" + name + "\nSweep\tLOG\tPoints\t" + std::to_string(points) +
                     "\tStart (MHz)\t1\tStop (MHz)\t100\n"
                     "No\tFreq\tPair 1\tPair 2\tLower Limit\tUpper Limit\tStatus\n"
                     "Test Time\t10:00:00\nUnits\tMHz\tdB\tdB\tdB\tdB\n";
  for (int r = 1; r <= rows; ++r)
    text += std::to_string(r) + "\t" + std::to_string(r) + ".0\t-1.5\t-1.6\t-3\tx\tPPP\n";
  return text + "\n";
}

TEST(LastTestIncomplete, CountsTheLastSweepsRowsAgainstItsPoints) {
  EXPECT_EQ(LastTestIncomplete(kHeader + Sweep("A", 4, 4) + Sweep("B", 3, 3)), "");
  // A whole earlier test does not make up for the last one.
  EXPECT_EQ(LastTestIncomplete(kHeader + Sweep("A", 4, 4) + Sweep("B", 1601, 45)),
            "its last test 'B' holds 45 of its 1601 rows");
  EXPECT_EQ(LastTestIncomplete(kHeader + Sweep("A", 4, 4) + "TEST:\tB\nSweep\tLOG\tPoints\t9\n"),
            "its last test 'B' has no rows yet");
  // Summary blocks after the last test end it like a blank line.
  EXPECT_EQ(LastTestIncomplete(kHeader + Sweep("A", 2, 2) + "TEST SUMMARY :\nA Test\tPASS\tX\n"),
            "");
}

TEST(LastTestIncomplete, ALastLineWithoutItsEndMayBeCut) {
  std::string whole = kHeader + Sweep("A", 3, 3);
  whole.pop_back();  // no blank line after it: the file ends on the row's line end
  EXPECT_EQ(LastTestIncomplete(whole), "");
  // Without Points nothing tells how many rows come; only the cut row shows it.
  std::string cut = kHeader + "TEST:\tA\nNo\tFreq\tP1\tStatus\n1\t1.0\t2\tPPP\n2\t2.0\t2";
  EXPECT_EQ(LastTestIncomplete(cut), "its last test 'A' ends in a row cut short");
  EXPECT_EQ(LastTestIncomplete(cut + "\tP"), "its last test 'A' ends in a row cut short");
  EXPECT_EQ(LastTestIncomplete(cut + "\tPPP"), "");
  EXPECT_EQ(LastTestIncomplete(cut + "\tP\n"), "");
}

TEST(LastTestIncomplete, ReadsCommaFilesAndLeavesFilesWithoutTestsToTheReader) {
  EXPECT_EQ(LastTestIncomplete("[COMMA DELIMITED]\nResults,r\n\nTEST:,Loss\n"
                               "Sweep,LIN,Points,2\nNo,Freq,P1,Status\n1,1,2,P\n"),
            "its last test 'Loss' holds 1 of its 2 rows");
  EXPECT_EQ(LastTestIncomplete(kHeader), "");
  EXPECT_EQ(LastTestIncomplete(""), "");
  // "TEST:" inside a line starts nothing.
  EXPECT_EQ(LastTestIncomplete(kHeader + Sweep("A", 2, 2) + "Note\tTEST:\tx\n"), "");
}

}  // namespace
}  // namespace vantrel

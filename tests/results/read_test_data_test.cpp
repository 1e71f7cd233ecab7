#include "results/read_test_data.h"

#include <gtest/gtest.h>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"
#include "definitions/program_state.h"
#include "results/obj_data.h"

namespace vantrel {
namespace {

using Column = std::vector<std::string>;

std::string Header(bool controlLimits) {
  return std::string("Results\trun.txt\n") + "Store Control Limits\t" +
         (controlLimits ? "Enabled" : "Disabled") + "\nEXIT STATUS:\nPass/Fail Status\tPASSED\n\n";
}

std::string Block(const std::string& name, const std::string& headings, const std::string& rows) {
  return "TEST:\t" + name + "\nSweep\tLOG\n" + headings + "\nTest Time\t12:00\n" +
         "Units\tMHz\tdB\tdB\tdB\tdB\n" + rows + "\n";
}

const char* kHeadings = "No\tFreq (MHz)\tPair 1\tPair 2\tLower Limit\tUpper Limit\tStatus";

// The earlier block fails at 10 MHz; the later one has pair 2 not assessed there.
std::string TwoAttenuationRuns() {
  return Header(false) +
         Block("Attenuation Near", kHeadings,
               "1\t1\t5\t6\t2\tx\tPPP\n"
               "2\t10\t4\t2.5\t3\tx\tPPF\n") +
         Block("Attenuation Near", kHeadings,
               "1\t1\t7\t8\t2\tx\tPPP\n"
               "2\t10\t6\tx\t3\tx\tPPI\n"
               "3\t100\t5\t4\t3\tx\tPPP\n");
}

class ReadTestDataTest : public ::testing::Test {
 protected:
  void Open(const std::string& contents) {
    ASSERT_TRUE(data.SetFile(dir.Write("run.txt", contents).string()));
  }

  ReadTestDataRequest Graph(std::vector<ColumnCode> codes, int16_t kind) const {
    ReadTestDataRequest request;
    request.TestName = "attenuation near";
    request.Codes = std::move(codes);
    request.MarginKind = kind;
    request.Units = "dB";
    request.Note = "kept";
    return request;
  }

  testing::TempDir dir;
  ProgramState state;
  testing::RecordingPrompter prompter;
  NullDataHost host;
  ObjData data{state, prompter, host};
};

const std::vector<ColumnCode> kGraphCodes = {1, 2, 3, code::kMin, code::kMax, code::kMean};

TEST_F(ReadTestDataTest, GraphGridOfTheLastOccurrence) {
  Open(TwoAttenuationRuns());
  ReadTestDataRequest request = Graph(kGraphCodes, 1);
  request.Occurrence = 1;
  const ReadTestDataResult r = ReadTestData(data, request);
  ASSERT_TRUE(r.Found);
  EXPECT_FALSE(r.Failed);
  EXPECT_EQ(r.OccurrencesRead, 1);
  EXPECT_EQ(TextsOf(r.Grid[0]), (Column{"1", "10", "100"}));
  EXPECT_EQ(TextsOf(r.Grid[2]), (Column{"8", "x", "4"}));
  EXPECT_EQ(TextsOf(r.Grid[3]), (Column{"7", "6", "4"}));
  EXPECT_EQ(TextsOf(r.Grid[4]), (Column{"8", "6", "5"}));
  EXPECT_EQ(TextsOf(r.Grid[5]), (Column{"7.5", "6", "4.5"}));
  // Lower margins: 4-3 = 1 at 100 MHz is the worst (pair 2 and the minimum).
  EXPECT_EQ(r.LimitMargin, "1.000 dB @ 100.000 MHz");
  EXPECT_EQ(r.ControlMargin, "");
  EXPECT_EQ(r.Note, "10.000 MHz");
  EXPECT_EQ(r.Titles, (Column{"Freq (MHz)", "Pair 1 - dB", "Pair 2 - dB", "Freq (MHz)",
                              "Freq (MHz)", "Freq (MHz)"}));
  ASSERT_EQ(r.Columns.size(), kGraphCodes.size());
  EXPECT_EQ(r.Columns[3].Code, code::kMin);
  EXPECT_EQ(r.Columns[3].Occurrence, 1);
}

TEST_F(ReadTestDataTest, EarlierOccurrenceAndItsFailure) {
  Open(TwoAttenuationRuns());
  ReadTestDataRequest request = Graph({1, 2, 3}, 1);
  request.Occurrence = 2;
  const ReadTestDataResult r = ReadTestData(data, request);
  ASSERT_TRUE(r.Found);
  EXPECT_TRUE(r.Failed);
  EXPECT_EQ(TextsOf(r.Grid[2]), (Column{"6", "2.5"}));
  EXPECT_EQ(r.LimitMargin, "-0.500 dB @ 10.000 MHz");
  EXPECT_EQ(r.Note, "");

  request.Occurrence = 3;
  EXPECT_FALSE(ReadTestData(data, request).Found);
  request.Occurrence = 0;  // the first in the file
  EXPECT_EQ(TextsOf(ReadTestData(data, request).Grid[2]), (Column{"6", "2.5"}));
}

TEST_F(ReadTestDataTest, MissingTestGivesNothing) {
  Open(TwoAttenuationRuns());
  ReadTestDataRequest request = Graph(kGraphCodes, 1);
  request.TestName = "next near";
  const ReadTestDataResult r = ReadTestData(data, request);
  EXPECT_FALSE(r.Found);
  EXPECT_TRUE(r.Grid.empty());
  EXPECT_TRUE(r.Titles.empty());
  EXPECT_EQ(r.Note, "");
  request.TestName = "";
  EXPECT_FALSE(ReadAllTestData(data, request).Found);
}

TEST_F(ReadTestDataTest, TabularRequestGivesTheTable) {
  Open(TwoAttenuationRuns());
  ReadTestDataRequest request = Graph({1, 2, 3}, 1);
  request.Form = ReadForm::Tabular;
  request.RowCodes = {"9990", "10201", "10203", "5.5"};
  request.Occurrence = 1;
  const ReadTestDataResult r = ReadTestData(data, request);
  ASSERT_TRUE(r.Found);
  EXPECT_EQ(TextsOf(r.Grid[0]), (Column{"Min", "Margin", "Freq", "5.5"}));
  // The frequency column has no statistics, but margins to the lower limit.
  EXPECT_EQ(TextsOf(r.Grid[1]), (Column{"", "-1", "1", "5.5"}));
  // Pair 1: margins 5, 3, 2; at 5.5 MHz half way from 7 to 6.
  EXPECT_EQ(TextsOf(r.Grid[2]), (Column{"5", "2", "100", "6.5"}));
  // Pair 2: the point not assessed at 10 MHz leaves margins 6 and 1.
  EXPECT_EQ(TextsOf(r.Grid[3]), (Column{"4", "1", "100", "x"}));
  EXPECT_EQ(r.Note, "kept");
  EXPECT_EQ(r.LimitMargin, "");
  ASSERT_EQ(r.Columns.size(), 4u);
  EXPECT_EQ(r.Columns[0].CodeIndex, -1);
  EXPECT_EQ(r.Columns[3].Code, 3);
}

TEST_F(ReadTestDataTest, AllOccurrencesMergeStatisticsAndKeepEachCurve) {
  Open(TwoAttenuationRuns());
  const ReadTestDataResult r = ReadAllTestData(data, Graph(kGraphCodes, 1));
  ASSERT_TRUE(r.Found);
  EXPECT_EQ(r.OccurrencesRead, 2);
  EXPECT_TRUE(r.Failed);
  EXPECT_EQ(r.LimitMargin, "-0.500 dB @ 10.000 MHz");
  EXPECT_EQ(r.Note, "kept");
  ASSERT_EQ(r.Grid.size(), 9u);
  ASSERT_EQ(r.Columns.size(), 9u);
  // Occurrence 1 first, then the merged statistics, then occurrence 2.
  const std::vector<std::pair<int16_t, ColumnCode>> layout = {
      {1, 1},           {1, 2}, {1, 3}, {0, code::kMin}, {0, code::kMax},
      {0, code::kMean}, {2, 1}, {2, 2}, {2, 3}};
  for (std::size_t i = 0; i < layout.size(); ++i) {
    EXPECT_EQ(r.Columns[i].Occurrence, layout[i].first) << i;
    EXPECT_EQ(r.Columns[i].Code, layout[i].second) << i;
  }
  EXPECT_EQ(r.Columns[8].CodeIndex, 2);
  EXPECT_EQ(TextsOf(r.Grid[3]), (Column{"5", "2.5", "4"}));
  EXPECT_EQ(TextsOf(r.Grid[4]), (Column{"8", "6", "5"}));
  // (7.5+5.5)/2, (6+3.25)/2; at 100 MHz only the later sweep has a point.
  EXPECT_EQ(TextsOf(r.Grid[5]), (Column{"6.5", "4.625", "4.5"}));
  EXPECT_EQ(TextsOf(r.Grid[7]), (Column{"5", "4", ""}));
}

TEST_F(ReadTestDataTest, ControlMarginIsTheWorstOverAllOccurrences) {
  const std::string headings =
      "No\tFreq (MHz)\tPair 1\tLower Ctl\tUpper Ctl\tLower Limit\tUpper Limit\tStatus";
  Open(Header(true) + Block("Return Loss", headings, "1\t1\t5\t0\t6\t0\t9\tPP\n") +
       Block("Return Loss", headings,
             "1\t1\t5\t0\t8\t0\t9\tPP\n"
             "2\t2\t6\t0\t6.5\t0\t10\tPP\n"));
  ReadTestDataRequest request = Graph({1, 2, code::kUpperControl, code::kLastPair}, 2);
  request.TestName = "Return*";
  request.Units = "Ohms";
  request.Occurrence = 1;
  const ReadTestDataResult last = ReadTestData(data, request);
  // The last pair is titled by its own heading, not by the upper control limit's.
  EXPECT_EQ(last.Titles, (Column{"Freq (MHz)", "Pair 1 - dB", "Upper Ctl - dB", "Pair 1 - dB"}));
  EXPECT_EQ(TextsOf(last.Grid[2]), (Column{"8", "6.5"}));
  EXPECT_EQ(TextsOf(last.Grid[3]), (Column{"5", "6"}));
  EXPECT_EQ(last.LimitMargin, "4.000 Ohms @ 1.000 MHz");
  EXPECT_EQ(last.ControlMargin, "0.500 Ohms @ 2.000 MHz");

  const ReadTestDataResult all = ReadAllTestData(data, request);
  EXPECT_EQ(all.LimitMargin, "4.000 Ohms @ 1.000 MHz");
  // The earlier sweep's control margin (1) is better; the merged text keeps 0.5.
  EXPECT_EQ(all.ControlMargin, "0.500 Ohms @ 2.000 MHz");
}

TEST_F(ReadTestDataTest, AllOccurrencesStopAtTwenty) {
  // Pair values 1 (first in the file) to 22 (last); only the last 20 are read.
  std::string file = Header(false);
  for (int i = 1; i <= 22; ++i) {
    file += Block("Attenuation Near", kHeadings,
                  "1\t1\t" + std::to_string(i) + "\t" + std::to_string(i) + "\t0\tx\tPPP\n");
  }
  Open(file);
  const ReadTestDataResult r = ReadAllTestData(data, Graph({1, code::kMin, code::kMean}, 1));
  EXPECT_EQ(r.OccurrencesRead, 20);
  EXPECT_EQ(TextsOf(r.Grid[1]), Column{"3"});
  EXPECT_EQ(TextsOf(r.Grid[2]), Column{"12.5"});  // (3 + 22) / 2
  EXPECT_EQ(r.LimitMargin, "3.000 dB @ 1.000 MHz");
  EXPECT_EQ(r.Columns.size(), 22u);  // frequency per occurrence, min, mean
}

}  // namespace
}  // namespace vantrel

// How long graph grids and tables take to prepare, next to parsing the blocks they
// come from. Figures only; nothing is asserted.
//
//   gen-cable-data --tests 120 --points 1601 --pairs 4 -o big.txt
//   gen-definition --tests 120 --pairs 4 -o big.ini
//   preparation_bench big.txt big.ini [repeats]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "definitions/column_keywords.h"
#include "definitions/ini_store.h"
#include "definitions/name_classes.h"
#include "definitions/program_state.h"
#include "definitions/report_reader.h"
#include "definitions/settings_reader.h"
#include "results/obj_data.h"
#include "results/read_test_data.h"
#include "support/text.h"

namespace vantrel {
namespace {

class PrintingPrompter : public Prompter {
 public:
  PromptAnswer Message(const std::string& text, const std::string& title, PromptIcon,
                       PromptButtons buttons) override {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), CarriageReturnsToLineBreaks(text).c_str());
    return SafeAnswer(buttons);
  }
};

// Row keywords of a table, as the definition reader turns them into codes.
std::vector<std::string> RowCodesOf(const std::string& freqs) {
  std::vector<std::string> rows;
  for (const std::string& element : SplitList(freqs)) {
    std::string e = ToLower(Trim(element));
    if (const std::optional<ColumnCode> c = RowKeywordCode(e)) e = std::to_string(*c);
    rows.push_back(e);
  }
  return rows;
}

struct Request {
  ReadTestDataRequest Request;
  bool All = false;
};

// Every graph data set and every table of the definition's reports, as read by the
// definition reader.
std::vector<Request> RequestsOf(const ProgramState& state) {
  std::vector<Request> requests;
  for (int r = 0; r < state.Ini.NumReports; ++r) {
    const ReportDefinition& report = state.Reports[static_cast<std::size_t>(r)];
    for (int g = 0; g < report.GraphCount; ++g) {
      const GraphDefinition& graph = report.Graphs[static_cast<std::size_t>(g)];
      for (std::size_t k = 0; k < graph.Data.size(); ++k) {
        const std::vector<ColumnCode>& codes = graph.Cols[k];
        if (graph.Data[k].empty() || codes.size() < 2 || codes[1] == code::kNoGraph) continue;
        Request q;
        q.All = graph.ApplyAllResults || graph.CombineAllResults;
        q.Request.TestName = graph.Data[k];
        q.Request.Codes = codes;
        q.Request.MarginKind = graph.MarginType;
        q.Request.Units = "dB";
        q.Request.Occurrence = graph.Order[k];
        requests.push_back(std::move(q));
      }
    }
    for (int t = 0; t < report.TableCount; ++t) {
      const TableDefinition& table = report.Tables[static_cast<std::size_t>(t)];
      if (EqualsNoCase(table.Data, "comment")) continue;
      Request q;
      q.All = table.ApplyAllResults || table.CombineAllResults;
      q.Request.TestName = table.Data;
      q.Request.Codes = table.Cols;
      q.Request.RowCodes = table.Freqs;
      q.Request.Form = ReadForm::Tabular;
      q.Request.FailTextRed = state.Settings.FailTextRed;
      q.Request.Occurrence = table.Order;
      requests.push_back(std::move(q));
    }
  }
  return requests;
}

// A graph of every pair with its statistics and limits, and a table of every keyword
// row and the default frequencies, for each test of the file.
std::vector<Request> EveryTestRequests(ObjData& data) {
  std::vector<Request> requests;
  const std::vector<std::string> rows = RowCodesOf(
      "1,4,8,10,16,20,25,31.25,62.5,100,125,155.52,175,200,250,300,350,400,450,"
      "500,550,600,650,700,750,800,900,1000,min,max,mean,stddev,max-mean,mean-min,"
      "max-min,emp,uppermargin,lowermargin,upperlowermargin,marginfreq,marginvalue,"
      "lowermarginpercent,uppermarginpercent,averagemargin");
  for (int16_t i = 0; i < data.TestCount(); ++i) {
    const std::string name = data.TestName(i);
    if (name == "TEST SUMMARY :") continue;
    const std::optional<ParsedTest> parsed = data.ParseEntry(i);
    if (!parsed) continue;
    const int pairs = parsed->Block->Cols() - data.LimitColumns() - 3;
    std::vector<ColumnCode> codes = {1};
    for (int p = 0; p < pairs; ++p) codes.push_back(static_cast<ColumnCode>(2 + p));
    Request graph;
    graph.Request.TestName = name;
    graph.Request.Codes = codes;
    for (ColumnCode c :
         {code::kMin, code::kMax, code::kMean, code::kLowerLimit, code::kUpperLimit}) {
      graph.Request.Codes.push_back(c);
    }
    graph.Request.MarginKind = static_cast<int16_t>(MarginTypeOf(ClassOfTest(name)));
    graph.Request.Units = "dB";
    Request table = graph;
    table.Request.Codes = codes;
    table.Request.RowCodes = rows;
    table.Request.Form = ReadForm::Tabular;
    table.Request.FailTextRed = true;
    requests.push_back(std::move(graph));
    requests.push_back(std::move(table));
  }
  return requests;
}

using bench::Seconds;

int Run(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: preparation_bench DATA_FILE DEFINITION_FILE [REPEATS]\n"
                 "  gen-cable-data --tests 120 --points 1601 --pairs 4 -o big.txt\n"
                 "  gen-definition --tests 120 --pairs 4 -o big.ini\n");
    return 2;
  }
  const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : bench::kDefaultRuns;
  // Far too large for the stack: every report slot with all its graphs and tables.
  const auto state = std::make_unique<ProgramState>();
  PrintingPrompter prompter;
  NullDataHost host;
  if (!LoadIni(argv[2], state->Ini, prompter)) return 1;
  ReadSettings(*state, prompter, "");
  ReadReportsIni(*state, prompter);
  const std::vector<Request> defined = RequestsOf(*state);

  ObjData data(*state, prompter, host);
  bool opened = false;
  const double openMs = Seconds([&] { opened = data.SetFile(argv[1]); }) * 1000;
  if (!opened) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 1;
  }
  const std::vector<Request> everyTest = EveryTestRequests(data);

  std::size_t cells = 0;
  const bench::Spread parse = bench::SpreadOf(bench::Timings(repeats, [&] {
    for (int16_t i = 0; i < data.TestCount(); ++i) {
      data.ResetNumCols();
      if (const auto parsed = data.ParseEntry(i)) {
        cells += static_cast<std::size_t>(parsed->Block->Rows() * parsed->Block->Cols());
      }
    }
  }));
  // Prepared from a parsed block, as within one report: the parse is timed above. A
  // request over all occurrences parses each of them, since the cache holds one block.
  const auto prepare = [&](const std::vector<Request>& requests, int& found) {
    found = 0;
    double total = 0;
    for (const Request& q : requests) {
      data.FindTest(q.Request.TestName, q.All ? 1 : q.Request.Occurrence);
      total += Seconds([&] {
        const ReadTestDataResult r =
            q.All ? ReadAllTestData(data, q.Request) : ReadTestData(data, q.Request);
        found += r.Found ? 1 : 0;
      });
    }
    return total;
  };
  const auto spreadOf = [&](const std::vector<Request>& requests, int& found) {
    std::vector<double> samples;
    for (int i = 0; i < repeats; ++i) samples.push_back(prepare(requests, found));
    return bench::SpreadOf(samples);
  };
  int definedFound = 0;
  int everyFound = 0;
  const bench::Spread definedTime = spreadOf(defined, definedFound);
  const bench::Spread everyTime = spreadOf(everyTest, everyFound);

  std::printf("data file: %s, %d tests, %zu cells parsed per pass\n", argv[1], data.TestCount(),
              cells / static_cast<std::size_t>(repeats));
  std::printf("open and index:                  %9.1f ms\n", openMs);
  std::printf("median of each run, its range and the number of runs:\n");
  std::printf("parse every block:              %s\n", bench::Milliseconds(parse, repeats).c_str());
  std::printf("definition's graphs and tables: %s; %zu requests, %d found\n",
              bench::Milliseconds(definedTime, repeats).c_str(), defined.size(), definedFound);
  std::printf("every test as graph and table:  %s; %zu requests, %d found\n",
              bench::Milliseconds(everyTime, repeats).c_str(), everyTest.size(), everyFound);
  return 0;
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) { return vantrel::Run(argc, argv); }

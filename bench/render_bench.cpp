// Renders a large definition (20 reports, each with 4 graphs and 2 tables) on a large
// generated result file to PDF, and prints pages per second and PDF bytes per page.
//
//   render_bench [RESULTFILE [RUNS]]
//
// Without a file one is generated with gen-cable-data (120 tests, 1601 points, 4 pairs).
// Each run is timed with one thread and with painting on a second one.

#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "bench_stats.h"
#include "definitions/ini_store.h"
#include "definitions/settings_reader.h"
#include "render/objdata_source.h"
#include "render/paint_pipeline.h"
#include "render/report_job.h"
#include "results/data_host.h"
#include "results/obj_data.h"

namespace fs = std::filesystem;
using namespace vantrel;

namespace {

class QuietPrompter : public Prompter {
 public:
  PromptAnswer Message(const std::string& text, const std::string&, PromptIcon,
                       PromptButtons buttons) override {
    std::fprintf(stderr, "render_bench: %s\n", text.c_str());
    return SafeAnswer(buttons);
  }
};

// 20 reports over the file's tests: a 2 x 3 grid of four graphs and two tables.
std::string Definition(const ObjData& data) {
  std::string ini =
      "[GENERAL]\nAPPNAME=Benchmark\nNEWTABLES=TRUE\nFAILTEXTRED=TRUE\nGRAPHLINETHICKNESS=1\n"
      "PAGENUM=BOTTOMMIDDLE\nDEFAULTMULTIPAGE=FALSE\n\n[HEADER]\nHEADER_1=Cable ID\n"
      "HEADER_2=Product Name\nHEADER_3=Test Status\nHALFHEADER_1=Operator\n\n";
  const int tests = std::max<int>(1, data.TestCount());
  for (int r = 1; r <= 20; ++r) {
    const std::string name = data.TestName(static_cast<int16_t>((r - 1) % tests));
    const std::string n = std::to_string(r);
    ini += "[REPORT_" + n + "]\nTITLE=" + name + "\nX=2\nY=3\nBORDER=3\n\n";
    for (int g = 1; g <= 4; ++g) {
      ini += "[GRAPH_" + n + "_" + std::to_string(g) + "]\nSLOT=" + std::to_string(g) +
             "\nDATA_1=" + name + "\nCOLS_1=1,2..5,limits\nTITLE=" + name +
             "\nYAXIS=DEFAULT\nLEGEND=Pair 1,Pair 2,Pair 3,Pair 4,Limit\n\n";
    }
    for (int t = 1; t <= 2; ++t) {
      ini += "[TABLE_" + n + "_" + std::to_string(t) + "]\nTITLE=" + name + "\nDATA=" + name +
             "\nSLOT=" + std::to_string(4 + t) +
             "\nFONTSIZE=7\nCOLS=2..5\nFREQS=1,10,100,1000,min,max,mean,uppermargin\n\n";
    }
  }
  return ini;
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  const fs::path work =
      fs::temp_directory_path() / ("vantrel-render-bench-" + std::to_string(getpid()));
  fs::create_directories(work);
  std::string dataPath = argc > 1 ? argv[1] : "";
  if (dataPath.empty()) {
    const fs::path tool =
        fs::path(VANTREL_SOURCE_DIR).parent_path() / "shared" / "tools" / "gen-cable-data";
    dataPath = (work / "large.txt").string();
    const std::string command = "'" + tool.string() +
                                "' --tests 120 --points 1601 --pairs 4 --control-limits -o '" +
                                dataPath + "'";
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "render_bench: could not run %s\n", tool.c_str());
      return 1;
    }
  }

  auto state = std::make_unique<ProgramState>();
  QuietPrompter prompter;
  NullDataHost host;
  auto data = std::make_unique<ObjData>(*state, prompter, host);
  if (!data->SetFile(dataPath)) return 1;
  const fs::path ini = work / "large.ini";
  std::ofstream(ini) << Definition(*data);
  if (!LoadIni(ini.string(), state->Ini, prompter)) return 1;
  ReadSettings(*state, prompter, "");
  if (!data->SetFile(dataPath)) return 1;

  ObjDataSource source(*data);
  RenderContext context{.State = *state, .Data = source, .Ask = prompter};
  UseDefinitionColours(context);
  context.ReadReports();
  ReportSelection all{};
  for (int r = 0; r < 20; ++r) all[static_cast<std::size_t>(r)] = true;

  const fs::path pdf = work / "large.pdf";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : bench::kDefaultRuns;
  bool allProduced = true;
  for (const int threads : {1, 2}) {
    ReportJobResult result;
    int pages = 0;
    const bench::Spread time = bench::SpreadOf(bench::Timings(runs, [&] {
      std::optional<PaintPipeline> pipeline;
      if (threads > 1) pipeline.emplace();
      context.Pipeline = pipeline ? &*pipeline : nullptr;
      PdfTarget target(pdf.string(), PaperByName("A4"), "Benchmark");
      result = ProduceSelectedReports(context, target, all);
      pages = target.PagesStarted();
      context.Pipeline = nullptr;
    }));
    const auto bytes = fs::exists(pdf) ? fs::file_size(pdf) : 0;
    std::printf("%d thread%s: reports produced: %d of %d\n", threads, threads > 1 ? "s" : "",
                result.Produced, result.Selected);
    std::printf("  pages: %d in %.3f s median (%.3f-%.3f s, %d runs): %.1f pages per second\n",
                pages, time.Median, time.Min, time.Max, runs,
                pages > 0 ? pages / time.Median : 0.0);
    std::printf("  PDF: %ju bytes, %.1f KB per page\n", static_cast<uintmax_t>(bytes),
                pages > 0 ? bytes / 1024.0 / pages : 0.0);
    allProduced = allProduced && result.AllProduced();
  }
  std::error_code ec;
  fs::remove_all(work, ec);
  return allProduced ? 0 : 1;
}

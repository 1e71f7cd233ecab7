// Speed of opening, indexing and parsing a result file, and the memory it takes (which
// follows the largest block, not the file), next to a plain line count of the same
// file. Figures are printed, never judged.
//
//   results_bench FILE

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_stats.h"
#include "definitions/program_state.h"
#include "results/data_host.h"
#include "results/obj_data.h"
#include "support/prompter.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

class QuietPrompter : public vantrel::Prompter {
 public:
  vantrel::PromptAnswer Message(const std::string& text, const std::string& title,
                                vantrel::PromptIcon, vantrel::PromptButtons buttons) override {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return vantrel::SafeAnswer(buttons);
  }
};

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux gives kilobytes
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: results_bench FILE\n");
    return 2;
  }
  const std::string path = argv[1];
  std::error_code ec;
  const double megabytes = static_cast<double>(std::filesystem::file_size(path, ec)) / 1e6;
  if (ec) {
    std::fprintf(stderr, "results_bench: cannot read %s\n", path.c_str());
    return 2;
  }

  auto start = Clock::now();
  const std::string wc = "wc -l < '" + path + "' > /dev/null";
  if (std::system(wc.c_str()) != 0) std::fprintf(stderr, "results_bench: wc -l failed\n");
  const double wcSeconds = Seconds(start);

  auto state = std::make_unique<vantrel::ProgramState>();
  QuietPrompter prompter;
  vantrel::NullDataHost host;
  vantrel::ObjData data(*state, prompter, host);
  start = Clock::now();
  if (!data.SetFile(path)) {
    std::fprintf(stderr, "results_bench: %s was not loaded\n", path.c_str());
    return 1;
  }
  const double openSeconds = Seconds(start);
  const double openPeak = PeakMegabytes();

  const int runs = vantrel::bench::kDefaultRuns;
  const auto indexing =
      vantrel::bench::SpreadOf(vantrel::bench::Timings(runs, [&] { data.ReadTestNames(); }));

  long cells = 0;
  int parsed = 0;
  const auto parsing = vantrel::bench::SpreadOf(vantrel::bench::Timings(runs, [&] {
    cells = 0;
    parsed = 0;
    for (int16_t i = 0; i < data.TestCount(); ++i) {
      data.ResetNumCols();
      if (const auto test = data.ParseEntry(i)) {
        cells += static_cast<long>(test->Block->Rows()) * test->Block->Cols();
        ++parsed;
      }
    }
  }));

  // A block's span runs to the next block's start, or to the end of the file.
  double largest = 0;
  const auto index = data.Index();
  for (std::size_t i = 0; i < index.size(); ++i) {
    const double end = i + 1 < index.size() ? index[i + 1].Start : megabytes * 1e6 + 1;
    largest = std::max(largest, (end - index[i].Start) / 1e6);
  }

  std::printf("file:              %s (%.1f MB, %d tests, %d parsed, %ld cells)\n", path.c_str(),
              megabytes, data.TestCount(), parsed, cells);
  std::printf("wc -l:             %8.3f s  %8.0f MB/s\n", wcSeconds, megabytes / wcSeconds);
  std::printf("SetFile with copy: %8.3f s  %8.0f MB/s\n", openSeconds, megabytes / openSeconds);
  const auto rate = [&](const vantrel::bench::Spread& s) {
    std::printf("%8.3f s  %8.0f MB/s  (%.0f-%.0f MB/s, median of %d)", s.Median,
                megabytes / s.Median, megabytes / s.Max, megabytes / s.Min, runs);
  };
  std::printf("indexing:          ");
  rate(indexing);
  std::printf("  target 500 MB/s\n");
  std::printf("parsing all:       ");
  rate(parsing);
  std::printf("  target 300 MB/s\n");
  // A parsed cell takes 48 bytes for a field of about 7, and two blocks are held (the
  // one parsed and the cache): about twenty times the block's bytes.
  const double bound = 50 + 20 * largest;
  std::printf("largest block:     %8.2f MB\n", largest);
  std::printf("peak after open:   %8.1f MB  (the file is %.1f MB)\n", openPeak, megabytes);
  std::printf(
      "peak memory:       %8.1f MB  (bound %.1f MB: 50 plus twenty times the largest "
      "block, whatever the file's size)\n",
      PeakMegabytes(), bound);
  return 0;
}

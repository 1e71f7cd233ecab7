// vantrel-report --pdf, --png, --csv and --check-layout, run as the real executable on
// the sample.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "sample_files.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::kSampleData;
using testing::kSampleIni;
using testing::ReadFileBytes;
using testing::TempDir;

struct OutputRun {
  int Status = -1;
  std::string Out;
  std::string Err;
};

std::string Q(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

OutputRun RunTool(const TempDir& dir, std::vector<std::string> args) {
  std::string command = Q(VANTREL_REPORT_EXE);
  for (const std::string& a : args) command += " " + Q(a);
  command += " >" + Q((dir.path() / "stdout").string());
  command += " 2>" + Q((dir.path() / "stderr").string());
  OutputRun run;
  const int raw = std::system(command.c_str());
  run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.Out = ReadFileBytes(dir.path() / "stdout");
  run.Err = ReadFileBytes(dir.path() / "stderr");
  return run;
}

std::string Shell(const std::string& command, const TempDir& dir) {
  const fs::path out = dir.path() / "shell.out";
  if (std::system((command + " >" + Q(out.string()) + " 2>/dev/null").c_str()) != 0) return {};
  return ReadFileBytes(out);
}

// Width and height from a PNG file's header chunk.
std::pair<int, int> PngSize(const fs::path& path) {
  const std::string bytes = ReadFileBytes(path);
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  const auto be = [&](std::size_t at) {
    int v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = v * 256 + static_cast<unsigned char>(bytes[at + i]);
    return v;
  };
  return {be(16), be(20)};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// Inflates every compressed stream of a PDF; the count of those that inflate whole,
// zlib's checksum included, and of those that do not.
std::pair<int, int> InflatedStreams(const std::string& pdf) {
  int whole = 0, broken = 0;
  for (std::size_t at = pdf.find("stream\n"); at != std::string::npos;
       at = pdf.find("stream\n", at + 1)) {
    if (at >= 3 && pdf.compare(at - 3, 3, "end") == 0) continue;
    const std::size_t object = pdf.rfind(" obj", at);
    if (object == std::string::npos ||
        pdf.substr(object, at - object).find("/FlateDecode") == std::string::npos)
      continue;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return {whole, broken + 1};
    const std::size_t start = at + 7;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(pdf.data() + start));
    z.avail_in = static_cast<uInt>(pdf.size() - start);
    std::vector<unsigned char> out(1 << 16);
    int status = Z_OK;
    while (status == Z_OK) {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      status = inflate(&z, Z_NO_FLUSH);
    }
    inflateEnd(&z);
    ++(status == Z_STREAM_END ? whole : broken);
  }
  return {whole, broken};
}

TEST(OutputCommand, SamplePdfHasEmbeddedFontsTitlesAndMargins) {
  TempDir dir;
  const std::string pdf = (dir.path() / "sample.pdf").string();
  const OutputRun run =
      RunTool(dir, {"--definition", kSampleIni, "--data", kSampleData, "--pdf", pdf});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Err.find("Printing Return loss  (4/7)"), std::string::npos) << run.Err;
  const std::string info = Shell("pdfinfo " + Q(pdf), dir);
  EXPECT_NE(info.find("Pages:           9"), std::string::npos) << info;
  EXPECT_NE(info.find("Title:           Vantrel sample certificate"), std::string::npos) << info;
  const std::string fonts = Shell("pdffonts " + Q(pdf), dir);
  ASSERT_NE(fonts.find("LiberationSans"), std::string::npos) << fonts;
  for (const std::string& line : Lines(fonts)) {
    if (line.find("LiberationSans") != std::string::npos) {
      EXPECT_NE(line.find(" yes "), std::string::npos) << line;
    }
  }
  const std::string text = Shell("pdftotext " + Q(pdf) + " -", dir);
  for (const char* expected : {"Insertion loss - CAT6A FFTP SEQUENCE", "Return loss margins",
                               "Cable ID", "Operator", "Limit Margin : ", "Page 9"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  // No temporary file is left beside the PDF.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    if (entry.path().extension() != ".out" && entry.path().filename() != "stderr" &&
        entry.path().filename() != "stdout")
      ++files;
  EXPECT_EQ(files, 1);
}

TEST(OutputCommand, EveryCompressedStreamOfThePdfInflatesWholeWithItsChecksum) {
  TempDir dir;
  for (const char* jobs : {"1", "2"}) {
    const std::string pdf = (dir.path() / (std::string("jobs") + jobs + ".pdf")).string();
    const OutputRun run = RunTool(
        dir, {"--definition", kSampleIni, "--data", kSampleData, "--pdf", pdf, "--jobs", jobs});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const auto [whole, broken] = InflatedStreams(ReadFileBytes(pdf));
    EXPECT_GE(whole, 9) << jobs;  // a page's content at least
    EXPECT_EQ(broken, 0) << jobs;
  }
}

TEST(OutputCommand, PngPagesAtTheRequestedResolution) {
  TempDir dir;
  const fs::path png = dir.path() / "pages";
  const OutputRun run = RunTool(dir, {"--definition", kSampleIni, "--data", kSampleData, "--png",
                                      png.string(), "--reports", "4,7", "--dpi", "50", "--quiet"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(run.Err.find("Printing") == std::string::npos);
  const auto [width, height] = PngSize(png / "page-001.png");
  EXPECT_EQ(width, 413);   // 210 mm at 50 dpi
  EXPECT_EQ(height, 585);  // 297 mm
  EXPECT_TRUE(fs::exists(png / "page-002.png"));
  EXPECT_FALSE(fs::exists(png / "page-003.png"));
}

TEST(OutputCommand, CsvFilesHoldTheCellsAndPointsAsDrawn) {
  TempDir dir;
  const fs::path csv = dir.path() / "csv";
  const OutputRun run = RunTool(dir, {"--definition", kSampleIni, "--data", kSampleData, "--csv",
                                      csv.string(), "--reports", "1,7", "--quiet"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  const std::vector<std::string> table = Lines(ReadFileBytes(csv / "report1-p1-table1.csv"));
  ASSERT_EQ(table.size(), 12u);
  EXPECT_EQ(table[0], "Freq (MHz),Pair 1 - dB,Pair 2 - dB,Pair 3 - dB,Pair 4 - dB");
  EXPECT_EQ(table[1].substr(0, 2), "1,");
  EXPECT_EQ(table[5].substr(0, 4), "Min,");
  const std::vector<std::string> graph = Lines(ReadFileBytes(csv / "report1-p1-graph1.csv"));
  ASSERT_GT(graph.size(), 100u);
  EXPECT_EQ(graph[0], "frequency,Measured,Limit,Control limit");
  EXPECT_EQ(graph[1].substr(0, 2), "1,");
  EXPECT_EQ(graph[1].find('-'), std::string::npos);  // ABSDATA: plotted as positive values
  const std::string summary = ReadFileBytes(csv / "report7-p1-table1.csv");
  EXPECT_NE(summary.find("\nReturn Loss Near,FAIL,"), std::string::npos) << summary;
  EXPECT_FALSE(fs::exists(csv / "report2-p1-table1.csv"));  // not selected
}

TEST(OutputCommand, ExitStatusTellsWhatWentWrong) {
  TempDir dir;
  const std::string pdf = (dir.path() / "x.pdf").string();
  EXPECT_EQ(RunTool(dir, {"--definition", kSampleIni, "--data", (dir.path() / "none.txt").string(),
                          "--pdf", pdf})
                .Status,
            1);
  EXPECT_EQ(RunTool(dir, {"--definition", kSampleIni, "--data", kSampleData, "--pdf", pdf,
                          "--reports", "99"})
                .Status,
            2);
  EXPECT_EQ(RunTool(dir, {"--definition", kSampleIni, "--data", kSampleData, "--pdf", pdf,
                          "--profile", "No such profile"})
                .Status,
            2);
  const std::string blocked = (dir.path() / "no-such-folder" / "x.pdf").string();
  EXPECT_EQ(
      RunTool(dir, {"--definition", kSampleIni, "--data", kSampleData, "--pdf", blocked}).Status,
      3);
  EXPECT_FALSE(fs::exists(pdf));
}

TEST(OutputCommand, ReportsWithoutTheirTestsWriteNoPdf) {
  TempDir dir;
  std::string data = ReadFileBytes(kSampleData);
  const std::string from = "TEST:\tAttenuation Near";
  data.replace(data.find(from), from.size(), "TEST:\tSomething Else");
  const fs::path changed = dir.Write("changed.txt", data);
  const std::string pdf = (dir.path() / "none.pdf").string();
  const OutputRun only = RunTool(dir, {"--definition", kSampleIni, "--data", changed.string(),
                                       "--pdf", pdf, "--reports", "1"});
  EXPECT_EQ(only.Status, 3);
  EXPECT_NE(only.Err.find("skipped"), std::string::npos) << only.Err;
  EXPECT_FALSE(fs::exists(pdf));
  // With other reports beside it the run succeeds and leaves the report out.
  const OutputRun two = RunTool(dir, {"--definition", kSampleIni, "--data", changed.string(),
                                      "--pdf", pdf, "--reports", "1,2"});
  EXPECT_EQ(two.Status, 0) << two.Err;
  EXPECT_TRUE(fs::exists(pdf));
}

TEST(OutputCommand, ProfileSelectsItsReports) {
  TempDir dir;
  const fs::path csv = dir.path() / "csv";
  const OutputRun run = RunTool(dir, {"--definition", kSampleIni, "--data", kSampleData, "--csv",
                                      csv.string(), "--profile", "summary only"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Err.find("Printing Test summary  (1/1)"), std::string::npos) << run.Err;
  EXPECT_TRUE(fs::exists(csv / "report7-p1-table1.csv"));
}

TEST(CheckLayout, SampleHasNoFindings) {
  TempDir dir;
  const OutputRun run = RunTool(
      dir, {"--check-layout", "--definition", kSampleIni, "--data", kSampleData, "--quiet"});
  EXPECT_EQ(run.Status, 0) << run.Out << run.Err;
  EXPECT_EQ(run.Out, "");
}

TEST(CheckLayout, APlantedFaultIsOneLineEachAndExitsFive) {
  TempDir dir;
  // A negative border pushes every item past the paper's printable edge.
  std::string ini = ReadFileBytes(kSampleIni);
  const std::size_t border = ini.find("BORDER=3", ini.find("[REPORT_1]"));
  ini.replace(border, 8, "BORDER=-8");
  const fs::path changed = dir.path() / "changed.ini";
  std::ofstream(changed, std::ios::binary) << ini;
  const OutputRun run = RunTool(dir, {"--check-layout", "--definition", changed.string(), "--data",
                                      kSampleData, "--reports", "1", "--quiet"});
  EXPECT_EQ(run.Status, 5) << run.Err;
  EXPECT_NE(run.Out.find("report 1 page 1: graph 1: a box lies "), std::string::npos) << run.Out;
  for (std::size_t at = 0; at < run.Out.size();) {
    const std::size_t end = run.Out.find('\n', at);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(run.Out.compare(at, 16, "report 1 page 1:"), 0) << run.Out.substr(at, end - at);
    at = end + 1;
  }
}

// Painting and page files on other threads must give what one thread gives: the PDF's
// text, every CSV file, every PNG file, and the progress lines in their order.
TEST(OutputCommand, OneThreadAndTwoWriteTheSameFiles) {
  TempDir dir;
  std::map<std::string, std::string> files[2];
  std::string progress[2];
  for (int jobs = 1; jobs <= 2; ++jobs) {
    const fs::path out = dir.path() / ("jobs" + std::to_string(jobs));
    fs::create_directories(out);
    const OutputRun run =
        RunTool(dir, {"--definition", kSampleIni, "--data", kSampleData, "--pdf",
                      (out / "r.pdf").string(), "--png", (out / "png").string(), "--csv",
                      (out / "csv").string(), "--dpi", "40", "--jobs", std::to_string(jobs)});
    ASSERT_EQ(run.Status, 0) << run.Err;
    progress[jobs - 1] = run.Err;
    files[jobs - 1]["text"] = Shell("pdftotext " + Q((out / "r.pdf").string()) + " -", dir);
    for (const char* sub : {"png", "csv"})
      for (const auto& entry : fs::directory_iterator(out / sub))
        files[jobs - 1][std::string(sub) + "/" + entry.path().filename().string()] =
            ReadFileBytes(entry.path());
  }
  EXPECT_GT(files[0].size(), 10u);
  EXPECT_FALSE(files[0]["text"].empty());
  EXPECT_NE(progress[0].find("Printing"), std::string::npos);
  EXPECT_EQ(progress[1], progress[0]);
  ASSERT_EQ(files[1].size(), files[0].size());
  for (const auto& [name, bytes] : files[0]) EXPECT_TRUE(files[1][name] == bytes) << name;
}

}  // namespace
}  // namespace vantrel

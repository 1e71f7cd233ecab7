// One verdict for a result file on every path that makes a certificate of it, and
// certificates named after the cable they certify.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "common/tool_run.h"
#include "sample_files.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::kSampleData;
using testing::kSampleIni;
using testing::ReadFileBytes;
using testing::RunReportTool;
using testing::ToolRun;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// The sample as a writer that paused would leave it: its first sweep stops after 45 of
// the 201 points it declares, and the file goes on.
std::string CutSample() {
  std::istringstream in(ReadFileBytes(kSampleData));
  std::string out;
  int rows = 0;
  bool first = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("TEST:", 0) == 0) first = rows == 0;
    if (first && !line.empty() && std::isdigit(static_cast<unsigned char>(line[0])) && ++rows > 45)
      continue;
    out += line + "\n";
  }
  return out;
}

// The file names in folder, sorted, each followed by a blank.
std::string FileList(const fs::path& folder) {
  std::set<std::string> sorted;
  for (const auto& e : fs::directory_iterator(folder)) sorted.insert(e.path().filename().string());
  std::string names;
  for (const std::string& name : sorted) names += name + " ";
  return names;
}

class Verdict : public ::testing::Test {
 protected:
  testing::TempDir dir;
  // No print server: --print goes to the built-in PDF printer beside the data file.
  std::vector<std::string> env{"CUPS_SERVER=/nonexistent/cupsd.sock"};
  ToolRun Run(std::vector<std::string> args) {
    return RunReportTool(dir.path(), std::move(args), env);
  }
};

TEST_F(Verdict, AnIncompleteTestStopsEveryPathAlikeUnlessAllowed) {
  const std::string cut = dir.Write("data/cut.txt", CutSample()).string();
  const fs::path out = dir.path() / "out";
  fs::create_directory(out);
  const std::vector<std::string> base{"--definition", kSampleIni, "--data", cut, "--quiet"};
  const auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), base.begin(), base.end());
    return more;
  };
  for (const auto& args :
       {with({"--pdf", (out / "c.pdf").string()}), with({"--png", (out / "png").string()}),
        with({"--print"}),
        with({"--summary", (out / "s.csv").string(), "--summary-pdf", (out / "s.pdf").string()})}) {
    const ToolRun run = Run(args);
    EXPECT_EQ(run.Status, 3) << args[5] << run.Err;
    EXPECT_NE(run.Err.find("holds 45 of the 201 points"), std::string::npos) << run.Err;
  }
  EXPECT_EQ(FileList(dir.path() / "data"), "cut.txt ");  // the built-in printer wrote nothing
  EXPECT_FALSE(fs::exists(out / "c.pdf"));
  EXPECT_FALSE(fs::exists(out / "png" / "page-001.png"));
  const std::string summary = ReadFileBytes(out / "s.csv");
  EXPECT_NE(summary.find(",incomplete,"), std::string::npos) << summary;
  EXPECT_EQ(summary.find("PASS"), std::string::npos) << summary;

  const ToolRun allowed = Run(with({"--print", "--allow-incomplete"}));
  EXPECT_EQ(allowed.Status, 0) << allowed.Err;
  EXPECT_NE(FileList(dir.path() / "data"), "cut.txt ");
}

class Names : public Verdict {
 protected:
  std::string ini, a, b;
  void SetUp() override {
    const std::string sample = ReadFileBytes(kSampleData);
    a = dir.Write("data/a.txt", Replaced(sample, "23 AWG solid copper", "C-A")).string();
    b = dir.Write("data/b.txt", Replaced(sample, "23 AWG solid copper", "C-B")).string();
    fs::copy(std::string(VANTREL_SOURCE_DIR) + "/samples/logo.png", dir.path() / "logo.png");
    ini = dir.Write("certs.ini",
                    Replaced(ReadFileBytes(kSampleIni), "APPNAME=Vantrel sample certificate",
                             "APPNAME=" + (dir.path() / "certs" / "[param1].pdf").string()))
              .string();
  }
  std::string Title(const fs::path& pdf) {
    return testing::RunShell("pdfinfo " + testing::ShellQuote(pdf.string()) + " | grep '^Title:'")
        .Out;
  }
};

TEST_F(Names, EachCableGetsItsOwnCertificateName) {
  const fs::path separate = dir.path() / "separate";
  fs::create_directory(separate);  // a folder that is already there is the place to write
  const ToolRun run = Run({"--definition", ini, "--data", a, "--data", b, "--separate", "--pdf",
                           separate.string(), "--quiet"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(FileList(separate), "C-A.pdf C-B.pdf ") << FileList(separate);
  EXPECT_NE(Title(separate / "C-B.pdf").find("certs/C-B.pdf"), std::string::npos);

  const ToolRun one = Run(
      {"--definition", ini, "--data", a, "--pdf", (dir.path() / "one.pdf").string(), "--quiet"});
  ASSERT_EQ(one.Status, 0) << one.Err;
  EXPECT_NE(Title(dir.path() / "one.pdf").find("certs/C-A.pdf"), std::string::npos);

  // The built-in printer names its file by the job's title.
  const ToolRun printed = Run({"--definition", ini, "--data", a, "--print", "--quiet"});
  ASSERT_EQ(printed.Status, 0) << printed.Err;
  const std::string written = FileList(dir.path() / "data");
  EXPECT_NE(written.find("C-A.pdf"), std::string::npos) << written;
  EXPECT_EQ(written.find("param1"), std::string::npos) << written;
}

TEST_F(Names, SeparatePdfsGoOnPastAResultThatDoesNotLoadAndNameIt) {
  const std::string empty = dir.Write("data/empty.txt", "").string();
  const fs::path separate = dir.path() / "separate";
  const ToolRun run = Run({"--definition", ini, "--data", a, "--data", empty, "--data", b,
                           "--separate", "--pdf", separate.string(), "--quiet"});
  EXPECT_EQ(run.Status, 1) << run.Err;
  EXPECT_EQ(FileList(separate), "C-A.pdf C-B.pdf ");
  EXPECT_NE(run.Err.find("1 of 3 result(s) have no PDF: " + empty), std::string::npos) << run.Err;
}

TEST_F(Verdict, OptionsThatWouldDoNothingAreUsageErrors) {
  // Were they taken, nothing would land beside the sample.
  const std::string data = dir.Write("data/run.txt", ReadFileBytes(kSampleData)).string();
  const std::vector<std::string> base{"--definition", kSampleIni, "--data", data};
  const std::string png = (dir.path() / "png").string();
  for (const auto& extra : std::vector<std::vector<std::string>>{
           {"--attach-data", "--print"}, {"--pdfa", "--png", png}, {"--printer", ""}}) {
    std::vector<std::string> args = base;
    args.insert(args.end(), extra.begin(), extra.end());
    const ToolRun run = Run(args);
    EXPECT_EQ(run.Status, 2) << extra[0] << run.Err;
    EXPECT_EQ(run.Err.find("Printing"), std::string::npos);
  }
}

}  // namespace
}  // namespace vantrel

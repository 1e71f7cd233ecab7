// The files of tests/data/hostile, each a failure mode met in the field, run through
// the real tool: the message says what and why, once; nothing is written or lost.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "common/tool_run.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::Occurrences;
using testing::ReadFileBytes;
using testing::RunReportTool;
using testing::TempDir;

const std::string kHostile = std::string(VANTREL_TEST_DATA_DIR) + "/hostile/";

struct HostileCase {
  std::string Data;
  std::string Definition;
  int Status;
  std::string Message;  // "" when no message may appear
  std::vector<std::string> Extra = {};
};

std::vector<std::string> Leftovers(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) {
    // Qt keeps a runtime folder of its own under TMPDIR.
    if (e.path().filename().string().rfind("runtime-", 0) != 0) {
      names.push_back(e.path().filename().string());
    }
  }
  return names;
}

// stderr without Qt's own notes.
std::string OurLines(const std::string& err) {
  std::string ours;
  std::size_t start = 0;
  while (start < err.size()) {
    std::size_t end = err.find('\n', start);
    if (end == std::string::npos) end = err.size();
    const std::string line = err.substr(start, end - start);
    if (line.rfind("QStandardPaths:", 0) != 0) ours += line + "\n";
    start = end + 1;
  }
  return ours;
}

class Hostile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(Hostile, SaysWhatIsWrongOnceAndWritesNothing) {
  const HostileCase& c = GetParam();
  TempDir scratch, tmp, out;
  const std::string data = kHostile + c.Data;
  const std::string definition = kHostile + c.Definition;
  const std::string dataBefore = ReadFileBytes(data);
  const std::string definitionBefore = ReadFileBytes(definition);
  const fs::path pdf = out.path() / "report.pdf";
  std::vector<std::string> args{"--definition", definition,   "--data", data,
                                "--pdf",        pdf.string(), "--quiet"};
  args.insert(args.end(), c.Extra.begin(), c.Extra.end());
  const testing::ToolRun run =
      RunReportTool(scratch.path(), args, {"TMPDIR=" + tmp.path().string()});

  EXPECT_EQ(run.Status, c.Status) << run.Err;
  if (c.Message.empty()) {
    EXPECT_EQ(OurLines(run.Err), "") << run.Err;
  } else {
    EXPECT_EQ(Occurrences(run.Err, c.Message), 1) << run.Err;
  }
  EXPECT_EQ(fs::exists(pdf), c.Status == 0);
  EXPECT_EQ(Leftovers(out.path()),
            (c.Status == 0 ? std::vector<std::string>{"report.pdf"} : std::vector<std::string>{}));
  EXPECT_TRUE(Leftovers(tmp.path()).empty());
  EXPECT_EQ(ReadFileBytes(data), dataBefore);
  EXPECT_EQ(ReadFileBytes(definition), definitionBefore);
}

std::string CaseName(const ::testing::TestParamInfo<HostileCase>& info) {
  std::string name = info.param.Data + "_" + info.param.Definition;
  for (const std::string& e : info.param.Extra) name += "_" + e;
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(
    DataFiles, Hostile,
    ::testing::Values(
        HostileCase{"empty.txt", "plain.ini", 1, "cannot be loaded: it is empty."},
        HostileCase{"utf16.txt", "plain.ini", 1, "it is UTF-16 text"},
        HostileCase{"binary.bin", "plain.ini", 1, "it holds binary data, not text."},
        HostileCase{"no-header.txt", "plain.ini", 1, "it is not a result file"},
        HostileCase{"late-header.txt", "plain.ini", 1, "within its first 8192 bytes"},
        HostileCase{"max-tests.txt", "plain.ini", 1,
                    "SEEK HELP\n\nThe file holds 620 test and summary blocks; at most 609"},
        HostileCase{"nested.zip", "plain.ini", 1, "its first entry 'inner.zip' is a ZIP archive"},
        HostileCase{"picture-first.zip", "plain.ini", 1,
                    "its first entry 'logo.png' holds binary data"},
        HostileCase{"empty-entry.zip", "plain.ini", 1, "its first entry 'run.txt' is empty"},
        HostileCase{"bomb.zip", "plain.ini", 1, "(a ZIP bomb?)"},
        HostileCase{"missing.txt", "plain.ini", 1, "No such file or directory"},
        HostileCase{"truncated.txt", "plain.ini", 3,
                    "The test 'Attenuation' is incomplete: its row 2 holds 3 of 7 columns"},
        HostileCase{"no-rows.txt", "plain.ini", 3,
                    "The test 'Attenuation' is incomplete: it has no data rows."},
        HostileCase{"truncated.txt", "plain.ini", 0, "is incomplete", {"--allow-incomplete"}},
        HostileCase{"decimal-comma.txt", "plain.ini", 0,
                    "writes numbers with a decimal comma, such as '-2,5' in the test "
                    "'Attenuation'"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    DefinitionFiles, Hostile,
    ::testing::Values(
        HostileCase{"good.txt", "plain.ini", 0, ""}, HostileCase{"good.txt", "bom.ini", 0, ""},
        HostileCase{"good.txt", "utf16.ini", 2, "it is UTF-16 text"},
        HostileCase{"good.txt", "binary.ini", 2, "it holds binary data"},
        HostileCase{"good.txt", "logo-height.ini", 0,
                    "The value '1e9' of LOGOHEIGHT in [GENERAL] is outside the range -1 to 200."},
        HostileCase{"good.txt", "axis-reversed.ini", 0,
                    "The axis limits YMIN=5 and YMAX=1 in [GRAPH_1_1] run from high to low."},
        HostileCase{"good.txt", "axis-huge.ini", 0,
                    "XMIN=1 and XMAX=1e300 in [GRAPH_1_1] lie beyond what an axis can show"},
        HostileCase{"good.txt",
                    "profile-range.ini",
                    3,
                    "And 32756 more entries of this profile",
                    {"--profile", "Long"}},
        HostileCase{"good.txt",
                    "profile-range.ini",
                    3,
                    "Profile Reversed contains a non-numeric entry",
                    {"--profile", "Reversed"}},
        HostileCase{"good.txt",
                    "profile-range.ini",
                    3,
                    "Profile Huge contains a non-numeric entry",
                    {"--profile", "Huge"}}),
    CaseName);

// Pages made with --allow-incomplete say so where the status stands, never PASS.
TEST(HostileStatus, AnIncompleteTestIsNeverCertifiedAsPassed) {
  TempDir scratch;
  const auto statusOf = [&](const std::string& data) {
    const fs::path pdf = scratch.path() / "status.pdf";
    const testing::ToolRun run = RunReportTool(
        scratch.path(), {"--definition", kHostile + "status.ini", "--data", kHostile + data,
                         "--pdf", pdf.string(), "--quiet", "--allow-incomplete"});
    EXPECT_EQ(run.Status, 0) << run.Err;
    return testing::RunShell("pdftotext " + testing::ShellQuote(pdf.string()) + " -").Out;
  };
  const std::string cut = statusOf("truncated.txt");
  EXPECT_NE(cut.find("Incomplete"), std::string::npos) << cut;
  EXPECT_EQ(cut.find("PASS"), std::string::npos);
  EXPECT_NE(statusOf("good.txt").find("PASS"), std::string::npos);
}

TEST(HostileInfo, LineEndsAndControlCharactersNeverReachTheOutput) {
  TempDir scratch;
  const testing::ToolRun cr = RunReportTool(
      scratch.path(), {"--info", kHostile + "lone-cr.txt", "--definition", kHostile + "plain.ini"});
  EXPECT_EQ(cr.Status, 0) << cr.Err;
  EXPECT_NE(cr.Out.find("header 1: Cable ID: C-1\n"), std::string::npos) << cr.Out;

  const testing::ToolRun nul = RunReportTool(
      scratch.path(),
      {"--info", kHostile + "nul-in-header.txt", "--definition", kHostile + "plain.ini"});
  EXPECT_EQ(nul.Status, 0) << nul.Err;
  EXPECT_NE(nul.Out.find("test description: SeqA\n"), std::string::npos) << nul.Out;
  EXPECT_NE(nul.Out.find("header 1: Cable ID: C-1[2J\n"), std::string::npos) << nul.Out;
}

}  // namespace
}  // namespace vantrel

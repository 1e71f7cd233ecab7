// vantrel-report's launcher on its own: without its commands' module, with a module that
// is not one, and with the module where the installed package puts it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/shell_run.h"
#include "common/temp_dir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RunShell;
using testing::ShellQuote;
using testing::ShellResult;
using testing::TempDir;

const std::string kSampleIni = std::string(VANTREL_SOURCE_DIR) + "/samples/sample.ini";
const std::string kSampleData = std::string(VANTREL_SOURCE_DIR) + "/samples/sample-results.txt";
const std::string kModuleName = fs::path(VANTREL_COMMANDS_MODULE).filename().string();

// A copy of the real launcher in bin/ of a scratch folder, nothing beside it.
class Launcher : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(bin_);
    fs::copy_file(VANTREL_REPORT_EXE, bin_ / "vantrel-report");
  }

  ShellResult Run(const std::vector<std::string>& args) const {
    std::string command = "TMPDIR=" + ShellQuote(dir_.path().string()) + " " +
                          ShellQuote((bin_ / "vantrel-report").string());
    for (const std::string& a : args) command += " " + ShellQuote(a);
    return RunShell(command);
  }

  std::vector<std::string> MainJob() const {
    return {"--quiet", "--definition", kSampleIni, "--data", kSampleData, "--pdf", Pdf().string()};
  }
  fs::path Pdf() const { return dir_.path() / "out.pdf"; }

  // What the run left beside the PDF it was asked for.
  std::vector<std::string> Written() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_.path()))
      if (e.path().filename() != "bin" && e.path().filename() != "lib")
        names.push_back(e.path().filename().string());
    return names;
  }

  TempDir dir_;
  fs::path bin_ = dir_.path() / "bin";
};

TEST_F(Launcher, VersionHelpAndUsageNeedNoCommands) {
  const ShellResult version = Run({"--version"});
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Out, "vantrel-report " VANTREL_TEST_VERSION "\n");
  const ShellResult help = Run({"--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Out.find("--definition"), std::string::npos);
  const ShellResult usage = Run({"--no-such-option"});
  EXPECT_EQ(usage.Status, 2);
  EXPECT_EQ(usage.Err.find("commands"), std::string::npos) << usage.Err;
}

// The same messages and status as the whole program gives: the input is read first.
TEST_F(Launcher, FaultsOfTheInputAreSaidBeforeTheMissingCommands) {
  const std::string missing = (dir_.path() / "missing.ini").string();
  const std::string noData = (dir_.path() / "none.txt").string();
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--definition", missing, "--data", kSampleData, "--pdf", Pdf().string()},
           {"--definition", kSampleIni, "--data", noData, "--csv", dir_.path() / "csv"},
           {"--definition", kSampleIni, "--data", kSampleData, "--pdf", kSampleData},
           {"--definition", kSampleIni, "--data", kSampleData, "--reports", "99", "--png",
            dir_.path() / "png"}}) {
    std::string command = ShellQuote(VANTREL_REPORT_EXE);
    for (const std::string& a : args) command += " " + ShellQuote(a);
    const ShellResult whole = RunShell(command);
    const ShellResult alone = Run(args);
    EXPECT_NE(whole.Status, 0) << args[3];
    EXPECT_EQ(alone.Status, whole.Status) << args[3];
    EXPECT_EQ(alone.Err, whole.Err);
    EXPECT_EQ(alone.Err.find(kModuleName), std::string::npos) << alone.Err;
    EXPECT_TRUE(Written().empty()) << Written().front();
  }
}

TEST_F(Launcher, MissingCommandsAreSaidAndNothingIsWritten) {
  for (const std::vector<std::string>& args :
       {MainJob(), std::vector<std::string>{"--list", "--definition", kSampleIni}}) {
    const ShellResult run = Run(args);
    EXPECT_EQ(run.Status, 3) << args[0];
    EXPECT_EQ(run.Err.rfind("vantrel-report: cannot load the commands: ", 0), 0u) << run.Err;
    EXPECT_NE(run.Err.find(kModuleName), std::string::npos) << run.Err;
    EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
    EXPECT_TRUE(Written().empty()) << Written().front();
  }
}

TEST_F(Launcher, AModuleThatIsNotItsCommandsIsRefused) {
  const fs::path module = bin_ / kModuleName;
  std::ofstream(module) << "not a shared object\n";
  ShellResult run = Run(MainJob());
  EXPECT_EQ(run.Status, 3);
  EXPECT_NE(run.Err.find("cannot load the commands: "), std::string::npos) << run.Err;
  EXPECT_TRUE(Written().empty());

  // A real shared object, but not its commands: the maths library this test has loaded too.
  std::string foreign;
  std::ifstream maps("/proc/self/maps");
  for (std::string line; foreign.empty() && std::getline(maps, line);)
    if (const auto at = line.find('/');
        at != std::string::npos && line.find("/libm.so") != std::string::npos)
      foreign = line.substr(at);
  ASSERT_FALSE(foreign.empty());
  fs::copy_file(foreign, module, fs::copy_options::overwrite_existing);
  run = Run(MainJob());
  EXPECT_EQ(run.Status, 3);
  EXPECT_NE(run.Err.find(module.string() + " belongs to another program"), std::string::npos)
      << run.Err;
  EXPECT_TRUE(Written().empty());
}

TEST_F(Launcher, FindsItsCommandsWhereThePackageInstallsThem) {
  const fs::path installed = dir_.path() / VANTREL_COMMANDS_DIR;
  fs::create_directories(installed);
  fs::copy_file(VANTREL_COMMANDS_MODULE, installed / kModuleName);
  const ShellResult run = Run(MainJob());
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(ReadFileBytes(Pdf()).rfind("%PDF-", 0), 0u);
}

}  // namespace
}  // namespace vantrel

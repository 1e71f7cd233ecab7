// Real faults around vantrel-report's outputs: a full disk (a small tmpfs), device
// nodes, pipes, outputs that name inputs, a signal in mid-run. Where the machine does
// not allow a fault (mounting needs root), the test says so and skips.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "common/temp_dir.h"
#include "common/tool_run.h"
#include "sample_files.h"

extern char** environ;

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::FolderNames;
using testing::kSampleData;
using testing::kSampleIni;
using testing::Occurrences;
using testing::ReadFileBytes;
using testing::RunReportTool;
using testing::TempDir;
using testing::ToolRun;

const std::string kHostile = std::string(VANTREL_TEST_DATA_DIR) + "/hostile/";

ToolRun Pdf(const TempDir& scratch, const std::string& data, const std::string& pdf,
            const std::string& definition = kSampleIni) {
  return RunReportTool(scratch.path(),
                       {"--definition", definition, "--data", data, "--pdf", pdf, "--quiet"},
                       {"TMPDIR=" + scratch.path().string()});
}

TEST(OutputFaults, AnOutputNamingAnInputIsRefusedBeforeAnythingIsWritten) {
  TempDir dir;
  const fs::path data = dir.path() / "run.txt";
  fs::copy_file(kSampleData, data);
  const fs::path definition = dir.path() / "def.ini";
  fs::copy_file(kSampleIni, definition);
  fs::create_symlink(data, dir.path() / "link.pdf");
  const std::string before = ReadFileBytes(data);
  for (const fs::path& pdf : {data, definition, dir.path() / "link.pdf"}) {
    const ToolRun run = Pdf(dir, data.string(), pdf.string(), definition.string());
    EXPECT_EQ(run.Status, 2) << pdf;
    EXPECT_EQ(Occurrences(run.Err, "; it would be overwritten"), 1) << run.Err;
  }
  EXPECT_EQ(ReadFileBytes(data), before);
  EXPECT_EQ(ReadFileBytes(definition), ReadFileBytes(kSampleIni));
}

TEST(OutputFaults, DevicesAndPipesAreNeverReplaced) {
  TempDir dir;
  const fs::path fifo = dir.path() / "pipe.pdf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::vector<fs::path> targets{fifo};
  const fs::path device = dir.path() / "null.pdf";
  if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) targets.push_back(device);
  for (const fs::path& target : targets) {
    const ToolRun run = Pdf(dir, kSampleData, target.string());
    EXPECT_EQ(run.Status, 2) << target;
    EXPECT_NE(run.Err.find("output goes only to plain files"), std::string::npos) << run.Err;
    struct stat info {};
    ASSERT_EQ(::lstat(target.c_str(), &info), 0);
    EXPECT_FALSE(S_ISREG(info.st_mode)) << target;
  }
  if (targets.size() == 1) GTEST_SKIP() << "mknod is not allowed here; the device case did not run";
}

TEST(OutputFaults, ALongNameAndAStalePartOfADeadRunAreHandled) {
  TempDir dir;
  // A part left by a run that died (no process has this number).
  const fs::path stale = dir.path() / ".vantrel-999999999-abcdef.part";
  std::fclose(std::fopen(stale.c_str(), "w"));
  const fs::path pdf = dir.path() / (std::string(246, 'n') + ".pdf");
  const ToolRun run = Pdf(dir, kSampleData, pdf.string());
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(fs::exists(pdf));
  EXPECT_FALSE(fs::exists(stale));
}

// A tmpfs of a few blocks, mounted for the test's life; empty when not allowed.
class SmallDisk {
 public:
  explicit SmallDisk(const fs::path& where) : where_(where) {
    fs::create_directories(where_);
    mounted_ = ::mount("tmpfs", where_.c_str(), "tmpfs", 0, "size=96k") == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount(where_.c_str());
  }
  bool Mounted() const { return mounted_; }

 private:
  fs::path where_;
  bool mounted_ = false;
};

TEST(OutputFaults, AFullDiskKeepsTheOldPdfAndSaysWhy) {
  TempDir dir;
  SmallDisk disk(dir.path() / "disk");
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here (needs root)";
  const fs::path pdf = dir.path() / "disk" / "report.pdf";
  {
    std::FILE* old = std::fopen(pdf.c_str(), "w");
    std::fputs("%PDF old and good", old);
    std::fclose(old);
  }
  const ToolRun run = Pdf(dir, kSampleData, pdf.string());
  EXPECT_EQ(run.Status, 3) << run.Err;
  EXPECT_NE(run.Err.find("No space left on device"), std::string::npos) << run.Err;
  EXPECT_EQ(ReadFileBytes(pdf), "%PDF old and good");
  EXPECT_EQ(FolderNames(dir.path() / "disk"), std::vector<std::string>{"report.pdf"});

  const ToolRun png = RunReportTool(dir.path(),
                                    {"--definition", kSampleIni, "--data", kSampleData, "--png",
                                     (dir.path() / "disk" / "pages").string(), "--quiet"},
                                    {"TMPDIR=" + dir.path().string()});
  EXPECT_EQ(png.Status, 3) << png.Err;
  EXPECT_NE(png.Err.find("No space left on device"), std::string::npos) << png.Err;
  for (const std::string& name : FolderNames(dir.path() / "disk" / "pages")) {
    EXPECT_EQ(name.find(".part"), std::string::npos) << name;
  }
}

TEST(OutputFaults, AFullTemporaryFolderIsNamedWithItsReason) {
  TempDir dir;
  SmallDisk disk(dir.path() / "tmp");
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here (needs root)";
  const ToolRun run = RunReportTool(dir.path(),
                                    {"--definition", kSampleIni, "--data", kSampleData, "--pdf",
                                     (dir.path() / "out.pdf").string(), "--quiet"},
                                    {"TMPDIR=" + (dir.path() / "tmp").string()});
  EXPECT_EQ(run.Status, 1) << run.Err;
  EXPECT_NE(run.Err.find("No space left on device"), std::string::npos) << run.Err;
  EXPECT_FALSE(fs::exists(dir.path() / "out.pdf"));
  EXPECT_TRUE(FolderNames(dir.path() / "tmp").empty());

  const ToolRun missing = RunReportTool(dir.path(), {"--info", kSampleData},
                                        {"TMPDIR=" + (dir.path() / "gone").string()});
  EXPECT_EQ(missing.Status, 1);
  EXPECT_NE(missing.Err.find("the temporary folder " + (dir.path() / "gone").string() +
                             " (TMPDIR) cannot be used: No such file or directory"),
            std::string::npos)
      << missing.Err;
}

TEST(OutputFaults, ALogoThatIsAPipeNeitherHangsNorStopsThePages) {
  TempDir dir;
  const fs::path fifo = dir.path() / "logo.png";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string definition = ReadFileBytes(kHostile + "plain.ini");
  definition.insert(definition.find('\n') + 1, "LOGO=" + fifo.string() + "\nLOGOHEIGHT=20\n");
  const fs::path ini = dir.Write("logo.ini", definition);
  const ToolRun run =
      Pdf(dir, kHostile + "good.txt", (dir.path() / "out.pdf").string(), ini.string());
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(Occurrences(run.Err, "it is a pipe, not a plain file"), 1) << run.Err;
  EXPECT_TRUE(fs::exists(dir.path() / "out.pdf"));
}

TEST(OutputFaults, ATestOverTheRowLimitIsSaidOnceAndFailsTheRun) {
  TempDir dir;
  std::string data = ReadFileBytes(kHostile + "good.txt");
  data.resize(data.find("1\t1.0"));
  for (int i = 0; i < 32800; ++i) data += std::to_string(i) + "\t1\t-2\t-3\t-9\tx\tPP\n";
  const fs::path file = dir.Write("long.txt", data);
  const ToolRun run =
      Pdf(dir, file.string(), (dir.path() / "out.pdf").string(), kHostile + "plain.ini");
  EXPECT_EQ(run.Status, 3) << run.Err;
  EXPECT_EQ(Occurrences(run.Err, "rows; it cannot be read."), 1) << run.Err;
}

TEST(OutputFaults, SigtermLeavesNeitherAPartNorTheTemporaryCopy) {
  TempDir dir, tmp, out;
  const std::string pdf = (out.path() / "report.pdf").string();
  const std::string tmpdir = "TMPDIR=" + tmp.path().string();
  std::vector<std::string> args{VANTREL_REPORT_EXE, "--definition", kSampleIni, "--data",
                                kSampleData,        "--pdf",        pdf,        "--quiet"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env{tmpdir};
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string(*e).rfind("TMPDIR=", 0) != 0) env.emplace_back(*e);
  }
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
  posix_spawn_file_actions_destroy(&actions);
  // Wait until the PDF's part exists: the run is then in mid-page.
  bool started = false;
  for (int i = 0; i < 3000 && !started; ++i) {
    for (const std::string& name : FolderNames(out.path()))
      started = started || name.ends_with(".part");
    if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  if (!started || !WIFSIGNALED(status)) GTEST_SKIP() << "the run ended before the signal came";
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  EXPECT_TRUE(FolderNames(out.path()).empty());
  EXPECT_TRUE(FolderNames(tmp.path()).empty());
}

}  // namespace
}  // namespace vantrel

// A certificate records where it came from: read back with poppler's tools and
// sha256sum, and checked by --verify against the files and a changed copy.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "common/tool_run.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::RunReportTool;
using testing::RunShell;
using testing::ShellQuote;
using testing::TempDir;

const std::string kSamples = std::string(VANTREL_SOURCE_DIR) + "/samples";
const std::string kHostile = std::string(VANTREL_TEST_DATA_DIR) + "/hostile/";

class Certificate : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(kSamples + "/sample-results.txt", dir_.path() / "results.txt");
    fs::copy_file(kSamples + "/sample.ini", dir_.path() / "cable.ini");
    fs::copy_file(kSamples + "/logo.png", dir_.path() / "logo.png");
  }
  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }

  testing::ToolRun Make(const std::string& pdf, std::vector<std::string> extra = {},
                        const std::string& data = "results.txt",
                        const std::string& definition = "cable.ini") {
    std::vector<std::string> args{"--definition", Path(definition), "--data", Path(data),
                                  "--pdf",        Path(pdf),        "--quiet"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunReportTool(dir_.path(), args);
  }
  testing::ToolRun Verify(std::vector<std::string> args) {
    args.insert(args.begin(), "--verify");
    return RunReportTool(dir_.path(), args);
  }
  std::string Digest(const std::string& name) {
    return RunShell("sha256sum " + ShellQuote(Path(name))).Out.substr(0, 64);
  }
  std::string Meta(const std::string& pdf) {
    return RunShell("pdfinfo -meta " + ShellQuote(Path(pdf))).Out;
  }

  TempDir dir_;
};

TEST_F(Certificate, MetadataHoldsTheDigestsOfBothFilesAndTheOverallStatus) {
  ASSERT_EQ(Make("cert.pdf").Status, 0);
  const std::string meta = Meta("cert.pdf");
  EXPECT_NE(meta.find("<vantrel:DataFile>results.txt</vantrel:DataFile>"), std::string::npos);
  EXPECT_NE(meta.find("<vantrel:DataSHA256>" + Digest("results.txt") + "<"), std::string::npos)
      << meta;
  EXPECT_NE(meta.find("<vantrel:DefinitionSHA256>" + Digest("cable.ini") + "<"), std::string::npos);
  EXPECT_NE(meta.find("<vantrel:Status>FAIL</vantrel:Status>"), std::string::npos);
  EXPECT_NE(meta.find("<vantrel:Version>"), std::string::npos);
  EXPECT_NE(
      RunShell("pdfinfo " + ShellQuote(Path("cert.pdf"))).Out.find("Creator:         Vantrel "),
      std::string::npos);

  // A file whose tests all pass is recorded as passed.
  fs::copy_file(kHostile + "good.txt", dir_.path() / "good.txt");
  fs::copy_file(kHostile + "plain.ini", dir_.path() / "plain.ini");
  ASSERT_EQ(Make("good.pdf", {}, "good.txt", "plain.ini").Status, 0);
  EXPECT_NE(Meta("good.pdf").find("<vantrel:Status>PASS</vantrel:Status>"), std::string::npos);
}

TEST_F(Certificate, VerifyTellsAMatchFromAOneByteChange) {
  ASSERT_EQ(Make("cert.pdf").Status, 0);
  testing::ToolRun run =
      Verify({Path("cert.pdf"), "--data", Path("results.txt"), "--definition", Path("cable.ini")});
  EXPECT_EQ(run.Status, 0) << run.Out << run.Err;
  EXPECT_NE(run.Out.find("data " + Path("results.txt") + ": match"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("definition " + Path("cable.ini") + ": match"), std::string::npos);

  {
    std::fstream f(Path("results.txt"), std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(100);
    f.put('#');
  }
  run = Verify({Path("cert.pdf"), "--data", Path("results.txt")});
  EXPECT_EQ(run.Status, 6);
  EXPECT_NE(run.Out.find("data " + Path("results.txt") + ": differs"), std::string::npos);
  // The definition was neither given nor attached: said, not counted as a match.
  EXPECT_NE(run.Out.find("definition cable.ini: not checked"), std::string::npos) << run.Out;

  // A PDF that is not ours, and a file that is no PDF, hold no record.
  EXPECT_EQ(Verify({Path("cable.ini")}).Status, 1);
  ASSERT_EQ(RunShell("qpdf --empty " + ShellQuote(Path("other.pdf"))).Status, 0);
  EXPECT_EQ(Verify({Path("other.pdf")}).Status, 1);
}

TEST_F(Certificate, AttachedFilesTravelWithThePdfAndVerifyIt) {
  ASSERT_EQ(Make("cert.pdf", {"--attach-data"}).Status, 0);
  const std::string list = RunShell("pdfdetach -list " + ShellQuote(Path("cert.pdf"))).Out;
  EXPECT_NE(list.find("results.txt"), std::string::npos) << list;
  EXPECT_NE(list.find("cable.ini"), std::string::npos);
  ASSERT_EQ(RunShell("cd " + ShellQuote(dir_.path().string()) +
                     " && mkdir out && pdfdetach -saveall -o out cert.pdf")
                .Status,
            0);
  EXPECT_EQ(
      RunShell("cmp " + ShellQuote(Path("out/results.txt")) + " " + ShellQuote(Path("results.txt")))
          .Status,
      0);

  const testing::ToolRun run = Verify({Path("cert.pdf")});
  EXPECT_EQ(run.Status, 0) << run.Out << run.Err;
  EXPECT_NE(run.Out.find("data results.txt (attached): match"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("definition cable.ini (attached): match"), std::string::npos);
}

TEST_F(Certificate, PdfAIsMarkedAndCannotCarryAttachments) {
  ASSERT_EQ(Make("archive.pdf", {"--pdfa"}).Status, 0);
  const std::string meta = Meta("archive.pdf");
  EXPECT_NE(meta.find("pdfaid:part=\"1\""), std::string::npos) << meta;
  EXPECT_NE(meta.find("pdfaid:conformance=\"B\""), std::string::npos);
  EXPECT_NE(meta.find("<vantrel:DataSHA256>"), std::string::npos);

  const testing::ToolRun refused = Make("both.pdf", {"--pdfa", "--attach-data"});
  EXPECT_EQ(refused.Status, 2);
  EXPECT_NE(refused.Err.find("PDF/A-1 cannot hold embedded files"), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("both.pdf")));
}

TEST_F(Certificate, AttachmentsOfAnyNameAreFoundAfterStandardRewrites) {
  // Characters that a literal string must escape, and one outside ASCII.
  const std::string name = "r&\xC3\xA9\\(x.txt";
  fs::copy_file(Path("results.txt"), dir_.path() / name);
  ASSERT_EQ(Make("cert.pdf", {"--attach-data"}, name).Status, 0);
  for (const std::string how : {"", "--object-streams=generate", "--linearize"}) {
    ASSERT_EQ(RunShell("qpdf " + how + " " + ShellQuote(Path("cert.pdf")) + " " +
                       ShellQuote(Path("rewritten.pdf")))
                  .Status,
              0);
    const testing::ToolRun run = Verify({Path("rewritten.pdf")});
    EXPECT_EQ(run.Status, 0) << how << run.Out << run.Err;
    EXPECT_NE(run.Out.find("data " + name + " (attached): match"), std::string::npos)
        << how << run.Out;
    EXPECT_NE(run.Out.find("definition cable.ini (attached): match"), std::string::npos);
    EXPECT_NE(run.Out.find("not signed: the page content is not protected"), std::string::npos);
  }
}

// Whatever in an unsigned certificate can be found without a signature is found: its
// structure, every compressed stream, the record and the attachments.
TEST_F(Certificate, DamagedUnsignedCertificatesDoNotVerify) {
  ASSERT_EQ(Make("cert.pdf", {"--attach-data"}).Status, 0);
  const std::string bytes = testing::ReadFileBytes(Path("cert.pdf"));
  std::vector<std::string> corpus;
  const auto changed = [&](std::size_t at, const std::string& name, const std::string& to) {
    std::string b = bytes;
    b.replace(at, to.size(), to);
    dir_.Write(name, b);
    corpus.push_back(name);
  };
  // The data of each compressed stream: pages, fonts, attachments.
  int streams = 0;
  for (std::size_t at = bytes.find("/FlateDecode"); at != std::string::npos;
       at = bytes.find("/FlateDecode", at + 1)) {
    const std::size_t data = bytes.find("stream", at) + 10;
    changed(data, "stream" + std::to_string(++streams) + ".pdf",
            std::string(1, static_cast<char>(bytes[data] ^ 0x10)));
  }
  ASSERT_GT(streams, 3);
  changed(bytes.find("<vantrel:Status>") + 16, "status.pdf", "PASX");
  changed(bytes.rfind("startxref") + 10, "startxref.pdf", "9");
  // A digit of the fifth object's offset.
  const std::size_t entry = bytes.find('\n', bytes.find("\nxref\n") + 6) + 1 + 5 * 20 + 8;
  changed(entry, "xref.pdf", std::string(1, static_cast<char>(bytes[entry] ^ 0x01)));
  for (const double part : {0.2, 0.6, 0.99}) {
    const std::string name = "cut" + std::to_string(part) + ".pdf";
    dir_.Write(name, bytes.substr(0, static_cast<std::size_t>(bytes.size() * part)));
    corpus.push_back(name);
  }
  for (const std::string& name : corpus) {
    const testing::ToolRun run = Verify({Path(name)});
    EXPECT_EQ(run.Status, 6) << name << "\n" << run.Out << run.Err;
    EXPECT_NE(run.Out.find("damaged"), std::string::npos) << name << run.Out;
  }
}

}  // namespace
}  // namespace vantrel

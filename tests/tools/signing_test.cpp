// Signed certificates, checked by tools we did not write (poppler's pdfsig with an NSS
// database, qpdf --check) and by --verify, before and after any change to the file.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "common/test_keys.h"
#include "common/tool_run.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RunReportTool;
using testing::RunShell;
using testing::ShellQuote;

const std::string kSamples = std::string(VANTREL_SOURCE_DIR) + "/samples";

class Signing : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    keysDir_ = new testing::TempDir;
    keys_ = testing::MakeTestKeys(keysDir_->path());
    nss_ = testing::MakeNssDatabase(keysDir_->path() / "nss", keys_.CaCert);
  }
  static void TearDownTestSuite() { delete keysDir_; }

  void SetUp() override {
    fs::copy_file(kSamples + "/sample-results.txt", dir_.path() / "results.txt");
    fs::copy_file(kSamples + "/sample.ini", dir_.path() / "cable.ini");
    fs::copy_file(kSamples + "/logo.png", dir_.path() / "logo.png");
  }
  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }

  testing::ToolRun Make(const std::string& pdf, std::vector<std::string> extra = {},
                        const std::vector<std::string>& env = {}) {
    std::vector<std::string> args{"--definition", Path("cable.ini"), "--data", Path("results.txt"),
                                  "--pdf",        Path(pdf),         "--quiet"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunReportTool(dir_.path(), args, env);
  }
  testing::ToolRun MakeSigned(const std::string& pdf, std::vector<std::string> extra = {}) {
    extra.insert(extra.end(), {"--sign-key", keys_.Key, "--sign-cert", keys_.Cert});
    return Make(pdf, extra);
  }
  testing::ToolRun Verify(const std::string& pdf, std::vector<std::string> extra = {}) {
    extra.insert(extra.begin(), {"--verify", Path(pdf)});
    return RunReportTool(dir_.path(), extra);
  }
  std::string PdfSig(const std::string& pdf) {
    return RunShell("pdfsig -nssdir " + ShellQuote(nss_) + " " + ShellQuote(Path(pdf)) + " 2>&1")
        .Out;
  }
  bool QpdfFindsNoDamage(const std::string& pdf) {
    return RunShell("qpdf --check " + ShellQuote(Path(pdf))).Status == 0;
  }
  // A copy of pdf with one byte changed at offset.
  std::string Changed(const std::string& pdf, std::size_t offset, const std::string& name,
                      char mask = 0x01) {
    std::string bytes = ReadFileBytes(Path(pdf));
    bytes.at(offset) = static_cast<char>(bytes.at(offset) ^ mask);
    dir_.Write(name, bytes);
    return name;
  }

  static testing::TempDir* keysDir_;
  static testing::TestKeys keys_;
  static std::string nss_;
  testing::TempDir dir_;
};

testing::TempDir* Signing::keysDir_ = nullptr;
testing::TestKeys Signing::keys_;
std::string Signing::nss_;

// Offsets of every "N 0 obj" in bytes: one per object of the file.
std::vector<std::size_t> ObjectStarts(const std::string& bytes) {
  std::vector<std::size_t> starts;
  for (std::size_t at = bytes.find(" 0 obj"); at != std::string::npos;
       at = bytes.find(" 0 obj", at + 1))
    starts.push_back(at);
  return starts;
}

TEST_F(Signing, PdfsigCallsTheSignatureValidAndTrustedAndVerifyAgrees) {
  ASSERT_EQ(MakeSigned("cert.pdf", {"--attach-data"}).Status, 0);
  const std::string said = PdfSig("cert.pdf");
  EXPECT_NE(said.find("Signature is Valid."), std::string::npos) << said;
  EXPECT_NE(said.find("Certificate is Trusted."), std::string::npos) << said;
  EXPECT_NE(said.find("Total document signed"), std::string::npos) << said;
  EXPECT_NE(said.find("ETSI.CAdES.detached"), std::string::npos) << said;
  EXPECT_TRUE(QpdfFindsNoDamage("cert.pdf"));

  testing::ToolRun run = Verify("cert.pdf", {"--trust", keys_.CaCert});
  EXPECT_EQ(run.Status, 0) << run.Out << run.Err;
  EXPECT_NE(run.Out.find("valid, signed by CN=Test Lab Signer, O=Cable Lab at 20"),
            std::string::npos)
      << run.Out;
  EXPECT_NE(run.Out.find("; trusted"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("data results.txt (attached): match"), std::string::npos);

  // A CA that did not issue the signer's certificate does not vouch for it.
  run = Verify("cert.pdf", {"--trust", keys_.OtherCaCert});
  EXPECT_EQ(run.Status, 6) << run.Out;
  EXPECT_NE(run.Out.find("not trusted"), std::string::npos) << run.Out;
  // Without a CA the signature is still checked, and said to be so.
  run = Verify("cert.pdf");
  EXPECT_EQ(run.Status, 0) << run.Out;
  EXPECT_NE(run.Out.find("not checked against a CA"), std::string::npos) << run.Out;
}

TEST_F(Signing, OneChangedByteOfPageXmpOrAttachmentIsFoundByPdfsigAndVerify) {
  ASSERT_EQ(MakeSigned("cert.pdf", {"--attach-data"}).Status, 0);
  const std::string bytes = ReadFileBytes(Path("cert.pdf"));
  const std::size_t page = bytes.find("stream", bytes.find("/Type /Page\n") + 1) + 20;
  const std::size_t xmp = bytes.find("<vantrel:Status>") + 17;
  const std::size_t attached = bytes.find("stream", bytes.find("/Type /EmbeddedFile")) + 20;
  for (const std::size_t at : {page, xmp, attached}) {
    const std::string changed = Changed("cert.pdf", at, "changed.pdf");
    const std::string said = PdfSig(changed);
    EXPECT_EQ(said.find("Signature is Valid."), std::string::npos) << at << said;
    const testing::ToolRun run = Verify(changed);
    EXPECT_EQ(run.Status, 6) << at << run.Out;
  }
}

TEST_F(Signing, NoDamagedOrRewrittenSignedCertificateVerifies) {
  ASSERT_EQ(MakeSigned("cert.pdf", {"--attach-data"}).Status, 0);
  const std::string bytes = ReadFileBytes(Path("cert.pdf"));
  std::vector<std::string> corpus;
  // A bit flipped in the middle of objects all over the file (every one would take
  // minutes), the signature's own and the objects it rewrote always among them.
  const std::vector<std::size_t> starts = ObjectStarts(bytes);
  ASSERT_GT(starts.size(), 10u);
  const std::size_t step = std::max<std::size_t>(1, starts.size() / 10);
  for (std::size_t i = 0; i < starts.size(); i += (i + 5 >= starts.size() ? 1 : step)) {
    const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : bytes.size();
    corpus.push_back(
        Changed("cert.pdf", (starts[i] + end) / 2, "flip" + std::to_string(i) + ".pdf", 0x04));
  }
  // The cross-reference table and the trailer of the signature's update.
  corpus.push_back(Changed("cert.pdf", bytes.rfind("xref") + 12, "xref.pdf"));
  corpus.push_back(Changed("cert.pdf", bytes.size() - 9, "startxref.pdf"));
  for (const double part : {0.3, 0.9, 0.999}) {
    const std::string name = "cut" + std::to_string(part) + ".pdf";
    dir_.Write(name, bytes.substr(0, static_cast<std::size_t>(bytes.size() * part)));
    corpus.push_back(name);
  }
  dir_.Write("appended.pdf", bytes + "1 0 obj\n<< >>\nendobj\n");
  corpus.push_back("appended.pdf");
  for (const std::string how : {"", "--object-streams=generate", "--linearize"}) {
    const std::string name = "qpdf" + std::to_string(corpus.size()) + ".pdf";
    ASSERT_EQ(
        RunShell("qpdf " + how + " " + ShellQuote(Path("cert.pdf")) + " " + ShellQuote(Path(name)))
            .Status,
        0);
    corpus.push_back(name);
  }
  for (const std::string& name : corpus) {
    const testing::ToolRun run = Verify(name);
    EXPECT_EQ(run.Status, 6) << name << "\n" << run.Out << run.Err;
  }
}

TEST_F(Signing, PdfAAndAPassphraseProtectedKeyOrBundleSignAsWell) {
  // The passphrase comes from a file named in the environment, never the command line.
  const std::vector<std::string> env{"VANTREL_SIGN_PASSPHRASE_FILE=" + keys_.PassphraseFile};
  ASSERT_EQ(
      Make("pdfa.pdf", {"--pdfa", "--sign-key", keys_.EncryptedKey, "--sign-cert", keys_.Cert}, env)
          .Status,
      0);
  ASSERT_EQ(Make("p12.pdf", {"--sign-p12", keys_.P12}, env).Status, 0);
  for (const char* pdf : {"pdfa.pdf", "p12.pdf"}) {
    EXPECT_NE(PdfSig(pdf).find("Signature is Valid."), std::string::npos) << pdf;
    EXPECT_TRUE(QpdfFindsNoDamage(pdf)) << pdf;
    EXPECT_EQ(Verify(pdf, {"--data", Path("results.txt"), "--trust", keys_.CaCert}).Status, 0);
  }

  // Without the passphrase nothing is drawn, and nothing waits for a terminal.
  testing::ToolRun run =
      Make("none.pdf", {"--sign-key", keys_.EncryptedKey, "--sign-cert", keys_.Cert});
  EXPECT_EQ(run.Status, 2);
  EXPECT_NE(run.Err.find("needs its passphrase file"), std::string::npos) << run.Err;
  dir_.Write("wrong.txt", "not the phrase\n");
  run = Make("none.pdf", {"--sign-p12", keys_.P12},
             {"VANTREL_SIGN_PASSPHRASE_FILE=" + Path("wrong.txt")});
  EXPECT_EQ(run.Status, 2);
  EXPECT_NE(run.Err.find(keys_.P12 + " cannot be opened"), std::string::npos) << run.Err;
  // A key with another's certificate would make a signature nobody can check.
  run = Make("none.pdf", {"--sign-key", keys_.Key, "--sign-cert", keys_.CaCert});
  EXPECT_EQ(run.Status, 2);
  EXPECT_NE(run.Err.find("does not belong to the certificate"), std::string::npos) << run.Err;
  EXPECT_FALSE(fs::exists(Path("none.pdf")));
}

TEST_F(Signing, TheDefinitionsKeysSignWithPathsFromItsOwnFolder) {
  fs::create_directories(dir_.path() / "keys");
  fs::copy_file(keys_.Key, dir_.path() / "keys/lab.key");
  fs::copy_file(keys_.Cert, dir_.path() / "keys/lab.pem");
  std::string ini = ReadFileBytes(Path("cable.ini"));
  const std::size_t general = ini.find("[GENERAL]");
  ASSERT_NE(general, std::string::npos);
  ini.insert(ini.find('\n', general) + 1, "SIGN_KEY=keys/lab.key\nSIGN_CERT=keys/lab.pem\n");
  dir_.Write("cable.ini", ini);
  // The tool runs in the build folder: the paths are the definition folder's.
  const testing::ToolRun run =
      RunReportTool(dir_.path(), {"--definition", Path("cable.ini"), "--data", Path("results.txt"),
                                  "--pdf", Path("cert.pdf"), "--quiet"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(PdfSig("cert.pdf").find("Signature is Valid."), std::string::npos);
}

// Several results make a PDF each (--separate) or one PDF together: both are signed.
TEST_F(Signing, EveryPdfOfARunOfSeveralResultsIsSigned) {
  fs::copy_file(Path("results.txt"), Path("second.txt"));
  const std::vector<std::string> key{"--sign-key", keys_.Key, "--sign-cert", keys_.Cert};
  std::vector<std::string> args{"--definition", Path("cable.ini"),  "--data", Path("results.txt"),
                                "--data",       Path("second.txt"), "--quiet"};
  args.insert(args.end(), key.begin(), key.end());
  std::vector<std::string> together = args;
  together.insert(together.end(), {"--pdf", Path("both.pdf")});
  testing::ToolRun run = RunReportTool(dir_.path(), together);
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(PdfSig("both.pdf").find("Signature is Valid."), std::string::npos);

  std::vector<std::string> separate = args;
  separate.insert(separate.end(), {"--separate", "--pdf", Path("each")});
  run = RunReportTool(dir_.path(), separate);
  ASSERT_EQ(run.Status, 0) << run.Err;
  int pdfs = 0;
  for (const auto& entry : fs::directory_iterator(dir_.path() / "each")) {
    ++pdfs;
    const std::string name = "each/" + entry.path().filename().string();
    EXPECT_NE(PdfSig(name).find("Signature is Valid."), std::string::npos) << name;
  }
  EXPECT_EQ(pdfs, 2);
}

TEST_F(Signing, APdfThatCameThroughTheCupsPdfQueueIsSignedToo) {
  const char* queue = std::getenv("VANTREL_TEST_QUEUE");
  const char* spool = std::getenv("VANTREL_TEST_QUEUE_PDF_DIR");
  if (queue == nullptr || spool == nullptr)
    GTEST_SKIP() << "no test print server: eval \"$(scripts/cups-test-server start DIR)\" first";
  std::string ini = ReadFileBytes(Path("cable.ini"));
  const std::size_t at = ini.find("\nAPPNAME=");
  ASSERT_NE(at, std::string::npos);
  ini.replace(at + 1, ini.find('\n', at + 1) - at - 1,
              "APPNAME=" + Path("queued.pdf") + "\nAUTOPDF_TEMPDIR=" + spool +
                  "\nSIGN_KEY=" + keys_.Key + "\nSIGN_CERT=" + keys_.Cert);
  dir_.Write("cable.ini", ini);
  const testing::ToolRun run =
      RunReportTool(dir_.path(), {"--definition", Path("cable.ini"), "--data", Path("results.txt"),
                                  "--print", "--printer", queue, "--quiet"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  const std::string said = PdfSig("queued.pdf");
  EXPECT_NE(said.find("Signature is Valid."), std::string::npos) << said;
  EXPECT_NE(said.find("Certificate is Trusted."), std::string::npos) << said;
  EXPECT_TRUE(QpdfFindsNoDamage("queued.pdf"));
}

}  // namespace
}  // namespace vantrel

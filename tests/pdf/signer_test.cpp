// Signing PDFs of other writers (ghostscript, qpdf's rewrites) in place, checked with
// poppler's pdfsig and qpdf, and what the signature check makes of a tampered file.

#include "pdf/signer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "common/test_keys.h"
#include "pdf/pdf_reader.h"
#include "pdf/signature_check.h"

namespace vantrel::pdf {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RunShell;
using testing::ShellQuote;

class Signer : public ::testing::Test {
 protected:
  void SetUp() override {
    keys_ = testing::MakeTestKeys(dir_.path());
    std::string error;
    identity_ = SigningIdentity::Load({keys_.Key, keys_.Cert, "", "", ""}, error);
    ASSERT_TRUE(identity_) << error;
    // A writer other than ours, with its own cross-reference table.
    ASSERT_EQ(
        RunShell("gs -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -o " + ShellQuote(Path("gs.pdf")) +
                 " -c '/Helvetica findfont 20 scalefont setfont 72 720 moveto (Pass) show "
                 "showpage'")
            .Status,
        0);
  }
  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }
  std::string PdfSig(const std::string& name) {
    return RunShell("pdfsig " + ShellQuote(Path(name)) + " 2>&1").Out;
  }
  std::vector<SignatureVerdict> Verdicts(const std::string& name) {
    const std::string bytes = ReadFileBytes(Path(name));
    const PdfContents contents = ReadPdf(bytes);
    EXPECT_TRUE(contents.Damage.empty()) << name << ": " << contents.Damage.front();
    std::vector<SignatureVerdict> verdicts;
    for (const SignatureField& field : contents.Signatures)
      verdicts.push_back(CheckSignature(bytes, field, keys_.CaCert));
    return verdicts;
  }

  testing::TempDir dir_;
  testing::TestKeys keys_;
  std::unique_ptr<SigningIdentity> identity_;
};

TEST_F(Signer, SignsPdfsWithCrossReferenceTablesOrStreamsAndLinearisedOnes) {
  ASSERT_EQ(RunShell("qpdf --object-streams=generate " + ShellQuote(Path("gs.pdf")) + " " +
                     ShellQuote(Path("streams.pdf")))
                .Status,
            0);
  ASSERT_EQ(RunShell("qpdf --linearize " + ShellQuote(Path("gs.pdf")) + " " +
                     ShellQuote(Path("linear.pdf")))
                .Status,
            0);
  for (const char* name : {"gs.pdf", "streams.pdf", "linear.pdf"}) {
    std::string error;
    ASSERT_TRUE(SignInPlace(Path(name), *identity_, error)) << name << error;
    EXPECT_EQ(RunShell("qpdf --check " + ShellQuote(Path(name))).Status, 0) << name;
    EXPECT_NE(PdfSig(name).find("Signature is Valid."), std::string::npos) << name << PdfSig(name);
    const auto verdicts = Verdicts(name);
    ASSERT_EQ(verdicts.size(), 1u) << name;
    EXPECT_TRUE(verdicts[0].Intact) << name << verdicts[0].Problem;
    EXPECT_TRUE(verdicts[0].Trusted) << name << verdicts[0].TrustProblem;
    EXPECT_EQ(verdicts[0].SignedEnd, static_cast<long long>(fs::file_size(Path(name))));
    EXPECT_EQ(verdicts[0].Signer, "CN=Test Lab Signer, O=Cable Lab");
  }
}

TEST_F(Signer, ASecondSignatureLeavesTheFirstValidAndTheFileKeepsItsMode) {
  ::chmod(Path("gs.pdf").c_str(), 0640);
  std::string error;
  ASSERT_TRUE(SignInPlace(Path("gs.pdf"), *identity_, error)) << error;
  const auto once = fs::file_size(Path("gs.pdf"));
  ASSERT_TRUE(SignInPlace(Path("gs.pdf"), *identity_, error)) << error;
  const std::string said = PdfSig("gs.pdf");
  EXPECT_NE(said.find("Signature #2"), std::string::npos) << said;
  EXPECT_EQ(said.find("Signature is Invalid"), std::string::npos) << said;
  const auto verdicts = Verdicts("gs.pdf");
  ASSERT_EQ(verdicts.size(), 2u);
  EXPECT_TRUE(verdicts[0].Intact && verdicts[1].Intact);
  EXPECT_EQ(std::min(verdicts[0].SignedEnd, verdicts[1].SignedEnd), static_cast<long long>(once));

  struct stat info {};
  ASSERT_EQ(::stat(Path("gs.pdf").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  for (const auto& entry : fs::directory_iterator(dir_.path()))
    EXPECT_FALSE(entry.path().filename().string().ends_with(".part")) << entry.path();
}

TEST_F(Signer, BytesPutIntoTheSignaturesRoomOrAnIncompleteFileAreRefused) {
  std::string error;
  ASSERT_TRUE(SignInPlace(Path("gs.pdf"), *identity_, error)) << error;
  std::string bytes = ReadFileBytes(Path("gs.pdf"));
  // The last hex digit of the room kept for the signature: zero padding, not signed.
  const std::size_t at = bytes.find("> >>", bytes.find("/Contents <")) - 1;
  ASSERT_EQ(bytes[at], '0');
  bytes[at] = '7';
  const PdfContents contents = ReadPdf(bytes);
  ASSERT_EQ(contents.Signatures.size(), 1u);
  const SignatureVerdict v = CheckSignature(bytes, contents.Signatures[0], "");
  EXPECT_FALSE(v.Intact);
  EXPECT_NE(v.Problem.find("foreign bytes"), std::string::npos) << v.Problem;

  // A cut-off file is not signed: the signature would vouch for a broken certificate.
  const std::string cut = ReadFileBytes(Path("gs.pdf")).substr(0, 400);
  std::string update;
  EXPECT_FALSE(identity_->UpdateFor(cut, 0, update, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace vantrel::pdf

// --verify: a certificate's structure, signature and recorded digests.

#include <QByteArray>
#include <cstdio>
#include <map>
#include <string>

#include "pdf/pdf_reader.h"
#include "pdf/signature_check.h"
#include "render/certificate_record.h"
#include "support/plain_file.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/report_session.h"

namespace vantrel::report_tool {

namespace {

enum class Check { Match, Differs, Unchecked };

// A damage report can be long; the first few lines tell the story.
constexpr std::size_t kDamageLinesShown = 3;

std::string AttachmentWithDigest(const std::map<std::string, std::string>& attachments,
                                 const std::string& digest) {
  for (const auto& [name, bytes] : attachments)
    if (!digest.empty() && Sha256Hex(QByteArray::fromStdString(bytes)) == digest) return name;
  return "";
}

// Compares one recorded file with the file given, else with the PDF's attachment.
Check CheckFile(const char* kind, const CertificateFile& recorded, const std::string& given,
                const std::map<std::string, std::string>& attachments) {
  std::string actual;
  std::string shown = recorded.Name;
  if (!given.empty()) {
    std::string bytes, error;
    if (!ReadPlainFile(given, bytes, error)) {
      std::printf("%s %s: cannot be read: %s\n", kind, given.c_str(), error.c_str());
      return Check::Differs;
    }
    actual = Sha256Hex(QByteArray::fromStdString(bytes));
    shown = given;
  } else if (const auto it = attachments.find(recorded.Name); it != attachments.end()) {
    actual = Sha256Hex(QByteArray::fromStdString(it->second));
    shown = recorded.Name + " (attached)";
  } else if (const auto same = AttachmentWithDigest(attachments, recorded.Sha256); !same.empty()) {
    // A writer may have spelt the name its own way (characters outside Latin-1).
    std::printf("%s %s (attached as %s): match\n", kind, recorded.Name.c_str(), same.c_str());
    return Check::Match;
  } else if (!attachments.empty()) {
    std::printf("%s %s: differs: no attachment has its name or its content\n", kind,
                recorded.Name.c_str());
    return Check::Differs;
  } else {
    std::printf("%s %s: not checked: no file given and none attached\n", kind,
                recorded.Name.c_str());
    return Check::Unchecked;
  }
  const bool match = !recorded.Sha256.empty() && actual == recorded.Sha256;
  std::printf("%s %s: %s\n", kind, shown.c_str(), match ? "match" : "differs");
  return match ? Check::Match : Check::Differs;
}

// Trailing line ends and spaces after the last %%EOF are no change.
std::size_t MeaningfulSize(std::string_view pdf) {
  std::size_t end = pdf.size();
  while (end > 0 && (pdf[end - 1] == '\n' || pdf[end - 1] == '\r' || pdf[end - 1] == ' ' ||
                     pdf[end - 1] == '\0'))
    --end;
  return end;
}

// Prints one line per signature; false when any does not hold or the file goes on
// past the last signature.
bool CheckSignatures(std::string_view bytes, const pdf::PdfContents& contents,
                     const std::string& trust) {
  if (contents.Signatures.empty()) {
    std::printf("not signed: the page content is not protected\n");
    return true;
  }
  bool ok = true;
  long long covered = 0;
  for (const pdf::SignatureField& field : contents.Signatures) {
    const pdf::SignatureVerdict v = pdf::CheckSignature(bytes, field, trust);
    if (!v.Intact) {
      std::printf("signature %s: invalid: %s\n", field.Name.c_str(), v.Problem.c_str());
      ok = false;
      continue;
    }
    covered = std::max(covered, v.SignedEnd);
    std::string trusted = "the signer is not checked against a CA (give --trust CA.pem)";
    if (!trust.empty()) trusted = v.Trusted ? "trusted" : "not trusted: " + v.TrustProblem;
    std::printf("signature %s: valid, signed by %s at %s; %s\n", field.Name.c_str(),
                v.Signer.c_str(), v.SigningTime.c_str(), trusted.c_str());
    if (!trust.empty() && !v.Trusted) ok = false;
  }
  if (ok && static_cast<std::size_t>(covered) < MeaningfulSize(bytes)) {
    std::printf("changed after signing: %zu bytes were added after the last signature\n",
                MeaningfulSize(bytes) - static_cast<std::size_t>(covered));
    ok = false;
  }
  return ok;
}

}  // namespace

int RunVerify(const Options& o) {
  std::string bytes, error;
  if (!ReadPlainFile(o.Verify, bytes, error, std::uint64_t{2} << 30))
    return Fail(o.Verify + " cannot be read: " + error, kExitNotLoaded);
  const pdf::PdfContents contents = pdf::ReadPdf(bytes);
  if (!contents.IsPdf) return Fail(o.Verify + " is not a PDF", kExitNotLoaded);
  if (!contents.Damage.empty()) {
    std::printf("certificate %s: damaged\n", o.Verify.c_str());
    for (std::size_t i = 0; i < contents.Damage.size() && i < kDamageLinesShown; ++i)
      std::printf("  %s\n", contents.Damage[i].c_str());
    if (contents.Damage.size() > kDamageLinesShown)
      std::printf("  and %zu more faults\n", contents.Damage.size() - kDamageLinesShown);
    return kExitDiffers;
  }
  const auto record = ReadCertificateRecord(QByteArray::fromStdString(contents.Metadata));
  if (!record) {
    // Our namespace without a readable record is a damaged record, not a foreign PDF.
    if (contents.Metadata.find("urn:vantrel:certificate") != std::string::npos) {
      std::printf("certificate %s: damaged: its record cannot be read\n", o.Verify.c_str());
      return kExitDiffers;
    }
    return Fail(o.Verify + " holds no record of Vantrel", kExitNotLoaded);
  }
  std::printf("certificate %s: made by %s %s at %s, status %s\n", o.Verify.c_str(),
              record->Program.c_str(), record->Version.c_str(), record->Created.c_str(),
              record->Failed ? "FAIL" : "PASS");
  const bool signatureHolds = CheckSignatures(bytes, contents, o.Trust);
  const Check d = CheckFile("data", record->Data, o.Data, contents.Attachments);
  const Check f = CheckFile("definition", record->Definition, o.Definition, contents.Attachments);
  if (!signatureHolds || d == Check::Differs || f == Check::Differs) return kExitDiffers;
  // A signature is something checked even when no file is at hand.
  if (d == Check::Unchecked && f == Check::Unchecked && contents.Signatures.empty())
    return Fail(
        "nothing to compare: give --data or --definition, or make the PDF with "
        "--attach-data",
        kExitUsage);
  return kExitOk;
}

}  // namespace vantrel::report_tool

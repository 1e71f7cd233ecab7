// --verify: a certificate's recorded digests against the files it names.

#include <QByteArray>
#include <cstdio>
#include <map>
#include <string>

#include "render/certificate_record.h"
#include "support/plain_file.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/pdf_attachments.h"
#include "tools/vantrel_report/report_session.h"

namespace vantrel::report_tool {

namespace {

enum class Check { Match, Differs, Unchecked };

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
  } else {
    std::printf("%s %s: not checked: no file given and none attached\n", kind,
                recorded.Name.c_str());
    return Check::Unchecked;
  }
  const bool match = !recorded.Sha256.empty() && actual == recorded.Sha256;
  std::printf("%s %s: %s\n", kind, shown.c_str(), match ? "match" : "differs");
  return match ? Check::Match : Check::Differs;
}

}  // namespace

int RunVerify(const Options& o) {
  std::string bytes, error;
  if (!ReadPlainFile(o.verify, bytes, error, std::uint64_t{2} << 30))
    return Fail(o.verify + " cannot be read: " + error, kExitNotLoaded);
  const QByteArray pdf = QByteArray::fromStdString(bytes);
  const auto record = ReadCertificateRecord(pdf);
  if (!record) return Fail(o.verify + " holds no record of Vantrel", kExitNotLoaded);
  const auto attachments = PdfAttachments(bytes);
  std::printf("certificate %s: made by %s %s at %s, status %s\n", o.verify.c_str(),
              record->Program.c_str(), record->Version.c_str(), record->Created.c_str(),
              record->Failed ? "FAIL" : "PASS");
  const Check d = CheckFile("data", record->Data, o.data, attachments);
  const Check f = CheckFile("definition", record->Definition, o.definition, attachments);
  if (d == Check::Differs || f == Check::Differs) return kExitDiffers;
  if (d == Check::Unchecked && f == Check::Unchecked)
    return Fail(
        "nothing to compare: give --data or --definition, or make the PDF with "
        "--attach-data",
        kExitUsage);
  return kExitOk;
}

}  // namespace vantrel::report_tool

#include "render/certificate_record.h"

#include <openssl/evp.h>

#include <QDateTime>
#include <QFile>
#include <QtGlobal>
#include <filesystem>
#include <memory>
#include <string_view>

#ifndef VANTREL_VERSION
#define VANTREL_VERSION "unknown"
#endif

namespace vantrel {

namespace {

constexpr std::string_view kNamespace = "urn:vantrel:certificate:1";

std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        // XML 1.0 has no place for control characters other than tab and line ends.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out.push_back(c);
    }
  }
  return out;
}

std::string Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out.push_back(text[i]);
      continue;
    }
    const std::size_t end = text.find(';', i);
    const std::string_view entity = text.substr(i, end == std::string_view::npos ? 1 : end - i + 1);
    if (entity == "&amp;")
      out.push_back('&');
    else if (entity == "&lt;")
      out.push_back('<');
    else if (entity == "&gt;")
      out.push_back('>');
    else if (entity == "&quot;")
      out.push_back('"');
    else {
      out.push_back('&');
      continue;
    }
    i += entity.size() - 1;
  }
  return out;
}

// OpenSSL's SHA-256 uses the processor's SHA instructions where it has them: several
// times the speed of Qt's own, which counts on a result file of tens of megabytes.
class Sha256 {
 public:
  Sha256() : context_(EVP_MD_CTX_new(), EVP_MD_CTX_free) {
    ok_ = context_ && EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) == 1;
  }
  void Add(const char* bytes, std::size_t size) {
    ok_ = ok_ && EVP_DigestUpdate(context_.get(), bytes, size) == 1;
  }
  // Empty when any step failed.
  std::string Hex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!ok_ || EVP_DigestFinal_ex(context_.get(), digest, &size) != 1) return {};
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < size; ++i) {
      hex += kDigits[digest[i] >> 4];
      hex += kDigits[digest[i] & 15];
    }
    return hex;
  }

 private:
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context_;
  bool ok_ = false;
};

CertificateFile FileOf(const std::string& path) {
  CertificateFile file;
  if (path.empty()) return file;
  file.Path = path;
  file.Name = std::filesystem::path(path).filename().string();
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::ReadOnly)) return file;
  Sha256 hash;
  std::unique_ptr<char[]> buffer(new char[1 << 20]);
  for (;;) {
    const qint64 n = f.read(buffer.get(), 1 << 20);
    if (n < 0) return file;
    if (n == 0) break;
    hash.Add(buffer.get(), static_cast<std::size_t>(n));
  }
  file.Sha256 = hash.Hex();
  return file;
}

std::string Element(std::string_view name, std::string_view value) {
  return "<vantrel:" + std::string(name) + ">" + Escaped(value) + "</vantrel:" + std::string(name) +
         ">";
}

// The text of <vantrel:name>...</vantrel:name> within xmp, if it is there.
std::optional<std::string> ElementText(std::string_view xmp, std::string_view name) {
  const std::string open = "<vantrel:" + std::string(name) + ">";
  const std::string close = "</vantrel:" + std::string(name) + ">";
  const std::size_t start = xmp.find(open);
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t from = start + open.size();
  const std::size_t end = xmp.find(close, from);
  if (end == std::string_view::npos) return std::nullopt;
  return Unescaped(xmp.substr(from, end - from));
}

}  // namespace

std::string Sha256Hex(const QByteArray& bytes) {
  Sha256 hash;
  hash.Add(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return hash.Hex();
}

std::shared_future<CertificateRecord> StartCertificateRecord(const ProgramState& state,
                                                             bool failed) {
  CertificateRecord record;
  record.Version = VANTREL_VERSION;
  record.Created = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString();
  record.Failed = failed;
  return std::async(
             std::launch::async,
             [record, data = state.DataFilePath, definition = state.DefinitionPath]() mutable {
               record.Data = FileOf(data);
               record.Definition = FileOf(definition);
               return record;
             })
      .share();
}

QByteArray CertificateXmp(const CertificateRecord& r, const std::string& title, bool pdfA) {
  const std::string creator = r.Program + " " + r.Version;
  std::string x;
  x += "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>\n";
  x += "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n";
  x += "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n";
  x += "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
       "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" +
       Escaped(title) + "</rdf:li></rdf:Alt></dc:title></rdf:Description>\n";
  // The document information dictionary says the same; PDF/A wants the two to agree.
  x += "<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" "
       "xmp:CreatorTool=\"" +
       Escaped(creator) + "\" xmp:CreateDate=\"" + r.Created + "\" xmp:ModifyDate=\"" + r.Created +
       "\"/>\n";
  x += "<rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\" "
       "pdf:Producer=\"Qt " QT_VERSION_STR "\"/>\n";
  if (pdfA) {
    x += "<rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\" "
         "pdfaid:part=\"1\" pdfaid:conformance=\"B\"/>\n";
  }
  x += "<rdf:Description rdf:about=\"\" xmlns:vantrel=\"" + std::string(kNamespace) + "\">";
  x += Element("Program", r.Program) + Element("Version", r.Version) +
       Element("Created", r.Created) + Element("DataFile", r.Data.Name) +
       Element("DataSHA256", r.Data.Sha256) + Element("DefinitionFile", r.Definition.Name) +
       Element("DefinitionSHA256", r.Definition.Sha256) +
       Element("Status", r.Failed ? "FAIL" : "PASS");
  x += "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end='w'?>";
  return QByteArray::fromStdString(x);
}

std::optional<CertificateRecord> ReadCertificateRecord(const QByteArray& pdf) {
  const std::string_view bytes(pdf.constData(), static_cast<std::size_t>(pdf.size()));
  const std::size_t ns = bytes.find(kNamespace);
  if (ns == std::string_view::npos) return std::nullopt;
  const std::size_t end = bytes.find("</rdf:Description>", ns);
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view xmp = bytes.substr(ns, end - ns);
  CertificateRecord r;
  const auto program = ElementText(xmp, "Program");
  const auto data = ElementText(xmp, "DataSHA256");
  const auto definition = ElementText(xmp, "DefinitionSHA256");
  const auto status = ElementText(xmp, "Status");
  if (!program || !data || !definition || !status) return std::nullopt;
  // Any other word is an edited record, not a pass.
  if (*status != "PASS" && *status != "FAIL") return std::nullopt;
  r.Program = *program;
  r.Version = ElementText(xmp, "Version").value_or("");
  r.Created = ElementText(xmp, "Created").value_or("");
  r.Data = {"", ElementText(xmp, "DataFile").value_or(""), *data};
  r.Definition = {"", ElementText(xmp, "DefinitionFile").value_or(""), *definition};
  r.Failed = *status == "FAIL";
  return r;
}

}  // namespace vantrel

#include "pdf/signer.h"

#include <fcntl.h>
#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <vector>

#include "pdf/openssl_text.h"
#include "support/plain_file.h"
#include "support/temporary_files.h"

namespace vantrel::pdf {

struct SigningIdentity::Parts {
  EVP_PKEY* Key = nullptr;
  X509* Cert = nullptr;
  STACK_OF(X509) * Chain = nullptr;
  ~Parts() {
    EVP_PKEY_free(Key);
    X509_free(Cert);
    sk_X509_pop_free(Chain, X509_free);
  }
};

namespace {

// Room for the CMS beside the certificates it carries: signature, attributes, framing.
constexpr std::size_t kCmsOverhead = 4096;

// Never a prompt on the terminal: an unattended run must fail, not wait.
int PassphraseCallback(char* buffer, int size, int, void* user) {
  const std::string& phrase = *static_cast<const std::string*>(user);
  if (phrase.empty() || static_cast<int>(phrase.size()) > size) return -1;
  std::memcpy(buffer, phrase.data(), phrase.size());
  return static_cast<int>(phrase.size());
}

bool ReadPassphrase(const SigningSettings& s, std::string& phrase, std::string& error) {
  std::string file = s.PassphraseFile;
  if (file.empty())
    if (const char* named = std::getenv(kPassphraseFileVariable)) file = named;
  if (file.empty()) return true;
  std::string why;
  if (!ReadPlainFile(file, phrase, why, 4096)) {
    error = "the passphrase file " + file + " cannot be read: " + why;
    return false;
  }
  // An editor's line end is not part of the phrase.
  while (!phrase.empty() && (phrase.back() == '\n' || phrase.back() == '\r')) phrase.pop_back();
  return true;
}

BIO* OpenFile(const std::string& path, const char* what, std::string& error) {
  std::string bytes, why;
  if (!ReadPlainFile(path, bytes, why, 16u << 20)) {
    error = "the " + std::string(what) + " " + path + " cannot be read: " + why;
    return nullptr;
  }
  BIO* bio = BIO_new(BIO_s_mem());
  BIO_write(bio, bytes.data(), static_cast<int>(bytes.size()));
  return bio;
}

bool LoadPem(const SigningSettings& s, const std::string& phrase, SigningIdentity::Parts& p,
             std::string& error) {
  if (s.Key.empty() || s.Cert.empty()) {
    error = "signing needs both a key and its certificate";
    return false;
  }
  if (BIO* bio = OpenFile(s.Key, "signing key", error)) {
    p.Key = PEM_read_bio_PrivateKey(bio, nullptr, PassphraseCallback,
                                    const_cast<std::string*>(&phrase));
    BIO_free(bio);
    if (!p.Key) {
      error = "the signing key " + s.Key + " cannot be read (" + OpenSslReason() + ")" +
              (phrase.empty() ? "; an encrypted key needs its passphrase file" : "");
      return false;
    }
  } else {
    return false;
  }
  BIO* bio = OpenFile(s.Cert, "signing certificate", error);
  if (!bio) return false;
  p.Cert = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
  BIO_free(bio);
  if (!p.Cert) {
    error = "the signing certificate " + s.Cert + " cannot be read (" + OpenSslReason() + ")";
    return false;
  }
  p.Chain = sk_X509_new_null();
  if (s.Chain.empty()) return true;
  bio = OpenFile(s.Chain, "certificate chain", error);
  if (!bio) return false;
  while (X509* c = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)) sk_X509_push(p.Chain, c);
  ERR_clear_error();  // the end of the file reads as an error
  BIO_free(bio);
  if (sk_X509_num(p.Chain) == 0) {
    error = "the certificate chain " + s.Chain + " holds no certificate";
    return false;
  }
  return true;
}

bool LoadP12(const SigningSettings& s, const std::string& phrase, SigningIdentity::Parts& p,
             std::string& error) {
  BIO* bio = OpenFile(s.P12, "PKCS#12 bundle", error);
  if (!bio) return false;
  PKCS12* bundle = d2i_PKCS12_bio(bio, nullptr);
  BIO_free(bio);
  if (!bundle) {
    error = "the PKCS#12 bundle " + s.P12 + " cannot be read (" + OpenSslReason() + ")";
    return false;
  }
  const bool ok = PKCS12_parse(bundle, phrase.c_str(), &p.Key, &p.Cert, &p.Chain) == 1;
  PKCS12_free(bundle);
  if (!ok || !p.Key || !p.Cert) {
    error = "the PKCS#12 bundle " + s.P12 + " cannot be opened (" + OpenSslReason() + ")" +
            (phrase.empty() ? "; a protected bundle needs its passphrase file" : "");
    return false;
  }
  if (!p.Chain) p.Chain = sk_X509_new_null();
  return true;
}

std::string PdfDate(std::time_t t) {
  std::tm utc{};
  gmtime_r(&t, &utc);
  char text[32];
  std::strftime(text, sizeof text, "D:%Y%m%d%H%M%SZ", &utc);
  return text;
}

std::string Ref(QPDFObjGen og) {
  return std::to_string(og.getObj()) + " " + std::to_string(og.getGen()) + " R";
}

// The dictionary's text without its closing ">>", so that keys can follow.
std::string OpenDictionary(QPDFObjectHandle dict) {
  std::string text = dict.unparse();
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, ">>") == 0) text.resize(text.size() - 2);
  return text;
}

// Array items of value (direct or referred to) as text, each followed by a space.
std::string Items(QPDFObjectHandle value) {
  std::string text;
  if (!value.isArray()) return text;
  for (QPDFObjectHandle item : value.getArrayAsVector()) text += item.unparse() + " ";
  return text;
}

int SignatureFieldsIn(QPDFObjectHandle fields) {
  int n = 0;
  if (!fields.isArray()) return n;
  for (QPDFObjectHandle f : fields.getArrayAsVector())
    if (f.isDictionary() && f.getKey("/FT").isNameAndEquals("/Sig")) ++n;
  return n;
}

// The offset named by the last startxref, or -1.
long long LastXref(std::string_view pdf) {
  const std::size_t at = pdf.rfind("startxref");
  if (at == std::string_view::npos) return -1;
  return std::strtoll(std::string(pdf.substr(at + 9, 32)).c_str(), nullptr, 10);
}

std::string Hex(const unsigned char* bytes, std::size_t size) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 15];
  }
  return hex;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

SigningIdentity::SigningIdentity(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
SigningIdentity::~SigningIdentity() = default;

std::unique_ptr<SigningIdentity> SigningIdentity::Load(const SigningSettings& s,
                                                       std::string& error) {
  std::string phrase;
  if (!ReadPassphrase(s, phrase, error)) return nullptr;
  auto parts = std::make_unique<Parts>();
  ERR_clear_error();
  if (!(s.P12.empty() ? LoadPem(s, phrase, *parts, error) : LoadP12(s, phrase, *parts, error)))
    return nullptr;
  if (X509_check_private_key(parts->Cert, parts->Key) != 1) {
    ERR_clear_error();
    error = "the signing key does not belong to the certificate " + SubjectOf(parts->Cert);
    return nullptr;
  }
  if (X509_cmp_current_time(X509_get0_notAfter(parts->Cert)) < 0) {
    error = "the signing certificate " + SubjectOf(parts->Cert) + " expired on " +
            TimeText(X509_get0_notAfter(parts->Cert));
    return nullptr;
  }
  if (X509_cmp_current_time(X509_get0_notBefore(parts->Cert)) > 0) {
    error = "the signing certificate " + SubjectOf(parts->Cert) + " is valid only from " +
            TimeText(X509_get0_notBefore(parts->Cert));
    return nullptr;
  }
  return std::unique_ptr<SigningIdentity>(new SigningIdentity(std::move(parts)));
}

std::string SigningIdentity::Subject() const { return SubjectOf(parts_->Cert); }

bool SigningIdentity::UpdateFor(std::string_view pdf, std::time_t now, std::string& update,
                                std::string& error) const {
  const long long prev = LastXref(pdf);
  if (prev < 0 || static_cast<std::size_t>(prev) >= pdf.size()) {
    error = "it is no complete PDF (no cross-reference table)";
    return false;
  }
  const bool xrefStream = pdf.substr(static_cast<std::size_t>(prev), 4) != "xref";
  std::string catalogText, pageText, formText;
  QPDFObjGen catalog, page, form;
  std::string trailerKeys;
  int size = 0;
  int fieldNumber = 1;
  try {
    QPDF qpdf;
    qpdf.setSuppressWarnings(true);
    qpdf.processMemoryFile("pdf", pdf.data(), pdf.size());
    QPDFObjectHandle trailer = qpdf.getTrailer();
    if (trailer.hasKey("/Encrypt")) {
      error = "it is encrypted";
      return false;
    }
    size = trailer.getKey("/Size").isInteger() ? trailer.getKey("/Size").getIntValueAsInt() : 0;
    QPDFObjectHandle root = qpdf.getRoot();
    const auto pages = QPDFPageDocumentHelper(qpdf).getAllPages();
    if (qpdf.anyWarnings() || size <= 0 || !root.isIndirect() || pages.empty()) {
      error = "it is damaged or has no page";
      return false;
    }
    for (const char* key : {"/Info", "/ID"})
      if (trailer.hasKey(key))
        trailerKeys += std::string(" ") + key + " " + trailer.getKey(key).unparse();
    catalog = root.getObjGen();
    const std::string field = std::to_string(size + 1) + " 0 R";

    QPDFObjectHandle pageDict = pages.front().getObjectHandle();
    page = pageDict.getObjGen();
    QPDFObjectHandle pageCopy = pageDict.shallowCopy();
    const std::string annots = Items(pageDict.getKey("/Annots"));
    pageCopy.removeKey("/Annots");
    pageText = OpenDictionary(pageCopy) + " /Annots [" + annots + field + "] >>";

    QPDFObjectHandle acro = root.getKey("/AcroForm");
    std::string acroText = "<< /Fields [" + field + "] /SigFlags 3 >>";
    if (acro.isDictionary()) {
      fieldNumber += SignatureFieldsIn(acro.getKey("/Fields"));
      QPDFObjectHandle copy = acro.shallowCopy();
      const std::string fields = Items(acro.getKey("/Fields"));
      copy.removeKey("/Fields");
      copy.removeKey("/SigFlags");
      acroText = OpenDictionary(copy) + " /Fields [" + fields + field + "] /SigFlags 3 >>";
    }
    if (acro.isDictionary() && acro.isIndirect()) {
      form = acro.getObjGen();
      formText = acroText;
    } else {
      QPDFObjectHandle rootCopy = root.shallowCopy();
      rootCopy.removeKey("/AcroForm");
      catalogText = OpenDictionary(rootCopy) + " /AcroForm " + acroText + " >>";
    }
    if (catalog == page || (form.isIndirect() && (form == page || form == catalog))) {
      error = "its catalog and page objects are tangled";
      return false;
    }
  } catch (const std::exception& e) {
    error = std::string("it cannot be read: ") + e.what();
    return false;
  }

  // The certificates travel inside the signature, so they set its size.
  std::size_t reserve = kCmsOverhead + static_cast<std::size_t>(i2d_X509(parts_->Cert, nullptr));
  for (int i = 0; i < sk_X509_num(parts_->Chain); ++i)
    reserve += static_cast<std::size_t>(i2d_X509(sk_X509_value(parts_->Chain, i), nullptr));

  const int sigNumber = size, fieldObject = size + 1;
  const std::size_t base = pdf.size();
  update.clear();
  if (pdf.back() != '\n' && pdf.back() != '\r') update += '\n';
  std::map<int, std::pair<int, std::size_t>> offsets;  // number -> generation, offset
  const auto object = [&](int number, int generation, const std::string& body) {
    offsets[number] = {generation, base + update.size()};
    update +=
        std::to_string(number) + " " + std::to_string(generation) + " obj\n" + body + "\nendobj\n";
  };
  const std::string rangeHolder = "[0 0000000000 0000000000 0000000000]";
  object(sigNumber, 0,
         "<< /Type /Sig /Filter /Adobe.PPKLite /SubFilter /ETSI.CAdES.detached /M (" +
             PdfDate(now) + ") /ByteRange " + rangeHolder + " /Contents <" +
             std::string(reserve * 2, '0') + "> >>");
  const std::size_t rangeAt = update.find(rangeHolder);
  const std::size_t contentsFrom = update.find('<', rangeAt);
  const std::size_t contentsTo = update.find('>', contentsFrom) + 1;
  object(fieldObject, 0,
         "<< /Type /Annot /Subtype /Widget /FT /Sig /T (Signature" + std::to_string(fieldNumber) +
             ") /V " + std::to_string(sigNumber) + " 0 R /F 132 /Rect [0 0 0 0] /P " + Ref(page) +
             " >>");
  object(page.getObj(), page.getGen(), pageText);
  if (!catalogText.empty()) object(catalog.getObj(), catalog.getGen(), catalogText);
  if (!formText.empty()) object(form.getObj(), form.getGen(), formText);

  const std::string root =
      " /Root " + Ref(catalog) + trailerKeys + " /Prev " + std::to_string(prev);
  const std::size_t xrefAt = base + update.size();
  if (!xrefStream) {
    update += "xref\n";
    for (const auto& [number, entry] : offsets) {
      char line[48];
      std::snprintf(line, sizeof line, "%d 1\n%010zu %05d n \n", number, entry.second, entry.first);
      update += line;
    }
    update += "trailer\n<< /Size " + std::to_string(size + 2) + root + " >>\n";
  } else {
    // A file of cross-reference streams is continued in its own kind.
    const int xrefNumber = size + 2;
    offsets[xrefNumber] = {0, xrefAt};
    std::string index, rows;
    for (const auto& [number, entry] : offsets) {
      index += std::to_string(number) + " 1 ";
      const std::size_t at = entry.second;
      const unsigned char row[7] = {1,
                                    static_cast<unsigned char>(at >> 24),
                                    static_cast<unsigned char>(at >> 16),
                                    static_cast<unsigned char>(at >> 8),
                                    static_cast<unsigned char>(at),
                                    static_cast<unsigned char>(entry.first >> 8),
                                    static_cast<unsigned char>(entry.first)};
      rows.append(reinterpret_cast<const char*>(row), sizeof row);
    }
    update += std::to_string(xrefNumber) + " 0 obj\n<< /Type /XRef /Size " +
              std::to_string(xrefNumber + 1) + root + " /W [1 4 2] /Index [" + index +
              "] /Length " + std::to_string(rows.size()) + " >>\nstream\n" + rows +
              "\nendstream\nendobj\n";
  }
  update += "startxref\n" + std::to_string(xrefAt) + "\n%%EOF\n";

  const std::size_t total = base + update.size();
  const std::size_t gapFrom = base + contentsFrom, gapTo = base + contentsTo;
  char range[64];
  const int n =
      std::snprintf(range, sizeof range, "[0 %zu %zu %zu]", gapFrom, gapTo, total - gapTo);
  if (n < 0 || static_cast<std::size_t>(n) > rangeHolder.size()) {
    error = "it is too large to sign";
    return false;
  }
  update.replace(rangeAt, rangeHolder.size(),
                 std::string(range) + std::string(rangeHolder.size() - n, ' '));

  std::string signedBytes;
  signedBytes.reserve(total - (gapTo - gapFrom));
  signedBytes.append(pdf);
  signedBytes.append(update, 0, contentsFrom);
  signedBytes.append(update, contentsTo);

  ERR_clear_error();
  BIO* data = BIO_new_mem_buf(signedBytes.data(), static_cast<int>(signedBytes.size()));
  const unsigned flags = CMS_DETACHED | CMS_BINARY | CMS_PARTIAL | CMS_NOSMIMECAP;
  CMS_ContentInfo* cms = CMS_sign(nullptr, nullptr, nullptr, nullptr, flags);
  bool ok = cms && CMS_add1_signer(cms, parts_->Cert, parts_->Key, EVP_sha256(),
                                   CMS_BINARY | CMS_NOSMIMECAP | CMS_CADES) != nullptr;
  for (int i = 0; ok && i < sk_X509_num(parts_->Chain); ++i)
    ok = CMS_add1_cert(cms, sk_X509_value(parts_->Chain, i)) == 1;
  ok = ok && CMS_final(cms, data, nullptr, CMS_DETACHED | CMS_BINARY) == 1;
  unsigned char* der = nullptr;
  const int derSize = ok ? i2d_CMS_ContentInfo(cms, &der) : -1;
  CMS_ContentInfo_free(cms);
  BIO_free(data);
  if (derSize <= 0) {
    error = "the signature cannot be made (" + OpenSslReason() + ")";
    return false;
  }
  const std::string hex = Hex(der, static_cast<std::size_t>(derSize));
  OPENSSL_free(der);
  if (hex.size() > reserve * 2) {
    error = "the signature is larger than the room kept for it";
    return false;
  }
  update.replace(contentsFrom + 1, hex.size(), hex);
  return true;
}

bool AppendSignature(const std::string& path, const SigningIdentity& identity, std::string& error) {
  std::string pdf, why, update;
  if (!ReadPlainFile(path, pdf, why)) {
    error = "cannot sign " + path + ": " + why;
    return false;
  }
  if (!identity.UpdateFor(pdf, std::time(nullptr), update, why)) {
    error = "cannot sign " + path + ": " + why;
    return false;
  }
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  const bool ok = fd >= 0 && WriteAll(fd, update) && ::fsync(fd) == 0;
  const int saved = errno;
  if (fd >= 0) ::close(fd);
  if (!ok) {
    error = "cannot sign " + path + ": " + std::strerror(saved);
    // A half signature would make the file damaged; the unsigned file is better.
    if (::truncate(path.c_str(), static_cast<off_t>(pdf.size())) != 0) {
      error += "; the file is left damaged";
    }
  }
  return ok;
}

bool SignInPlace(const std::string& path, const SigningIdentity& identity, std::string& error) {
  std::string pdf, why, update;
  struct stat info {};
  if (!ReadPlainFile(path, pdf, why) || ::stat(path.c_str(), &info) != 0) {
    error = "cannot sign " + path + ": " + (why.empty() ? std::strerror(errno) : why);
    return false;
  }
  if (!identity.UpdateFor(pdf, std::time(nullptr), update, why)) {
    error = "cannot sign " + path + ": " + why;
    return false;
  }
  std::string folder = std::filesystem::path(path).parent_path().string();
  if (folder.empty()) folder = ".";
  // The name the batch tool's stale-part clean-up knows.
  std::string part = folder + "/.vantrel-" + std::to_string(::getpid()) + "-XXXXXX.part";
  const int fd = MakeTemporaryFile(part, 5);
  if (fd < 0) {
    error = "cannot sign " + path + ": " + std::strerror(errno);
    return false;
  }
  bool ok = ::fchmod(fd, info.st_mode & 07777) == 0 && WriteAll(fd, pdf) && WriteAll(fd, update) &&
            ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(part.c_str(), path.c_str()) == 0;
  const int saved = errno;
  if (!ok) ::unlink(part.c_str());
  ForgetTemporaryFile(part);
  if (!ok) {
    error = "cannot sign " + path + ": " + std::strerror(saved);
    return false;
  }
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool SignIfWanted(const std::string& path, const SigningSettings& settings, std::string& error) {
  if (!settings.Wanted()) return true;
  const auto identity = SigningIdentity::Load(settings, error);
  if (!identity) {
    error = "cannot sign " + path + ": " + error;
    return false;
  }
  return SignInPlace(path, *identity, error);
}

}  // namespace vantrel::pdf

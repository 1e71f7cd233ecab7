#include "pdf/signature_check.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509_vfy.h>

#include <cstring>
#include <memory>

#include "pdf/openssl_text.h"

namespace vantrel::pdf {

namespace {

template <typename T, void (*Free)(T*)>
struct Freer {
  void operator()(T* p) const { Free(p); }
};
using Cms = std::unique_ptr<CMS_ContentInfo, Freer<CMS_ContentInfo, CMS_ContentInfo_free>>;
using Bio = std::unique_ptr<BIO, Freer<BIO, BIO_free_all>>;
using Store = std::unique_ptr<X509_STORE, Freer<X509_STORE, X509_STORE_free>>;
using StoreContext = std::unique_ptr<X509_STORE_CTX, Freer<X509_STORE_CTX, X509_STORE_CTX_free>>;

void CertsFree(STACK_OF(X509) * certs) { sk_X509_pop_free(certs, X509_free); }
void SignersFree(STACK_OF(X509) * certs) { sk_X509_free(certs); }
using Certs = std::unique_ptr<STACK_OF(X509), Freer<STACK_OF(X509), CertsFree>>;
using Signers = std::unique_ptr<STACK_OF(X509), Freer<STACK_OF(X509), SignersFree>>;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// D:YYYYMMDDHHmmSS followed by Z or an offset, as readable text.
std::string ReadableDate(const std::string& date) {
  if (date.size() < 16 || date.compare(0, 2, "D:") != 0) return date;
  std::string text = date.substr(2, 4) + "-" + date.substr(6, 2) + "-" + date.substr(8, 2) + " " +
                     date.substr(10, 2) + ":" + date.substr(12, 2) + ":" + date.substr(14, 2);
  const std::string zone = date.substr(16);
  return text + (zone.empty() || zone[0] == 'Z' ? " UTC" : " " + zone);
}

std::string Sha256Of(std::string_view a, std::string_view b) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  const bool ok = ctx && EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr) == 1 &&
                  EVP_DigestUpdate(ctx, a.data(), a.size()) == 1 &&
                  EVP_DigestUpdate(ctx, b.data(), b.size()) == 1 &&
                  EVP_DigestFinal_ex(ctx, digest, &size) == 1;
  EVP_MD_CTX_free(ctx);
  return ok ? std::string(reinterpret_cast<char*>(digest), size) : std::string();
}

void CheckTrust(CMS_ContentInfo* cms, X509* signer, const std::string& trustFile,
                SignatureVerdict& v) {
  Store store(X509_STORE_new());
  if (!store || X509_STORE_load_file(store.get(), trustFile.c_str()) != 1) {
    v.TrustProblem = "the CA file " + trustFile + " cannot be read (" + OpenSslReason() + ")";
    return;
  }
  Certs carried(CMS_get1_certs(cms));
  StoreContext ctx(X509_STORE_CTX_new());
  if (!ctx || X509_STORE_CTX_init(ctx.get(), store.get(), signer, carried.get()) != 1) {
    v.TrustProblem = OpenSslReason();
    return;
  }
  if (X509_verify_cert(ctx.get()) == 1) {
    v.Trusted = true;
    return;
  }
  v.TrustProblem = X509_verify_cert_error_string(X509_STORE_CTX_get_error(ctx.get()));
}

}  // namespace

SignatureVerdict CheckSignature(std::string_view pdf, const SignatureField& field,
                                const std::string& trustFile) {
  SignatureVerdict v;
  v.SigningTime = ReadableDate(field.SigningTime);
  const auto& r = field.ByteRange;
  const long long size = static_cast<long long>(pdf.size());
  if (r.size() != 4 || r[0] != 0 || r[1] <= 0 || r[2] <= r[1] + 1 || r[3] < 0 ||
      r[2] + r[3] > size) {
    v.Problem = "its byte range does not fit the file";
    return v;
  }
  v.SignedEnd = r[2] + r[3];
  const std::size_t gapFrom = static_cast<std::size_t>(r[1]),
                    gapTo = static_cast<std::size_t>(r[2]);
  if (pdf[gapFrom] != '<' || pdf[gapTo - 1] != '>') {
    v.Problem = "its byte range leaves out more than the signature";
    return v;
  }
  std::string der;
  der.reserve((gapTo - gapFrom) / 2);
  for (std::size_t i = gapFrom + 1; i + 1 < gapTo; i += 2) {
    const int hi = HexValue(pdf[i]), lo = HexValue(pdf[i + 1]);
    if (hi < 0 || lo < 0) {
      v.Problem = "its signature is not hexadecimal";
      return v;
    }
    der.push_back(static_cast<char>(hi * 16 + lo));
  }
  ERR_clear_error();
  const unsigned char* p = reinterpret_cast<const unsigned char*>(der.data());
  Cms cms(d2i_CMS_ContentInfo(nullptr, &p, static_cast<long>(der.size())));
  if (!cms || OBJ_obj2nid(CMS_get0_type(cms.get())) != NID_pkcs7_signed) {
    v.Problem = "its signature is no CMS SignedData";
    ERR_clear_error();
    return v;
  }
  // The room kept for the signature is zeros after it: anything else was put there.
  const std::string_view rest(
      reinterpret_cast<const char*>(p),
      der.size() -
          static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(der.data())));
  if (rest.find_first_not_of('\0') != std::string_view::npos) {
    v.Problem = "its signature is followed by foreign bytes";
    return v;
  }
  STACK_OF(CMS_SignerInfo)* infos = CMS_get0_SignerInfos(cms.get());
  if (sk_CMS_SignerInfo_num(infos) != 1) {
    v.Problem = "its signature does not have exactly one signer";
    return v;
  }
  const std::string_view first = pdf.substr(0, gapFrom);
  const std::string_view second = pdf.substr(gapTo, static_cast<std::size_t>(r[3]));
  const ASN1_OCTET_STRING* recorded = static_cast<const ASN1_OCTET_STRING*>(
      CMS_signed_get0_data_by_OBJ(sk_CMS_SignerInfo_value(infos, 0),
                                  OBJ_nid2obj(NID_pkcs9_messageDigest), -3, V_ASN1_OCTET_STRING));
  const std::string digest = Sha256Of(first, second);
  if (!recorded || digest.size() != static_cast<std::size_t>(ASN1_STRING_length(recorded)) ||
      std::memcmp(digest.data(), ASN1_STRING_get0_data(recorded), digest.size()) != 0) {
    v.Problem = "the signed bytes were changed after signing";
    return v;
  }
  std::string content(first);
  content.append(second);
  Bio data(BIO_new_mem_buf(content.data(), static_cast<int>(content.size())));
  if (CMS_verify(cms.get(), nullptr, nullptr, data.get(), nullptr,
                 CMS_BINARY | CMS_NO_SIGNER_CERT_VERIFY) != 1) {
    v.Problem = "its signature does not verify (" + OpenSslReason() + ")";
    return v;
  }
  Signers signers(CMS_get0_signers(cms.get()));
  X509* signer =
      signers && sk_X509_num(signers.get()) > 0 ? sk_X509_value(signers.get(), 0) : nullptr;
  if (!signer) {
    v.Problem = "its signature does not carry the signer's certificate";
    return v;
  }
  v.Signer = SubjectOf(signer);
  v.Intact = true;
  if (!trustFile.empty()) CheckTrust(cms.get(), signer, trustFile, v);
  return v;
}

}  // namespace vantrel::pdf

#include "pdf/openssl_text.h"

#include <openssl/bio.h>
#include <openssl/err.h>

#include <ctime>

namespace vantrel::pdf {

std::string OpenSslReason() {
  unsigned long last = 0;
  while (const unsigned long e = ERR_get_error()) last = e;
  if (last == 0) return "no reason given";
  const char* reason = ERR_reason_error_string(last);
  return reason ? reason : "error " + std::to_string(last);
}

std::string SubjectOf(const X509* cert) {
  BIO* bio = BIO_new(BIO_s_mem());
  X509_NAME_print_ex(bio, X509_get_subject_name(cert), 0,
                     XN_FLAG_ONELINE & ~XN_FLAG_SPC_EQ & ~ASN1_STRFLGS_ESC_MSB);
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  std::string text(data, static_cast<std::size_t>(size));
  BIO_free(bio);
  return text;
}

std::string TimeText(const ASN1_TIME* time) {
  std::tm tm{};
  if (!time || ASN1_TIME_to_tm(time, &tm) != 1) return "an unknown time";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &tm);
  return text;
}

}  // namespace vantrel::pdf

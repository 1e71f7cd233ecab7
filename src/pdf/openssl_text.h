#pragma once
// OpenSSL's answers as text for a message.

#include <openssl/asn1.h>
#include <openssl/x509.h>

#include <string>

namespace vantrel::pdf {

/// The reason of OpenSSL's latest error, such as "bad decrypt"; the queue is cleared.
std::string OpenSslReason();

/// A certificate's subject in RFC 2253 form, such as CN=Test Lab, O=Vantrel.
std::string SubjectOf(const X509* cert);

/// A certificate time such as "2027-12-10 09:48:58 UTC".
std::string TimeText(const ASN1_TIME* time);

}  // namespace vantrel::pdf

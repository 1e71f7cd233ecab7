#pragma once
// Throw-away signing keys made with the openssl command line: a CA, a signer it
// certifies, the same signer as an encrypted key and as a PKCS#12 bundle, and a second
// CA that certifies nobody here.

#include <filesystem>
#include <string>

namespace vantrel::testing {

struct TestKeys {
  std::string CaCert;        // the CA that issued Cert
  std::string OtherCaCert;   // a CA that did not
  std::string Key;           // the signer's key, unencrypted
  std::string Cert;          // CN=Test Lab Signer, O=Cable Lab
  std::string EncryptedKey;  // Key under the passphrase in PassphraseFile
  std::string PassphraseFile;
  std::string P12;  // Key and Cert under the same passphrase
};

/// Makes the keys in folder; fails the running test when openssl cannot.
TestKeys MakeTestKeys(const std::filesystem::path& folder);

/// An NSS database in folder that trusts caCert, for poppler's pdfsig -nssdir.
std::string MakeNssDatabase(const std::filesystem::path& folder, const std::string& caCert);

}  // namespace vantrel::testing

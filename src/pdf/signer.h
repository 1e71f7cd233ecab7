#pragma once
// Signs a finished PDF: an incremental update appended to it with a signature field
// whose /ByteRange covers the whole file but the signature itself, which is a detached
// CMS SignedData (SHA-256, signing-certificate-v2) over those bytes. The file before the
// update stays byte for byte as it was, so any PDF can be signed: ours, one that came
// through a print queue, a PDF/A-1b file.

#include <ctime>
#include <memory>
#include <string>
#include <string_view>

namespace vantrel::pdf {

/// Where a signing key and its certificate live. Either Key and Cert (PEM; Chain
/// optional, the certificates between Cert and the root) or P12 (a PKCS#12 bundle).
struct SigningSettings {
  std::string Key;
  std::string Cert;
  std::string Chain;
  std::string P12;
  std::string PassphraseFile;  // for an encrypted key or bundle

  bool Wanted() const { return !Key.empty() || !Cert.empty() || !P12.empty(); }
};

/// Names the environment variable that names a passphrase file when the settings do not.
inline constexpr const char* kPassphraseFileVariable = "VANTREL_SIGN_PASSPHRASE_FILE";

class SigningIdentity {
 public:
  /// Reads the key and certificates; null with the reason in error when they cannot be
  /// read, do not belong together, or the certificate is not valid now.
  static std::unique_ptr<SigningIdentity> Load(const SigningSettings& settings, std::string& error);
  ~SigningIdentity();
  SigningIdentity(const SigningIdentity&) = delete;
  SigningIdentity& operator=(const SigningIdentity&) = delete;

  struct Parts;  // the OpenSSL objects, kept out of this header

  /// The certificate's subject, such as CN=Test Lab, O=Vantrel.
  std::string Subject() const;

  /// The bytes to append to pdf that sign it, at signing time now; false with the
  /// reason in error when pdf cannot be signed (damaged, encrypted, no page).
  bool UpdateFor(std::string_view pdf, std::time_t now, std::string& update,
                 std::string& error) const;

 private:
  explicit SigningIdentity(std::unique_ptr<Parts> parts);
  std::unique_ptr<Parts> parts_;
};

/// Signs a file that is not in place yet (a part that is renamed later) by appending.
bool AppendSignature(const std::string& path, const SigningIdentity& identity, std::string& error);

/// Signs a finished file: a signed copy is written beside it and renamed over it, so
/// that a reader or a crash finds either the unsigned or the signed file, never half.
/// The file keeps its mode.
bool SignInPlace(const std::string& path, const SigningIdentity& identity, std::string& error);

/// Loads settings and signs path in place; true without doing anything when no signing
/// is wanted.
bool SignIfWanted(const std::string& path, const SigningSettings& settings, std::string& error);

}  // namespace vantrel::pdf

#include "common/test_keys.h"

#include <gtest/gtest.h>

#include "common/shell_run.h"

namespace vantrel::testing {

namespace {

void Run(const std::string& command) {
  const ShellResult r = RunShell(command);
  ASSERT_EQ(r.Status, 0) << command << "\n" << r.Err;
}

}  // namespace

TestKeys MakeTestKeys(const std::filesystem::path& folder) {
  const auto at = [&folder](const char* name) { return (folder / name).string(); };
  TestKeys k{at("ca.pem"),         at("other-ca.pem"),   at("signer.key"), at("signer.pem"),
             at("signer-enc.key"), at("passphrase.txt"), at("signer.p12")};
  const std::string ca =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 30 -addext "
      "basicConstraints=critical,CA:TRUE -addext "
      "keyUsage=critical,keyCertSign,cRLSign ";
  Run(ca + "-keyout " + ShellQuote(at("ca.key")) + " -out " + ShellQuote(k.CaCert) +
      " -subj '/CN=Vantrel Test CA' 2>/dev/null");
  Run(ca + "-keyout " + ShellQuote(at("other-ca.key")) + " -out " + ShellQuote(k.OtherCaCert) +
      " -subj '/CN=Some Other CA' 2>/dev/null");
  Run("openssl req -newkey rsa:2048 -nodes -keyout " + ShellQuote(k.Key) + " -out " +
      ShellQuote(at("signer.csr")) + " -subj '/CN=Test Lab Signer/O=Cable Lab' 2>/dev/null");
  Run("printf 'keyUsage=critical,digitalSignature,nonRepudiation\\n' > " +
      ShellQuote(at("signer.ext")));
  Run("openssl x509 -req -days 30 -in " + ShellQuote(at("signer.csr")) + " -CA " +
      ShellQuote(k.CaCert) + " -CAkey " + ShellQuote(at("ca.key")) + " -CAcreateserial -out " +
      ShellQuote(k.Cert) + " -extfile " + ShellQuote(at("signer.ext")) + " 2>/dev/null");
  Run("printf 'lab secret\\n' > " + ShellQuote(k.PassphraseFile));
  Run("openssl pkey -in " + ShellQuote(k.Key) + " -aes256 -passout file:" +
      ShellQuote(k.PassphraseFile) + " -out " + ShellQuote(k.EncryptedKey));
  Run("openssl pkcs12 -export -inkey " + ShellQuote(k.Key) + " -in " + ShellQuote(k.Cert) +
      " -passout file:" + ShellQuote(k.PassphraseFile) + " -out " + ShellQuote(k.P12));
  return k;
}

std::string MakeNssDatabase(const std::filesystem::path& folder, const std::string& caCert) {
  std::filesystem::create_directories(folder);
  const std::string db = "sql:" + folder.string();
  Run("certutil -N -d " + ShellQuote(db) + " --empty-password");
  Run("certutil -A -d " + ShellQuote(db) + " -n ca -t CT,C,C -i " + ShellQuote(caCert));
  return db;
}

}  // namespace vantrel::testing

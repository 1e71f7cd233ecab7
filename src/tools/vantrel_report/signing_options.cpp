#include "tools/vantrel_report/signing_options.h"

#include "pdf/signing_settings.h"

namespace vantrel::report_tool {

pdf::SigningSettings SigningFor(const Options& o, const ProgramState& state) {
  pdf::SigningSettings s = pdf::SigningSettingsOf(state.Settings, state.DefinitionPath);
  if (!o.SignKey.empty() || !o.SignP12.empty()) {
    // The passphrase file stays the definition's: it is never given on the command line.
    s = {o.SignKey, o.SignCert, o.SignChain, o.SignP12, s.PassphraseFile};
  }
  return s;
}

std::unique_ptr<pdf::SigningIdentity> SignerFor(const Options& o, const ProgramState& state,
                                                std::string& error) {
  error.clear();
  const pdf::SigningSettings signing = SigningFor(o, state);
  if (!signing.Wanted()) return nullptr;
  return pdf::SigningIdentity::Load(signing, error);
}

bool SignPart(const pdf::SigningIdentity* signer, const std::string& part, std::string& error) {
  return signer == nullptr || pdf::AppendSignature(part, *signer, error);
}

}  // namespace vantrel::report_tool

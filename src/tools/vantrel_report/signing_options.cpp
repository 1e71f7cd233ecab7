#include "tools/vantrel_report/signing_options.h"

#include "pdf/signing_settings.h"

namespace vantrel::report_tool {

pdf::SigningSettings SigningFor(const Options& o, const ProgramState& state) {
  pdf::SigningSettings s = pdf::SigningSettingsOf(state.Settings, state.DefinitionPath);
  if (!o.signKey.empty() || !o.signP12.empty()) {
    // The passphrase file stays the definition's: it is never given on the command line.
    s = {o.signKey, o.signCert, o.signChain, o.signP12, s.PassphraseFile};
  }
  return s;
}

}  // namespace vantrel::report_tool

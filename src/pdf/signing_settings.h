#pragma once
// The definition file's signing keys as signing settings.

#include <string>

#include "definitions/app_settings.h"
#include "pdf/signer.h"

namespace vantrel::pdf {

/// SIGN_KEY, SIGN_CERT, SIGN_CHAIN, SIGN_P12 and SIGN_PASSPHRASE_FILE; a relative path
/// is taken from the definition file's folder, wherever the program was started.
SigningSettings SigningSettingsOf(const AppSettings& settings, const std::string& definitionPath);

}  // namespace vantrel::pdf

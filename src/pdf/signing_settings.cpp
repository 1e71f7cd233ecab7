#include "pdf/signing_settings.h"

#include <filesystem>

namespace vantrel::pdf {

SigningSettings SigningSettingsOf(const AppSettings& s, const std::string& definitionPath) {
  const std::filesystem::path folder = std::filesystem::path(definitionPath).parent_path();
  const auto from = [&folder](const std::string& path) {
    if (path.empty() || std::filesystem::path(path).is_absolute()) return path;
    return (folder / path).string();
  };
  return {from(s.SignKey), from(s.SignCert), from(s.SignChain), from(s.SignP12),
          from(s.SignPassphraseFile)};
}

}  // namespace vantrel::pdf

#include "archive/zip_name.h"

#include "support/text.h"

namespace vantrel {

bool IsZipFile(std::string_view path) {
  const std::string_view trimmed = TrimView(path);
  return trimmed.size() > 4 && EqualsNoCase(trimmed.substr(trimmed.size() - 4), ".zip");
}

}  // namespace vantrel

#pragma once
// Where the temporary copies of data files go: TMPDIR when it is set, else /tmp.

#include <string>

namespace vantrel {

struct TempFolder {
  std::string Path;
  std::string Error;  // "" when path can be used
};

/// TMPDIR when set and not empty, checked to be a folder we may write into; "/tmp"
/// only when TMPDIR is unset. A set but unusable TMPDIR is an error that names the
/// folder and the reason, never a silent fallback.
TempFolder FindTempFolder();

}  // namespace vantrel

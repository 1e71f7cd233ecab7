#pragma once
// The common open/save dialog, as the core asks for it. The window fills it with a
// real dialog; the batch tool and tests with their own.

#include <string>

namespace vantrel {

enum class FileDialogMode {
  Select,       // one existing file
  SelectMulti,  // several existing files: the folder, then the names, NUL-separated
  Save,         // a file to write, asking before it overwrites one
};

class FileDialog {
 public:
  virtual ~FileDialog() = default;
  /// With an extension E ("ini", no dot) the filter offers "*.E" and all files and E
  /// is the default extension; without one, all files and "*.txt". Several, comma-
  /// separated ("png,bmp"), get a filter each, and the chosen filter's extension is
  /// added to a name typed without one. Empty when nothing was chosen.
  virtual std::string Show(const std::string& title, FileDialogMode mode,
                           const std::string& initialFolder, const std::string& extension) = 0;
};

}  // namespace vantrel

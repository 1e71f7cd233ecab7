#include "platform/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vantrel {

TempFolder FindTempFolder() {
  TempFolder folder;
  const char* tmp = std::getenv("TMPDIR");
  folder.Path = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  const std::string named = "the temporary folder " + folder.Path +
                            (tmp != nullptr && *tmp != '\0' ? " (TMPDIR)" : "") +
                            " cannot be used: ";
  struct stat info {};
  if (::stat(folder.Path.c_str(), &info) != 0) {
    folder.Error = named + std::strerror(errno);
  } else if (!S_ISDIR(info.st_mode)) {
    folder.Error = named + "it is not a folder";
  } else if (::access(folder.Path.c_str(), W_OK | X_OK) != 0) {
    folder.Error = named + std::strerror(errno);
  }
  return folder;
}

}  // namespace vantrel

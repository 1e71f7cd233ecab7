#include "tools/vantrel_report/output_file.h"

#include <sys/stat.h>

namespace vantrel::report_tool {

namespace {

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISFIFO(mode)) return "a pipe";
  return "not a plain file";
}

}  // namespace

std::string OutputRefusal(const std::string& output, const std::vector<std::string>& inputs) {
  struct stat target {};
  if (::stat(output.c_str(), &target) != 0) return "";
  for (const std::string& input : inputs) {
    struct stat in {};
    if (!input.empty() && ::stat(input.c_str(), &in) == 0 && in.st_dev == target.st_dev &&
        in.st_ino == target.st_ino) {
      return output + " is the input file " + input + "; it would be overwritten";
    }
  }
  if (!S_ISREG(target.st_mode)) {
    return output + " is " + KindOf(target.st_mode) + "; output goes only to plain files";
  }
  return "";
}

}  // namespace vantrel::report_tool

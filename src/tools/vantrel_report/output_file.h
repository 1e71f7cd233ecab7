#pragma once
// A file output of the batch tool: refused before anything is drawn when it would
// overwrite an input or replace something that is not a plain file; written under a
// short temporary name beside it and renamed only when complete, so that a full disk,
// a fault or a signal never leaves a half file under the final name.

#include <string>
#include <vector>

namespace vantrel::report_tool {

/// Why output may not be written ("" when it may): it is one of inputs (the same file
/// by any name or link), or it exists and is not a plain file (a device, a pipe, a
/// folder), which a rename would replace.
std::string OutputRefusal(const std::string& output, const std::vector<std::string>& inputs);

/// Removes temporary parts that a process of ours, now dead, left in folder (after a
/// kill -9 or a power cut).
void RemoveStaleParts(const std::string& folder);

/// Why a file in path's folder could not be written completely, when the writer did
/// not say: the system's "No space left on device" when the disk is full.
std::string WhyNotWritten(const std::string& path);

class PartFile {
 public:
  /// Makes a fresh temporary file beside final; Path() is "" and Error() says why
  /// when it cannot be made.
  explicit PartFile(std::string final);
  /// Removes the temporary file unless it was committed.
  ~PartFile();
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;

  const std::string& Path() const { return part_; }
  const std::string& Error() const { return error_; }
  /// Checks that the part was written completely (trailer, when given, at its end),
  /// flushes it to the disk and renames it over the final name. False with Error()
  /// set, the part removed and anything under the final name kept, otherwise.
  bool Commit(const std::string& trailer = "");

 private:
  std::string final_;
  std::string part_;
  std::string error_;
  bool committed_ = false;
};

}  // namespace vantrel::report_tool

#pragma once
// A file output of the batch tool is refused before anything is drawn when it would
// overwrite an input or replace something that is not a plain file; it is then
// written through the program's one file writer (support/file_writer.h).

#include <string>
#include <vector>

namespace vantrel::report_tool {

/// Why output may not be written ("" when it may): it is one of inputs (the same file
/// by any name or link), or it exists and is not a plain file (a device, a pipe, a
/// folder), which a rename would replace.
std::string OutputRefusal(const std::string& output, const std::vector<std::string>& inputs);

}  // namespace vantrel::report_tool

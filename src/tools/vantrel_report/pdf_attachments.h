#pragma once
// Reads back the files embedded in a PDF that this program wrote (Qt's layout of
// embedded-file entries and Flate streams); not a reader for PDFs in general.

#include <map>
#include <string>
#include <string_view>

namespace vantrel::report_tool {

/// Embedded files by name. Entries that cannot be read are left out.
std::map<std::string, std::string> PdfAttachments(std::string_view pdf);

}  // namespace vantrel::report_tool

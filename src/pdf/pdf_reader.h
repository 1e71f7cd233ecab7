#pragma once
// Reads a PDF as the format defines it (any writer, object and cross-reference streams,
// incremental updates): whether its structure holds, its metadata, its embedded files
// and its signature fields.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::pdf {

struct SignatureField {
  std::string Name;                  // the field's /T
  std::vector<long long> ByteRange;  // as written; checked against the file by CheckSignature
  std::string SigningTime;           // /M as written, such as D:20261210094800Z
  std::string SubFilter;
};

struct PdfContents {
  bool IsPdf = false;                              // the file starts like a PDF
  std::vector<std::string> Damage;                 // what is broken; empty when the structure holds
  std::string Metadata;                            // the document's XMP packet
  std::map<std::string, std::string> Attachments;  // embedded files by name (UTF-8)
  std::vector<SignatureField> Signatures;
};

/// Reads everything in one pass; every stream is decoded, so that damage inside a
/// compressed stream is found too. Never throws.
PdfContents ReadPdf(std::string_view bytes);

}  // namespace vantrel::pdf

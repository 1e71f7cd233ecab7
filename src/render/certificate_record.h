#pragma once
// What a PDF of ours records about where it came from: the program, the time, the
// result and definition files with their SHA-256 digests, and the overall status.
// It travels in the PDF's XMP metadata, so that a certificate can be checked against
// its raw data months later.

#include <QByteArray>
#include <future>
#include <optional>
#include <string>

#include "definitions/program_state.h"

namespace vantrel {

struct CertificateFile {
  std::string Path;    // where it was read; not part of the record
  std::string Name;    // file name without its folder
  std::string Sha256;  // lower-case hex; empty when the file could not be read
};

struct CertificateRecord {
  std::string Program = "Vantrel";
  std::string Version;
  std::string Created;  // ISO 8601, UTC
  CertificateFile Data;
  CertificateFile Definition;
  bool Failed = false;
};

/// How a PDF carries its record.
struct CertificateOptions {
  bool AttachData = false;  // the result and definition files embedded in the PDF
  bool PdfA = false;        // PDF/A-1b, which cannot hold embedded files
};

/// SHA-256 of bytes as lower-case hex.
std::string Sha256Hex(const QByteArray& bytes);

/// The record of the current data and definition files, made now but for the digests,
/// which are worked out on a thread of their own: hashing a large result file takes as
/// long as laying out the first pages, which can go on meanwhile.
std::shared_future<CertificateRecord> StartCertificateRecord(const ProgramState& state,
                                                             bool failed);

/// XMP packet with the record beside the document's title, creator, producer and
/// creation time (and the PDF/A identification when asked for).
QByteArray CertificateXmp(const CertificateRecord& record, const std::string& title, bool pdfA);

/// The record in an XMP packet of a PDF written by this program; empty when it holds
/// none or its status is neither PASS nor FAIL.
std::optional<CertificateRecord> ReadCertificateRecord(const QByteArray& xmp);

}  // namespace vantrel

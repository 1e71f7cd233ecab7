#pragma once
// Paths of a PDF print run: folders made on the way to the final file, the
// temporary name the PDF driver is given, and job titles it keeps as they are.

#include <string>

#include "support/prompter.h"

namespace vantrel {

struct MakePathResult {
  bool Ok = true;
  std::string Failed;  // path, when silent and a folder of it could not be made
};

/// Makes every missing folder of path ("/" separated; path itself included), leaving
/// alone the server part of a "//server/share" path. Stops at the first folder that
/// cannot be made: unless silent, says so through ask ("Directory Error").
MakePathResult MakePath(const std::string& path, bool silent, Prompter& ask);

/// True for "//server": longer than 2, starting with "//", no further "/".
bool IsServerRoot(const std::string& prefix);

struct TempPdfName {
  std::string Path;   // folder + "tmpreportNNN.pdf"
  std::string Title;  // "tmpreportNNN": the job title the driver names its file by
};

/// The first free "tmpreport000.pdf" .. "tmpreport999.pdf" in folder (with or without
/// its final "/"); when all are taken, tmpreport000.pdf is deleted and used.
TempPdfName MakeTempPdfName(const std::string& folder);

/// folder joined to name with exactly one "/" between.
std::string JoinPath(const std::string& folder, const std::string& name);

/// text as a job's document name and the file name a PDF printer makes of it: "/" and
/// control characters turned into "_"; never empty, never starting with ".", at most
/// 200 bytes.
std::string SafeJobTitle(const std::string& text);

}  // namespace vantrel

#pragma once
// A second window on the same definition file and selection, and the version answers
// of the window's housekeeping.

#include <string>

#include "definitions/report_definition.h"

namespace vantrel {

/// The one argument a new instance gets: ">I" definition "I<" then ">N-1," with each
/// selected 0-based report index and a comma, then "N<". One argument, so a path with
/// blanks in it reaches the start-up unchanged.
std::string NewInstanceArgument(const std::string& definitionPath,
                                const ReportSelection& selection);

/// The version key of another platform's table; none of its keys applies here.
std::string GetWindowsVersion();

/// The styles are always there on this platform.
bool HasVisualStyles();

/// "Version " + version + " (" + date as "dd mmm yyyy" + ")"; buildDate as the
/// compiler's __DATE__ ("Mmm dd yyyy") or already "dd mmm yyyy".
std::string AboutVersionLine(const std::string& version, const std::string& buildDate);

}  // namespace vantrel

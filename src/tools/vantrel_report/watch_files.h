#pragma once
// The watched folder's file rules: which names are someone's work in progress, how a
// name goes into a log line, and moves that never replace a file already there.

#include <filesystem>
#include <string>
#include <string_view>

namespace vantrel::report_tool {

/// Names that editors, copy tools and downloaders give a file while they write it
/// (".x", "~x", "x~", "#x#", "x.part", "x.tmp", ...), and the built-in printer's PDFs.
bool IsNotAnInput(std::string_view name);

/// The text with backslashes and control characters escaped (\n, \t, \x1b), so that a
/// file name never splits or forges a line of the log.
std::string ForLog(std::string_view text);

/// Moves file into folder (made when missing) under its own name, or name.1, name.2,
/// ... when that is taken; never replaces anything. moved receives the new path.
bool MoveToFreeName(const std::filesystem::path& file, const std::filesystem::path& folder,
                    std::filesystem::path& moved, std::string& why);

/// As MoveToFreeName, and writes reason beside it as NAME.txt; a name is taken only
/// when both it and its .txt are free, so no earlier file or reason is replaced.
bool MoveWithReason(const std::filesystem::path& file, const std::filesystem::path& folder,
                    const std::string& reason, std::filesystem::path& moved, std::string& why);

/// Writes path whole only when nothing is there: false with why empty when something is,
/// with why set on a fault.
bool CreateExclusive(const std::filesystem::path& path, const std::string& text, std::string& why);

/// The whole file, or nothing with why set.
bool ReadWhole(const std::filesystem::path& path, std::string& text, std::string& why);

}  // namespace vantrel::report_tool

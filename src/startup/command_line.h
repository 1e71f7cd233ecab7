#pragma once
// The program's command line: a data file, then ">I" definition file "I<", then
// ">N" comma-terminated 0-based report list "N<".

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct CommandLine {
  std::string DataFile;
  std::string DefinitionFile;  // empty: found by ChooseIniFile
  std::string ReportList;      // empty: the DEFAULT keys decide
};

/// The text between ">letter" and "letter<", untrimmed; empty when either marker is
/// missing or they are in the wrong order.
std::string GetOption(char letter, std::string_view commandLine);

/// Splits a whole command line (trimmed first). Without any ">" it is all data file.
CommandLine SplitCommandLine(std::string_view commandLine);

/// The shell's arguments (without the program name) joined by single blanks.
std::string JoinArguments(const std::vector<std::string>& arguments);
std::string JoinArguments(int argc, const char* const* argv);

}  // namespace vantrel

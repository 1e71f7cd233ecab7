#include "startup/command_line.h"

#include "support/text.h"

namespace vantrel {

std::string GetOption(char letter, std::string_view commandLine) {
  const std::string open = std::string(">") + letter;
  const std::string close = std::string(1, letter) + "<";
  const std::size_t start = commandLine.find(open);
  const std::size_t end = commandLine.find(close);
  if (start == std::string_view::npos || end == std::string_view::npos) return {};
  const std::size_t valueStart = start + open.size();
  if (end < valueStart) return {};
  return std::string(commandLine.substr(valueStart, end - valueStart));
}

CommandLine SplitCommandLine(std::string_view commandLine) {
  const std::string line = Trim(commandLine);
  CommandLine result;
  const std::size_t marker = line.find('>');
  if (marker == std::string::npos) {
    result.DataFile = line;
    return result;
  }
  result.DataFile = Trim(std::string_view(line).substr(0, marker));
  result.DefinitionFile = GetOption('I', line);
  result.ReportList = GetOption('N', line);
  return result;
}

std::string JoinArguments(const std::vector<std::string>& arguments) {
  std::string joined;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) joined += ' ';
    joined += arguments[i];
  }
  return joined;
}

std::string JoinArguments(int argc, const char* const* argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return JoinArguments(arguments);
}

}  // namespace vantrel

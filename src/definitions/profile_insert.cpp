#include <filesystem>

#include "definitions/profiles.h"
#include "support/file_writer.h"
#include "support/plain_file.h"
#include "support/text.h"

namespace vantrel {

namespace {

struct Failure {
  std::string Description;
};

// The file's lines, trimmed, with the new line placed before the first empty line or
// section header that follows [GENERAL]; placed says whether there was such a place.
std::string WithProfileLine(const std::string& bytes, const std::string& line, bool& placed) {
  const std::string lineEnd = bytes.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::string out;
  out.reserve(bytes.size() + line.size() + 2);
  bool afterGeneral = false;
  placed = false;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    const std::string current = Trim(std::string_view(bytes).substr(start, end - start));
    if (afterGeneral && !placed && (current.empty() || current.front() == '[')) {
      out += line + lineEnd;
      placed = true;
    }
    out += current + lineEnd;
    if (EqualsNoCase(current, "[GENERAL]")) afterGeneral = true;
    if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
        bytes[end + 1] == '\n') {
      ++end;
    }
    start = end + 1;
  }
  return out;
}

// Through the one file writer: the file keeps its mode and owner, and a fault leaves
// it as it was with no temporary file beside it.
bool ReplaceFile(const std::string& target, const std::string& content, Failure& failure) {
  FileWriter file(target);
  if (!file.Ready()) {
    failure.Description =
        "Error Creating a temporary File in " + FolderOf(target) + ": " + file.Reason();
    return false;
  }
  if (!file.Write(content) || !file.Commit()) {
    failure.Description = "Cannot replace " + target + ": " + file.Reason();
    return false;
  }
  return true;
}

}  // namespace

bool InsertProfileLine(const std::string& definitionPath, const std::string& line,
                       Prompter& prompter) {
  const auto fail = [&](const std::string& description) {
    prompter.Tell(description +
                      "\r\rUnabled to update ini file. Please ensure that the file is not "
                      "currently open.",
                  "Error", PromptIcon::Critical);
    return false;
  };

  // A line break in the line would write lines nobody asked for.
  if (line.find_first_of("\r\n") != std::string::npos) {
    return fail("The profile line " + line.substr(0, line.find_first_of("\r\n")) +
                " holds a line break.");
  }
  // Through a link, the file it names is the one to update.
  std::error_code ec;
  const std::filesystem::path target = std::filesystem::canonical(definitionPath, ec);
  if (ec) return fail("Cannot open " + definitionPath + ": " + ec.message());
  std::string bytes;
  std::string error;
  if (!ReadPlainFile(target.string(), bytes, error)) {
    return fail("Cannot open " + target.string() + ": " + error);
  }

  bool placed = false;
  // A byte order mark stays where it was, in front of everything.
  const std::string_view text = WithoutBom(bytes);
  const std::string bom = bytes.substr(0, bytes.size() - text.size());
  const std::string content = bom + WithProfileLine(std::string(text), line, placed);
  if (!placed) {
    prompter.Tell(
        "No suitable place found to insert the profile string.\r\r"
        "Please check the ini file.",
        "Add Profile", PromptIcon::Information);
    return false;
  }
  Failure failure;
  if (!ReplaceFile(target.string(), content, failure)) return fail(failure.Description);
  return true;
}

}  // namespace vantrel

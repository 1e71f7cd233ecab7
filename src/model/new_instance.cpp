#include "model/new_instance.h"

#include <cctype>
#include <sstream>

namespace vantrel {

std::string NewInstanceArgument(const std::string& definitionPath,
                                const ReportSelection& selection) {
  std::string argument = ">I" + definitionPath + "I<" + ">N-1,";
  for (std::size_t i = 0; i < selection.size(); ++i)
    if (selection[i]) argument += std::to_string(i) + ",";
  return argument + "N<";
}

std::string GetWindowsVersion() { return "Unknown"; }

bool HasVisualStyles() { return true; }

std::string AboutVersionLine(const std::string& version, const std::string& buildDate) {
  std::string date = buildDate;
  // __DATE__ pads a one-digit day with a blank: "May  1 2026".
  std::istringstream in(buildDate);
  std::string month, day, year;
  if (in >> month >> day >> year && !month.empty() &&
      std::isalpha(static_cast<unsigned char>(month[0]))) {
    if (day.size() == 1) day = "0" + day;
    date = day + " " + month + " " + year;
  }
  return "Version " + version + " (" + date + ")";
}

}  // namespace vantrel

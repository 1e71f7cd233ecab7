#include "startup/temp_folder_notice.h"

namespace vantrel {

void TellUnusableTempFolder(const std::string& reason, Prompter& prompter) {
  std::string why = reason;
  if (!why.empty() && why[0] >= 'a' && why[0] <= 'z')
    why[0] = static_cast<char>(why[0] - 'a' + 'A');
  prompter.Tell("Error Finding the Temporary Directory\r\r" + why + ".");
}

}  // namespace vantrel
